#include "engine_link/enginelink.h"

#include <QApplication>
#include <QToolBar>
#include <QUndoStack>

#include "drawing/evolvescene.h"
#include "engine_link/enginerun.h"
#include "engine_link/esoparameters.h"
#include "engine_link/iterationreview.h"
#include "engine_link/modelwriter.h"
#include "engine_link/resultdisplay.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "project/undostack.h"

EngineLink* EngineLink::of(EvolveMesh* mesh) {
    if (auto* link = mesh->findChild<EngineLink*>(QString(), Qt::FindDirectChildrenOnly))
        return link;
    return new EngineLink(mesh);
}

EngineLink::EngineLink(EvolveMesh* mesh)
    : QObject(mesh), mesh(mesh), engine(new EngineRun(this)),
      iterations(new IterationReview(mesh, engine)) {
    connect(engine, &EngineRun::displacementsRead, this, [this](const QByteArray& bytes) {
        ResultDisplay::loadDisplacements(this->mesh, bytes, true);
    });
    connect(engine, &EngineRun::stressesRead, this, [this](const QByteArray& bytes) {
        // Fresh results are always coloured.
        this->mesh->setStressesShown(true);
        ResultDisplay::loadStresses(this->mesh, bytes);
    });
    connect(engine, &EngineRun::iterationChanged, iterations, &IterationReview::loadFrame);
    connect(engine, &EngineRun::resultsAvailable, this, [this] {
        emit resultsAvailable();
        // The main window's toolbar for reviewing results.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* toolbar = window->findChild<QToolBar*>("esoToolbar"))
                toolbar->show();
        }
    });
    connect(engine, &EngineRun::runFinished, this, [] { applicationUndoStack()->clear(); });
}

void EngineLink::switchDeformedOff() {
    ResultDisplay::showDisplacements(mesh, false);
    emit mesh->displacementLoaded(false);
}

void EngineLink::runAnalysis() {
    switchDeformedOff();
    engine->runAnalysis([this] { ModelWriter(mesh, {false, false}).writeModel("BMesh"); });
}

void EngineLink::runOptimization(const ESOParameters& parameters) {
    if (mesh->areDisplacementsShown())
        switchDeformedOff();
    // Continuing a run: what the last run removed is taken out of the structure, unless the
    // model was edited since, in which case the removal marks are dropped.
    for (PlateItem* plate : mesh->plates()) {
        if (!plate->isShownRemoved())
            continue;
        if (!mesh->isModelChanged())
            plate->switchOff(false);
        else
            plate->setShownRemoved(false);
    }
    mesh->setModelChanged(false);
    engine->runOptimization(parameters.parametersText(), parameters.newOptimizationRun(), [this] {
        ModelWriter(mesh, {true, false}).writeModel("BMesh");
    });
}

void EngineLink::startOptimization(QWidget* parent) {
    ESOParameters dialog(parent ? parent : QApplication::activeWindow());
    double mmInPixel = 0.01;
    if (auto* scene = qobject_cast<EvolveScene*>(mesh->scene()))
        mmInPixel = scene->mmInPixel();
    dialog.setFilterRadius(3 * mesh->pixelNodeDistance() * mmInPixel);
    if (dialog.exec() == QDialog::Accepted)
        runOptimization(dialog);
}
