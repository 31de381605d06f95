// The project file: decoding, the whole-document check, and writing and reading real scenes.
#include "project/projectfile.h"

#include "app/mainwindow.h"

#include "drawing/evolveellipse.h"
#include "drawing/evolvepolygon.h"
#include "drawing/evolverectangle.h"
#include "drawing/evolvescene.h"
#include "engine_link/materials.h"
#include "engine_link/resultdisplay.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/undostack.h"

#include <QAction>
#include <QMessageBox>
#include <QUndoStack>
#include <QtTest>

#include <memory>

namespace {

template <typename T> QList<T*> topLevel(EvolveScene& scene) {
    QList<T*> found;
    for (QGraphicsItem* item : scene.items(Qt::AscendingOrder))
        if (!item->parentItem() && item->type() == T::Type)
            found.append(static_cast<T*>(item));
    return found;
}

template <typename T> QList<T*> meshChildren(EvolveMesh* mesh) {
    QList<T*> found;
    for (QGraphicsItem* item : mesh->childItems())
        if (item->type() == T::Type)
            found.append(static_cast<T*>(item));
    return found;
}

// A meshed design with a shape of every kind, point and distributed loads, constraints, a plate
// switched off by hand and both materials, built through the scene and the mesh.
void buildDesign(EvolveScene& scene) {
    auto* ellipse = new EvolveEllipse(QRectF(123.4567, 100, 200, 150));
    ellipse->setEvolveMode(Design);
    ellipse->setMaterial(MaterialRecord{1e11, 0.25, 5000});
    ellipse->setZValue(1);
    scene.addItem(ellipse);
    auto* rectangle = new EvolveRectangle(QRectF(100, 300, 400, 200));
    rectangle->setEvolveMode(NonDesign);
    rectangle->setZValue(2);
    scene.addItem(rectangle);
    auto* hole = new EvolveRectangle(QRectF(200, 350, 100, 100));
    hole->setEvolveMode(Subtraction);
    hole->setZValue(3);
    scene.addItem(hole);
    QPainterPath triangle;
    triangle.moveTo(600, 100);
    triangle.lineTo(900, 100);
    triangle.lineTo(750, 400);
    triangle.closeSubpath();
    auto* polygon = new EvolvePolygon();
    polygon->setPath(triangle);
    polygon->setEvolveMode(Design);
    polygon->setZValue(4);
    scene.addItem(polygon);

    // Typed Force-Y 10 (upwards): the scene-level item holds -10 (screen y points down).
    auto* load = new LoadItem(LoadItem::nextId());
    load->setForces(5, -10);
    load->setAccelerations(1.5, -2.5);
    load->setAnchorPoint(750, 200);
    scene.addItem(load);
    auto* freedom = new FreedomItem(FreedomItem::nextId());
    freedom->setFreedom(3);
    freedom->setPos(150, 450);
    scene.addItem(freedom);
    auto* distributed = new DistributedLoadItem(DistributedLoadItem::nextId());
    distributed->setForces(0, -30);
    distributed->setPos(100, 300);
    distributed->setLine(QPolygonF(QRectF(0, 0, 200, 0)));
    scene.addItem(distributed);

    scene.setLastLoadParameters({5, 10, 1.5, -2.5});
    scene.setLastDistributedLoadParameters({0, 30, 0, 0});
    scene.setLastFreedom(2);
    scene.createMesh();

    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh);
    const auto on = std::find_if(mesh->plates().begin(), mesh->plates().end(),
                                 [](PlateItem* plate) { return plate->isOn(); });
    QVERIFY(on != mesh->plates().end());
    (*on)->switchOff(false);

    Materials::setDesign(Material{3e11, 0.2, 7000});
    Materials::setNonDesign(Material{1.5e10, 0.35, 2400});
}

} // namespace

class TestProjectFile : public QObject {
    Q_OBJECT
private slots:
    void decodeEncodings_data();
    void decodeEncodings();
    void checkDocument_data();
    void checkDocument();
    void roundTripOfAMeshedDesign();
    void savingWhileDeformedKeepsNodePositions();
    void numbersKeepSixDigits();
    void nodeSpacingFollowsAttributeOrder_data();
    void nodeSpacingFollowsAttributeOrder();
    void projectWithoutMesh();
    void unreadableFileKeepsTheDesign_data();
    void unreadableFileKeepsTheDesign();
    void damagedPartsAreReported_data();
    void damagedPartsAreReported();
    void saveReplacesTheFileOrSaysWhy();
    void openInTheWindow();
    void examplesOpenReadyToRun_data();
    void examplesOpenReadyToRun();
};

