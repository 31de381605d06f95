// The model text written for the engine, compared with hand-checked golden files.
#include <QFile>
#include <QTest>

#include "engine_link/materials.h"
#include "engine_link/modelwriter.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "support/enginefixture.h"

class TestModelWriter : public QObject {
    Q_OBJECT
private slots:
    void goldenText_data();
    void goldenText();
    void emptyMesh();
};

namespace {
QString golden(const QString& name) {
    QFile file(QFINDTESTDATA("data/" + name));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

void TestModelWriter::goldenText_data() {
    QTest::addColumn<bool>("doubled");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<QString>("goldenFile");
    QTest::newRow("analysis: single properties") << false << false << "model_analysis.txt";
    QTest::newRow("export: doubled properties, soft marking") << true << true << "model_export.txt";
}

// A 150 x 100 pixel scene at spacing 50: nodes in rows of four (ids 1-4, 5-8, 9-12). Plates 1
// and 5 are design, plate 2 non-design with its own material, plate 3 stays off, so node 4
// touches only inactive plates. Plate 5 is shown as removed by the optimizer.
void TestModelWriter::goldenText() {
    QFETCH(bool, doubled);
    QFETCH(bool, soft);
    QFETCH(QString, goldenFile);

    EngineFixture fixture;
    Materials::setDesign(Material{});
    Materials::setNonDesign(Material{7e10, 0.33, 2700});
    EvolveMesh* mesh = fixture.buildMesh(150, 100);
    fixture.plate(1)->switchOn(0);
    fixture.plate(2)->switchOn(1);
    fixture.plate(5)->switchOn(0);
    fixture.plate(5)->setShownRemoved(true);

    fixture.addLoad(QPointF(100, 0), 5, 20);
    fixture.addLoad(QPointF(150, 0), 1, 1); // node 4: left out, yet it takes load number 2
    fixture.addDistributedLoad({QPointF(0, 0), QPointF(50, 0), QPointF(100, 0)}, 0, 30);
    fixture.addConstraint(QPointF(0, 0), 3);
    fixture.addConstraint(QPointF(150, 0), 3); // node 4: left out
    fixture.addConstraint(QPointF(0, 100), 2);
    mesh->setModelChanged(true);

    ModelWriter::Counts counts;
    const QString text = ModelWriter(mesh, {doubled, soft}).writeModel("BMesh", &counts);
    QCOMPARE(text, golden(goldenFile));
    QCOMPARE(QString::fromUtf8(fixture.readWorkspaceFile("BMesh.txt")), text);
    QVERIFY(!mesh->isModelChanged());

    QCOMPARE(counts.nodes, 8);
    QCOMPARE(counts.elements, 3);
    QCOMPARE(counts.centroids, (QList<QPointF>{{0.25, 0.25}, {0.75, 0.25}, {0.25, 0.75}}));
    QCOMPARE(counts.nodePositions.at(7), QPointF(0.5, 1.0));
    QCOMPARE(mesh->nodeNumberOf().value(9), 7);
    QCOMPARE(mesh->nodeIdOf().value(7), 9);
    QVERIFY(!mesh->nodeNumberOf().contains(4));
    QCOMPARE(mesh->elementNumberOf().value(5), 3);
    QCOMPARE(mesh->plateIdOf().value(2), 2);

    // Writing again renumbers from 1 and gives the same text.
    QCOMPARE(ModelWriter(mesh, {doubled, soft}).writeModel("BMesh"), text);
}

void TestModelWriter::emptyMesh() {
    EngineFixture fixture;
    EvolveMesh* mesh = fixture.buildMesh(100, 100);
    fixture.addConstraint(QPointF(0, 0), 3);
    const QString text = ModelWriter(mesh, {false, false}).writeModel("Empty");
    QCOMPARE(text, QString("*model<Empty, 2, 1 >\n*title< QUAD4 User defined model >\n\n"
                           "*thickness<1.000000 >\n*print<0,0,0,0,0,0,0,0,0,0,1,1,0 >\n"
                           "*output<2,0,2,0,0,0 >"));
    QVERIFY(mesh->nodeNumberOf().isEmpty());
    QVERIFY(QFile::exists(fixture.workspaceFile("Empty.txt")));
}

QTEST_MAIN(TestModelWriter)
#include "tst_model_writer.moc"
