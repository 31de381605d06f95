// Importing model text files into a real scene and mesh.
#include "project/modelimport.h"

#include "drawing/evolverectangle.h"
#include "drawing/evolvescene.h"
#include "engine_link/materials.h"
#include "engine_link/modelwriter.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/projectfile.h"
#include "project/undostack.h"

#include <QUndoStack>
#include <QtTest>

namespace {

template <typename T> QList<T*> meshChildren(EvolveMesh* mesh) {
    QList<T*> found;
    for (QGraphicsItem* item : mesh->childItems())
        if (item->type() == T::Type)
            found.append(static_cast<T*>(item));
    return found;
}

// A model of nodes from (0, 0) to (10, 5) metres at 0.5 m as the workbench writes it, with
// elements in the first two rows of cells, numbered like the export (row by row).
QString halfMetreModel(const QString& extra, const QString& properties) {
    QString text = QStringLiteral("*model<BMesh, 2, 1 >\n*title< QUAD4 User defined model >\n\n");
    auto id = [](int i, int j) { return j * 21 + i + 1; };
    for (int j = 0; j <= 10; ++j)
        for (int i = 0; i <= 20; ++i)
            text += QStringLiteral("*node< %1, 0, %2, %3, 0 >\n")
                        .arg(id(i, j))
                        .arg(QString::number(i * 0.5, 'f', 16), QString::number(j * 0.5, 'f', 16));
    int element = 1;
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 20; ++i)
            text += QStringLiteral("*quad4< %1, 2, 2, %2, %3, %4, %5,%6 >\n")
                        .arg(element++)
                        .arg(id(i, j))
                        .arg(id(i + 1, j))
                        .arg(id(i + 1, j + 1))
                        .arg(id(i, j + 1))
                        .arg(j == 1 && i == 19 ? 1 : 0);
    return text + extra + properties +
           QStringLiteral("*thickness<1.000000 >\n*print<0,0,0,0,0,0,0,0,0,0,1,1,0 >\n"
                          "*output<2,0,2,0,0,0 >");
}

const QString doubledProperties = QStringLiteral(
    "*property<1, 200.000000, 0.3, 7.800000 >\n*property<2, 200000000000.000000, 0.3, "
    "7800.000000 >\n");

PlateItem* plateAt(EvolveMesh* mesh, const QPointF& p) {
    MeshNode* node = mesh->nodeAt(p);
    return node ? node->anchorPlate : nullptr;
}

} // namespace

class TestModelImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void halfMetreModel_data();
    void halfMetreModel();
    void optimizedModelMarksRemovedElements();
    void exportedModelComesBack();
    void roundedCoordinatesFindTheirNodes();
    void failedImportKeepsTheDesign_data();
    void failedImportKeepsTheDesign();

private:
    QTemporaryDir dataHome;
};

void TestModelImport::initTestCase() {
    // Writing a model also writes the workspace copy: keep it in a directory of our own.
    QVERIFY(dataHome.isValid());
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
}

void TestModelImport::init() {
    Materials::setDesign(Material{});
    Materials::setNonDesign(Material{});
    applicationUndoStack()->clear();
}

void TestModelImport::halfMetreModel_data() {
    QTest::addColumn<QString>("record");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("kind"); // 0 force, 1 constraint
    QTest::addColumn<double>("xforce");
    QTest::addColumn<double>("yforce");
    QTest::addColumn<int>("freedom");
    QTest::newRow("force") << "*force< 1, 12, 0, 100, 50 >\n" << 12 << 0 << 100.0 << -50.0 << 0;
    QTest::newRow("force pointing up on screen") << "*force< 4, 30, 0, 0, -7.5 >\n"
                                                 << 30 << 0 << 0.0 << 7.5 << 0;
    QTest::newRow("constraint, x free") << "*constraint< 3, 12, free, 0.0 >\n"
                                        << 12 << 1 << 0.0 << 0.0 << 2;
    QTest::newRow("constraint, both free") << "*constraint< 3, 12, free, free >\n"
                                           << 12 << 1 << 0.0 << 0.0 << 0;
    QTest::newRow("constraint, both fixed") << "*constraint< 2, 1, 0.0, 0.0 >\n"
                                            << 1 << 1 << 0.0 << 0.0 << 3;
}

