// Displacement and stress display from engine result bytes, and designs applied from frames.
#include <QTest>
#include <QtEndian>

#include "engine_link/enginelink.h"
#include "engine_link/iterationreview.h"
#include "engine_link/legendwidget.h"
#include "engine_link/materials.h"
#include "engine_link/modelwriter.h"
#include "engine_link/resultdisplay.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "support/enginefixture.h"

class TestResultDisplay : public QObject {
    Q_OBJECT
private slots:
    void displacements_data();
    void displacements();
    void stressBands_data();
    void stressBands();
    void applyDesign();
};

namespace {
// A .ndp content: one 48-byte record per (ux, uy), the other four doubles 0.
QByteArray ndp(const QList<QPointF>& displacements) {
    QByteArray bytes;
    for (const QPointF& u : displacements) {
        double record[6] = {u.x(), u.y(), 0, 0, 0, 0};
        for (double value : record) {
            char raw[8];
            qToLittleEndian(value, raw);
            bytes.append(raw, 8);
        }
    }
    return bytes;
}

QByteArray vms(const QList<double>& stresses) {
    QByteArray bytes;
    for (double value : stresses) {
        char raw[8];
        qToLittleEndian(value, raw);
        bytes.append(raw, 8);
    }
    return bytes;
}
} // namespace

void TestResultDisplay::displacements_data() {
    // The mesh: plates 1 and 2 (a 100 x 50 strip) give six written nodes.
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<QPointF>>("moves"); // expected deformed - position, by node number
    const QList<QPointF> none(6, QPointF());
    QTest::newRow("largest component moves 30 pixels")
        << ndp({{0, 0}, {1e-4, -2e-4}, {0, 0}, {0, 0}, {0, 0}, {0, 4e-4}})
        << QList<QPointF>{{0, 0}, {7.5, -15}, {0, 0}, {0, 0}, {0, 0}, {0, 30}};
    QTest::newRow("no displacement leaves the shape undeformed") << ndp(QList<QPointF>(6)) << none;
    QTest::newRow("47 bytes hold no record") << ndp({{1, 1}}).left(47) << none;
    QTest::newRow("records beyond the file leave nodes alone")
        << ndp({{-2, 0}}) << QList<QPointF>{{-30, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
}

void TestResultDisplay::displacements() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<QPointF>, moves);
    EngineFixture fixture;
    EvolveMesh* mesh = fixture.buildMesh(100, 50);
    fixture.switchOn(0, 1, 0, 0);
    ModelWriter(mesh, {}).writeModel("BMesh");

    ResultDisplay::loadDisplacements(mesh, bytes, true);
    for (int number = 1; number <= 6; ++number) {
        const MeshNode* node = mesh->nodes().at(mesh->nodeIdOf().value(number) - 1);
        QCOMPARE(node->id, mesh->nodeIdOf().value(number));
        const QPointF expected = node->pos() + moves[number - 1];
        // The scale is computed in single precision.
        QVERIFY2(qAbs(node->displacedPos().x() - expected.x()) < 1e-4 &&
                     qAbs(node->displacedPos().y() - expected.y()) < 1e-4,
                 qPrintable(QString("node %1").arg(number)));
    }
    if (!bytes.isEmpty()) {
        QVERIFY(mesh->areDisplacementsShown());
        QVERIFY(fixture.plate(1)->showsDeformed());
        // The polygon joins the deformed corners.
        const MeshNode* corner = fixture.plate(1)->corners().at(1);
        QCOMPARE(fixture.plate(1)->polygon().at(1), corner->displacedPos());
    }
}

void TestResultDisplay::stressBands_data() {
    QTest::addColumn<QList<double>>("stresses"); // by element number 1..3
    QTest::addColumn<QList<int>>("bands");
    QTest::newRow("highest magenta, lowest blue")
        << QList<double>{30, 0, 15} << QList<int>{0, 29, 14};
    QTest::newRow("all equal: band 0") << QList<double>{7, 7, 7} << QList<int>{0, 0, 0};
}

