// Plate, load and constraint items on their own: plate colours by state, result colour and
// removed mark, deformed outline, state copies; arrow geometry and the load sign rules;
// constraint markers.

#include "engine_link/materials.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/nodeplateselectionitem.h"
#include "loads/plateitem.h"
#include "mesh/meshnode.h"

#include <QApplication>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {
const QColor outline(QStringLiteral("#004080"));
const QColor nonDesign(255, 160, 0);

// A plate over the square (0, 0)-(50, 50) with its four corner nodes.
struct PlateFixture {
    MeshNode nodes[4];
    PlateItem plate{7};
    PlateFixture() {
        const QPointF corners[4] = {{0, 0}, {50, 0}, {50, 50}, {0, 50}};
        for (int k = 0; k < 4; ++k) {
            nodes[k].x = corners[k].x();
            nodes[k].y = corners[k].y();
            nodes[k].id = k + 1;
            plate.addCorner(&nodes[k]);
        }
        plate.setPolygon(QPolygonF(QRectF(0, 0, 50, 50)));
        plate.setAnchorNode(&nodes[0]);
        nodes[0].anchorPlate = &plate;
    }
};
} // namespace

namespace {
// Double-clicks the item in its scene; `answer` runs on the modal dialog the item opens.
void doubleClick(QGraphicsScene& scene, const QPointF& at,
                 const std::function<void(QDialog*)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
    QGraphicsSceneMouseEvent event(QEvent::GraphicsSceneMouseDoubleClick);
    event.setScenePos(at);
    event.setButton(Qt::LeftButton);
    event.setButtons(Qt::LeftButton);
    QApplication::sendEvent(&scene, &event);
}
} // namespace

class TestPlateItem : public QObject {
    Q_OBJECT

private slots:
    void colourByState_data();
    void colourByState();
    void subtractionModeChangesNothing();
    void resultColourKeptOrForgotten();
    void storedMaterialResetsWhileMaterialFollowsMode();
    void deformedOutlineMovesLoadsAndConstraints();
    void copyStateAndClone();
    void markSelectionSwitchesPlatesOn();
    void arrowPointsAlongForce_data();
    void arrowPointsAlongForce();
    void copiesForTheMeshFlipY();
    void constraintMarkerShowsEachFixedDirection();
    void doubleClickEditsLoad_data();
    void doubleClickEditsLoad();
    void doubleClickCancelKeepsConstraint();
};

void TestPlateItem::colourByState_data() {
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("useResult");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QColor>("brush");
    QTest::addColumn<QColor>("pen");
    QTest::addColumn<double>("z");
    const QColor result(Qt::red);
    QTest::newRow("off") << false << 0 << false << false << QColor(Qt::white) << QColor(Qt::white)
                         << 1.0;
    QTest::newRow("off with result colour")
        << false << 0 << true << false << QColor(Qt::white) << QColor(Qt::white) << 1.0;
    QTest::newRow("design") << true << 0 << false << false << QColor(Qt::darkGreen) << outline
                            << 2.0;
    QTest::newRow("non-design") << true << 1 << false << false << nonDesign << outline << 2.0;
    QTest::newRow("result colour") << true << 1 << true << false << result << outline << 2.0;
    QTest::newRow("removed beats result colour")
        << true << 0 << true << true << QColor(Qt::white) << outline << 2.0;
    QTest::newRow("removed") << true << 1 << false << true << QColor(Qt::white) << outline << 2.0;
}

void TestPlateItem::colourByState() {
    QFETCH(bool, on);
    QFETCH(int, mode);
    QFETCH(bool, useResult);
    QFETCH(bool, removed);
    QFETCH(QColor, brush);
    QFETCH(QColor, pen);
    QFETCH(double, z);
    PlateItem plate(1);
    plate.setResultColour(useResult, QColor(Qt::red));
    if (on)
        plate.switchOn(mode);
    plate.setShownRemoved(removed);
    QCOMPARE(plate.brush().color(), brush);
    QCOMPARE(plate.pen().color(), pen);
    QCOMPARE(plate.zValue(), z);
    // Clearing the mark brings the result or mode colour back.
    if (on && removed) {
        plate.setShownRemoved(false);
        QCOMPARE(plate.brush().color(),
                 useResult ? QColor(Qt::red) : (mode == 0 ? QColor(Qt::darkGreen) : nonDesign));
    }
}

