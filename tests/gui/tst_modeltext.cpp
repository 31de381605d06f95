// Reading the records of a model text file into the import's tables.
#include "project/modeltext.h"

#include <QtTest>

class TestModelText : public QObject {
    Q_OBJECT
private slots:
    void recordsAsTheWorkbenchWritesThem();
    void constraintComponents_data();
    void constraintComponents();
    void damagedRecordsReadAsZero_data();
    void damagedRecordsReadAsZero();
    void onlyNodesBeforeTheFirstElementFixTheGrid();
    void scaleAndSpacing();
};

void TestModelText::recordsAsTheWorkbenchWritesThem() {
    const QString text = QStringLiteral(
        "*model<BMesh, 2, 1 >\r\n*title< QUAD4 User defined model >\r\n\r\n"
        "*node< 1, 0, 0.0000000000000000, 0.0000000000000000, 0 >\r\n"
        "*node< 2, 0, 0.5000000000000000, 0.0000000000000000, 0 >\n"
        "*node< 3, 0, 0.5000000000000000, 0.5000000000000000, 0 >\n"
        "*node< 4, 0, 0.0000000000000000, 0.5000000000000000, 0 >\n"
        "*quad4< 1, 2, 2, 1, 2, 3, 4,1 >\n"
        "*force< 1, 3, 0, 100, -50 >\n"
        "*constraint< 1, 1, 0.0, 0.0 >\n"
        "*property<1, 200.000000, 0.3, 7.800000 >\n"
        "*property<2, 200000000000.000000, 0.3, 7800.000000 >\n"
        "*thickness<1.000000 >\n*print<0,0,0,0,0,0,0,0,0,0,1,1,0 >\n*output<2,0,2,0,0,0 >");
    const ModelText model = ModelText::parse(text);

    QCOMPARE(model.nodes.size(), 4);
    QCOMPARE(model.nodes.value(3), QPointF(0.5, 0.5));
    QCOMPARE(model.elements.size(), 1);
    const ModelText::Element& e = model.elements.first();
    QCOMPARE(e.id, 1);
    QCOMPARE(e.property, 2);
    QCOMPARE(e.type, 2);
    QCOMPARE(e.nodes[0], 1);
    QCOMPARE(e.nodes[3], 4);
    QCOMPARE(e.designFlag, 1);
    QCOMPARE(model.properties.size(), 2);
    QCOMPARE(model.properties.value(1).youngsModulus, 200.0);
    QCOMPARE(model.properties.value(2).youngsModulus, 2e11);
    QCOMPARE(model.properties.value(2).density, 7800.0);
    QCOMPARE(model.forces.size(), 1);
    QCOMPARE(model.forces.first().node, 3);
    QCOMPARE(model.forces.first().fx, 100.0);
    QCOMPARE(model.forces.first().fy, -50.0);
    QCOMPARE(model.constraints.size(), 1);
    QCOMPARE(model.constraints.first().freedom(), 3);
    QVERIFY(model.hasGrid());
}

void TestModelText::constraintComponents_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("freedom");
    QTest::newRow("x free, y zero") << "*constraint< 3, 12, free, 0.0 >" << 3 << 12 << 2;
    QTest::newRow("both free") << "*constraint< 3, 12, free, free >" << 3 << 12 << 0;
    QTest::newRow("both fixed") << "*constraint< 1, 5, 0.0, 0.0 >" << 1 << 5 << 3;
    QTest::newRow("y free") << "*constraint<2,7,0.0,free>" << 2 << 7 << 1;
    // The engine reads "Free" as free as well; a capitalised word stays a free component here too.
    QTest::newRow("capitalised Free") << "*constraint< 4, 9, Free, 0.0 >" << 4 << 9 << 2;
    // A prescribed displacement fixes the component (the engine holds it at that value).
    QTest::newRow("prescribed value") << "*constraint< 4, 9, 0.25, -1.5 >" << 4 << 9 << 3;
    QTest::newRow("empty components") << "*constraint< 5, 2, , >" << 5 << 2 << 0;
    QTest::newRow("missing y component") << "*constraint< 6, 2, 0.0 >" << 6 << 2 << 1;
    QTest::newRow("truncated ids") << "*constraint< 7.9, -3.7, 0, 0 >" << 7 << -3 << 3;
}