void TestModelImport::halfMetreModel() {
    QFETCH(QString, record);
    QFETCH(int, node);
    QFETCH(int, kind);
    EvolveScene scene;
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 1000, 700));
    QString error;
    QVERIFY(
        ModelImport::importModelText(&scene, ::halfMetreModel(record, doubledProperties), &error));
    QCOMPARE(scene.mmInPixel(), 0.011);
    QVERIFY(qAbs(scene.pixelNodeDistance() - 45.4545) < 1e-3);
    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh);
    QCOMPARE(mesh->pixelNodeDistance(), scene.pixelNodeDistance());

    const double d = scene.pixelNodeDistance();
    int active = 0;
    for (PlateItem* plate : mesh->plates())
        active += plate->isOn() ? 1 : 0;
    QCOMPARE(active, 40);
    PlateItem* design = plateAt(mesh, QPointF(0, 0));
    QVERIFY(design && design->isOn());
    QCOMPARE(design->evolveMode(), 0);
    QCOMPARE(design->brush().color(), QColor(Qt::darkGreen));
    QCOMPARE(design->storedMaterial(), (MaterialRecord{2e11, 0.3, 7800}));
    QVERIFY(!design->isShownRemoved());
    // Design flag 1: a non-design element, drawn as one.
    PlateItem* nonDesign = plateAt(mesh, QPointF(19 * d, d));
    QVERIFY(nonDesign && nonDesign->isOn());
    QCOMPARE(nonDesign->evolveMode(), 1);
    QCOMPARE(nonDesign->brush().color(), QColor(255, 160, 0));
    QVERIFY(!plateAt(mesh, QPointF(0, 2 * d))->isOn());

    // Node 12 is (11, 0) in the grid: 5.5 m to the right of the origin.
    const QPointF at = node == 12 ? QPointF(11 * d, 0) : node == 30 ? QPointF(8 * d, d) : QPointF();
    if (kind == 0) {
        const QList<LoadItem*> loads = meshChildren<LoadItem>(mesh);
        QCOMPARE(loads.size(), 1);
        QTEST(loads.first()->xForce(), "xforce");
        QTEST(loads.first()->yForce(), "yforce");
        QCOMPARE(loads.first()->anchorPoint(), at);
        QCOMPARE(loads.first()->radius(), d);
        QVERIFY(loads.first()->node() && loads.first()->node()->loads.contains(loads.first()));
    } else {
        const QList<FreedomItem*> constraints = meshChildren<FreedomItem>(mesh);
        QCOMPARE(constraints.size(), 1);
        QCOMPARE(constraints.first()->id(), record.contains(QLatin1String("< 2,")) ? 2 : 3);
        QTEST(constraints.first()->freedom(), "freedom");
        QCOMPARE(constraints.first()->pos(), at);
        QVERIFY(constraints.first()->node()->constraints.contains(constraints.first()));
    }
    // Imported loads and constraints have no scene-level twin.
    for (QGraphicsItem* item : scene.items())
        QVERIFY(item->parentItem() ||
                (item->type() != LoadItem::Type && item->type() != FreedomItem::Type));
}

void TestModelImport::optimizedModelMarksRemovedElements() {
    // A model saved after an optimization: removed elements point at the soft property 1.
    QString text = ::halfMetreModel(QString(), doubledProperties);
    text.replace(QStringLiteral("*quad4< 3, 2,"), QStringLiteral("*quad4< 3, 1,"));
    text.replace(QStringLiteral("*quad4< 25, 2,"), QStringLiteral("*quad4< 25, 1,"));
    EvolveScene scene;
    QString error;
    QVERIFY(ModelImport::importModelText(&scene, text, &error));
    EvolveMesh* mesh = scene.meshItem();
    const double d = scene.pixelNodeDistance();
    int removed = 0;
    for (PlateItem* plate : mesh->plates()) {
        if (!plate->isShownRemoved())
            continue;
        ++removed;
        QVERIFY(plate->isOn());
        QCOMPARE(plate->brush().color(), QColor(Qt::white));
        QCOMPARE(plate->storedMaterial(), (MaterialRecord{200, 0.3, 7.8}));
    }
    QCOMPARE(removed, 2);
    QVERIFY(plateAt(mesh, QPointF(2 * d, 0))->isShownRemoved());
    QVERIFY(plateAt(mesh, QPointF(4 * d, d))->isShownRemoved());
    QCOMPARE(plateAt(mesh, QPointF(3 * d, 0))->brush().color(), QColor(Qt::darkGreen));
}

