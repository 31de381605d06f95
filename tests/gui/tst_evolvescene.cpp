#include "drawing/evolvecanvas.h"
#include "drawing/evolveellipse.h"
#include "drawing/evolvepolygon.h"
#include "drawing/evolverectangle.h"
#include "drawing/evolvescene.h"
#include "drawing/griditem.h"
#include "mesh/evolvemesh.h"
#include "project/undostack.h"
#include "support/sceneevents.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGraphicsSceneContextMenuEvent>
#include <QImage>
#include <QImageReader>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

#include <functional>
#include <memory>

using namespace SceneEvents;

Q_DECLARE_METATYPE(EvolveScene::DrawShape)

namespace {

// Runs `answer` on the next modal dialog as soon as it is shown (the dialogs use exec()).
void onNextDialog(std::function<void(QDialog*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog, "no modal dialog open");
        answer(dialog);
    });
}

// The dialog's spin boxes that are shown, in layout order.
QList<QDoubleSpinBox*> visibleSpinBoxes(QDialog* dialog) {
    QList<QDoubleSpinBox*> boxes;
    for (QDoubleSpinBox* box : dialog->findChildren<QDoubleSpinBox*>()) {
        if (!box->isHidden())
            boxes.append(box);
    }
    return boxes;
}

QList<QGraphicsItem*> shapesOf(QGraphicsScene* scene) {
    QList<QGraphicsItem*> shapes;
    for (QGraphicsItem* item : scene->items(Qt::AscendingOrder)) {
        if (ItemType::isShape(item))
            shapes.append(item);
    }
    return shapes;
}

QRectF shapeRect(QGraphicsItem* item) {
    if (item->type() == EvolveEllipse::Type)
        return static_cast<EvolveEllipse*>(item)->rect();
    if (item->type() == EvolveRectangle::Type)
        return static_cast<EvolveRectangle*>(item)->rect();
    return item->boundingRect();
}

} // namespace

class TestEvolveScene : public QObject {
    Q_OBJECT

    std::unique_ptr<EvolveScene> scene;
    QUndoStack* stack = nullptr;

private slots:
    void init() {
        stack = applicationUndoStack();
        scene = std::make_unique<EvolveScene>();
        // The pointer snapping moves the real cursor; the gestures here use exact positions.
        scene->showGrid(false);
    }
    void cleanup() {
        // The stack owns undone items; clear it while the scene still exists.
        stack->clear();
        scene.reset();
    }

    void initialState() {
        QCOMPARE(scene->sceneRect(), QRectF(0, 0, 1000, 700));
        QCOMPARE(scene->drawShape(), EvolveScene::NoShape);
        QCOMPARE(scene->mmInPixel(), 0.01);
        QCOMPARE(scene->pixelNodeDistance(), 50.0);
        QCOMPARE(scene->lastFreedom(), 1);
        QCOMPARE(scene->evolveMode(), 0);
        QVERIFY(scene->grid());
        QCOMPARE(scene->grid()->width(), 10.0);
        QCOMPARE(scene->items(), QList<QGraphicsItem*>{scene->grid()});
        const double z = EvolveScene::nextZValue();
        QCOMPARE(EvolveScene::nextZValue(), z + 0.01);
    }

