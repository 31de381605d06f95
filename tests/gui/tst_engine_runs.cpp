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
#include "engine_link/modelwriter.h"
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
    void pollReadsIterationFile();
    void resultFilesReadAsBinary();
    void cancelAnalysis();
    void exportModelKeepsDeformedView();

private:
    // A cantilever of columns x rows plates (spacing 50), fixed at its left edge, with a
    // downward load at the middle of its right edge.
    EvolveMesh* cantilever(EngineFixture& fixture, int columns, int rows);
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

// The engine writes the iteration right-aligned in three characters; the box shows the text
// as read and a frame is asked for only when the number changes.
void TestEngineRuns::pollReadsIterationFile() {
    EngineFixture fixture;
    EngineRun run;
    QSignalSpy changed(&run, &EngineRun::iterationChanged);
    run.setProgressBox(new QMessageBox);
    const auto writeIteration = [&fixture](const QByteArray& text) {
        QFile file(fixture.workspaceFile("Iteration.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    };

    run.pollEsoIteration();
    QCOMPARE(changed.count(), 0);
    writeIteration("  7");
    run.pollEsoIteration();
    run.pollEsoIteration();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].toInt(), 7);
    QCOMPARE(run.currentIteration(), 7);
    QCOMPARE(run.progressBox()->text(), QString("Currently running iteration =   7"));
    writeIteration(" 12");
    run.pollEsoIteration();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed[1][0].toInt(), 12);
}

// Doubles often hold the bytes of a CR LF pair; they must reach the display unchanged.
void TestEngineRuns::resultFilesReadAsBinary() {
    EngineFixture fixture;
    const QByteArray bytes("\x0d\x0a\x00\x00\x00\x00\xf0\x3f\x0d\x0d\x0a\x0a\x00\x00\x00\x40", 16);
    QFile file(fixture.workspaceFile("BMesh.vms"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(EngineRun::readResultFile("BMesh.vms"), bytes);
}

// Cancel ends the engine at once; no results are read and the run does not report back.
void TestEngineRuns::cancelAnalysis() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 40, 20);
    EngineLink* link = EngineLink::of(mesh);
    QSignalSpy finished(link->run(), &EngineRun::runFinished);
    link->runAnalysis();
    QVERIFY(link->run()->isRunning());
    link->run()->progressBox()->buttons().first()->click();
    QVERIFY(!link->run()->isRunning());
    QVERIFY(!link->run()->progressBox());
    QTest::qWait(300);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!mesh->areDisplacementsLoaded());
}

// "Export Model" saves the text with doubled properties and soft marking, rewrites the
// workspace model, and leaves the deformed view as it was.
void TestEngineRuns::exportModelKeepsDeformedView() {
    EngineFixture fixture;
    EvolveMesh* mesh = cantilever(fixture, 4, 2);
    EngineLink* link = EngineLink::of(mesh);
    QSignalSpy finished(link->run(), &EngineRun::runFinished);
    link->runAnalysis();
    QVERIFY(finished.wait(60000));
    QVERIFY(fixture.plate(1)->showsDeformed());

    QTemporaryDir target;
    const QString exported = target.filePath("exported.txt");
    ModelWriter::exportModelTo(mesh, exported);
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QCOMPARE(text, fixture.readWorkspaceFile("BMesh.txt"));
    QVERIFY(text.contains("*property<1, 200.000000, 0.3, 7.800000 >\n*property<2, "));
    QVERIFY(mesh->areDisplacementsShown());
    QVERIFY(fixture.plate(1)->showsDeformed());
}

QTEST_MAIN(TestEngineRuns)
#include "tst_engine_runs.moc"