void TestPlateItem::subtractionModeChangesNothing() {
    PlateItem plate(1);
    plate.switchOn(1);
    plate.switchOn(2);
    QVERIFY(plate.isOn());
    QCOMPARE(plate.evolveMode(), 1);
    QCOMPARE(plate.brush().color(), nonDesign);
    PlateItem off(2);
    off.switchOn(2);
    QVERIFY(!off.isOn());
    QCOMPARE(off.brush().color(), QColor(Qt::white));
}

void TestPlateItem::resultColourKeptOrForgotten() {
    PlateItem plate(1);
    plate.switchOn(0);
    plate.setResultColour(true, QColor(Qt::blue));
    plate.setResultColour(false, QColor());
    QCOMPARE(plate.brush().color(), QColor(Qt::darkGreen));
    plate.setResultColour(true, QColor()); // an invalid colour uses the stored one
    QCOMPARE(plate.brush().color(), QColor(Qt::blue));
    plate.switchOff(true);
    plate.switchOn(0);
    QCOMPARE(plate.brush().color(), QColor(Qt::blue));
    plate.switchOff(false);
    plate.switchOn(0);
    QCOMPARE(plate.brush().color(), QColor(Qt::darkGreen));
    QVERIFY(!plate.usesResultColour());
}

void TestPlateItem::storedMaterialResetsWhileMaterialFollowsMode() {
    const Material design = Materials::design();
    const Material nonDesignMaterial = Materials::nonDesign();
    Materials::setDesign({1e9, 0.25, 1000});
    Materials::setNonDesign({3e9, 0.2, 2000});
    PlateItem plate(1);
    plate.switchOn(1);
    plate.setStoredMaterial({5e10, 0.1, 100});
    QCOMPARE(plate.material(), (Material{3e9, 0.2, 2000}));
    plate.switchOff(false);
    plate.switchOn(0);
    QCOMPARE(plate.storedMaterial(), MaterialRecord());
    QCOMPARE(plate.material(), (Material{1e9, 0.25, 1000}));
    Materials::setDesign(design);
    Materials::setNonDesign(nonDesignMaterial);
}

void TestPlateItem::deformedOutlineMovesLoadsAndConstraints() {
    PlateFixture f;
    LoadItem load(1);
    load.setAnchorPoint(0, 0);
    FreedomItem constraint(1);
    f.nodes[0].loads.append(&load);
    f.nodes[0].constraints.append(&constraint);
    f.nodes[0].deformedX = 3;
    f.nodes[0].deformedY = 4;
    f.nodes[2].deformedX = 55;   // deformedY stays -1: the y of the node is used
    f.plate.showDeformed(false); // already undeformed: nothing to do
    QCOMPARE(f.plate.polygon(), QPolygonF(QRectF(0, 0, 50, 50)));

    f.plate.showDeformed(true);
    const QPolygonF expected({{3, 4}, {50, 0}, {55, 50}, {0, 50}, {3, 4}});
    QCOMPARE(f.plate.polygon(), expected);
    QCOMPARE(load.anchorPoint(), QPointF(3, 4));
    QCOMPARE(constraint.pos(), QPointF(3, 4));
    f.nodes[0].deformedX = 9; // a second call changes nothing
    f.plate.showDeformed(true);
    QCOMPARE(f.plate.polygon(), expected);

    f.plate.showDeformed(false);
    QCOMPARE(f.plate.polygon(), QPolygonF(QRectF(0, 0, 50, 50)));
    QCOMPARE(load.anchorPoint(), QPointF(0, 0));
    f.nodes[0].loads.clear();
    f.nodes[0].constraints.clear();
}