void TestProjectFile::decodeEncodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString umlaut = QStringLiteral("<scene a=\"M\u00fcller\"/>");
    QTest::newRow("utf-8 without declaration") << umlaut.toUtf8() << umlaut;
    QTest::newRow("latin-1 without declaration") << umlaut.toLatin1() << umlaut;
    QTest::newRow("latin-1 declared")
        << (QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>") + umlaut.toLatin1())
        << QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>") + umlaut;
    QTest::newRow("byte order mark") << (QByteArray("\xEF\xBB\xBF") + umlaut.toUtf8()) << umlaut;
    QTest::newRow("cut at the first NUL byte")
        << QByteArray("<scene/>\0garbage", 16) << QStringLiteral("<scene/>");
}

void TestProjectFile::decodeEncodings() {
    QFETCH(QByteArray, bytes);
    QTEST(ProjectFile::decode(bytes), "text");
}

void TestProjectFile::checkDocument_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("readable") << "<?xml version=\"1.0\"?>\n<scene>\n<mesh/>\n</scene>\n"
                              << 0 << QString();
    QTest::newRow("latin-1 declared, decoded")
        << QString::fromUtf8("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><scene a=\"\u00e9\"/>")
        << 0 << QString();
    QTest::newRow("empty") << "" << 1 << "Premature end of document.";
    QTest::newRow("truncated") << "<?xml version=\"1.0\"?>\n<scene>\n<mesh>\n<plate id=\"1\"" << 4
                               << "Premature end of document.";
    QTest::newRow("mismatched tag")
        << "<scene>\n<mesh>\n</scene>" << 3 << "Opening and ending tag mismatch.";
    QTest::newRow("other document")
        << "<html>\n<body/></html>" << 1 << "the document element is <html>, not <scene>";
    QTest::newRow("not xml") << "*model<BMesh, 2, 1 >" << 1 << "Start tag expected.";
}

void TestProjectFile::checkDocument() {
    QFETCH(QString, text);
    const ProjectFile::Problem problem = ProjectFile::check(text);
    QTEST(problem.reason, "reason");
    if (!problem.reason.isEmpty())
        QTEST(int(problem.line), "line");
}

void TestProjectFile::roundTripOfAMeshedDesign() {
    EvolveScene original;
    buildDesign(original);
    if (QTest::currentTestFailed())
        return;
    const QString text = writeProject(&original);

    // The y sign rules: the scene-level load (holding -10) is written as 10, its node-attached
    // copy (holding the typed 10) as -10.
    QVERIFY(text.contains(QStringLiteral("<force xforce=\"5\" yforce=\"10\" accelx=\"1.5\" "
                                         "accely=\"-2.5\" radius=\"32\"")));
    QVERIFY(text.contains(QStringLiteral("<force xforce=\"5\" yforce=\"-10\"")));
    QVERIFY(text.contains(QStringLiteral("<Design yMod=\"3e+11\" poisson=\"0.2\" "
                                         "density=\"7000\"/>")));

    Materials::setDesign(Material{});
    Materials::setNonDesign(Material{});
    EvolveScene copy;
    applicationUndoStack()->push(new QUndoCommand(QStringLiteral("before")));
    QCOMPARE(readProject(&copy, text), QStringList());
    QCOMPARE(applicationUndoStack()->count(), 0);

    // Writing the loaded design again gives the same document.
    QCOMPARE(writeProject(&copy), text);

    QCOMPARE(Materials::design(), (Material{3e11, 0.2, 7000}));
    QCOMPARE(Materials::nonDesign(), (Material{1.5e10, 0.35, 2400}));
    QCOMPARE(copy.lastFreedom(), 2);
    QCOMPARE(copy.lastLoadParameters().yforce, 10.0);
    QCOMPARE(copy.lastDistributedLoadParameters().yforce, 30.0);

    // Shapes come back at z 0 in their stacking order, with kinds and materials.
    const QList<EvolveRectangle*> rectangles = topLevel<EvolveRectangle>(copy);
    QCOMPARE(rectangles.size(), 2);
    QCOMPARE(rectangles.at(0)->evolveMode(), int(NonDesign));
    QCOMPARE(rectangles.at(1)->evolveMode(), int(Subtraction));
    QCOMPARE(rectangles.at(0)->zValue(), 0.0);
    QCOMPARE(topLevel<EvolveEllipse>(copy).first()->material(), (MaterialRecord{1e11, 0.25, 5000}));
    QCOMPARE(topLevel<EvolvePolygon>(copy).first()->path().elementCount(), 4);

    // Every plate comes back in its state, the one switched off by hand included.
    EvolveMesh* before = original.meshItem();
    EvolveMesh* after = copy.meshItem();
    QVERIFY(after);
    QCOMPARE(after->plates().size(), before->plates().size());
    int active = 0;
    for (int i = 0; i < before->plates().size(); ++i) {
        QCOMPARE(after->plates().at(i)->isOn(), before->plates().at(i)->isOn());
        if (before->plates().at(i)->isOn()) {
            ++active;
            QCOMPARE(after->plates().at(i)->evolveMode(), before->plates().at(i)->evolveMode());
        }
    }
    QVERIFY(active > 0);

    // Loads keep their y component and sit on the nodes they were written for.
    const QList<LoadItem*> scenelevel = topLevel<LoadItem>(copy);
    QCOMPARE(scenelevel.size(), 1);
    QCOMPARE(scenelevel.first()->yForce(), -10.0);
    const QList<LoadItem*> attached = meshChildren<LoadItem>(after);
    QCOMPARE(attached.size(), 1);
    QCOMPARE(attached.first()->yForce(), 10.0);
    QVERIFY(attached.first()->node());
    QCOMPARE(attached.first()->node()->pos(), attached.first()->anchorPoint());
    QVERIFY(attached.first()->node()->loads.contains(attached.first()));
    const QList<FreedomItem*> constraints = meshChildren<FreedomItem>(after);
    QCOMPARE(constraints.size(), 1);
    QCOMPARE(constraints.first()->freedom(), 3);
    QVERIFY(constraints.first()->node()->constraints.contains(constraints.first()));
    QCOMPARE(meshChildren<DistributedLoadItem>(after).size(),
             meshChildren<DistributedLoadItem>(before).size());
}

