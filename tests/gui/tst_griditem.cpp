#include "drawing/griditem.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QtTest>

// The grid's line path, its dots and the pointer snapping arithmetic.
class TestGridItem : public QObject {
    Q_OBJECT

private slots:
    void linePathPositions_data();
    void linePathPositions();
    void dotsFollowShownFlag();
    void tinyWidthPaintsNothingAndEnds();
    void snapping_data();
    void snapping();
    void snappingRestartsAfterLeaving();
    void snapPointerMovesRealCursor();
};

namespace {

// The x positions of the vertical lines and the y positions of the horizontal lines.
void lineStarts(const QPainterPath& path, QList<double>* xs, QList<double>* ys) {
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (!e.isMoveTo())
            continue;
        if (e.y == 0 && path.elementAt(i + 1).x == e.x && path.elementAt(i + 1).y != 0)
            xs->append(e.x);
        else
            ys->append(e.y);
    }
}

} // namespace

void TestGridItem::linePathPositions_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<QList<double>>("xs");
    QTest::addColumn<QList<double>>("ys");
    QTest::newRow("whole width") << 10.0 << QList<double>{0, 10, 20} << QList<double>{0, 10};
    QTest::newRow("fractional width truncates")
        << 7.5 << QList<double>{0, 7, 14, 21, 28} << QList<double>{0, 7, 14};
    QTest::newRow("below one unit: empty") << 0.4 << QList<double>{} << QList<double>{};
    QTest::newRow("zero: empty") << 0.0 << QList<double>{} << QList<double>{};
}

void TestGridItem::linePathPositions() {
    QFETCH(double, width);
    QFETCH(QList<double>, xs);
    QFETCH(QList<double>, ys);
    QGraphicsScene scene(0, 0, 30, 20);
    auto* grid = new GridItem(20);
    scene.addItem(grid); // the path is built when the grid enters a scene
    grid->setWidth(width);
    QList<double> gotX, gotY;
    lineStarts(grid->shape(), &gotX, &gotY);
    QCOMPARE(gotX, xs);
    QCOMPARE(gotY, ys);
    QCOMPARE(grid->boundingRect(), QRectF(0, 0, 30, 20));
}

namespace {

QImage renderScene(QGraphicsScene& scene) {
    QImage image(scene.sceneRect().size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    scene.render(&painter, QRectF(image.rect()), scene.sceneRect());
    return image;
}

bool isGridColour(QRgb c) {
    return qRed(c) < 200 && qGreen(c) > 200 && qBlue(c) > 200;
}

} // namespace

void TestGridItem::dotsFollowShownFlag() {
    QGraphicsScene scene(0, 0, 40, 40);
    auto* grid = new GridItem(7.5);
    scene.addItem(grid);
    QImage shown = renderScene(scene);
    // Dots lie at multiples of 7.5, not at the truncated line positions.
    QVERIFY(isGridColour(shown.pixel(15, 15)));
    QVERIFY(isGridColour(shown.pixel(30, 7)) || isGridColour(shown.pixel(30, 8)));
    QVERIFY(!isGridColour(shown.pixel(11, 11)));
    grid->setShown(false);
    QImage hidden = renderScene(scene);
    QVERIFY(!isGridColour(hidden.pixel(15, 15)));
}

void TestGridItem::tinyWidthPaintsNothingAndEnds() {
    QGraphicsScene scene(0, 0, 1000, 700);
    auto* grid = new GridItem(1e-7);
    scene.addItem(grid);
    QVERIFY(grid->shape().isEmpty());
    QImage image = renderScene(scene);
    QVERIFY(!isGridColour(image.pixel(500, 350)));
}

// A sequence of moves: scene position, screen position, and the expected screen target (or none).
struct Move {
    QPointF scene;
    QPoint screen;
    bool snapped;
    QPoint target;
};
Q_DECLARE_METATYPE(QList<Move>)

void TestGridItem::snapping_data() {
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QList<Move>>("moves");
    // The hand moves 2 units right from (12, 13): the pointer goes to (10, 10). The move caused by
    // that jump keeps the virtual position at (14, 13), which still rounds to (10, 10).
    QTest::newRow("jump and its echo")
        << 10.0 << 1.0
        << QList<Move>{{{12, 13}, {112, 113}, false, {}},
                       {{14, 13}, {114, 113}, true, {110, 110}},
                       {{10, 10}, {110, 110}, true, {110, 110}},
                       // 2 more units right: virtual (16, 13) rounds to (20, 10).
                       {{12, 10}, {112, 110}, true, {120, 110}}};
    // At zoom 2 one scene unit is two screen pixels.
    QTest::newRow("zoom 2") << 10.0 << 2.0
                            << QList<Move>{{{12, 13}, {224, 226}, false, {}},
                                           {{14, 13}, {228, 226}, true, {220, 220}}};
    // Halves round upwards: 11.25 / 7.5 = 1.5 goes to 15.
    QTest::newRow("fractional width, half rounds up")
        << 7.5 << 1.0
        << QList<Move>{{{10, 0}, {10, 0}, false, {}}, {{11.25, 0}, {11, 0}, true, {15, 0}}};
}

void TestGridItem::snapping() {
    QFETCH(double, width);
    QFETCH(double, scale);
    QFETCH(QList<Move>, moves);
    GridItem grid(width);
    for (int i = 0; i < moves.size(); ++i) {
        const Move& m = moves[i];
        QPoint target(-12345, -12345);
        const bool snapped = grid.snapTarget(m.scene, m.screen, scale, &target);
        QVERIFY2(snapped == m.snapped, qPrintable(QString("move %1").arg(i)));
        if (snapped)
            QVERIFY2(target == m.target,
                     qPrintable(
                         QString("move %1: got (%2, %3)").arg(i).arg(target.x()).arg(target.y())));
    }
}

void TestGridItem::snappingRestartsAfterLeaving() {
    GridItem grid(10);
    QPoint target;
    QVERIFY(!grid.snapTarget({12, 13}, {12, 13}, 1, &target));
    QVERIFY(grid.snapTarget({14, 13}, {14, 13}, 1, &target));
    grid.forgetPointer();
    QVERIFY(!grid.snapTarget({33, 33}, {33, 33}, 1, &target));
    QCOMPARE(grid.lastPointerPosition(), QPointF(33, 33));
    QCOMPARE(grid.snapOffsetValue(), QPointF(0, 0));

    grid.setShown(false);
    QVERIFY(!grid.snapTarget({38, 38}, {38, 38}, 1, &target));
    QCOMPARE(grid.lastPointerPosition(), QPointF(33, 33)); // hidden: state untouched
}

void TestGridItem::snapPointerMovesRealCursor() {
    QGraphicsScene scene(0, 0, 200, 200);
    QGraphicsView view(&scene);
    auto* grid = new GridItem(10);
    scene.addItem(grid);
    QCursor::setPos(500, 500);
    QGraphicsSceneMouseEvent first(QEvent::GraphicsSceneMouseMove);
    first.setScenePos({12, 13});
    first.setScreenPos({512, 513});
    grid->snapPointer(&first);
    QCOMPARE(QCursor::pos(), QPoint(500, 500)); // first move is left alone
    QGraphicsSceneMouseEvent second(QEvent::GraphicsSceneMouseMove);
    second.setScenePos({14, 13});
    second.setScreenPos({514, 513});
    grid->snapPointer(&second);
    QCOMPARE(QCursor::pos(), QPoint(510, 510));
}

QTEST_MAIN(TestGridItem)
#include "tst_griditem.moc"
