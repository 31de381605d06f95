// The mesh on a real scene: grid generation, node lookup, plates switched by shapes, loads and
// constraints attached to nodes, the edit gestures, selection and the mesh undo commands.

#include "drawing/evolvecanvas.h"
#include "drawing/evolverectangle.h"
#include "drawing/evolvescene.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/nodeplateselectionitem.h"
#include "loads/plateitem.h"
#include "loads/rubberband.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshclipboard.h"
#include "mesh/meshnode.h"
#include "project/undostack.h"

#include <QApplication>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

namespace {

// Sends one mouse event to the scene the way a view would, without a view.
void sendMouse(QGraphicsScene* scene, QEvent::Type type, const QPointF& pos,
               const QPointF& pressPos, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(pos);
    event.setScreenPos(pos.toPoint());
    event.setLastScenePos(pos);
    event.setButtonDownScenePos(Qt::LeftButton, pressPos);
    event.setButtonDownScreenPos(Qt::LeftButton, pressPos.toPoint());
    event.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    event.setButtons(buttons);
    event.setModifiers(modifiers);
    QApplication::sendEvent(scene, &event);
}

// A left-button drag from `from` through `via` to `to`.
void drag(QGraphicsScene* scene, const QPointF& from, const QList<QPointF>& via,
          const QPointF& to) {
    sendMouse(scene, QEvent::GraphicsSceneMousePress, from, from, Qt::LeftButton);
    for (const QPointF& p : via)
        sendMouse(scene, QEvent::GraphicsSceneMouseMove, p, from, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseMove, to, from, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, to, from, Qt::NoButton);
}

void click(QGraphicsScene* scene, const QPointF& at) {
    sendMouse(scene, QEvent::GraphicsSceneMousePress, at, at, Qt::LeftButton);
    sendMouse(scene, QEvent::GraphicsSceneMouseRelease, at, at, Qt::NoButton);
}

EvolveRectangle* addRectangle(EvolveScene& scene, const QRectF& rect, int kind) {
    auto* shape = new EvolveRectangle(rect);
    shape->setEvolveMode(kind);
    shape->setZValue(EvolveScene::nextZValue());
    scene.addItem(shape);
    return shape;
}

template <typename T> QList<T*> itemsOfType(const QGraphicsScene& scene) {
    QList<T*> found;
    const QList<QGraphicsItem*> all = scene.items();
    for (QGraphicsItem* item : all) {
        if (auto* typed = qgraphicsitem_cast<T*>(item))
            found.append(typed);
    }
    return found;
}

int plateIdAt(double x, double y) {
    return 21 * qRound(y / 50) + qRound(x / 50) + 1;
}

} // namespace

class TestEvolveMesh : public QObject {
    Q_OBJECT

private slots:
    void init() { applicationUndoStack()->clear(); }

    void gridOfDefaultScene();
    void nodeAtFindsOnlyNodes_data();
    void nodeAtFindsOnlyNodes();
    void halfCoveredPlatesAreTaken_data();
    void halfCoveredPlatesAreTaken();
    void subtractionAboveAndBelowDesign();
    void topmostShapeDecidesOverlap();
    void pointLoadLandsOnNearestCornerAndUndoesAtOnce();
    void loadOffTheMeshStaysUnattached();
    void distributedLoadAlongRowActsOnEveryNode();
    void distributedLoadOffTheMeshGetsNoCopy();
    void freedomRectConstrainsNodesInOneStep();
    void freedomRectClickMakesNothing();
    void addDragIsOneStepRestoringEachPlate();
    void rubberBandSelectionRules();
    void deleteKeySwitchesOffSelectedPlates();
    void selectionMenuMarksPlates_data();
    void selectionMenuMarksPlates();
    void draggedLoadSnapsToNearestCorner();
    void draggedDistributedLoadAndConstraintSnapToNodes();
    void copyPasteNextToOriginal();
    void cutRemovesSelection();
    void hoverReportsElementNumbersOnceAModelIsWritten();
    void rebuiltMeshKeepsEveryStepUndoable();
    void wholeSessionThroughTheCanvas();
    void undoingClearedMeshRestoresSceneMesh();
    void undoingClearScreenRestoresSceneMesh();
};