void TestModelImport::exportedModelComesBack() {
    // The cantilever example after an optimization: some elements removed, one non-design,
    // saved as text with "Export Model"'s switches.
    EvolveScene original;
    QString error;
    QVERIFY2(ProjectFile::open(&original, QStringLiteral(STRUKTA_EXAMPLES_DIR "/cantilever.xml"),
                               &error),
             qPrintable(error));
    EvolveMesh* mesh = original.meshItem();
    QVERIFY(mesh);
    QList<int> removed;
    int active = 0;
    for (PlateItem* plate : mesh->plates()) {
        if (!plate->isOn())
            continue;
        if (++active % 7 == 0) {
            plate->setShownRemoved(true);
            removed.append(active);
        }
    }
    QVERIFY(removed.size() > 10);
    const QString text = ModelWriter(mesh, {true, true}).writeModel(QStringLiteral("BMesh"));

    EvolveScene imported;
    QVERIFY2(ModelImport::importModelText(&imported, text, &error), qPrintable(error));
    EvolveMesh* copy = imported.meshItem();
    QVERIFY(copy);
    // The same plates in the same order: active ones, and among them the removed ones.
    int copyActive = 0;
    QList<int> copyRemoved;
    for (PlateItem* plate : copy->plates()) {
        if (!plate->isOn())
            continue;
        ++copyActive;
        if (plate->isShownRemoved()) {
            copyRemoved.append(copyActive);
            QCOMPARE(plate->brush().color(), QColor(Qt::white));
        } else {
            QCOMPARE(plate->brush().color(), QColor(Qt::darkGreen));
        }
    }
    QCOMPARE(copyActive, active);
    QCOMPARE(copyRemoved, removed);
    const QList<LoadItem*> loads = meshChildren<LoadItem>(copy);
    QCOMPARE(loads.size(), 1);
    QCOMPARE(loads.first()->xForce(), 0.0);
    QCOMPARE(loads.first()->yForce(), meshChildren<LoadItem>(mesh).first()->yForce());
    const QList<FreedomItem*> constraints = meshChildren<FreedomItem>(copy);
    QCOMPARE(constraints.size(), 21);
    for (const FreedomItem* constraint : constraints)
        QCOMPARE(constraint->freedom(), 3);
}

void TestModelImport::roundedCoordinatesFindTheirNodes() {
    // 30 x 3 cells of 1/30 m with coordinates written to four decimals, as in the engine's
    // snapshots: 0.0333, 0.0667, ..., 1.0000.
    QString text;
    auto id = [](int i, int j) { return j * 31 + i + 1; };
    for (int j = 0; j <= 3; ++j)
        for (int i = 0; i <= 30; ++i)
            text += QStringLiteral("*node<%1, 0, %2, %3, 0 >\n")
                        .arg(id(i, j), 6)
                        .arg(i / 30.0, 9, 'f', 4)
                        .arg(j / 30.0, 9, 'f', 4);
    for (int i = 0; i < 30; ++i)
        text += QStringLiteral("*quad4<%1, 2, 2, %2, %3, %4, %5, 0 >\n")
                    .arg(i + 1)
                    .arg(id(i, 1))
                    .arg(id(i + 1, 1))
                    .arg(id(i + 1, 2))
                    .arg(id(i, 2));
    text += QStringLiteral("*constraint< 1, %1, 0.000000, free >\n").arg(id(30, 3));
    text += doubledProperties;
    EvolveScene scene;
    QString error;
    QVERIFY2(ModelImport::importModelText(&scene, text, &error), qPrintable(error));
    EvolveMesh* mesh = scene.meshItem();
    int active = 0;
    for (PlateItem* plate : mesh->plates())
        active += plate->isOn() ? 1 : 0;
    QCOMPARE(active, 30);
    const QList<FreedomItem*> constraints = meshChildren<FreedomItem>(mesh);
    QCOMPARE(constraints.size(), 1);
    QCOMPARE(constraints.first()->freedom(), 1);
    QCOMPARE(
        constraints.first()->node()->id,
        mesh->nodeAt(QPointF(30 * scene.pixelNodeDistance(), 3 * scene.pixelNodeDistance()))->id);
}

void TestModelImport::failedImportKeepsTheDesign_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("one column of nodes")
        << "*node<1,0,0,0,0>\n*node<2,0,0,1,0>\n*quad4<1,1,2,1,2,2,1,0>"
        << "1 distinct x and 2 distinct y";
    QTest::newRow("nodes only after the elements")
        << "*quad4<1,1,2,1,2,3,4,0>\n*node<1,0,0,0,0>\n*node<2,0,1,1,0>"
        << "0 distinct x";
    QTest::newRow("not a model") << "<scene/>"
                                 << "0 distinct x and 0 distinct y";
    QTest::newRow("missing file") << QString() << "could not be opened";
}

void TestModelImport::failedImportKeepsTheDesign() {
    QFETCH(QString, text);
    QFETCH(QString, reason);
    EvolveScene scene;
    auto* rectangle = new EvolveRectangle(QRectF(0, 0, 300, 200));
    rectangle->setEvolveMode(Design);
    scene.addItem(rectangle);
    scene.createMesh();
    const QString before = writeProject(&scene);
    const int steps = applicationUndoStack()->count();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("model.txt"));
    if (!text.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toLatin1());
    }
    QString error;
    QVERIFY(!ModelImport::importFile(&scene, path, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(error.contains(path));
    QCOMPARE(writeProject(&scene), before);
    QCOMPARE(applicationUndoStack()->count(), steps);
}

QTEST_MAIN(TestModelImport)
#include "tst_modelimport.moc"
