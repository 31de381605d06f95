#include "drawing/evolvecanvas.h"
#include "drawing/evolveellipse.h"
#include "drawing/evolvepolygon.h"
#include "drawing/evolverectangle.h"
#include "drawing/itemtypes.h"
#include "project/createundocommand.h"
#include "project/deleteallcommand.h"
#include "project/undostack.h"
#include "project/zoomcommand.h"

#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QPointer>
#include <QUndoStack>
#include <QtTest>

namespace {

// An item that reports its destruction and can pose as any item type.
class TracedItem : public QGraphicsRectItem {
public:
    TracedItem(int itemType, bool* destroyed, QGraphicsItem* parent = nullptr)
        : QGraphicsRectItem(0, 0, 10, 10, parent), itemType(itemType), destroyed(destroyed) {}
    ~TracedItem() override {
        if (destroyed)
            *destroyed = true;
    }
    int type() const override { return itemType; }

private:
    int itemType;
    bool* destroyed;
};

// An item that is also a QObject, standing in for the mesh.
class ObjectItem : public QGraphicsObject {
public:
    QRectF boundingRect() const override { return QRectF(0, 0, 10, 10); }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}
    int type() const override { return ItemType::Mesh; }
};

} // namespace

class TestUndoCommands : public QObject {
    Q_OBJECT

    QUndoStack* stack = nullptr;
    QGraphicsScene* scene = nullptr;

private slots:
    void init() {
        stack = applicationUndoStack();
        scene = new QGraphicsScene;
    }
    void cleanup() {
        stack->clear();
        delete scene;
    }

    void singleApplicationStack() {
        QVERIFY(applicationUndoStack());
        QCOMPARE(applicationUndoStack(), applicationUndoStack());
        QVERIFY(!applicationUndoStack()->parent());
    }