void TestEvolveMesh::gridOfDefaultScene() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh);
    QCOMPARE(mesh->nodes().size(), 315);
    QCOMPARE(mesh->plates().size(), 315);
    QCOMPARE(applicationUndoStack()->text(0), QStringLiteral("'Created Mesh'"));
    // Nodes row by row, then by column; ids follow 21 * row + column + 1.
    for (int k = 0; k < 315; ++k) {
        const MeshNode* node = mesh->nodes().at(k);
        QCOMPARE(node->x, (k % 21) * 50.0);
        QCOMPARE(node->y, (k / 21) * 50.0);
        QCOMPARE(node->id, k + 1);
        const PlateItem* plate = mesh->plates().at(k);
        QCOMPARE(plate->id(), k + 1);
        QCOMPARE(plate->anchorNode(), node);
        QCOMPARE(node->anchorPlate, plate);
        QVERIFY(!plate->isOn());
    }
    // Interior plates have four corners in polygon order; the last row and column reach
    // beyond the nodes and keep only the corners that exist.
    const PlateItem* inner = mesh->plates().at(plateIdAt(100, 50) - 1);
    QCOMPARE(inner->corners().size(), 4);
    QCOMPARE(inner->corners().at(2)->pos(), QPointF(150, 100));
    QCOMPARE(mesh->plates().last()->corners().size(), 1);
    QCOMPARE(mesh->nodes().at(0)->plates.size(), 1);
    QCOMPARE(mesh->nodes().at(22)->plates.size(), 4);
}

void TestEvolveMesh::nodeAtFindsOnlyNodes_data() {
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("expectedId");
    QTest::newRow("origin") << QPointF(0, 0) << 1;
    QTest::newRow("last node") << QPointF(1000, 700) << 315;
    QTest::newRow("inner node") << QPointF(150, 100) << 2 * 21 + 3 + 1;
    QTest::newRow("within tolerance") << QPointF(150 + 1e-9, 100 - 1e-9) << 2 * 21 + 3 + 1;
    QTest::newRow("between nodes, larger node exists") << QPointF(125, 100) << 0;
    QTest::newRow("off by a pixel fraction") << QPointF(150, 100.001) << 0;
    QTest::newRow("beyond the last column") << QPointF(1050, 0) << 0;
    QTest::newRow("negative") << QPointF(-50, 0) << 0;
}

void TestEvolveMesh::nodeAtFindsOnlyNodes() {
    QFETCH(QPointF, point);
    QFETCH(int, expectedId);
    EvolveScene scene;
    scene.createMesh();
    const MeshNode* node = scene.meshItem()->nodeAt(point);
    QCOMPARE(node ? node->id : 0, expectedId);
}

void TestEvolveMesh::halfCoveredPlatesAreTaken_data() {
    QTest::addColumn<QRectF>("shape");
    QTest::addColumn<bool>("taken");
    // The plate (100, 100, 50, 50); the shape covers part of it and nothing of its neighbours'
    // halves.
    QTest::newRow("whole plate") << QRectF(100, 100, 50, 50) << true;
    QTest::newRow("exactly half") << QRectF(100, 100, 25, 50) << true;
    QTest::newRow("one pixel less than half") << QRectF(100, 100, 24, 50) << false;
    QTest::newRow("half from the other side") << QRectF(125, 100, 25, 50) << true;
}

void TestEvolveMesh::halfCoveredPlatesAreTaken() {
    QFETCH(QRectF, shape);
    QFETCH(bool, taken);
    EvolveScene scene;
    addRectangle(scene, shape, Design);
    scene.createMesh();
    const PlateItem* plate = scene.meshItem()->plates().at(plateIdAt(100, 100) - 1);
    QCOMPARE(plate->isOn(), taken);
    int onCount = 0;
    for (const PlateItem* p : scene.meshItem()->plates())
        onCount += p->isOn() ? 1 : 0;
    QCOMPARE(onCount, taken ? 1 : 0);
}

void TestEvolveMesh::subtractionAboveAndBelowDesign() {
    // Design block of 4 x 2 plates; a subtraction over its left half.
    const QRectF design(100, 100, 200, 100);
    const QRectF hole(100, 100, 100, 100);
    const PlateItem* holePlate = nullptr;
    const PlateItem* keptPlate = nullptr;
    {
        EvolveScene scene;
        addRectangle(scene, design, Design);
        addRectangle(scene, hole, Subtraction); // drawn later: above
        scene.createMesh();
        holePlate = scene.meshItem()->plates().at(plateIdAt(100, 150) - 1);
        keptPlate = scene.meshItem()->plates().at(plateIdAt(250, 150) - 1);
        QVERIFY(!holePlate->isOn());
        QVERIFY(keptPlate->isOn());
        QCOMPARE(keptPlate->evolveMode(), int(Design));
    }
    applicationUndoStack()->clear();
    {
        EvolveScene scene;
        addRectangle(scene, hole, Subtraction); // drawn first: below
        addRectangle(scene, design, Design);
        scene.createMesh();
        for (const PlateItem* plate : scene.meshItem()->plates()) {
            const QPointF corner = plate->polygon().first();
            QCOMPARE(plate->isOn(),
                     design.contains(corner) && corner.x() < 300 && corner.y() < 200);
        }
    }
    // A subtraction drawn on a meshed scene removes the plates it covers, as one undo step.
    applicationUndoStack()->clear();
    EvolveScene scene;
    addRectangle(scene, design, Design);
    scene.createMesh();
    EvolveRectangle* late = addRectangle(scene, hole, Subtraction);
    const int before = applicationUndoStack()->count();
    scene.meshItem()->absorbItem(late);
    QCOMPARE(applicationUndoStack()->count(), before + 1);
    QVERIFY(!scene.meshItem()->plates().at(plateIdAt(150, 150) - 1)->isOn());
    applicationUndoStack()->undo();
    QVERIFY(scene.meshItem()->plates().at(plateIdAt(150, 150) - 1)->isOn());
}

