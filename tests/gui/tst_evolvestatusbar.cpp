#include "drawing/evolvestatusbar.h"

#include <QLabel>
#include <QtTest>

// The status bar's three read-outs.
class TestEvolveStatusBar : public QObject {
    Q_OBJECT

private slots:
    void startsWithZoomOneAndNoElement();
    void coordinates_data();
    void coordinates();
    void zoom_data();
    void zoom();
    void elementLabel();
};

namespace {
QString labelText(const EvolveStatusBar& bar, const char* name) {
    auto* label = bar.findChild<QLabel*>(name);
    return label ? label->text() : QString("<no label %1>").arg(name);
}
} // namespace

void TestEvolveStatusBar::startsWithZoomOneAndNoElement() {
    EvolveStatusBar bar;
    QCOMPARE(labelText(bar, "zoomLabel"), QString("Zoom x 1"));
    QCOMPARE(labelText(bar, "elementLabel"), QString());
    QCOMPARE(bar.findChild<QLabel*>("zoomLabel")->minimumWidth(), 100);
    QCOMPARE(bar.findChild<QLabel*>("coordinateLabel")->minimumWidth(), 150);
}

void TestEvolveStatusBar::coordinates_data() {
    QTest::addColumn<double>("metresPerPixel");
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<QString>("text");
    QTest::newRow("default scale") << 0.01 << QPointF(150, 80) << "(X, Y) = (1.50, 0.80)";
    QTest::newRow("origin keeps two decimals") << 0.01 << QPointF(0, 0) << "(X, Y) = (0.00, 0.00)";
    QTest::newRow("rounding") << 0.001 << QPointF(12345, 5) << "(X, Y) = (12.35, 0.01)";
    QTest::newRow("coarse scale") << 2.5 << QPointF(3, 400) << "(X, Y) = (7.50, 1000.00)";
}

void TestEvolveStatusBar::coordinates() {
    QFETCH(double, metresPerPixel);
    QFETCH(QPointF, pos);
    QFETCH(QString, text);
    EvolveStatusBar bar;
    bar.setMetresPerPixel(metresPerPixel);
    bar.setMouseCoOrdinates(pos);
    QCOMPARE(labelText(bar, "coordinateLabel"), text);
}

void TestEvolveStatusBar::zoom_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.5") << 1.5 << "Zoom x 1.5";
    QTest::newRow("2") << 2.0 << "Zoom x 2";
    QTest::newRow("float 1.1") << double(1.1f) << "Zoom x 1.1";
    QTest::newRow("0.2") << 0.2 << "Zoom x 0.2";
}

void TestEvolveStatusBar::zoom() {
    QFETCH(double, zoom);
    QFETCH(QString, text);
    EvolveStatusBar bar;
    bar.showZoom(zoom);
    QCOMPARE(labelText(bar, "zoomLabel"), text);
}

void TestEvolveStatusBar::elementLabel() {
    EvolveStatusBar bar;
    bar.setPlateId(417);
    QCOMPARE(labelText(bar, "elementLabel"), QString("Element ID 417 "));
}

QTEST_MAIN(TestEvolveStatusBar)
#include "tst_evolvestatusbar.moc"