void TestProjectFile::savingWhileDeformedKeepsNodePositions() {
    EvolveScene scene;
    QString error;
    QVERIFY2(
        ProjectFile::open(&scene, QStringLiteral(STRUKTA_EXAMPLES_DIR "/cantilever.xml"), &error),
        qPrintable(error));
    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh);
    const QString undeformed = writeProject(&scene);
    // As after an analysis: every node displaced, the deformed shape shown; the attached loads
    // and constraints follow it.
    for (MeshNode* node : mesh->nodes()) {
        node->deformedX = node->x + 7;
        node->deformedY = node->y + 3;
    }
    mesh->setDisplacementsLoaded(true);
    ResultDisplay::showDisplacements(mesh, true);
    LoadItem* load = meshChildren<LoadItem>(mesh).first();
    const QPointF shown = load->anchorPoint();
    QCOMPARE(shown, load->node()->pos() + QPointF(7, 3));

    QCOMPARE(writeProject(&scene), undeformed);
    QVERIFY(mesh->areDisplacementsShown());
    QCOMPARE(load->anchorPoint(), shown);
}

void TestProjectFile::numbersKeepSixDigits() {
    EvolveScene scene;
    auto* rectangle = new EvolveRectangle(QRectF(123.4567, 0.000123456789, 10, 20));
    rectangle->setEvolveMode(Design);
    scene.addItem(rectangle);
    const QString text = writeProject(&scene);
    QVERIFY(text.contains(QStringLiteral("dimensions=\"123.457,0.000123457,10,20\"")));
    QVERIFY(text.contains(QStringLiteral("property=\"2e+11,0.3,7800\"")));
    EvolveScene copy;
    readProject(&copy, text);
    QCOMPARE(topLevel<EvolveRectangle>(copy).first()->rect().x(), 123.457);
}

void TestProjectFile::nodeSpacingFollowsAttributeOrder_data() {
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<double>("spacing");
    QTest::newRow("as written: mmInPixel first")
        << "mmInPixel=\"0.02\" pixelNodeDistance=\"40\"" << 40.0;
    // The scale, set second, rescales the spacing read before it (0.01 / 0.02 x 40).
    QTest::newRow("pixelNodeDistance first")
        << "pixelNodeDistance=\"40\" mmInPixel=\"0.02\"" << 20.0;
}

void TestProjectFile::nodeSpacingFollowsAttributeOrder() {
    QFETCH(QString, attributes);
    QFETCH(double, spacing);
    EvolveScene scene;
    QCOMPARE(
        readProject(&scene, "<scene " + attributes + " SceneSize=\"1000,700\"><mesh/></scene>"),
        QStringList());
    QCOMPARE(scene.mmInPixel(), 0.02);
    QCOMPARE(scene.pixelNodeDistance(), spacing);
    QVERIFY(scene.meshItem());
    QCOMPARE(scene.meshItem()->pixelNodeDistance(), spacing);
}