void TestEvolveMesh::topmostShapeDecidesOverlap() {
    // A non-design block drawn over a design block keeps its kind in the mesh, whether the mesh
    // is generated afterwards or was there before.
    for (bool meshFirst : {false, true}) {
        EvolveScene scene;
        addRectangle(scene, QRectF(100, 100, 200, 100), Design);
        if (meshFirst)
            scene.createMesh();
        EvolveRectangle* top = addRectangle(scene, QRectF(200, 100, 100, 100), NonDesign);
        top->setMaterial({1e9, 0.2, 100});
        if (meshFirst)
            scene.meshItem()->absorbItem(top);
        else
            scene.createMesh();
        const PlateItem* overlap = scene.meshItem()->plates().at(plateIdAt(250, 150) - 1);
        const PlateItem* designOnly = scene.meshItem()->plates().at(plateIdAt(100, 150) - 1);
        QCOMPARE(overlap->evolveMode(), int(NonDesign));
        QCOMPARE(overlap->storedMaterial(), (MaterialRecord{1e9, 0.2, 100}));
        QCOMPARE(designOnly->evolveMode(), int(Design));
    }
}

void TestEvolveMesh::pointLoadLandsOnNearestCornerAndUndoesAtOnce() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastLoadParameters({0.0, 10.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    const int before = applicationUndoStack()->count();
    click(&scene, QPointF(112, 138)); // inside plate (100, 100); nearest corner (100, 150)

    QCOMPARE(applicationUndoStack()->count(), before + 1);
    QCOMPARE(applicationUndoStack()->text(before), QStringLiteral("'Added a Force'"));
    const QList<LoadItem*> loads = itemsOfType<LoadItem>(scene);
    QCOMPARE(loads.size(), 2);
    LoadItem* drawn = loads.at(0)->parentItem() ? loads.at(1) : loads.at(0);
    LoadItem* copy = loads.at(0)->parentItem() ? loads.at(0) : loads.at(1);
    QCOMPARE(drawn->anchorPoint(), QPointF(112, 138));
    QCOMPARE(drawn->yForce(), -10.0);
    QCOMPARE(copy->parentItem(), mesh);
    QCOMPARE(copy->anchorPoint(), QPointF(100, 150));
    QCOMPARE(copy->yForce(), 10.0);
    QCOMPARE(copy->id(), drawn->id());
    QCOMPARE(copy->radius(), 50.0);
    MeshNode* node = mesh->nodeAt(QPointF(100, 150));
    QCOMPARE(copy->node(), node);
    QCOMPARE(node->loads, QList<LoadItem*>{copy});

    applicationUndoStack()->undo();
    QVERIFY(itemsOfType<LoadItem>(scene).isEmpty());
    QVERIFY(node->loads.isEmpty()); // an undone copy is not part of the model
    applicationUndoStack()->redo();
    QCOMPARE(itemsOfType<LoadItem>(scene).size(), 2);
    QCOMPARE(node->loads.size(), 1);
}

void TestEvolveMesh::loadOffTheMeshStaysUnattached() {
    EvolveScene scene;
    // Drawn where the mesh will not reach (e.g. kept from a larger drawing).
    auto* load = new LoadItem(LoadItem::nextId());
    load->setForces(5, 5);
    load->setAnchorPoint(QPointF(-200, -200));
    scene.addItem(load);
    auto* constraint = new FreedomItem(FreedomItem::nextId());
    constraint->setFreedom(3);
    constraint->setPos(3000, 3000);
    scene.addItem(constraint);
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    for (const MeshNode* node : mesh->nodes()) {
        QVERIFY(node->loads.isEmpty());
        QVERIFY(node->constraints.isEmpty());
    }
    QCOMPARE(itemsOfType<LoadItem>(scene).size(), 1);
    QCOMPARE(itemsOfType<FreedomItem>(scene).size(), 1);
}

void TestEvolveMesh::distributedLoadAlongRowActsOnEveryNode() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastDistributedLoadParameters({0.0, -4.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::DistributedLoad);
    // Along the row y = 200 from the node (100, 200) to the node (300, 200), slightly off.
    drag(&scene, QPointF(103, 198), {QPointF(200, 199)}, QPointF(296, 203));

    QList<DistributedLoadItem*> copies;
    for (DistributedLoadItem* item : itemsOfType<DistributedLoadItem>(scene)) {
        if (item->parentItem() == mesh)
            copies.append(item);
    }
    QCOMPARE(copies.size(), 1);
    DistributedLoadItem* copy = copies.first();
    QCOMPARE(copy->yForce(), -4.0); // the typed value
    QList<QPointF> points = copy->nodePoints();
    std::sort(points.begin(), points.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const QList<QPointF> expected = {QPointF(100, 200), QPointF(150, 200), QPointF(200, 200),
                                     QPointF(250, 200), QPointF(300, 200)};
    QCOMPARE(points, expected);
    QCOMPARE(copy->line().first(), copy->line().last());
    applicationUndoStack()->undo();
    QVERIFY(itemsOfType<DistributedLoadItem>(scene).isEmpty());
}

void TestEvolveMesh::distributedLoadOffTheMeshGetsNoCopy() {
    EvolveScene scene;
    auto* load = new DistributedLoadItem(DistributedLoadItem::nextId());
    load->setPos(-500, -500);
    load->setLine(QPolygonF(QRectF(0, 0, 100, 3)));
    scene.addItem(load);
    scene.createMesh();
    QCOMPARE(itemsOfType<DistributedLoadItem>(scene).size(), 1);
}

void TestEvolveMesh::freedomRectConstrainsNodesInOneStep() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastFreedom(2);
    scene.setDrawShape(EvolveScene::FreedomRect);
    const int before = applicationUndoStack()->count();
    // Covers the nodes x in {100, 150, 200}, y in {100, 150, 200}.
    drag(&scene, QPointF(90, 90), {QPointF(150, 150)}, QPointF(210, 220));

    QCOMPARE(applicationUndoStack()->count(), before + 1);
    QCOMPARE(applicationUndoStack()->text(before), QStringLiteral("Added Constraints"));
    const QList<FreedomItem*> constraints = itemsOfType<FreedomItem>(scene);
    QCOMPARE(constraints.size(), 9);
    for (FreedomItem* constraint : constraints) {
        QCOMPARE(constraint->freedom(), 2);
        QCOMPARE(constraint->parentItem(), mesh);
        QVERIFY(constraint->node());
        QCOMPARE(constraint->pos(), constraint->node()->pos());
        QCOMPARE(constraint->node()->constraints.size(), 1);
    }
    QVERIFY(!mesh->rubberBand()->isVisible());
    applicationUndoStack()->undo();
    QVERIFY(itemsOfType<FreedomItem>(scene).isEmpty());
    for (const MeshNode* node : mesh->nodes())
        QVERIFY(node->constraints.isEmpty());
}

void TestEvolveMesh::freedomRectClickMakesNothing() {
    EvolveScene scene;
    scene.createMesh();
    scene.setDrawShape(EvolveScene::FreedomRect);
    const int before = applicationUndoStack()->count();
    click(&scene, QPointF(100, 100));                                        // right on a node
    drag(&scene, QPointF(150, 150), {QPointF(180, 180)}, QPointF(150, 150)); // back to start
    QCOMPARE(applicationUndoStack()->count(), before);
    QVERIFY(itemsOfType<FreedomItem>(scene).isEmpty());
}

void TestEvolveMesh::addDragIsOneStepRestoringEachPlate() {
    EvolveScene scene;
    addRectangle(scene, QRectF(200, 100, 50, 50), NonDesign); // plate (200, 100) starts on
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setEvolveMode(Design);
    scene.setMeshEditMode(EvolveMesh::AddPlates);
    const PlateItem* wasOn = mesh->plates().at(plateIdAt(200, 100) - 1);
    QVERIFY(wasOn->isOn());
    const int before = applicationUndoStack()->count();

    // Across the row of plates y = 100 from x = 0 to x = 500 (eleven plates, one already on).
    QList<QPointF> via;
    for (int x = 30; x < 530; x += 50)
        via.append(QPointF(x, 120));
    drag(&scene, QPointF(10, 120), via, QPointF(540, 120));

    QCOMPARE(applicationUndoStack()->count(), before + 1);
    QCOMPARE(applicationUndoStack()->text(before), QStringLiteral("'Drawn element'"));
    for (int x = 0; x <= 500; x += 50) {
        const PlateItem* plate = mesh->plates().at(plateIdAt(x, 100) - 1);
        QVERIFY(plate->isOn());
        QCOMPARE(plate->evolveMode(), x == 200 ? int(NonDesign) : int(Design));
    }
    applicationUndoStack()->undo();
    for (int x = 0; x <= 500; x += 50) {
        const PlateItem* plate = mesh->plates().at(plateIdAt(x, 100) - 1);
        QCOMPARE(plate->isOn(), x == 200);
    }
    QCOMPARE(wasOn->evolveMode(), int(NonDesign));

    // Deleting by dragging merges likewise, and a press on an off plate pushes nothing.
    scene.setMeshEditMode(EvolveMesh::DeletePlates);
    const int beforeDelete = applicationUndoStack()->index();
    click(&scene, QPointF(320, 120));
    QCOMPARE(applicationUndoStack()->index(), beforeDelete);
    click(&scene, QPointF(220, 120));
    QCOMPARE(applicationUndoStack()->index(), beforeDelete + 1);
    QVERIFY(!wasOn->isOn());
    applicationUndoStack()->undo();
    QVERIFY(wasOn->isOn());
    QCOMPARE(wasOn->evolveMode(), int(NonDesign));
}

void TestEvolveMesh::rubberBandSelectionRules() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastLoadParameters({10.0, 0.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    click(&scene, QPointF(301, 301)); // copy's tail at (300, 300), arrow to the right
    click(&scene, QPointF(401, 301)); // copy's tail at (400, 300)
    scene.setDrawShape(EvolveScene::Select);

    // Band from (340, 260) to (410, 310): holds the second tail; it crosses the first arrow's
    // tip region but not its tail, and touches the plate (400, 300)... by more than a corner.
    drag(&scene, QPointF(320, 260), {QPointF(360, 280)}, QPointF(410, 310));
    QCOMPARE(mesh->selection().size(), 1);
    auto* selectedLoad = qgraphicsitem_cast<LoadItem*>(mesh->selection().first());
    QVERIFY(selectedLoad);
    QCOMPARE(selectedLoad->anchorPoint(), QPointF(400, 300));
    QVERIFY(selectedLoad->isHighlighted());

    // A band touching only the corner (500, 500) of the plate (450, 450) selects that plate.
    drag(&scene, QPointF(500, 500), {QPointF(520, 520)}, QPointF(540, 540));
    QList<int> ids;
    for (const PlateItem* plate : mesh->selectionItem()->plates())
        ids.append(plate->id());
    QVERIFY(ids.contains(plateIdAt(450, 450)));
    QVERIFY(ids.contains(plateIdAt(500, 500)));
    QVERIFY(!ids.contains(plateIdAt(400, 450)));
    QVERIFY(mesh->selection().isEmpty());
    QVERIFY(!selectedLoad->isHighlighted());
}

void TestEvolveMesh::deleteKeySwitchesOffSelectedPlates() {
    EvolveScene scene;
    QEvent activate(QEvent::WindowActivate); // as a shown view would, so items can take focus
    QApplication::sendEvent(&scene, &activate);
    addRectangle(scene, QRectF(0, 0, 300, 300), Design);
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setDrawShape(EvolveScene::Select);
    // Touches the column x = 150 and the row y = 100 along their edges.
    drag(&scene, QPointF(60, 60), {QPointF(80, 80)}, QPointF(150, 100));
    QVERIFY(mesh->selection().isEmpty());
    QCOMPARE(mesh->selectionItem()->plates().size(), 6);
    QVERIFY(mesh->hasFocus());
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&scene, &press);
    for (const PlateItem* plate : mesh->selectionItem()->plates())
        QVERIFY(!plate->isOn());
    QVERIFY(mesh->plates().at(plateIdAt(250, 250) - 1)->isOn());
    applicationUndoStack()->undo();
    for (const PlateItem* plate : mesh->selectionItem()->plates())
        QVERIFY(plate->isOn());
}

void TestEvolveMesh::selectionMenuMarksPlates_data() {
    QTest::addColumn<int>("entry"); // 1 "Mark as Design", 2 "Mark as Non-Design"
    QTest::addColumn<int>("mode");
    QTest::newRow("Mark as Design") << 1 << int(Design);
    QTest::newRow("Mark as Non-Design") << 2 << int(NonDesign);
}

void TestEvolveMesh::selectionMenuMarksPlates() {
    QFETCH(int, entry);
    QFETCH(int, mode);
    EvolveScene scene;
    addRectangle(scene, QRectF(100, 100, 50, 50), NonDesign); // one of the selected plates is on
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setDrawShape(EvolveScene::Select);
    drag(&scene, QPointF(110, 110), {QPointF(150, 120)}, QPointF(190, 140));
    QCOMPARE(mesh->selectionItem()->plates().size(), 2); // (100, 100) on, (150, 100) off
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (const QAction* action : menu->actions())
            texts.append(action->text());
        for (int k = 0; k < entry; ++k)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QGraphicsSceneContextMenuEvent event(QEvent::GraphicsSceneContextMenu);
    event.setScenePos(QPointF(125, 125));
    event.setScreenPos(QPoint(125, 125));
    QApplication::sendEvent(&scene, &event);
    QCOMPARE(texts, (QStringList{"Mark as Design", "Mark as Non-Design"}));
    for (const PlateItem* plate : mesh->selectionItem()->plates()) {
        QVERIFY(plate->isOn());
        QCOMPARE(plate->evolveMode(), mode);
    }
    QVERIFY(mesh->isModelChanged());
}

void TestEvolveMesh::draggedLoadSnapsToNearestCorner() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastLoadParameters({10.0, 0.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    click(&scene, QPointF(200, 200));
    scene.setDrawShape(EvolveScene::Select);
    LoadItem* copy = nullptr;
    for (LoadItem* load : itemsOfType<LoadItem>(scene)) {
        if (load->parentItem() == mesh)
            copy = load;
    }
    QVERIFY(copy);
    // Grab the arrow on its shaft and drop it so that its tail lies at (262, 238).
    drag(&scene, QPointF(215, 200), {QPointF(250, 220)}, QPointF(277, 238));
    QCOMPARE(copy->anchorPoint(), QPointF(250, 250));
    QVERIFY(mesh->nodeAt(QPointF(200, 200))->loads.isEmpty());
    QCOMPARE(mesh->nodeAt(QPointF(250, 250))->loads, QList<LoadItem*>{copy});
}

void TestEvolveMesh::copyPasteNextToOriginal() {
    EvolveScene scene;
    addRectangle(scene, QRectF(100, 100, 100, 50), NonDesign); // plates (100, 100), (150, 100)
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastLoadParameters({0.0, 5.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    click(&scene, QPointF(151, 101)); // copy at node (150, 100)
    scene.setDrawShape(EvolveScene::Select);
    // Selects the load's tail and the plates of columns x = 100, 150 in rows y = 50 (off) and
    // y = 100 (on): a block 100 wide.
    drag(&scene, QPointF(110, 95), {QPointF(130, 120)}, QPointF(190, 140));
    QCOMPARE(mesh->selection().size(), 1);
    scene.copy();
    QCOMPARE(MeshClipboard::instance().loads().size(), 1);
    QCOMPARE(MeshClipboard::instance().plates().size(), 4);

    const int before = applicationUndoStack()->index();
    scene.paste();
    QCOMPARE(applicationUndoStack()->index(), before + 1);
    QCOMPARE(applicationUndoStack()->text(before), QStringLiteral("'Pasted'"));
    // Shifted right by the block's width, the plates land next to the originals.
    const double shift = 100;
    for (double x : {100.0, 150.0}) {
        const PlateItem* pasted = mesh->plates().at(plateIdAt(x + shift, 100) - 1);
        QVERIFY(pasted->isOn());
        QCOMPARE(pasted->evolveMode(), int(NonDesign));
    }
    const MeshNode* target = mesh->nodeAt(QPointF(150 + shift, 100));
    QCOMPARE(target->loads.size(), 1);
    QCOMPARE(target->loads.first()->yForce(), 5.0);
    applicationUndoStack()->undo();
    QVERIFY(!mesh->plates().at(plateIdAt(100 + shift, 100) - 1)->isOn());
    QVERIFY(target->loads.isEmpty());
}

void TestEvolveMesh::cutRemovesSelection() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastFreedom(3);
    scene.setDrawShape(EvolveScene::Freedom);
    click(&scene, QPointF(302, 298));
    const MeshNode* node = mesh->nodeAt(QPointF(300, 300));
    QCOMPARE(node->constraints.size(), 1);
    scene.setDrawShape(EvolveScene::Select);
    drag(&scene, QPointF(290, 290), {QPointF(300, 300)}, QPointF(310, 310));
    QCOMPARE(mesh->selection().size(), 1);
    scene.cut();
    QVERIFY(node->constraints.isEmpty());
    QVERIFY(mesh->selection().isEmpty());
    QVERIFY(mesh->selectionItem()->plates().isEmpty());
    QCOMPARE(MeshClipboard::instance().constraints().size(), 1);
    QCOMPARE(MeshClipboard::instance().constraints().first().freedom, 3);
    applicationUndoStack()->undo();
    QCOMPARE(node->constraints.size(), 1);
}

void TestEvolveMesh::hoverReportsElementNumbersOnceAModelIsWritten() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    QSignalSpy reported(&scene, &EvolveScene::updatePlateId);
    sendMouse(&scene, QEvent::GraphicsSceneMouseMove, QPointF(120, 120), QPointF(), Qt::NoButton);
    QCOMPARE(reported.count(), 0); // no model written yet
    mesh->elementNumberOf().insert(plateIdAt(100, 100), 17);
    sendMouse(&scene, QEvent::GraphicsSceneMouseMove, QPointF(130, 125), QPointF(), Qt::NoButton);
    QCOMPARE(reported.count(), 1);
    QCOMPARE(reported.first().first().toInt(), 17);
}

void TestEvolveMesh::rebuiltMeshKeepsEveryStepUndoable() {
    EvolveScene scene;
    addRectangle(scene, QRectF(0, 0, 400, 200), Design);
    scene.createMesh();
    scene.setLastLoadParameters({1.0, 1.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    click(&scene, QPointF(200, 100));
    scene.setDrawShape(EvolveScene::Select);
    drag(&scene, QPointF(180, 80), {QPointF(190, 90)}, QPointF(220, 120)); // selects the load
    QCOMPARE(scene.meshItem()->selection().size(), 1);
    scene.setMeshEditMode(EvolveMesh::DeletePlates);
    drag(&scene, QPointF(10, 10), {QPointF(60, 10)}, QPointF(110, 10));

    // Twice the metres per scene unit: the same physical spacing is half as many scene units,
    // and the mesh is rebuilt from the shapes and loads.
    QPointer<EvolveMesh> old(scene.meshItem());
    scene.setMmInPixel(0.02);
    QVERIFY(old.isNull());
    EvolveMesh* mesh = scene.meshItem();
    QCOMPARE(mesh->editMode(), int(EvolveMesh::DeletePlates)); // the chosen tool stays on
    scene.setMeshEditMode(EvolveMesh::None);
    QCOMPARE(mesh->pixelNodeDistance(), 25.0);
    QCOMPARE(mesh->nodes().size(), 41 * 29);
    QCOMPARE(mesh->nodeAt(QPointF(200, 100))->loads.size(), 1);
    QVERIFY(mesh->plates().at(0)->isOn());

    // Every step, including those of the mesh that is gone, undoes and redoes safely.
    QUndoStack* stack = applicationUndoStack();
    while (stack->canUndo())
        stack->undo();
    QVERIFY(!scene.hasMesh());
    QCOMPARE(itemsOfType<LoadItem>(scene).size(), 0);
    while (stack->canRedo())
        stack->redo();
    QCOMPARE(scene.meshItem(), mesh);
    QCOMPARE(mesh->nodeAt(QPointF(200, 100))->loads.size(), 1);
    // A new step after undoing discards (and deletes) what was undone.
    stack->undo();
    scene.setDrawShape(EvolveScene::Freedom);
    click(&scene, QPointF(300, 300));
    QVERIFY(!stack->canRedo());
}

void TestEvolveMesh::wholeSessionThroughTheCanvas() {
    // A user's session with real mouse and key events on the view: a design domain with a hole,
    // the mesh, loads and constraints, plate edits and a deletion, then every step undone.
    EvolveScene scene;
    EvolveCanvas canvas;
    canvas.setScene(&scene);
    canvas.resize(1100, 800);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowActive(&canvas));
    QWidget* viewport = canvas.viewport();
    auto at = [&canvas](double x, double y) { return canvas.mapFromScene(QPointF(x, y)); };
    auto dragOnView = [&](QPointF from, QPointF to) {
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at(from.x(), from.y()));
        QTest::mouseMove(viewport, at((from.x() + to.x()) / 2, (from.y() + to.y()) / 2));
        QTest::mouseMove(viewport, at(to.x(), to.y()));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at(to.x(), to.y()));
    };

    scene.setEvolveMode(Design);
    scene.setDrawShape(EvolveScene::Rectangle);
    dragOnView(QPointF(100, 100), QPointF(500, 300));
    scene.setEvolveMode(Subtraction);
    scene.setDrawShape(EvolveScene::Rectangle);
    dragOnView(QPointF(200, 150), QPointF(300, 250));
    scene.setEvolveMode(Design);
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    QVERIFY(mesh->plates().at(plateIdAt(150, 150) - 1)->isOn());
    QVERIFY(!mesh->plates().at(plateIdAt(200, 150) - 1)->isOn());

    scene.setLastLoadParameters({0.0, -10.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::PointLoad);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at(497, 296));
    QCOMPARE(mesh->nodeAt(QPointF(500, 300))->loads.size(), 1);
    scene.setLastFreedom(3);
    scene.setDrawShape(EvolveScene::Freedom);
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at(103, 104));
    QCOMPARE(mesh->nodeAt(QPointF(100, 100))->constraints.size(), 1);
    scene.setLastDistributedLoadParameters({0.0, -2.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::DistributedLoad);
    dragOnView(QPointF(101, 302), QPointF(299, 298));

    // Fill the hole by dragging in add mode, then select two plates and delete them.
    scene.setDrawShape(EvolveScene::NoShape);
    scene.setMeshEditMode(EvolveMesh::AddPlates);
    dragOnView(QPointF(205, 160), QPointF(295, 160));
    QVERIFY(mesh->plates().at(plateIdAt(250, 150) - 1)->isOn());
    scene.setMeshEditMode(EvolveMesh::None);
    scene.setDrawShape(EvolveScene::Select);
    dragOnView(QPointF(410, 210), QPointF(440, 240)); // inside plate (400, 200) only
    QCOMPARE(mesh->selectionItem()->plates().size(), 1);
    QTest::keyClick(viewport, Qt::Key_Delete);
    QVERIFY(!mesh->plates().at(plateIdAt(400, 200) - 1)->isOn());

    QUndoStack* stack = applicationUndoStack();
    const QStringList expected = {"'Added a rectangle'", "'Added a rectangle'", "'Created Mesh'"};
    for (int k = 0; k < expected.size(); ++k)
        QCOMPARE(stack->text(k), expected.at(k));
    QCOMPARE(stack->text(stack->count() - 1), QStringLiteral("'Deleted Selection'"));
    while (stack->canUndo())
        stack->undo();
    QVERIFY(!scene.hasMesh());
    QCOMPARE(scene.items().size(), 1); // the grid
}

void TestEvolveMesh::draggedDistributedLoadAndConstraintSnapToNodes() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.setLastDistributedLoadParameters({0.0, -1.0, 0.0, 0.0});
    scene.setDrawShape(EvolveScene::DistributedLoad);
    drag(&scene, QPointF(100, 400), {QPointF(150, 400)}, QPointF(200, 400));
    scene.setLastFreedom(1);
    scene.setDrawShape(EvolveScene::Freedom);
    click(&scene, QPointF(600, 600));
    DistributedLoadItem* line = nullptr;
    for (DistributedLoadItem* item : itemsOfType<DistributedLoadItem>(scene)) {
        if (item->parentItem() == mesh)
            line = item;
    }
    QVERIFY(line);
    scene.setDrawShape(EvolveScene::Select);

    // Grab the line on its middle arrow and move it by (+61, +38): every point snaps to the
    // node nearest to where it was dropped, i.e. one spacing right and one down.
    drag(&scene, QPointF(150, 390), {QPointF(180, 410)}, QPointF(211, 428));
    QList<QPointF> points = line->nodePoints();
    std::sort(points.begin(), points.end(),
              [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    QCOMPARE(points, (QList<QPointF>{{150, 450}, {200, 450}, {250, 450}}));
    QCOMPARE(line->line().first(), line->line().last());

    // A constraint dropped between nodes goes to the nearest one and changes node lists.
    FreedomItem* constraint = mesh->nodeAt(QPointF(600, 600))->constraints.value(0);
    QVERIFY(constraint);
    drag(&scene, QPointF(601, 602), {QPointF(620, 620)}, QPointF(631, 652));
    QCOMPARE(constraint->pos(), QPointF(650, 650));
    QVERIFY(mesh->nodeAt(QPointF(600, 600))->constraints.isEmpty());
    QCOMPARE(mesh->nodeAt(QPointF(650, 650))->constraints.size(), 1);
}

void TestEvolveMesh::undoingClearedMeshRestoresSceneMesh() {
    EvolveScene scene;
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.deleteMesh();
    QCOMPARE(applicationUndoStack()->text(applicationUndoStack()->count() - 1),
             QStringLiteral("'Cleared Mesh'"));
    QVERIFY(!scene.hasMesh());
    QVERIFY(!mesh->scene());
    applicationUndoStack()->undo();
    QCOMPARE(scene.meshItem(), mesh);
    applicationUndoStack()->redo();
    QVERIFY(!scene.hasMesh());
    // The stack letting go of the done command deletes the orphaned mesh.
    QPointer<EvolveMesh> guard(mesh);
    applicationUndoStack()->clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(guard.isNull());
}

void TestEvolveMesh::undoingClearScreenRestoresSceneMesh() {
    EvolveScene scene;
    addRectangle(scene, QRectF(0, 0, 100, 100), Design);
    scene.createMesh();
    EvolveMesh* mesh = scene.meshItem();
    scene.clearScene();
    QVERIFY(!scene.hasMesh());
    applicationUndoStack()->undo();
    QCOMPARE(scene.meshItem(), mesh);
    QVERIFY(mesh->plates().first()->isOn());
}

QTEST_MAIN(TestEvolveMesh)
#include "tst_evolvemesh.moc"
