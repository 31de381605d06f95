// Analysis and optimization runs of the real engine, driven as the workbench drives them.
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

class TestEngineRuns : public QObject {
    Q_OBJECT
private slots:
    void init();
    void analysisRun();
    void optimizationRun();
    void cancelOptimization();
    void engineFailure();

private:
    // A cantilever of columns x rows plates (spacing 50), fixed at its left edge, with a
    // downward load at the middle of its right edge.
    EvolveMesh* cantilever(EngineFixture& fixture, int columns, int rows);
    // Parameters with the dialog's defaults except the iteration limit.
    static void setIterations(ESOParameters& parameters, int iterations);
};

void TestEngineRuns::init() {
    Materials::setDesign(Material{});
}

EvolveMesh* TestEngineRuns::cantilever(EngineFixture& fixture, int columns, int rows) {
    EvolveMesh* mesh = fixture.buildMesh(columns * 50, rows * 50);
    fixture.switchOn(0, columns - 1, 0, rows - 1);
    for (int row = 0; row <= rows; ++row)
        fixture.addConstraint(QPointF(0, row * 50), 3);
    fixture.addLoad(QPointF(columns * 50, rows / 2 * 50), 0, -1000);
    return mesh;
}

void TestEngineRuns::setIterations(ESOParameters& parameters, int iterations) {
    parameters.findChild<QSpinBox*>("maxIterationSpin")->setValue(iterations);
}

void TestEngineRuns::analysisRun() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 4, 2);
    applicationUndoStack()->push(new QUndoCommand("'Edit'"));
    EngineLink* link = EngineLink::of(mesh);
    QSignalSpy finished(link->run(), &EngineRun::runFinished);
    QSignalSpy stressLoaded(mesh, &EvolveMesh::stressLoaded);

    link->runAnalysis();
    QVERIFY(link->run()->progressBox());
    QCOMPARE(link->run()->progressBox()->windowTitle(), QString("FEA started"));
    QVERIFY(finished.wait(60000));
    QVERIFY(!link->run()->progressBox());
    QCOMPARE(applicationUndoStack()->count(), 0);

    // Displacements: the largest component moves its node by 30 pixels.
    const QByteArray ndp = fixture.readWorkspaceFile("BMesh.ndp");
    QCOMPARE(ndp.size(), 15 * 48);
    double largestMove = 0;
    for (const MeshNode* node : mesh->nodes()) {
        if (!mesh->nodeNumberOf().contains(node->id))
            continue;
        const QPointF move = node->displacedPos() - node->pos();
        largestMove = std::max({largestMove, std::abs(move.x()), std::abs(move.y())});
    }
    QVERIFY2(std::abs(largestMove - 30) < 1e-4, qPrintable(QString::number(largestMove)));
    // The loaded tip moves down (engine y and scene y both point down in the model file).
    const MeshNode* tip = mesh->nodeAt(QPointF(200, 50));
    QVERIFY(tip->displacedPos().y() > tip->y + 1);
    QVERIFY(mesh->areDisplacementsShown());

    // Stresses: each plate gets the band of its element's value; the legend spans them.
    const QList<double> stresses =
        ResultDisplay::readStresses(fixture.readWorkspaceFile("BMesh.vms"));
    QCOMPARE(stresses.size(), 8);
    const QList<double> levels = LegendWidget::instance()->levels();
    QCOMPARE(levels,
             ResultDisplay::bandLevels(*std::min_element(stresses.begin(), stresses.end()),
                                       *std::max_element(stresses.begin(), stresses.end())));
    QVERIFY(levels.first() > levels.last());
    for (int element = 1; element <= 8; ++element) {
        PlateItem* plate = fixture.plate(mesh->plateIdOf().value(element));
        QVERIFY(plate->usesResultColour());
        QCOMPARE(plate->resultColour(),
                 LegendWidget::bandColour(ResultDisplay::bandOf(levels, stresses[element - 1])));
    }
    QVERIFY(LegendWidget::instance()->isVisible());
    QCOMPARE(stressLoaded.count(), 1);
}

void TestEngineRuns::optimizationRun() {
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
    // The poll followed the run: increasing iterations up to the last one.
    QVERIFY(!polled.isEmpty());
    for (int i = 1; i < polled.size(); ++i)
        QVERIFY(polled[i][0].toInt() > polled[i - 1][0].toInt());
    QCOMPARE(polled.last()[0].toInt(), run->currentIteration());
    QVERIFY(run->currentIteration() >= 3);

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

void TestEngineRuns::cancelOptimization() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 16, 8);
    EngineLink* link = EngineLink::of(mesh);
    EngineRun* run = link->run();
    QSignalSpy polled(run, &EngineRun::iterationChanged);
    QSignalSpy finished(run, &EngineRun::runFinished);

    ESOParameters parameters;
    parameters.setFilterRadius(1.5);
    link->runOptimization(parameters);
    QVERIFY(polled.wait(120000));
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
void TestEngineRuns::engineFailure() {
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

QTEST_MAIN(TestEngineRuns)
#include "tst_engine_runs.moc"