void TestProjectFile::projectWithoutMesh() {
    EvolveScene scene;
    auto* rectangle = new EvolveRectangle(QRectF(0, 0, 100, 100));
    rectangle->setEvolveMode(Design);
    scene.addItem(rectangle);
    auto* load = new LoadItem(1);
    load->setForces(0, -3);
    scene.addItem(load);
    auto* freedom = new FreedomItem(1);
    freedom->setFreedom(1);
    scene.addItem(freedom);
    const QString text = writeProject(&scene);
    QVERIFY(!text.contains(QStringLiteral("<mesh")));

    EvolveScene copy;
    copy.createMesh();
    QVERIFY(copy.meshItem());
    readProject(&copy, text);
    QVERIFY(!copy.hasMesh());
    QCOMPARE(topLevel<EvolveRectangle>(copy).size(), 1);
    QCOMPARE(topLevel<LoadItem>(copy).size(), 1);
    QCOMPARE(topLevel<LoadItem>(copy).first()->yForce(), -3.0);
    QCOMPARE(topLevel<FreedomItem>(copy).size(), 1);
    QCOMPARE(writeProject(&copy), text);
}

void TestProjectFile::unreadableFileKeepsTheDesign_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty file") << QByteArray() << ", line 1: Premature end of document.";
    QTest::newRow("truncated") << QByteArray("<?xml version=\"1.0\"?>\n<scene mmInPixel=\"0.02\">\n"
                                             "<rectangle dimensions=\"0,0,10,10\"/>\n<mesh>\n<pl")
                               << ", line 5: ";
    QTest::newRow("attribute without quotes")
        << QByteArray("<scene>\n<ellipse dimensions=0,0,1,1/>\n</scene>") << ", line 2: ";
    QTest::newRow("not a project")
        << QByteArray("<svg>\n</svg>") << ", line 1: the document element is <svg>, not <scene>";
    QTest::newRow("model text") << QByteArray("*model<BMesh, 2, 1 >\n*node< 1, 0, 0, 0, 0 >")
                                << ", line 1: ";
}

void TestProjectFile::unreadableFileKeepsTheDesign() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    EvolveScene scene;
    buildDesign(scene);
    if (QTest::currentTestFailed())
        return;
    const QString before = writeProject(&scene);
    const int steps = applicationUndoStack()->count();
    QString error;
    QVERIFY(!ProjectFile::open(&scene, path, &error));
    QVERIFY2(error.startsWith(path + message), qPrintable(error));
    QCOMPARE(writeProject(&scene), before);
    QCOMPARE(applicationUndoStack()->count(), steps);
    // The file is never modified by reading it.
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);

    QVERIFY(!ProjectFile::open(&scene, dir.filePath(QStringLiteral("missing.xml")), &error));
    QVERIFY(error.contains(QStringLiteral("missing.xml")));
    QCOMPARE(writeProject(&scene), before);
}

void TestProjectFile::damagedPartsAreReported_data() {
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("short dimensions")
        << "<rectangle dimensions=\"10,20\" evolvemode=\"1\"/>"
        << "line 2: dimensions of <rectangle> has 2 of 4 values; the missing ones read as 0"
        << "<rectangle dimensions=\"10,20,0,0\" evolvemode=\"1\" property=\"2e+11,0.3,7800\"/>";
    QTest::newRow("number that does not convert")
        << "<ellipse dimensions=\"1,2,x3,4\" evolvemode=\"0\" property=\"1e9,0.3,7800\"/>"
        << "line 2: dimensions of <ellipse> is \"x3\", not a number; it reads as 0"
        << "<ellipse dimensions=\"1,2,0,4\" evolvemode=\"0\" property=\"1e+09,0.3,7800\"/>";
    QTest::newRow("unknown element") << "<triangle dimensions=\"1,2,3\"/>"
                                     << "line 2: unknown element <triangle> is left out"
                                     << "";
    QTest::newRow("load outside scene and mesh")
        << "<property><force xforce=\"1\" pos=\"0,0\"/></property>"
        << "line 2: <force> outside <scene> and the mesh is left out"
        << "";
    QTest::newRow("plate without a mesh") << "<plate id=\"3\" on=\"1\"/>"
                                          << "line 2: <plate id=\"3\"> is no plate of the mesh"
                                          << "";
    QTest::newRow("point types out of range are skipped")
        << "<polygon dimensions=\"0:0:0,10:0:1e10,10:10:1,5:5:-7\" evolvemode=\"0\"/>"
        << ""
        << "<polygon dimensions=\"0:0:0,10:10:1\" evolvemode=\"0\"";
    QTest::newRow("missing attributes read as 0")
        << "<freedom/>"
        << ""
        << "<freedom freedom=\"0\" id=\"0\" pos=\"0,0\"/>";
}

