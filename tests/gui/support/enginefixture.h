#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <QTemporaryDir>
#include <functional>

class DistributedLoadItem;
class EvolveMesh;
class EvolveScene;
class FreedomItem;
class LoadItem;
class PlateItem;

// A scene with a mesh of square plates, a private workspace (XDG_DATA_HOME pointed at a
// temporary directory) and the engine installed in it, for tests that write models and run
// the real engine.
class EngineFixture {
public:
    // Workspace only; call before anything reads QStandardPaths.
    EngineFixture();
    ~EngineFixture();

    // Builds a scene of width x height pixels (0.01 m per pixel) and its mesh at spacing.
    EvolveMesh* buildMesh(double width, double height, double spacing = 50);
    // Meshes a scene owned by someone else (the main window's) at its own node spacing.
    EvolveMesh* meshScene(EvolveScene* existing);

    PlateItem* plate(int id) const;
    // Switches on the plates whose anchor node lies in the given column and row ranges.
    void switchOn(int firstColumn, int lastColumn, int firstRow, int lastRow, int kind = 0);
    LoadItem* addLoad(const QPointF& node, double fx, double fy);
    FreedomItem* addConstraint(const QPointF& node, int freedom);
    DistributedLoadItem* addDistributedLoad(const QList<QPointF>& nodes, double fx, double fy);

    QString workspace() const;
    QString workspaceFile(const QString& name) const { return workspace() + "/" + name; }
    QByteArray readWorkspaceFile(const QString& name) const;

    // Runs fn on the next modal dialog or message box once it is shown (checked every 20 ms),
    // e.g. to read and close it.
    static void onNextModal(const std::function<void(QWidget*)>& fn);

    EvolveScene* scene = nullptr;
    EvolveMesh* mesh = nullptr;

private:
    QTemporaryDir dataHome;
    double spacing = 50;
    bool ownsScene = true;
};