    void dragGestures_data() {
        QTest::addColumn<EvolveScene::DrawShape>("mode");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<int>("type");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QString>("undoText");
        const int none = 0;
        QTest::newRow("rectangle")
            << EvolveScene::Rectangle << QPointF(100, 100) << QPointF(150, 130)
            << int(EvolveRectangle::Type) << QRectF(100, 100, 50, 30) << "'Added a rectangle'";
        QTest::newRow("rectangle up-left")
            << EvolveScene::Rectangle << QPointF(150, 130) << QPointF(100, 100)
            << int(EvolveRectangle::Type) << QRectF(100, 100, 50, 30) << "'Added a rectangle'";
        QTest::newRow("ellipse up-left")
            << EvolveScene::Ellipse << QPointF(300, 200) << QPointF(240, 170)
            << int(EvolveEllipse::Type) << QRectF(240, 170, 60, 30) << "'Added an ellipse'";
        QTest::newRow("square right and up")
            << EvolveScene::Square << QPointF(100, 100) << QPointF(130, 90)
            << int(EvolveRectangle::Type) << QRectF(90, 90, 10, 10) << "'Added a rectangle'";
        QTest::newRow("square right and down")
            << EvolveScene::Square << QPointF(100, 100) << QPointF(140, 120)
            << int(EvolveRectangle::Type) << QRectF(100, 100, 20, 20) << "'Added a rectangle'";
        QTest::newRow("circle about the press point")
            << EvolveScene::Circle << QPointF(200, 200) << QPointF(230, 240)
            << int(EvolveEllipse::Type) << QRectF(150, 150, 100, 100) << "'Added an ellipse'";
        QTest::newRow("horizontal rectangle drag") << EvolveScene::Rectangle << QPointF(100, 100)
                                                   << QPointF(200, 100) << none << QRectF() << "";
        QTest::newRow("vertical ellipse drag") << EvolveScene::Ellipse << QPointF(100, 100)
                                               << QPointF(100, 200) << none << QRectF() << "";
        QTest::newRow("rectangle drag released outside the scene")
            << EvolveScene::Rectangle << QPointF(100, 100) << QPointF(-20, 60)
            << int(EvolveRectangle::Type) << QRectF(40, 80, 60, 20) << "'Added a rectangle'";
        QTest::newRow("circle drag only outside the scene")
            << EvolveScene::Circle << QPointF(10, 10) << QPointF(-20, 30) << none << QRectF() << "";
    }
    void dragGestures() {
        QFETCH(EvolveScene::DrawShape, mode);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(int, type);
        QFETCH(QRectF, rect);
        QFETCH(QString, undoText);
        scene->setEvolveMode(NonDesign);
        scene->setDrawShape(mode);
        QSignalSpy drawn(scene.get(), &EvolveScene::shapeDrawn);

        press(scene.get(), from);
        // An intermediate move: the shape follows the pointer and is finished at the release.
        move(scene.get(), (from + to) / 2);
        move(scene.get(), to);
        release(scene.get(), to);

        const QList<QGraphicsItem*> shapes = shapesOf(scene.get());
        if (type == 0) {
            QVERIFY(shapes.isEmpty());
            QCOMPARE(stack->count(), 0);
            QCOMPARE(drawn.count(), 0);
            return;
        }
        QCOMPARE(shapes.size(), 1);
        QGraphicsItem* shape = shapes.first();
        QCOMPARE(shape->type(), type);
        QCOMPARE(shapeRect(shape), rect);
        QCOMPARE(shape->pos(), QPointF(0, 0));
        // The gesture is over: a move without the button draws nothing more.
        move(scene.get(), QPointF(600, 600), Qt::NoButton);
        QCOMPARE(shapeRect(shape), rect);
        QVERIFY(shape->zValue() > 0 && shape->zValue() < 200);
        QCOMPARE(shapeBase(shape)->evolveMode(), int(NonDesign));
        QCOMPARE(static_cast<QAbstractGraphicsShapeItem*>(shape)->brush().color(),
                 QColor(255, 160, 0));
        QCOMPARE(drawn.count(), 1);
        QVERIFY(!scene->currentItem());

        // One undo step that undo removes and redo restores.
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), undoText);
        stack->undo();
        QVERIFY(!shape->scene());
        QVERIFY(shapesOf(scene.get()).isEmpty());
        stack->redo();
        QCOMPARE(shape->scene(), scene.get());
        QCOMPARE(shapeRect(shape), rect);
    }

    void laterShapesLieAbove() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(10, 10), QPointF(60, 60));
        drag(scene.get(), QPointF(20, 20), QPointF(70, 70));
        const QList<QGraphicsItem*> shapes = shapesOf(scene.get());
        QCOMPARE(shapes.size(), 2);
        QVERIFY(shapes[1]->zValue() > shapes[0]->zValue());
        QCOMPARE(scene->items(QPointF(30, 30)).first(), shapes[1]);
    }

    void outsideTheSceneIsIgnored() {
        scene->setDrawShape(EvolveScene::Rectangle);
        QSignalSpy moved(scene.get(), &EvolveScene::mouseMoved);
        press(scene.get(), QPointF(-10, 50));
        move(scene.get(), QPointF(100, 100));
        release(scene.get(), QPointF(100, 100));
        QVERIFY(shapesOf(scene.get()).isEmpty());
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.first().first().toPointF(), QPointF(100, 100));
        move(scene.get(), QPointF(1200, 100));
        QCOMPARE(moved.count(), 1);
    }

    void polygonClosesWithCtrlClick() {
        scene->setDrawShape(EvolveScene::Polygon);
        QSignalSpy drawn(scene.get(), &EvolveScene::shapeDrawn);
        click(scene.get(), QPointF(100, 100));
        click(scene.get(), QPointF(200, 100));
        click(scene.get(), QPointF(200, 100)); // a repeated click adds no vertex
        click(scene.get(), QPointF(200, 200));
        QVERIFY(scene->currentItem());
        QCOMPARE(scene->currentItem()->zValue(), 200.0);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(drawn.count(), 0);

        // Ctrl pressed in the middle of a polygon keeps the polygon mode for the closing click.
        keyPress(scene.get(), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(scene->drawShape(), EvolveScene::Polygon);
        click(scene.get(), QPointF(100, 200), Qt::ControlModifier);
        keyRelease(scene.get(), Qt::Key_Control);

        const QList<QGraphicsItem*> shapes = shapesOf(scene.get());
        QCOMPARE(shapes.size(), 1);
        auto* polygon = static_cast<EvolvePolygon*>(shapes.first());
        QCOMPARE(polygon->type(), int(EvolvePolygon::Type));
        const QPainterPath path = polygon->path();
        QCOMPARE(path.elementCount(), 5);
        const QList<QPointF> expected = {
            {100, 100}, {200, 100}, {200, 200}, {100, 200}, {100, 100}};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(QPointF(path.elementAt(i)), expected[i]);
        QCOMPARE(polygon->brush().color(), QColor(Qt::darkGreen));
        QCOMPARE(polygon->pen().style(), Qt::NoPen);
        QVERIFY(polygon->zValue() < 200);
        QVERIFY(!scene->currentItem());
        QCOMPARE(drawn.count(), 1);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QString("'Added a Polygon'"));
        stack->undo();
        QVERIFY(shapesOf(scene.get()).isEmpty());
        stack->redo();
        QCOMPARE(shapesOf(scene.get()).size(), 1);
    }

    void unfinishedPolygonIsDiscarded_data() {
        QTest::addColumn<int>("clicks");
        QTest::newRow("one vertex") << 1;
        QTest::newRow("three vertices") << 3;
    }
    void unfinishedPolygonIsDiscarded() {
        QFETCH(int, clicks);
        scene->setDrawShape(EvolveScene::Polygon);
        const QList<QPointF> points = {{100, 100}, {200, 100}, {200, 200}};
        for (int i = 0; i < clicks; ++i)
            click(scene.get(), points[i]);
        QVERIFY(scene->currentItem());
        scene->setDrawShape(EvolveScene::Rectangle);
        QVERIFY(!scene->currentItem());
        QVERIFY(shapesOf(scene.get()).isEmpty());
        QCOMPARE(stack->count(), 0);
    }

    void ctrlIsTemporarySelect_data() {
        QTest::addColumn<EvolveScene::DrawShape>("mode");
        QTest::newRow("idle") << EvolveScene::NoShape;
        QTest::newRow("rectangle") << EvolveScene::Rectangle;
        QTest::newRow("polygon before the first vertex") << EvolveScene::Polygon;
        QTest::newRow("point load") << EvolveScene::PointLoad;
    }
    void ctrlIsTemporarySelect() {
        QFETCH(EvolveScene::DrawShape, mode);
        scene->setDrawShape(mode);
        keyPress(scene.get(), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(scene->drawShape(), EvolveScene::Select);
        QVERIFY(scene->isCtrlSelect());
        // Holding the key repeats the press; the mode to return to stays the same.
        keyPress(scene.get(), Qt::Key_Control, Qt::ControlModifier);
        keyRelease(scene.get(), Qt::Key_Control);
        QCOMPARE(scene->drawShape(), mode);
        QVERIFY(!scene->isCtrlSelect());
        // Other keys change nothing.
        keyPress(scene.get(), Qt::Key_Shift);
        QCOMPARE(scene->drawShape(), mode);
    }

    void ctrlReleasedInADialogEndsTemporarySelect() {
        scene->setDrawShape(EvolveScene::Rectangle);
        keyPress(scene.get(), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(scene->drawShape(), EvolveScene::Select);
        onNextDialog([](QDialog* dialog) {
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
            QApplication::sendEvent(dialog, &release);
            dialog->reject();
        });
        QCOMPARE(scene->askPoint(1.0, 2.0), QPointF(1.0, 2.0));
        QCOMPARE(scene->drawShape(), EvolveScene::Rectangle);
        QVERIFY(!scene->isCtrlSelect());
    }

    void ctrlDuringADragKeepsTheShape() {
        scene->setDrawShape(EvolveScene::Ellipse);
        press(scene.get(), QPointF(100, 100));
        move(scene.get(), QPointF(150, 150));
        keyPress(scene.get(), Qt::Key_Control, Qt::ControlModifier);
        QCOMPARE(scene->drawShape(), EvolveScene::Ellipse);
        release(scene.get(), QPointF(150, 150), Qt::ControlModifier);
        keyRelease(scene.get(), Qt::Key_Control);
        QCOMPARE(stack->count(), 1);
        QVERIFY(shapesOf(scene.get()).first()->zValue() < 200);
    }

    void selectionAndCtrlToggle() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(10, 10), QPointF(60, 60));
        scene->setDrawShape(EvolveScene::Ellipse);
        drag(scene.get(), QPointF(200, 200), QPointF(260, 260));
        const QList<QGraphicsItem*> shapes = shapesOf(scene.get());
        QGraphicsItem* rect = shapes[0];
        QGraphicsItem* ellipse = shapes[1];
        const auto brushOf = [](QGraphicsItem* item) {
            return static_cast<QAbstractGraphicsShapeItem*>(item)->brush().color();
        };

        scene->setDrawShape(EvolveScene::Select);
        click(scene.get(), QPointF(30, 30));
        QCOMPARE(scene->selectedShapes(), QList<QGraphicsItem*>{rect});
        QCOMPARE(brushOf(rect), QColor(Qt::darkGreen).darker(200));
        click(scene.get(), QPointF(230, 230));
        QCOMPARE(scene->selectedShapes(), QList<QGraphicsItem*>{ellipse});
        QCOMPARE(brushOf(rect), QColor(Qt::darkGreen).darker(200).lighter(200));

        // Ctrl+click adds and removes single shapes.
        click(scene.get(), QPointF(30, 30), Qt::ControlModifier);
        QCOMPARE(scene->selectedShapes().size(), 2);
        click(scene.get(), QPointF(230, 230), Qt::ControlModifier);
        QCOMPARE(scene->selectedShapes(), QList<QGraphicsItem*>{rect});
        click(scene.get(), QPointF(500, 500), Qt::ControlModifier);
        QCOMPARE(scene->selectedShapes(), QList<QGraphicsItem*>{rect});
        // A plain click on empty space clears the selection.
        click(scene.get(), QPointF(500, 500));
        QVERIFY(scene->selectedShapes().isEmpty());

        // Leaving Select mode unhighlights.
        click(scene.get(), QPointF(30, 30));
        scene->setDrawShape(EvolveScene::Rectangle);
        QVERIFY(scene->selectedShapes().isEmpty());
        QVERIFY(!shapeBase(rect)->isHighlighted());
        click(scene.get(), QPointF(30, 30));
        scene->setDrawShape(EvolveScene::Select);
        click(scene.get(), QPointF(230, 230));
        scene->clearShapeSelection();
        QVERIFY(scene->selectedShapes().isEmpty());
        QVERIFY(!shapeBase(ellipse)->isHighlighted());
    }

    void doubleClickEditsRectangleInMetres() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(100, 100), QPointF(200, 150));
        auto* rect = static_cast<EvolveRectangle*>(shapesOf(scene.get()).first());
        rect->setMaterial(MaterialRecord{2.126e11, 0.333, 7800.456});
        scene->setDrawShape(EvolveScene::Select);

        QStringList titles;
        QList<double> shown;
        onNextDialog([&](QDialog* dialog) {
            titles << dialog->windowTitle();
            const QList<QDoubleSpinBox*> boxes = visibleSpinBoxes(dialog);
            for (QDoubleSpinBox* box : boxes)
                shown << box->value();
            QCOMPARE(boxes.size(), 4);
            QCOMPARE(boxes[0]->suffix(), QString(" m"));
            boxes[0]->setValue(0.5);
            boxes[1]->setValue(0.25);
            boxes[2]->setValue(3.0);
            boxes[3]->setValue(2.0);
            dialog->accept();
        });
        doubleClick(scene.get(), QPointF(150, 120));
        QCOMPARE(titles, QStringList{"Enter dimensions"});
        QCOMPARE(shown, (QList<double>{1.0, 1.0, 2.0, 1.5}));
        QCOMPARE(rect->rect(), QRectF(50, 25, 250, 175));
        // The material comes back rounded to two decimals (the modulus in units of 1e11).
        QCOMPARE(rect->material().yMod, 2.13e11);
        QCOMPARE(rect->material().poisson, 0.33);
        QCOMPARE(rect->material().density, 7800.46);

        onNextDialog([](QDialog* dialog) {
            visibleSpinBoxes(dialog)[0]->setValue(9.0);
            dialog->reject();
        });
        doubleClick(scene.get(), QPointF(150, 120));
        QCOMPARE(rect->rect(), QRectF(50, 25, 250, 175));
    }

    void doubleClickEditsEllipseAndPolygonVertex() {
        scene->setDrawShape(EvolveScene::Ellipse);
        drag(scene.get(), QPointF(100, 100), QPointF(200, 150));
        auto* ellipse = static_cast<EvolveEllipse*>(shapesOf(scene.get()).first());
        scene->setDrawShape(EvolveScene::Select);
        onNextDialog([](QDialog* dialog) {
            const QList<QDoubleSpinBox*> boxes = visibleSpinBoxes(dialog);
            QCOMPARE(boxes[2]->value(), 1.0); // width
            QCOMPARE(boxes[3]->value(), 0.5); // height
            boxes[2]->setValue(2.0);
            dialog->accept();
        });
        doubleClick(scene.get(), QPointF(150, 125));
        QCOMPARE(ellipse->rect(), QRectF(100, 100, 200, 50));

        scene->setDrawShape(EvolveScene::Polygon);
        click(scene.get(), QPointF(400, 400));
        click(scene.get(), QPointF(500, 400));
        click(scene.get(), QPointF(500, 500), Qt::ControlModifier);
        auto* polygon = static_cast<EvolvePolygon*>(scene->items(QPointF(490, 410)).first());
        QCOMPARE(polygon->type(), int(EvolvePolygon::Type));
        scene->setDrawShape(EvolveScene::Select);
        QString title;
        int itemsWhileOpen = 0;
        onNextDialog([&](QDialog* dialog) {
            title = dialog->windowTitle();
            itemsWhileOpen = scene->items().size();
            const QList<QDoubleSpinBox*> boxes = visibleSpinBoxes(dialog);
            QCOMPARE(boxes[0]->value(), 5.0);
            QCOMPARE(boxes[1]->value(), 4.0);
            boxes[1]->setValue(3.5);
            dialog->accept();
        });
        const int itemsBefore = scene->items().size();
        doubleClick(scene.get(), QPointF(502, 401));
        QCOMPARE(title, QString("Enter X, Y dimensions"));
        QCOMPARE(itemsWhileOpen, itemsBefore + 1); // the red vertex marker
        QCOMPARE(scene->items().size(), itemsBefore);
        QCOMPARE(QPointF(polygon->path().elementAt(1)), QPointF(500, 350));
    }

    void pointLoadDialog_data() {
        QTest::addColumn<double>("fx");
        QTest::addColumn<double>("fy");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("result");
        QTest::addColumn<EvolveScene::DrawShape>("mode");
        QTest::newRow("force") << 0.0 << 10.0 << true << true << EvolveScene::PointLoad;
        QTest::newRow("both zero") << 0.0 << 0.0 << true << false << EvolveScene::PointLoad;
        QTest::newRow("cancelled") << 5.0 << 5.0 << false << false << EvolveScene::Select;
    }
    void pointLoadDialog() {
        QFETCH(double, fx);
        QFETCH(double, fy);
        QFETCH(bool, accept);
        QFETCH(bool, result);
        QFETCH(EvolveScene::DrawShape, mode);
        scene->setDrawShape(EvolveScene::Select);
        scene->setLastLoadParameters({1.5, -2.5, 0.0, 0.0});
        QString title;
        QList<double> preset;
        onNextDialog([&](QDialog* dialog) {
            title = dialog->windowTitle();
            const QList<QDoubleSpinBox*> boxes = visibleSpinBoxes(dialog);
            preset << boxes[0]->value() << boxes[1]->value();
            boxes[0]->setValue(fx);
            boxes[1]->setValue(fy);
            accept ? dialog->accept() : dialog->reject();
        });
        QCOMPARE(scene->choosePointLoad(), result);
        QCOMPARE(title, QString("Point load"));
        QCOMPARE(preset, (QList<double>{1.5, -2.5}));
        QCOMPARE(scene->drawShape(), mode);
        const EvolveScene::LoadParameters stored = scene->lastLoadParameters();
        QCOMPARE(stored.xforce, accept ? fx : 1.5);
        QCOMPARE(stored.yforce, accept ? fy : -2.5);
        QCOMPARE(scene->lastDistributedLoadParameters().yforce, 0.0);
    }

    void distributedLoadDialog() {
        onNextDialog([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Distributed load"));
            visibleSpinBoxes(dialog)[0]->setValue(-3.0);
            dialog->accept();
        });
        QVERIFY(scene->chooseDistributedLoad());
        QCOMPARE(scene->drawShape(), EvolveScene::DistributedLoad);
        QCOMPARE(scene->lastDistributedLoadParameters().xforce, -3.0);
        QCOMPARE(scene->lastLoadParameters().xforce, 0.0);
    }

    void constraintDialogs_data() {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<int>("choice");
        QTest::newRow("constraint, y fixed") << false << 2;
        QTest::newRow("multiple constraints, both fixed") << true << 3;
    }
    void constraintDialogs() {
        QFETCH(bool, multiple);
        QFETCH(int, choice);
        QString title;
        int presetChecked = 0;
        onNextDialog([&](QDialog* dialog) {
            title = dialog->windowTitle();
            const QList<QRadioButton*> buttons = dialog->findChildren<QRadioButton*>();
            QCOMPARE(buttons.size(), 3);
            for (int i = 0; i < 3; ++i) {
                if (buttons[i]->isChecked())
                    presetChecked = i + 1;
            }
            buttons[choice - 1]->setChecked(true);
            dialog->accept();
        });
        QVERIFY(multiple ? scene->chooseMultipleConstraints() : scene->chooseConstraint());
        QCOMPARE(title, QString(multiple ? "Multiple constraints" : "Constraint"));
        QCOMPARE(presetChecked, 1);
        QCOMPARE(scene->lastFreedom(), choice);
        QCOMPARE(scene->drawShape(), multiple ? EvolveScene::FreedomRect : EvolveScene::Freedom);
    }

    void gridWidthDialog() {
        scene->setMmInPixel(0.02);
        onNextDialog([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Width of Grid"));
            QDoubleSpinBox* box = dialog->findChild<QDoubleSpinBox*>();
            QCOMPARE(box->value(), 0.05);
            QCOMPARE(box->minimum(), 0.05);
            box->setValue(0.3);
            dialog->accept();
        });
        scene->setGridWidth();
        QCOMPARE(scene->grid()->width(), 15.0);
    }

    void generateMeshDialogSetsTheSpacing() {
        onNextDialog([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Generate mesh"));
            QDoubleSpinBox* box = dialog->findChild<QDoubleSpinBox*>();
            QCOMPARE(box->value(), 0.1);
            QVERIFY(box->minimum() > 0.0);
            box->setValue(0.25);
            const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
            QPushButton* generate = nullptr;
            for (QPushButton* button : buttons) {
                if (button->text() == "Generate")
                    generate = button;
            }
            QVERIFY(generate);
            generate->click();
        });
        scene->generateMesh();
        QCOMPARE(scene->pixelNodeDistance(), 25.0);
    }

    void contextMenuMarksRegionKind() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(10, 10), QPointF(60, 60));
        auto* rect = static_cast<EvolveRectangle*>(shapesOf(scene.get()).first());
        for (int entry : {1, 0}) {
            QTimer::singleShot(0, [entry] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                QCOMPARE(menu->actions().size(), 2);
                QCOMPARE(menu->actions()[0]->text(), QString("Mark as Design"));
                QCOMPARE(menu->actions()[1]->text(), QString("Mark as Non-Design"));
                menu->setActiveAction(menu->actions()[entry]);
                QTest::keyClick(menu, Qt::Key_Return);
            });
            QGraphicsSceneContextMenuEvent event(QEvent::GraphicsSceneContextMenu);
            event.setScenePos(QPointF(30, 30));
            QApplication::sendEvent(scene.get(), &event);
            QCOMPARE(rect->evolveMode(), entry);
        }
        QCOMPARE(rect->brush().color(), QColor(Qt::darkGreen));
    }

    void setMmInPixelKeepsPhysicalNodeSpacing_data() {
        QTest::addColumn<double>("m");
        QTest::addColumn<double>("mm");
        QTest::addColumn<double>("spacing");
        QTest::newRow("coarser") << 0.02 << 0.02 << 25.0;
        QTest::newRow("finer") << 0.005 << 0.005 << 100.0;
        QTest::newRow("zero is ignored") << 0.0 << 0.01 << 50.0;
        QTest::newRow("negative is ignored") << -1.0 << 0.01 << 50.0;
    }
    void setMmInPixelKeepsPhysicalNodeSpacing() {
        QFETCH(double, m);
        QFETCH(double, mm);
        QFETCH(double, spacing);
        QSignalSpy changed(scene.get(), &EvolveScene::mmInPixelChanged);
        scene->setMmInPixel(m);
        QCOMPARE(scene->mmInPixel(), mm);
        QCOMPARE(scene->pixelNodeDistance(), spacing);
        QCOMPARE(scene->pixelNodeDistance() * scene->mmInPixel(), 0.5);
        QCOMPARE(changed.count(), m > 0 ? 1 : 0);
    }

    void scaleChangeRebuildsTheMesh() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(0, 0), QPointF(200, 100));
        scene->createMesh();
        QPointer<EvolveMesh> first = scene->meshItem();
        QVERIFY(first);
        QCOMPARE(first->nodes().size(), 21 * 15);
        // Place a load so that a node-attached copy dies with the first mesh.
        scene->setLastLoadParameters({0, 10, 0, 0});
        scene->setDrawShape(EvolveScene::PointLoad);
        click(scene.get(), QPointF(100, 50));

        scene->setMmInPixel(0.02);
        QVERIFY(first.isNull());
        EvolveMesh* second = scene->meshItem();
        QVERIFY(second);
        QCOMPARE(second->pixelNodeDistance(), 25.0);
        QCOMPARE(second->nodes().size(), 41 * 29);

        // Every step can still be undone and redone, although the first mesh and everything
        // attached to it are gone.
        while (stack->canUndo())
            stack->undo();
        QVERIFY(shapesOf(scene.get()).isEmpty());
        while (stack->canRedo())
            stack->redo();
        QCOMPARE(shapesOf(scene.get()).size(), 1);
        QCOMPARE(scene->meshItem(), second);
    }

    void setSceneSizeKeepsPhysicalWidth() {
        QSignalSpy changed(scene.get(), &EvolveScene::mmInPixelChanged);
        scene->setSceneSize(QRectF(0, 0, 500, 400));
        QCOMPARE(scene->sceneRect(), QRectF(0, 0, 500, 400));
        QCOMPARE(scene->mmInPixel(), 0.02);
        QCOMPARE(scene->pixelNodeDistance(), 25.0);
        QCOMPARE(changed.count(), 1);
        scene->setSceneSize(QRectF());
        QCOMPARE(scene->sceneRect(), QRectF(0, 0, 500, 400));
    }

    void resetParametersStartsANewDesign() {
        scene->setSceneSize(QRectF(0, 0, 500, 400));
        scene->setLastLoadParameters({1, 2, 3, 4});
        scene->setLastDistributedLoadParameters({5, 6, 7, 8});
        scene->setLastFreedom(3);
        scene->showGrid(true);
        QSignalSpy gridButton(scene.get(), &EvolveScene::showGridToolButtonEnsure);
        scene->resetParameters();
        QCOMPARE(scene->lastFreedom(), 1);
        QCOMPARE(scene->lastLoadParameters().xforce, 0.0);
        QCOMPARE(scene->lastLoadParameters().yforce, 0.0);
        QCOMPARE(scene->lastLoadParameters().accelx, 3.0); // never edited by a dialog
        QCOMPARE(scene->lastDistributedLoadParameters().yforce, 0.0);
        QCOMPARE(scene->mmInPixel(), 10.0 / 500);
        QCOMPARE(scene->grid()->width(), 2.5);
        QVERIFY(!scene->grid()->isShown());
        QCOMPARE(gridButton.count(), 1);
        QCOMPARE(gridButton.first().first().toBool(), false);
    }

    void clearScreenIsOneUndoStep() {
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(10, 10), QPointF(60, 60));
        scene->setDrawShape(EvolveScene::Polygon);
        click(scene.get(), QPointF(300, 300));
        click(scene.get(), QPointF(400, 300));
        click(scene.get(), QPointF(400, 400), Qt::ControlModifier);
        scene->setDrawShape(EvolveScene::Select);
        click(scene.get(), QPointF(30, 30));
        QCOMPARE(scene->selectedShapes().size(), 1);

        scene->clearScene();
        QCOMPARE(scene->items(), QList<QGraphicsItem*>{scene->grid()});
        QVERIFY(scene->selectedShapes().isEmpty());
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->text(2), QString("'Cleared entire screen'"));
        stack->undo();
        QCOMPARE(shapesOf(scene.get()).size(), 2);
        stack->redo();
        QVERIFY(shapesOf(scene.get()).isEmpty());
    }

    void imageSuffixRule_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("used");
        QTest::newRow("png") << "/tmp/a.png"
                             << "/tmp/a.png";
        QTest::newRow("upper-case bmp") << "/tmp/a.BMP"
                                        << "/tmp/a.BMP";
        QTest::newRow("jpeg") << "/tmp/a.jpeg"
                              << "/tmp/a.png";
        QTest::newRow("several dots") << "/tmp/a.b.jpeg"
                                      << "/tmp/a.png";
        QTest::newRow("trailing dots") << "/tmp/a.."
                                       << "/tmp/a.png";
        QTest::newRow("no dot") << "/tmp/picture"
                                << "/tmp/picture";
        QTest::newRow("dot only in the directory") << "/tmp/v1.2/picture"
                                                   << "/tmp/v1.2/picture";
    }
    void imageSuffixRule() {
        QFETCH(QString, chosen);
        QFETCH(QString, used);
        QCOMPARE(EvolveScene::imageFileName(chosen), used);
    }

    void savesCanvasImage_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpeg becomes png") << "canvas.jpeg"
                                          << "canvas.png" << QByteArray("png");
        QTest::newRow("bmp") << "canvas.bmp"
                             << "canvas.bmp" << QByteArray("bmp");
        QTest::newRow("no suffix") << "canvas"
                                   << "canvas" << QByteArray("png");
    }
    void savesCanvasImage() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        scene->setDrawShape(EvolveScene::Rectangle);
        drag(scene.get(), QPointF(0, 0), QPointF(100, 100));
        QVERIFY(scene->saveCanvasImage(dir.filePath(chosen)));
        QImageReader reader(dir.filePath(written));
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QCOMPARE(image.size(), QSize(1000, 700));
        QCOMPARE(QColor(image.pixel(50, 50)), QColor(Qt::darkGreen));
        QCOMPARE(QColor(image.pixel(500, 500)), QColor(Qt::white));
    }

    void drawingThroughTheZoomedCanvas() {
        EvolveCanvas canvas;
        canvas.setScene(scene.get());
        canvas.resize(600, 500);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        canvas.setZoom(2.0);
        canvas.centerOn(QPointF(100, 100));
        scene->setDrawShape(EvolveScene::Rectangle);
        QWidget* viewport = canvas.viewport();
        const QPoint from = canvas.mapFromScene(QPointF(80, 90));
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(viewport, from + QPoint(60, 40));
        QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, from + QPoint(60, 40));
        const QList<QGraphicsItem*> shapes = shapesOf(scene.get());
        QCOMPARE(shapes.size(), 1);
        // 60 x 40 screen pixels at zoom 2 are 30 x 20 scene units.
        QCOMPARE(shapeRect(shapes.first()), QRectF(80, 90, 30, 20));
        QCOMPARE(stack->count(), 1);
    }

    void canvasZoomAndPointerTracking() {
        EvolveCanvas canvas;
        canvas.setScene(scene.get());
        canvas.resize(400, 300);
        canvas.show();
        QVERIFY(QTest::qWaitForWindowExposed(&canvas));
        canvas.setZoom(2.0);
        QCOMPARE(canvas.transform(), QTransform::fromScale(2.0, 2.0));
        canvas.setZoom(1.5);
        QCOMPARE(canvas.transform(), QTransform::fromScale(1.5, 1.5));
        QCOMPARE(canvas.zoom(), 1.5);
        canvas.setZoom(1.0);

        scene->showGrid(true);
        // Let the view show some of the gray surroundings of the scene rectangle.
        canvas.setSceneRect(-100, -100, 1200, 900);
        canvas.centerOn(QPointF(0, 0));
        const QPoint inside = canvas.mapFromScene(QPointF(50, 50));
        QTest::mouseMove(canvas.viewport(), inside);
        QTRY_VERIFY(canvas.isInsideScene());
        const QPoint outside = canvas.mapFromScene(QPointF(-5, -5));
        QTest::mouseMove(canvas.viewport(), outside);
        QTRY_VERIFY(!canvas.isInsideScene());
        QCOMPARE(scene->grid()->lastPointerPosition(), QPointF(-1, -1));

        // Items are shown only inside the scene rectangle; around it the canvas is gray.
        scene->showGrid(false);
        auto* shape = new EvolveRectangle(QRectF(-50, -50, 100, 100));
        scene->addItem(shape);
        const QImage view = canvas.viewport()->grab().toImage();
        QCOMPARE(QColor(view.pixel(canvas.mapFromScene(QPointF(-25, -25)))), QColor(Qt::gray));
        QCOMPARE(QColor(view.pixel(canvas.mapFromScene(QPointF(25, 25)))), QColor(Qt::darkGreen));
        QCOMPARE(QColor(view.pixel(canvas.mapFromScene(QPointF(75, 75)))), QColor(Qt::white));
    }
};

QTEST_MAIN(TestEvolveScene)
#include "tst_evolvescene.moc"