void TestProjectFile::damagedPartsAreReported() {
    QFETCH(QString, document);
    QFETCH(QString, problem);
    QFETCH(QString, rewritten);
    const QString text = "<scene SceneSize=\"1000,700\">\n" + document + "\n</scene>";
    QVERIFY(ProjectFile::check(text).reason.isEmpty());
    EvolveScene scene;
    const QStringList problems = readProject(&scene, text);
    QCOMPARE(problems, problem.isEmpty() ? QStringList() : QStringList{problem});
    const QString written = writeProject(&scene);
    if (!rewritten.isEmpty())
        QVERIFY2(written.contains(rewritten), qPrintable(written));
}

void TestProjectFile::saveReplacesTheFileOrSaysWhy() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("design.xml"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
    }
    EvolveScene scene;
    auto* ellipse = new EvolveEllipse(QRectF(0, 0, 10, 10));
    ellipse->setEvolveMode(Design);
    ellipse->setMaterial(MaterialRecord{2e11, 0.3, 7800});
    scene.addItem(ellipse);
    QString error;
    QVERIFY(ProjectFile::save(&scene, path, &error));
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), writeProject(&scene).toUtf8());

    QVERIFY(
        !ProjectFile::save(&scene, dir.filePath(QStringLiteral("no/such/dir/design.xml")), &error));
    QVERIFY(error.contains(QStringLiteral("no/such/dir/design.xml")));
}

void TestProjectFile::openInTheWindow() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("nondesign.xml"));
    {
        EvolveScene scene;
        scene.setEvolveMode(NonDesign);
        auto* rectangle = new EvolveRectangle(QRectF(10, 10, 100, 50));
        rectangle->setEvolveMode(NonDesign);
        scene.addItem(rectangle);
        QString error;
        QVERIFY(ProjectFile::save(&scene, path, &error));
    }
    Strukta window;
    window.openProject(path);
    QCOMPARE(window.scene()->evolveMode(), int(NonDesign));
    QVERIFY(window.action(QStringLiteral("actionDraw_non_evolvable"))->isChecked());
    QVERIFY(!window.action(QStringLiteral("actionDraw_Evolvable"))->isChecked());
    const QString loaded = writeProject(window.scene());

    // A file that cannot be read: one message box naming file, line and reason; nothing changes.
    const QString broken = dir.filePath(QStringLiteral("broken.xml"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<scene>\n<rectangle dimensions=\"0,0,5,5\">\n");
    file.close();
    QStringList shown;
    QTimer::singleShot(0, &window, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.append(box->text());
            box->accept();
        }
    });
    window.openProject(broken);
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(broken + QStringLiteral(", line 3: ")),
             qPrintable(shown.first()));
    QCOMPARE(writeProject(window.scene()), loaded);
}

void TestProjectFile::examplesOpenReadyToRun_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("active");
    QTest::addColumn<int>("constraints");
    QTest::newRow("cantilever") << "cantilever.xml" << 800 << 21;
    QTest::newRow("half MBB beam") << "mbb.xml" << 1200 << 22;
}

void TestProjectFile::examplesOpenReadyToRun() {
    QFETCH(QString, name);
    const QString path = QStringLiteral(STRUKTA_EXAMPLES_DIR "/") + name;
    EvolveScene scene;
    QString error;
    QStringList warnings;
    QVERIFY2(ProjectFile::open(&scene, path, &error, &warnings), qPrintable(error));
    QCOMPARE(warnings, QStringList());
    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh);
    int active = 0;
    for (PlateItem* plate : mesh->plates())
        active += plate->isOn() ? 1 : 0;
    QTEST(active, "active");
    const QList<LoadItem*> loads = meshChildren<LoadItem>(mesh);
    QCOMPARE(loads.size(), 1);
    QVERIFY(loads.first()->node());
    const QList<FreedomItem*> constraints = meshChildren<FreedomItem>(mesh);
    QTEST(int(constraints.size()), "constraints");
    for (const FreedomItem* constraint : constraints)
        QVERIFY(constraint->node());
    // The file is what the workbench writes for the design it holds.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(writeProject(&scene), QString::fromUtf8(file.readAll()));
}

QTEST_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