void TestModelText::constraintComponents() {
    QFETCH(QString, record);
    const ModelText model = ModelText::parse(record);
    QCOMPARE(model.constraints.size(), 1);
    QTEST(model.constraints.first().id, "id");
    QTEST(model.constraints.first().node, "node");
    QTEST(model.constraints.first().freedom(), "freedom");
}

void TestModelText::damagedRecordsReadAsZero_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("forces");
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::newRow("signs kept") << "*force< 1, 12, 0, -100, 50 >" << 1 << -100.0 << 50.0;
    QTest::newRow("exponent form") << "*force<1,12,0,1e+06,-2.5e-3>" << 1 << 1e6 << -2.5e-3;
    QTest::newRow("too few fields") << "*force< 1, 12, 0, 7 >" << 1 << 7.0 << 0.0;
    QTest::newRow("keyword only") << "*force" << 1 << 0.0 << 0.0;
    QTest::newRow("not a number") << "*force< 1, 12, 0, abc, 1x >" << 1 << 0.0 << 0.0;
    QTest::newRow("capitalised keyword is no record")
        << "*Force< 1, 12, 0, 5, 5 >" << 0 << 0.0 << 0.0;
    QTest::newRow("indented line is no record")
        << "*thickness<1>\n *force< 1, 12, 0, 5, 5 >" << 0 << 0.0 << 0.0;
}

void TestModelText::damagedRecordsReadAsZero() {
    QFETCH(QString, record);
    QFETCH(int, forces);
    const ModelText model = ModelText::parse(record);
    QCOMPARE(model.forces.size(), forces);
    if (forces == 1) {
        QTEST(model.forces.first().fx, "fx");
        QTEST(model.forces.first().fy, "fy");
    }
}

void TestModelText::onlyNodesBeforeTheFirstElementFixTheGrid() {
    const ModelText model = ModelText::parse(QStringLiteral("*node<1,0,0,0,0>\n"
                                                            "*node<2,0,2,0,0>\n"
                                                            "*node<3,0,0,1,0>\n"
                                                            "*quad4<1,1,2,1,2,3,3,0>\n"
                                                            "*node<4,0,0.5,7,0>\n"
                                                            "*node<1,0,9,9,0>\n"));
    QCOMPARE(model.distinctX, (QList<double>{0.0, 2.0}));
    QCOMPARE(model.distinctY, (QList<double>{0.0, 1.0}));
    // Later node lines still give positions; a repeated id keeps its last one.
    QCOMPARE(model.nodes.value(4), QPointF(0.5, 7));
    QCOMPARE(model.nodes.value(1), QPointF(9, 9));

    QVERIFY(!ModelText::parse(QStringLiteral("*node<1,0,0,0,0>\n*node<2,0,0,1,0>")).hasGrid());
    QVERIFY(!ModelText::parse(QStringLiteral("*node<1,0,0,0,0>\n*node<2,0,1,0,0>")).hasGrid());
    QVERIFY(!ModelText::parse(QString()).hasGrid());
}

void TestModelText::scaleAndSpacing() {
    // Nodes from (0, 0) to (10, 5) metres at 0.5 m, into a 1000 x 700 scene.
    QString text;
    int id = 1;
    for (int j = 0; j <= 10; ++j)
        for (int i = 0; i <= 20; ++i)
            text +=
                QStringLiteral("*node< %1, 0, %2, %3, 0 >\n").arg(id++).arg(i * 0.5).arg(j * 0.5);
    const ModelText model = ModelText::parse(text);
    QVERIFY(model.hasGrid());
    QCOMPARE(model.spacing(), 0.5);
    const double m = model.metresPerUnit(1000, 700);
    QCOMPARE(m, 0.011);
    QVERIFY(qAbs(model.spacing() / m - 45.4545) < 1e-3);
}

QTEST_GUILESS_MAIN(TestModelText)
#include "tst_modeltext.moc"
