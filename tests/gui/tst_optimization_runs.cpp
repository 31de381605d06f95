// Optimization runs of the real engine: live poll, frames, revert, history, cancel, failure.
#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QUndoStack>

#include "engine_link/enginelink.h"
#include "engine_link/enginerun.h"
#include "engine_link/esoparameters.h"
#include "engine_link/historyplot.h"
#include "engine_link/iterationreview.h"
#include "engine_link/legendwidget.h"
#include "engine_link/materials.h"
#include "engine_link/resultdisplay.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/undostack.h"
#include "support/enginefixture.h"

class TestOptimizationRuns : public QObject {
    Q_OBJECT
private slots:
    void init();
    void optimizationRun();
    void cancelOptimization();
    void engineFailure();
    void newRunEndsRunningEngine();

private:
    // A cantilever of columns x rows plates (spacing 50), fixed at its left edge, with a
    // downward load at the middle of its right edge.
    EvolveMesh* cantilever(EngineFixture& fixture, int columns, int rows);
    // Parameters with the dialog's defaults except the iteration limit.
    static void setIterations(ESOParameters& parameters, int iterations);
    // Parameters of a run that goes on far longer than a test waits: tiny volume steps.
    static void setLongRun(ESOParameters& parameters);
};

void TestOptimizationRuns::init() {
    Materials::setDesign(Material{});
}

EvolveMesh* TestOptimizationRuns::cantilever(EngineFixture& fixture, int columns, int rows) {
    EvolveMesh* mesh = fixture.buildMesh(columns * 50, rows * 50);
    fixture.switchOn(0, columns - 1, 0, rows - 1);
    for (int row = 0; row <= rows; ++row)
        fixture.addConstraint(QPointF(0, row * 50), 3);
    fixture.addLoad(QPointF(columns * 50, rows / 2 * 50), 0, -1000);
    return mesh;
}

void TestOptimizationRuns::setIterations(ESOParameters& parameters, int iterations) {
    parameters.findChild<QSpinBox*>("maxIterationSpin")->setValue(iterations);
}

void TestOptimizationRuns::setLongRun(ESOParameters& parameters) {
    parameters.setFilterRadius(1.5);
    parameters.findChild<QDoubleSpinBox*>("eRateSpin")->setValue(0.01);
    setIterations(parameters, 999);
}

