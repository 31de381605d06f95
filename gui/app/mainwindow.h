#pragma once

#include "drawing/evolvescene.h"

#include <QMainWindow>

class EvolveCanvas;
class EvolveStatusBar;
class QAction;
class QActionGroup;
class QHBoxLayout;
class QMenu;
class QToolBar;

// The main window of the workbench. It owns the canvas, the scene and the status bar, carries
// every action of the program in its menus and toolbars, keeps the drawing tools mutually
// exclusive, and routes the actions to the scene (and through it to the mesh).
//
// Every action is a child of the window with the object name listed in its action table
// (actionZoom_In, actionDraw_Mesh, ...); action() finds one by that name.
class Strukta : public QMainWindow {
    Q_OBJECT
public:
    explicit Strukta(QWidget* parent = nullptr);
    ~Strukta() override;

    QAction* action(const QString& objectName) const;
    EvolveScene* scene() const { return evolveScene; }
    EvolveCanvas* canvas() const { return evolveCanvas; }
    EvolveStatusBar* evolveStatusBar() const { return statusBarWidget; }
    double zoomFactor() const;
    double mmInPixel() const { return metresPerPixel; }
    // Opens a project file (File > Open, or named on the command line); one that cannot be read
    // is reported and the design stays. The region-kind tool follows the loaded scene.
    void openProject(const QString& path);

signals:
    void drawShape(EvolveScene::DrawShape shape);

private slots:
    void setDrawShape(QAction* shapeAction);
    void testDrawAction();
    void resetToolButton();

public slots:
    void setAntiAliased(bool toggle);
    void drawToggled(bool toggle);
    void ZoomIn();
    void ZoomOut();
    void ZoomFactor();
    void clearCanvas();
    void newproject();
    void drawEvolvable(bool toggle);
    void drawNonEvolvable(bool toggle);
    void drawSubtraction(bool toggle);
    void getWidthInMM();
    void drawMesh();
    void clearMesh();
    void setMeshAction(bool on);
    void applyLoad(bool on);
    void applyFreedom(bool on);
    void applyFreedomRectSelect(bool on);
    void cut();
    void copy();
    void paste();
    void applyDistributedLoad(bool on);
    void doFEA();
    void doESO();
    void movieStopped();
    void setProperties();
    void showStresses(bool checked);
    void showDisplacements(bool checked);
    void stressLoaded(bool enabled);
    void displacementLoaded(bool enabled);
    void mmInPixelChanged(qreal mm);
    void save();
    void open();
    void exportModel();
    void importModel();
    void about();
    void getstarted();

private:
    void setupUi();
    void createActions();
    void makeConnections();
    // Keeps at most one drawing tool checked after `changed` was switched, and brings the scene's
    // mode, mesh edit mode and cursor in line; with nothing checked Select region takes over.
    void applyToolExclusivity(QAction* changed);
    // Back to the resting tool: Select region checked and the scene in Select mode.
    void selectRegionTool();
    void pushZoom(double newZoom);

    QActionGroup* regionKindGroup = nullptr;
    QWidget* central = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QMenu* menuFile = nullptr;
    QMenu* menuEdit = nullptr;
    QMenu* menuHelp = nullptr;
    QToolBar* mainToolBar = nullptr;
    QToolBar* drawToolbar = nullptr;
    QToolBar* esoToolbar = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;

    EvolveCanvas* evolveCanvas = nullptr;
    EvolveScene* evolveScene = nullptr;
    EvolveStatusBar* statusBarWidget = nullptr;
    double metresPerPixel = 0.01;

    // The actions of the window, looked up once.
    QAction* actionSelect_region = nullptr;
    QAction* actionEllipse = nullptr;
    QAction* actionRectangle = nullptr;
    QAction* actionSquare = nullptr;
    QAction* actionCircle = nullptr;
    QAction* actionPolygon = nullptr;
    QAction* actionDraw_plate = nullptr;
    QAction* actionDelete_plate = nullptr;
    QAction* actionLoad = nullptr;
    QAction* actionFreedom = nullptr;
    QAction* actionFreedomRectSelect = nullptr;
    QAction* actionDistributedLoad = nullptr;
    QAction* actionShow_Stresses = nullptr;
    QAction* actionShow_Displacements = nullptr;
    QAction* actionMovie = nullptr;
    QList<QAction*> toolActions;
};
