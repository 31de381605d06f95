// Material and optimization parameter dialogs, the parameters file text and the history data.
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "engine_link/esoparameters.h"
#include "engine_link/historyplot.h"
#include "engine_link/materials.h"
#include "engine_link/property.h"

class TestEngineDialogs : public QObject {
    Q_OBJECT
private slots:
    void parametersText_data();
    void parametersText();
    void splitModulus_data();
    void splitModulus();
    void propertyAcceptAndCancel();
    void historyLines_data();
    void historyLines();

private:
    // Clicks the given button of the next modal dialog once it is shown.
    static void clickLater(QDialogButtonBox::StandardButton which) {
        QTimer::singleShot(0, [which] {
            QWidget* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QVERIFY(buttons);
            buttons->button(which)->click();
        });
    }
};

void TestEngineDialogs::parametersText_data() {
    QTest::addColumn<double>("ratio");
    QTest::addColumn<double>("radius");
    QTest::addColumn<double>("tolerance");
    QTest::addColumn<int>("iterations");
    QTest::addColumn<double>("fraction");
    QTest::addColumn<QString>("values");
    // An empty ratio means "the dialog's own defaults" (radius set as the scene would).
    QTest::newRow("dialog defaults") << -1.0 << 1.5 << 0.0 << 0 << 0.0 << "0.02|1.5|0.001|200|0.5";
    QTest::newRow("typed values") << 3.5 << 0.15 << 0.25 << 50 << 40.0
                                  << "0.035|0.15|0.0025|50|0.4";
}

void TestEngineDialogs::parametersText() {
    QFETCH(double, ratio);
    QFETCH(double, radius);
    QFETCH(double, tolerance);
    QFETCH(int, iterations);
    QFETCH(double, fraction);
    QFETCH(QString, values);

    ESOParameters dialog;
    dialog.setFilterRadius(radius);
    if (ratio >= 0) {
        dialog.findChild<QDoubleSpinBox*>("eRateSpin")->setValue(ratio);
        dialog.findChild<QDoubleSpinBox*>("convergenceErrorSpin")->setValue(tolerance);
        dialog.findChild<QSpinBox*>("maxIterationSpin")->setValue(iterations);
        dialog.findChild<QDoubleSpinBox*>("volumeFractionSpin")->setValue(fraction);
    }
    const QStringList v = values.split('|');
    const QString expected = "=================================\n"
                             "=Parameters for TOPAX:  TOPAX V1.0=\n"
                             "=================================\n"
                             "*Model<BMesh>\n*EvoVolRatio<" +
                             v[0] + ">\n*FilterRadius<" + v[1] + ">\n*ConvTolerance<" + v[2] +
                             ">\n*MaxIter<" + v[3] + ">\n*ObjVolFraction<" + v[4] + ">\n";
    QCOMPARE(dialog.parametersText(), expected);
    QVERIFY(dialog.newOptimizationRun());
}

void TestEngineDialogs::splitModulus_data() {
    QTest::addColumn<double>("modulus");
    QTest::addColumn<double>("mantissa");
    QTest::addColumn<int>("exponent");
    QTest::newRow("steel") << 2e11 << 2.0 << 11;
    QTest::newRow("ten stays a mantissa") << 1e11 << 10.0 << 10;
    QTest::newRow("small") << 5.0 << 5.0 << 0;
    QTest::newRow("aluminium") << 7e10 << 7.0 << 10;
}

void TestEngineDialogs::splitModulus() {
    QFETCH(double, modulus);
    QFETCH(double, mantissa);
    QFETCH(int, exponent);
    double m = 0;
    int e = -1;
    Property::splitModulus(modulus, m, e);
    QCOMPARE(e, exponent);
    QVERIFY(qFuzzyCompare(m, mantissa));

    Property dialog;
    dialog.setMaterial(Material{modulus, 0.3, 7800});
    QCOMPARE(dialog.findChild<QSpinBox*>("yModExpSpinDesign")->value(), exponent);
    QCOMPARE(dialog.findChild<QSpinBox*>("yModExpSpinDesign")->text(),
             "E+" + QString::number(exponent));
    QVERIFY(qFuzzyCompare(dialog.material().youngsModulus, modulus));
}

void TestEngineDialogs::propertyAcceptAndCancel() {
    Materials::setDesign(Material{7e10, 0.33, 2700});
    Materials::setNonDesign(Material{1e9, 0.4, 1000});

    // Cancel changes nothing.
    clickLater(QDialogButtonBox::Cancel);
    QVERIFY(!Property::editDesignMaterial(nullptr));
    QCOMPARE(Materials::design(), (Material{7e10, 0.33, 2700}));
    QCOMPARE(Materials::nonDesign(), (Material{1e9, 0.4, 1000}));

    // OK after changing only the density keeps modulus and ratio; the non-design material
    // goes back to the default triple.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialog->findChild<QDoubleSpinBox*>("densitySpinDesign")->setValue(2800);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(Property::editDesignMaterial(nullptr));
    QCOMPARE(Materials::design().youngsModulus, 7e10);
    QCOMPARE(Materials::design().poissonsRatio, 0.33);
    QCOMPARE(Materials::design().density, 2800.0);
    QCOMPARE(Materials::nonDesign(), Material{});
}

void TestEngineDialogs::historyLines_data() {
    const QString header = "Bi-directional Evolutionary Structural Optimization:  TOPAX Engine "
                           "Version 1.2 Beta\n"
                           "Model: BMesh    Objective: Maximizing stiffness  \n"
                           "Starting Date: 12/11/26   Time: 12:00:00 \n"
                           "------------------------------------------------------------------"
                           "------\n\n"
                           "    Iter      VolFrac        mean Compliance            Time\n"
                           "   Start                                              12:00:00\n";
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("last");
    QTest::addColumn<QString>("expected"); // "iteration:volume:compliance" joined by blanks
    QTest::newRow("header only") << header << 5 << "";
    QTest::newRow("three iterations")
        << header + "       0     1.000000         1.234500E+01           12:00:01\n"
                    "       1     0.980000         1.250000E+01           12:00:02\n"
                    "       2     0.960400         1.300000E+01           12:00:03\n"
        << 2 << "0:1:12.345 1:0.98:12.5 2:0.9604:13";
    QTest::newRow("five fields and beyond the last iteration skipped")
        << header + "       0     1.000000         1.234500E+01           12:00:01 extra\n"
                    "       1     0.980000         1.250000E+01           12:00:02\n"
                    "       7     0.500000         9.000000E+01           12:00:09\n"
        << 3 << "1:0.98:12.5";
}

void TestEngineDialogs::historyLines() {
    QFETCH(QString, text);
    QFETCH(int, last);
    QFETCH(QString, expected);
    const HistoryPlot::History history = HistoryPlot::readHistory(text, last);
    QStringList got;
    for (int i = 0; i < history.volumeFraction.size(); ++i) {
        QCOMPARE(history.meanCompliance[i].x(), history.volumeFraction[i].x());
        got << QString("%1:%2:%3")
                   .arg(history.volumeFraction[i].x())
                   .arg(history.volumeFraction[i].y())
                   .arg(history.meanCompliance[i].y());
    }
    QCOMPARE(got.join(' '), expected);

    HistoryPlot plot(history, last);
    QCOMPARE(plot.windowTitle(), QString("Plot optimization history"));
    QCOMPARE(plot.chart()->title(), QString("TOPAX History"));
    QCOMPARE(plot.size(), QSize(700, 600));
}

QTEST_MAIN(TestEngineDialogs)
#include "tst_engine_dialogs.moc"