    void createTexts_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::newRow("ellipse") << int(ItemType::Ellipse) << "'Added an ellipse'";
        QTest::newRow("rectangle") << int(ItemType::Rectangle) << "'Added a rectangle'";
        QTest::newRow("polygon") << int(ItemType::Polygon) << "'Added a Polygon'";
        QTest::newRow("load") << int(ItemType::Load) << "'Added a Force'";
        QTest::newRow("constraint") << int(ItemType::Freedom) << "'Added a Constraint'";
        QTest::newRow("mesh") << int(ItemType::Mesh) << "'Created Mesh'";
        QTest::newRow("distributed load")
            << int(ItemType::DistributedLoad) << "'Created Distributed Force'";
        QTest::newRow("plate") << int(ItemType::Plate) << "";
        QTest::newRow("plain item") << int(QGraphicsRectItem::Type) << "";
    }
    void createTexts() {
        QFETCH(int, type);
        QFETCH(QString, text);
        TracedItem item(type, nullptr);
        CreateUndoCommand command(scene, &item);
        QCOMPARE(command.text(), text);
        QCOMPARE(command.id(), 1);
        QCOMPARE(CreateUndoCommand(scene, nullptr).text(), QString());
    }

    void undoRedoWithParent() {
        auto* parent = new TracedItem(ItemType::Rectangle, nullptr);
        scene->addItem(parent);
        auto* child = new TracedItem(ItemType::Load, nullptr, parent);
        stack->push(new CreateUndoCommand(scene, child));
        QCOMPARE(child->parentItem(), parent);
        stack->undo();
        QVERIFY(!child->parentItem());
        QVERIFY(!child->scene());
        QCOMPARE(parent->scene(), scene);
        stack->redo();
        QCOMPARE(child->parentItem(), parent);
        QCOMPARE(child->scene(), scene);
    }

    void discardedUndoneCommandDeletesItsItems() {
        bool firstGone = false;
        bool secondGone = false;
        auto* first = new TracedItem(ItemType::Ellipse, &firstGone);
        scene->addItem(first);
        stack->push(new CreateUndoCommand(scene, first));
        stack->undo();
        QVERIFY(!firstGone);
        // Drawing something new after an undo discards the undone step and its shape.
        auto* second = new TracedItem(ItemType::Rectangle, &secondGone);
        scene->addItem(second);
        stack->push(new CreateUndoCommand(scene, second));
        QVERIFY(firstGone);
        // A command that is not undone never deletes its items.
        stack->clear();
        QVERIFY(!secondGone);
        QCOMPARE(second->scene(), scene);
        delete second; // while its flag still exists
    }

    void mergeableCommandsFormOneStep() {
        auto* load = new TracedItem(ItemType::Load, nullptr);
        auto* copy = new TracedItem(ItemType::Load, nullptr);
        auto* other = new TracedItem(ItemType::Freedom, nullptr);
        scene->addItem(load);
        scene->addItem(copy);
        scene->addItem(other);
        stack->push(new CreateUndoCommand(scene, load));
        stack->push(new CreateUndoCommand(scene, copy, true));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QString("'Added a Force'"));
        // Not mergeable: a step of its own.
        stack->push(new CreateUndoCommand(scene, other, false));
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QVERIFY(!other->scene());
        QCOMPARE(load->scene(), scene);
        stack->undo();
        QVERIFY(!load->scene());
        QVERIFY(!copy->scene());
        stack->redo();
        QCOMPARE(load->scene(), scene);
        QCOMPARE(copy->scene(), scene);
    }

    void meshSignalsFollowUndo() {
        auto* mesh = new ObjectItem;
        QPointer<QObject> guard(mesh);
        scene->addItem(mesh);
        stack->push(new CreateUndoCommand(scene, mesh));
        QCOMPARE(stack->text(0), QString("'Created Mesh'"));
        stack->undo();
        QVERIFY(mesh->signalsBlocked());
        QVERIFY(!mesh->scene());
        stack->redo();
        QVERIFY(!mesh->signalsBlocked());
        stack->undo();
        stack->clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
    }

    void meshDestroyedElsewhereIsNotTouched() {
        // A rebuild destroys the old mesh with its node-attached copies while the commands that
        // created them are still on the stack.
        auto* mesh = new ObjectItem;
        scene->addItem(mesh);
        stack->push(new CreateUndoCommand(scene, mesh));
        auto* load = new TracedItem(ItemType::Load, nullptr);
        scene->addItem(load);
        auto* copy = new TracedItem(ItemType::Load, nullptr, mesh);
        stack->push(new CreateUndoCommand(scene, load));
        stack->push(new CreateUndoCommand(scene, copy, true));
        QCOMPARE(stack->count(), 2);
        delete mesh;
        stack->undo();
        QVERIFY(!load->scene());
        stack->redo();
        QCOMPARE(load->scene(), scene);
        stack->undo();
        stack->undo();
        stack->redo();
        stack->clear();
        QCOMPARE(scene->items().size(), 0);
    }

    void copyDetachedWhenItsMeshDiesIsFreed() {
        auto* mesh = new ObjectItem;
        scene->addItem(mesh);
        auto* load = new TracedItem(ItemType::Load, nullptr);
        scene->addItem(load);
        bool copyGone = false;
        auto* copy = new TracedItem(ItemType::Load, &copyGone, mesh);
        stack->push(new CreateUndoCommand(scene, load));
        stack->push(new CreateUndoCommand(scene, copy, true));
        stack->undo();
        delete mesh;
        QVERIFY(!copyGone);
        stack->redo();
        QCOMPARE(load->scene(), scene);
        QVERIFY(!copy->scene());
        stack->clear();
        QVERIFY(copyGone);
    }

    void clearScreenCommand() {
        bool shapeGone = false;
        bool childGone = false;
        auto* shape = new TracedItem(ItemType::Rectangle, &shapeGone);
        scene->addItem(shape);
        auto* child = new TracedItem(ItemType::Plate, &childGone, shape);
        auto* command = new DeleteAllCommand(scene, scene->items());
        QCOMPARE(command->text(), QString("'Cleared entire screen'"));
        QCOMPARE(command->id(), -1);
        stack->push(command);
        QVERIFY(scene->items().isEmpty());
        QCOMPARE(scene->itemIndexMethod(), QGraphicsScene::BspTreeIndex);
        QCOMPARE(child->parentItem(), shape);
        stack->undo();
        QCOMPARE(scene->items().size(), 2);
        QCOMPARE(child->scene(), scene);
        stack->redo();
        // The cleared items belong to the step; discarding it (a new design clears the stack)
        // frees them.
        stack->clear();
        QVERIFY(shapeGone);
        QVERIFY(childGone);
    }

    void undoneClearScreenKeepsItems() {
        bool shapeGone = false;
        auto* shape = new TracedItem(ItemType::Rectangle, &shapeGone);
        scene->addItem(shape);
        stack->push(new DeleteAllCommand(scene, scene->items()));
        stack->undo();
        stack->clear();
        QVERIFY(!shapeGone);
        QCOMPARE(shape->scene(), scene);
        delete shape; // while its flag still exists
    }

    void zoomCommand_data() {
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.4 to 1.5") << 1.4 << 1.5 << "'Zoom to 1.5'";
        QTest::newRow("1 to 2") << 1.0 << 2.0 << "'Zoom to 2'";
        QTest::newRow("down to 0.2") << 0.25 << 0.2 << "'Zoom to 0.2'";
        QTest::newRow("large") << 1.0 << 100.0 << "'Zoom to 100'";
    }
    void zoomCommand() {
        QFETCH(double, from);
        QFETCH(double, to);
        QFETCH(QString, text);
        EvolveCanvas canvas;
        canvas.setScene(scene);
        canvas.setZoom(from);
        auto* command = new ZoomCommand(&canvas, from, to);
        QCOMPARE(command->text(), text);
        stack->push(command);
        QCOMPARE(canvas.zoom(), to);
        QCOMPARE(canvas.transform(), QTransform::fromScale(to, to));
        stack->undo();
        QCOMPARE(canvas.zoom(), from);
        QCOMPARE(canvas.transform(), QTransform::fromScale(from, from));
        QVERIFY(command->isUndone());
        stack->redo();
        QCOMPARE(canvas.zoom(), to);
        stack->clear();
    }
};

QTEST_MAIN(TestUndoCommands)
#include "tst_undocommands.moc"
