// The whole road through the main window: analysis, stress and displacement toggles, an
// optimization from the parameters dialog, the movie, reverting and the history plot.
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QUndoStack>

#include "app/mainwindow.h"
#include "engine_link/enginelink.h"
#include "engine_link/enginerun.h"
#include "engine_link/historyplot.h"
#include "engine_link/iterationreview.h"
#include "engine_link/legendwidget.h"
#include "engine_link/materials.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "project/undostack.h"
#include "support/enginefixture.h"

class TestWorkbenchRuns : public QObject {
    Q_OBJECT
private slots:
    void analysisThenOptimization();
};

namespace {
QAction* action(QWidget* window, const char* name) {
    auto* found = window->findChild<QAction*>(name);
    if (!found)
        qFatal("no action %s", name);
    return found;
}
} // namespace

void TestWorkbenchRuns::analysisThenOptimization() {
    EngineFixture fixture;
    Materials::setDesign(Material{});
    auto* window = new Strukta;
    window->show();
    EvolveMesh* mesh = fixture.meshScene(window->scene());
    QVERIFY(mesh);
    fixture.switchOn(0, 11, 0, 5);
    const double d = fixture.scene->pixelNodeDistance();
    for (int row = 0; row <= 6; ++row)
        fixture.addConstraint(QPointF(0, row * d), 3);
    fixture.addLoad(QPointF(12 * d, 3 * d), 0, -1000);
    EngineRun* run = EngineLink::of(mesh)->run();
    QSignalSpy finished(run, &EngineRun::runFinished);
    auto* toolbar = window->findChild<QToolBar*>("esoToolbar");

    // "Carry out FEA": deformed, stress-coloured plates, the legend, the view toolbar.
    action(window, "actionFEA")->trigger();
    QVERIFY(finished.wait(60000));
    QVERIFY(toolbar->isVisible());
    QVERIFY(action(window, "actionShow_Stresses")->isChecked());
    QVERIFY(action(window, "actionShow_Displacements")->isChecked());
    QVERIFY(LegendWidget::instance()->isVisible());
    QVERIFY(fixture.plate(1)->showsDeformed());
    QCOMPARE(applicationUndoStack()->count(), 0);

    action(window, "actionShow_Stresses")->trigger();
    QVERIFY(!LegendWidget::instance()->isVisible());
    QCOMPARE(fixture.plate(1)->brush().color(), QColor(Qt::darkGreen));
    action(window, "actionShow_Displacements")->trigger();
    QVERIFY(!fixture.plate(1)->showsDeformed());

    // "Start TOPAX": the filter radius comes preset to three node distances.
    double presetRadius = 0;
    EngineFixture::onNextModal([&presetRadius](QWidget* dialog) {
        presetRadius = dialog->findChild<QDoubleSpinBox*>("filterRadiusSpin")->value();
        dialog->findChild<QDoubleSpinBox*>("eRateSpin")->setValue(10);
        dialog->findChild<QSpinBox*>("maxIterationSpin")->setValue(6);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        EngineFixture::onNextModal([](QWidget* box) { box->close(); });
    });
    action(window, "actionESO")->trigger();
    QVERIFY(finished.wait(120000));
    QCOMPARE(presetRadius, QString::number(3 * d * fixture.scene->mmInPixel(), 'f', 2).toDouble());
    QCOMPARE(run->currentIteration(), 5);
    int removed = 0;
    for (PlateItem* plate : mesh->plates())
        removed += plate->isOn() && plate->isShownRemoved();
    QVERIFY(removed > 0);

    // The movie at 5 iterations per second runs to its end and unchecks its action.
    QSignalSpy stopped(fixture.scene, &EvolveScene::movieStopped);
    EngineFixture::onNextModal([](QWidget* dialog) {
        auto* slider = dialog->findChild<QSlider*>();
        QCOMPARE(slider->value(), 1);
        QCOMPARE(slider->minimum(), 1);
        slider->setValue(5);
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons()) {
            if (button->text() == "Run")
                button->click();
        }
    });
    action(window, "actionMovie")->trigger();
    QVERIFY(action(window, "actionMovie")->isChecked());
    QVERIFY(EngineLink::of(mesh)->review()->timeLine());
    QCOMPARE(EngineLink::of(mesh)->review()->timeLine()->duration(), 1000);
    QVERIFY(stopped.wait(10000));
    QVERIFY(!action(window, "actionMovie")->isChecked());
    QCOMPARE(run->progressBox()->windowTitle(), QString("Movie ended"));

    // Revert shows the initial design; the plot window comes from "Result.txt".
    action(window, "actionRevert")->trigger();
    for (PlateItem* plate : mesh->plates())
        QVERIFY(!plate->isShownRemoved());
    action(window, "actionPlot")->trigger();
    HistoryPlot* plot = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<HistoryPlot*>(top))
            plot = found;
    }
    QVERIFY(plot);
    QCOMPARE(plot->history().volumeFraction.size(), 6);
    QPointer<HistoryPlot> guard(plot);
    plot->close();
    QTRY_VERIFY(!guard);

    applicationUndoStack()->clear();
    delete window;
}

QTEST_MAIN(TestWorkbenchRuns)
#include "tst_workbench_runs.moc"
