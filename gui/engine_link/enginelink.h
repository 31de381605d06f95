#pragma once

#include <QObject>

class EngineRun;
class ESOParameters;
class EvolveMesh;
class IterationReview;
class QWidget;

// The mesh's side of the engine: runs the analysis and the optimization of this mesh, shows
// their results on its plates and reviews the iterations. Created on first use as a QObject
// child of the mesh, so it dies with it (ending an engine that still runs).
class EngineLink : public QObject {
    Q_OBJECT
public:
    // The link of a mesh, created on first use.
    static EngineLink* of(EvolveMesh* mesh);

    EngineRun* run() const { return engine; }
    IterationReview* review() const { return iterations; }

    // One finite element analysis of the mesh (plates of the mesh's thickness, 1.0).
    void runAnalysis();
    // An optimization with the values of an accepted parameters dialog.
    void runOptimization(const ESOParameters& parameters);
    // Asks the optimization parameters (filter radius preset to three node distances) and
    // runs the optimization when the dialog is accepted.
    void startOptimization(QWidget* parent);

signals:
    // A run produced results to review: the main window shows its optimization toolbar.
    void resultsAvailable();

private:
    explicit EngineLink(EvolveMesh* mesh);
    void switchDeformedOff();

    EvolveMesh* mesh;
    EngineRun* engine;
    IterationReview* iterations;
};