void TestResultDisplay::stressBands() {
    QFETCH(QList<double>, stresses);
    QFETCH(QList<int>, bands);
    EngineFixture fixture;
    EvolveMesh* mesh = fixture.buildMesh(150, 50);
    fixture.switchOn(0, 2, 0, 0);
    ModelWriter(mesh, {}).writeModel("BMesh");
    mesh->setStressesShown(true);

    ResultDisplay::loadStresses(mesh, vms(stresses));
    const QList<double> levels = LegendWidget::instance()->levels();
    QCOMPARE(levels.size(), 30);
    const double low = *std::min_element(stresses.cbegin(), stresses.cend());
    const double high = *std::max_element(stresses.cbegin(), stresses.cend());
    QCOMPARE(levels.last(), low);
    QCOMPARE(levels.first(), low + 29 * (high - low) / 30);
    QVERIFY(LegendWidget::instance()->isVisible());
    for (int element = 1; element <= 3; ++element) {
        PlateItem* plate = fixture.plate(mesh->plateIdOf().value(element));
        QVERIFY(plate->usesResultColour());
        QCOMPARE(plate->resultColour(), LegendWidget::bandColour(bands[element - 1]));
        QCOMPARE(plate->brush().color(), LegendWidget::bandColour(bands[element - 1]));
    }

    // Switching the colours off keeps them; switching on shows them again.
    ResultDisplay::showStresses(mesh, false);
    QVERIFY(!LegendWidget::instance()->isVisible());
    QCOMPARE(fixture.plate(1)->brush().color(), QColor(Qt::darkGreen));
    ResultDisplay::showStresses(mesh, true);
    QCOMPARE(fixture.plate(1)->brush().color(), LegendWidget::bandColour(bands[0]));
}

// A snapshot's elements switch their plates on; soft ones are shown as removed, elements
// missing from the snapshot leave their plates off, non-design elements stay non-design.
void TestResultDisplay::applyDesign() {
    EngineFixture fixture;
    Materials::setDesign(Material{});
    EvolveMesh* mesh = fixture.buildMesh(150, 50);
    fixture.switchOn(0, 2, 0, 0);
    fixture.plate(3)->switchOn(1);
    ModelWriter(mesh, {true, false}).writeModel("BMesh");

    IterationReview* review = EngineLink::of(mesh)->review();
    review->applyDesign("*model<BMesh001, 2, 1 >\r\n"
                        "*node< 1, 0, 0.0, 0.0, 0 >\r\n"
                        "*quad4< 1, 2, 2, 1, 2, 6, 5,0 >\r\n"
                        "*quad4< 2, 1, 2, 2, 3, 7, 6,0 >\r\n"
                        "*quad4< 3, 2, 2, 3, 4, 8, 7,1 >\r\n"
                        "*quad4< 9, 7, 2, 3, 4, 8, 7,0 >\r\n"
                        "*property<1, 200.000000, 0.3, 7.800000 >\r\n"
                        "*property<2, 200000000000.000000, 0.3, 7800.000000 >\r\n\r\n");
    QVERIFY(fixture.plate(1)->isOn() && !fixture.plate(1)->isShownRemoved());
    QVERIFY(fixture.plate(2)->isOn() && fixture.plate(2)->isShownRemoved());
    QCOMPARE(fixture.plate(2)->brush().color(), QColor(Qt::white));
    QCOMPARE(fixture.plate(2)->storedMaterial().density, 7.8);
    QVERIFY(fixture.plate(3)->isOn());
    QCOMPARE(fixture.plate(3)->evolveMode(), 1);

    review->applyDesign("*quad4< 1, 2, 2, 1, 2, 6, 5,0 >\n*property<2, 2e11, 0.3, 7800 >\n");
    QVERIFY(fixture.plate(1)->isOn());
    QVERIFY(!fixture.plate(2)->isOn());
    QVERIFY(!fixture.plate(3)->isOn());
}

QTEST_MAIN(TestResultDisplay)
#include "tst_result_display.moc"