void TestOptimizationRuns::optimizationRun() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 8, 4);
    EngineLink* link = EngineLink::of(mesh);
    EngineRun* run = link->run();
    QSignalSpy finished(run, &EngineRun::runFinished);
    QSignalSpy polled(run, &EngineRun::iterationChanged);

    QString message;
    EngineFixture::onNextModal([&message](QWidget* box) {
        message = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    ESOParameters parameters;
    parameters.setFilterRadius(1.5);
    // A larger step than the default so that a few iterations already remove elements.
    parameters.findChild<QDoubleSpinBox*>("eRateSpin")->setValue(10);
    setIterations(parameters, 4);
    link->runOptimization(parameters);
    QCOMPARE(run->progressBox()->windowTitle(), QString("TOPAX running"));
    QVERIFY(finished.wait(120000));

    QCOMPARE(QString::fromUtf8(fixture.readWorkspaceFile("Parameters.txt")),
             parameters.parametersText());
    QCOMPARE(message, QString("Optimization reached the specified maximum iterations %1 before "
                              "converging on a solution.")
                          .arg(run->currentIteration()));
    // Whatever the poll saw of this short run came in order; the counters end at the last
    // iteration the engine completed (the poll itself is followed in cancelOptimization).
    for (int i = 1; i < polled.size(); ++i)
        QVERIFY(polled[i][0].toInt() > polled[i - 1][0].toInt());
    QCOMPARE(run->currentIteration(), fixture.readWorkspaceFile("Iteration.txt").trimmed().toInt());
    QCOMPARE(run->currentIteration(), 3);

    // The last frame shows elements removed by the optimizer; reverting brings back the
    // initial design with every plate in place.
    IterationReview* review = link->review();
    review->loadFrame(run->currentIteration());
    int removed = 0;
    for (PlateItem* plate : mesh->plates())
        removed += plate->isOn() && plate->isShownRemoved();
    QVERIFY(removed > 0);
    review->revert();
    for (int element = 1; element <= 32; ++element) {
        PlateItem* plate = fixture.plate(mesh->plateIdOf().value(element));
        QVERIFY(plate->isOn() && !plate->isShownRemoved());
    }

    // The history plot holds one point per iteration line of "Result.txt".
    const QStringList lines = QString::fromUtf8(fixture.readWorkspaceFile("Result.txt"))
                                  .split('\n', Qt::SkipEmptyParts)
                                  .mid(6);
    HistoryPlot* plot = review->plot();
    QVERIFY(plot);
    QCOMPARE(plot->history().volumeFraction.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList fields = lines[i].simplified().split(' ');
        QCOMPARE(plot->history().volumeFraction[i],
                 QPointF(fields[0].toInt(), fields[1].toDouble()));
        QCOMPARE(plot->history().meanCompliance[i],
                 QPointF(fields[0].toInt(), fields[2].toDouble()));
    }
    QVERIFY(plot->history().volumeFraction.last().y() < 1.0);
    plot->close();
}

void TestOptimizationRuns::cancelOptimization() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 40, 20);
    EngineLink* link = EngineLink::of(mesh);
    EngineRun* run = link->run();
    QSignalSpy polled(run, &EngineRun::iterationChanged);
    QSignalSpy finished(run, &EngineRun::runFinished);

    ESOParameters parameters;
    setLongRun(parameters);
    link->runOptimization(parameters);
    QVERIFY(polled.wait(120000));
    QVERIFY(run->progressBox()->text().startsWith("Currently running iteration = "));
    auto* stop = qobject_cast<QPushButton*>(run->progressBox()->buttons().first());
    QCOMPARE(stop->text(), QString("Stop"));
    stop->click();

    QVERIFY(!run->isRunning());
    QVERIFY(!run->progressBox());
    const QByteArray iteration = fixture.readWorkspaceFile("Iteration.txt");
    QCOMPARE(run->currentIteration(), iteration.trimmed().toInt());
    QVERIFY(QFile::exists(fixture.workspaceFile("BMesh000.txt")));
    QVERIFY(QFile::exists(fixture.workspaceFile("Result.txt")));
    // The engine is gone: nothing changes any more and no completion is reported.
    QTest::qWait(500);
    QCOMPARE(fixture.readWorkspaceFile("Iteration.txt"), iteration);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!QFile::exists(fixture.workspaceFile("Report.txt")));
}

// The engine refuses a filter radius of 0 and ends before writing its report: the error box
// shows what it said.
void TestOptimizationRuns::engineFailure() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 4, 2);
    EngineLink* link = EngineLink::of(mesh);
    QSignalSpy finished(link->run(), &EngineRun::runFinished);

    QString title;
    QString details;
    EngineFixture::onNextModal([&](QWidget* widget) {
        auto* box = static_cast<QMessageBox*>(widget);
        title = box->windowTitle();
        details = box->detailedText();
        const QList<QAbstractButton*> buttons = box->buttons();
        QVERIFY(std::any_of(buttons.cbegin(), buttons.cend(), [](QAbstractButton* button) {
            return button->text() == "Save to File";
        }));
        box->button(QMessageBox::Ok)->click();
    });
    ESOParameters parameters;
    parameters.setFilterRadius(0);
    link->runOptimization(parameters);
    QVERIFY(finished.wait(60000));
    QCOMPARE(title, QString("Strukta error"));
    QVERIFY2(details.contains("TOPAX Engine Version 1.2 Beta") &&
                 details.contains("*FilterRadius<...>"),
             qPrintable(details));
}

// Starting an analysis while an optimization still runs ends the old engine first; only the
// analysis reports back.
void TestOptimizationRuns::newRunEndsRunningEngine() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 40, 20);
    EngineLink* link = EngineLink::of(mesh);
    EngineRun* run = link->run();
    QSignalSpy polled(run, &EngineRun::iterationChanged);
    QSignalSpy finished(run, &EngineRun::runFinished);

    ESOParameters parameters;
    setLongRun(parameters);
    link->runOptimization(parameters);
    QVERIFY(polled.wait(120000));
    link->runAnalysis();
    QCOMPARE(run->progressBox()->windowTitle(), QString("FEA started"));
    QVERIFY(finished.wait(60000));
    QTest::qWait(300);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!QFile::exists(fixture.workspaceFile("Report.txt")));
    QCOMPARE(fixture.readWorkspaceFile("BMesh.vms").size(), 800 * 8);
    QVERIFY(mesh->areDisplacementsShown());
}

QTEST_MAIN(TestOptimizationRuns)
#include "tst_optimization_runs.moc"