void TestPlateItem::copyStateAndClone() {
    PlateFixture f;
    f.plate.switchOn(1);
    f.plate.setStoredMaterial({1, 2, 3});
    f.plate.setResultColour(true, QColor(Qt::red));
    std::unique_ptr<PlateItem> copy(f.plate.clone());
    QCOMPARE(copy->id(), 7);
    QVERIFY(copy->isOn());
    QCOMPARE(copy->evolveMode(), 1);
    QCOMPARE(copy->polygon(), f.plate.polygon());
    QCOMPARE(copy->corners(), f.plate.corners());
    QCOMPARE(copy->anchorNode(), &f.nodes[0]);
    QCOMPARE(copy->storedMaterial(), (MaterialRecord{1, 2, 3}));
    QVERIFY(!copy->usesResultColour());
    QVERIFY(!copy->parentItem());

    PlateItem target(8);
    target.copyStateFrom(&f.plate);
    QVERIFY(target.isOn());
    QCOMPARE(target.evolveMode(), 1);
    QCOMPARE(target.brush().color(), QColor(Qt::red)); // the brush is taken as it is
    QCOMPARE(target.id(), 8);
    const Material m = f.plate.material();
    QCOMPARE(target.storedMaterial(),
             (MaterialRecord{m.youngsModulus, m.poissonsRatio, m.density}));
}

void TestPlateItem::markSelectionSwitchesPlatesOn() {
    PlateItem on(1), off(2);
    on.setPolygon(QPolygonF(QRectF(0, 0, 50, 50)));
    off.setPolygon(QPolygonF(QRectF(50, 0, 50, 50)));
    on.switchOn(1);
    NodePlateSelectionItem selection;
    selection.addPlate(&on);
    selection.addPlate(&off);
    QCOMPARE(selection.pos(), QPointF(0, 0));
    QCOMPARE(selection.boundingRect(), QRectF(0, 0, 100, 50));
    selection.markPlates(0);
    QVERIFY(on.isOn() && off.isOn());
    QCOMPARE(on.evolveMode(), 0);
    QCOMPARE(off.evolveMode(), 0);
    selection.clear();
    QVERIFY(selection.plates().isEmpty());
    QVERIFY(selection.boundingRect().isEmpty());
}

void TestPlateItem::arrowPointsAlongForce_data() {
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<QPointF>("tip");
    // The tail is at (32, 32); the tip lies `size` away in direction (fx, -fy) on screen.
    QTest::newRow("right") << 10.0 << 0.0 << QPointF(64, 32);
    QTest::newRow("stored y positive points up") << 0.0 << 10.0 << QPointF(32, 0);
    QTest::newRow("stored y negative points down") << 0.0 << -10.0 << QPointF(32, 64);
    QTest::newRow("left") << -3.0 << 0.0 << QPointF(0, 32);
}

void TestPlateItem::arrowPointsAlongForce() {
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(QPointF, tip);
    const QPainterPath arrow = LoadItem::arrowPath(fx, fy, 32);
    const QPointF inward = QPointF(32, 32) + (tip - QPointF(32, 32)) * 0.9;
    const QPointF outward = QPointF(32, 32) - (tip - QPointF(32, 32)) * 0.2;
    QVERIFY(arrow.contains(inward));
    QVERIFY(!arrow.contains(outward));
    QVERIFY(arrow.contains(QPointF(32, 32) + (tip - QPointF(32, 32)) * 0.05));
    // The size scales the arrow.
    const QPainterPath half = LoadItem::arrowPath(fx, fy, 16);
    QVERIFY(!half.contains(inward));
}

void TestPlateItem::copiesForTheMeshFlipY() {
    // A typed Force-Y of 10 (up): the drawn item holds -10, its mesh copy 10.
    LoadItem drawn(4);
    drawn.setForces(0, -10);
    drawn.setAccelerations(1, 2);
    drawn.setRadius(20);
    drawn.setPos(5, 6);
    std::unique_ptr<LoadItem> copy(drawn.copyForMesh(4));
    QCOMPARE(copy->yForce(), 10.0);
    QCOMPARE(copy->xForce(), 0.0);
    QCOMPARE(copy->xAccel(), 1.0);
    QCOMPARE(copy->yAccel(), 2.0);
    QCOMPARE(copy->radius(), 32.0); // never below 32
    QCOMPARE(copy->pos(), QPointF(5, 6));
    QCOMPARE(copy->id(), 4);

    DistributedLoadItem line(2);
    line.setForces(3, -7);
    line.setLine(QPolygonF({{0, 0}, {100, 0}}));
    line.setRadius(8);
    std::unique_ptr<DistributedLoadItem> lineCopy(line.copyForMesh(2));
    QCOMPARE(lineCopy->yForce(), 7.0);
    QCOMPARE(lineCopy->radius(), 16.0);
    QCOMPARE(lineCopy->line(), line.line());

    FreedomItem constraint(9);
    constraint.setFreedom(3);
    constraint.setPos(1, 2);
    std::unique_ptr<FreedomItem> constraintCopy(constraint.copyForMesh());
    QCOMPARE(constraintCopy->id(), 9);
    QCOMPARE(constraintCopy->freedom(), 3);
    QCOMPARE(constraintCopy->pos(), QPointF(1, 2));
    QCOMPARE(constraintCopy->flags(), QGraphicsItem::ItemIsMovable);
}

void TestPlateItem::constraintMarkerShowsEachFixedDirection() {
    // Bit 1 draws the marker upright, bit 2 rotated by -90 degrees; kind 3 is the union.
    const QImage x = FreedomItem::icon(1).toImage();
    const QImage y = FreedomItem::icon(2).toImage();
    const QImage both = FreedomItem::icon(3).toImage();
    QCOMPARE(x.size(), QSize(18, 18));
    int xPixels = 0, yPixels = 0, bothPixels = 0, overlap = 0;
    for (int r = 0; r < 18; ++r) {
        for (int c = 0; c < 18; ++c) {
            const bool inX = qAlpha(x.pixel(c, r)) > 0;
            const bool inY = qAlpha(y.pixel(c, r)) > 0;
            xPixels += inX;
            yPixels += inY;
            overlap += inX && inY;
            bothPixels += qAlpha(both.pixel(c, r)) > 0;
            if (inX || inY)
                QVERIFY(qAlpha(both.pixel(c, r)) > 0);
        }
    }
    QVERIFY(xPixels > 0);
    QVERIFY(yPixels > 0);
    QVERIFY(overlap < xPixels); // the rotated copy is not the same drawing
    QCOMPARE(bothPixels, xPixels + yPixels - overlap);
}

void TestPlateItem::doubleClickEditsLoad_data() {
    QTest::addColumn<double>("typedX");
    QTest::addColumn<double>("typedY");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QPointF>("expected");
    QTest::newRow("accepted") << 3.0 << -4.0 << true << QPointF(3, -4);
    QTest::newRow("accepted zero keeps the old values") << 0.0 << 0.0 << true << QPointF(10, 0);
    QTest::newRow("cancelled") << 3.0 << 4.0 << false << QPointF(10, 0);
}

void TestPlateItem::doubleClickEditsLoad() {
    QFETCH(double, typedX);
    QFETCH(double, typedY);
    QFETCH(bool, accept);
    QFETCH(QPointF, expected);
    QGraphicsScene scene;
    auto* load = new LoadItem(1);
    load->setForces(10, 0);
    load->setAnchorPoint(100, 100);
    scene.addItem(load);
    doubleClick(scene, QPointF(120, 100), [&](QDialog* dialog) {
        const QList<QDoubleSpinBox*> boxes = dialog->findChildren<QDoubleSpinBox*>();
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(0)->value(), 10.0);
        QCOMPARE(boxes.at(0)->suffix(), QStringLiteral(" N"));
        QVERIFY(!(load->flags() & QGraphicsItem::ItemIsMovable));
        boxes.at(0)->setValue(typedX);
        boxes.at(1)->setValue(typedY);
        accept ? dialog->accept() : dialog->reject();
    });
    QCOMPARE(QPointF(load->xForce(), load->yForce()), expected);
    QVERIFY(load->flags() & QGraphicsItem::ItemIsMovable);
}

void TestPlateItem::doubleClickCancelKeepsConstraint() {
    QGraphicsScene scene;
    auto* constraint = new FreedomItem(1);
    constraint->setFreedom(2);
    constraint->setPos(50, 50);
    scene.addItem(constraint);
    doubleClick(scene, QPointF(52, 52), [](QDialog* dialog) {
        dialog->findChildren<QRadioButton*>().at(0)->setChecked(true);
        dialog->reject();
    });
    QCOMPARE(constraint->freedom(), 2);
    QVERIFY(constraint->flags() & QGraphicsItem::ItemIsMovable);
    doubleClick(scene, QPointF(52, 52), [](QDialog* dialog) {
        dialog->findChildren<QRadioButton*>().at(2)->setChecked(true);
        dialog->accept();
    });
    QCOMPARE(constraint->freedom(), 3);
}

QTEST_MAIN(TestPlateItem)
#include "tst_plateitem.moc"
