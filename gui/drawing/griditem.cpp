#include "griditem.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QPen>
#include <QStyleOptionGraphicsItem>

#include <cmath>

namespace {

// Nearest integer as a double, halves rounded upwards. Unlike qRound it cannot overflow when a
// tiny grid width makes the quotient huge.
double roundHalfUp(double v) {
    return std::floor(v + 0.5);
}

// qFuzzyCompare cannot compare against zero; -1 is what the "no previous position" marker holds.
bool isNoPosition(QPointF p) {
    return qFuzzyCompare(p.x(), -1.0) && qFuzzyCompare(p.y(), -1.0);
}

// Below this many device pixels between dots the grid would be a solid wash of colour, and the
// number of dots grows without bound, so no dots are drawn.
constexpr double MinDotSpacingOnScreen = 2.0;

} // namespace

GridItem::GridItem(double width, QGraphicsItem* parent) : QAbstractGraphicsShapeItem(parent) {
    setZValue(999);
    setBrush(Qt::NoBrush);
    setPen(QPen(QColor("#4AFFFF"), 2));
    setFlag(ItemUsesExtendedStyleOption);
    setWidth(width);
}

void GridItem::setWidth(double width) {
    gridWidth = width;
    if (scene()) {
        prepareGeometryChange();
        rebuildLinePath();
        update();
    }
}

void GridItem::setShown(bool show) {
    shown = show;
    update();
}

QRectF GridItem::boundingRect() const {
    return scene() ? scene()->sceneRect() : QRectF();
}

QVariant GridItem::itemChange(GraphicsItemChange change, const QVariant& value) {
    if (change == ItemSceneHasChanged && scene())
        rebuildLinePath();
    return QAbstractGraphicsShapeItem::itemChange(change, value);
}

// Lines through the grid positions, stepped by whole scene units. A width below one unit could
// never advance that way, so the path stays empty there.
void GridItem::rebuildLinePath() {
    QPainterPath path;
    if (scene() && std::isfinite(gridWidth) && gridWidth >= 1.0) {
        const double w = scene()->sceneRect().width();
        const double h = scene()->sceneRect().height();
        for (double x = 0; x < w; x = std::trunc(x + gridWidth)) {
            path.moveTo(x, 0);
            path.lineTo(x, h);
        }
        for (double y = 0; y < h; y = std::trunc(y + gridWidth)) {
            path.moveTo(0, y);
            path.lineTo(w, y);
        }
    }
    linePath = path;
}

void GridItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) {
    if (!shown || !scene() || !std::isfinite(gridWidth) || gridWidth <= 0.0)
        return;
    const double onScreen = gridWidth * std::abs(painter->worldTransform().m11());
    if (onScreen < MinDotSpacingOnScreen)
        return;

    painter->save();
    painter->setClipRect(option->exposedRect, Qt::ReplaceClip);
    painter->setPen(pen());
    painter->setBrush(brush());

    // Only the dots inside the exposed area (plus the pen's reach) are drawn.
    const QRectF bounds = scene()->sceneRect();
    const QRectF area = option->exposedRect.adjusted(-2, -2, 2, 2);
    const long firstColumn = std::max(0L, static_cast<long>(std::floor(area.left() / gridWidth)));
    const long firstRow = std::max(0L, static_cast<long>(std::floor(area.top() / gridWidth)));
    QList<QPointF> dots;
    for (long i = firstColumn;; ++i) {
        const double x = i * gridWidth;
        if (x >= bounds.width() || x > area.right())
            break;
        for (long j = firstRow;; ++j) {
            const double y = j * gridWidth;
            if (y >= bounds.height() || y > area.bottom())
                break;
            dots.append(QPointF(x, y));
        }
    }
    painter->drawPoints(dots.constData(), static_cast<int>(dots.size()));
    painter->restore();
}

bool GridItem::snapTarget(QPointF scenePos, QPoint screenPos, qreal viewScale, QPoint* target) {
    if (!shown || !std::isfinite(gridWidth) || gridWidth <= 0.0)
        return false;
    if (isNoPosition(lastPointerPos)) {
        lastPointerPos = scenePos;
        snapOffset = QPointF(0, 0);
        return false;
    }
    snapOffset += scenePos - lastPointerPos;
    const QPointF virtualPos = lastPointerPos + snapOffset;
    const double w = gridWidth;
    const QPointF snapped(w * roundHalfUp(virtualPos.x() / w), w * roundHalfUp(virtualPos.y() / w));
    const double t = viewScale;
    *target =
        QPoint(static_cast<int>(roundHalfUp(screenPos.x() + t * snapped.x() - t * scenePos.x())),
               static_cast<int>(roundHalfUp(screenPos.y() + t * snapped.y() - t * scenePos.y())));
    snapOffset += lastPointerPos - snapped;
    lastPointerPos = scenePos;
    return true;
}

void GridItem::snapPointer(QGraphicsSceneMouseEvent* event) {
    if (!scene())
        return;
    const QList<QGraphicsView*> views = scene()->views();
    const qreal t = views.isEmpty() ? 1.0 : views.first()->transform().m11();
    QPoint target;
    if (snapTarget(event->scenePos(), event->screenPos(), t, &target) && QCursor::pos() != target)
        QCursor::setPos(target);
}

void GridItem::resetSnapOffset() {
    snapOffset = QPointF(0, 0);
}

void GridItem::forgetPointer() {
    lastPointerPos = QPointF(-1, -1);
    snapOffset = QPointF(0, 0);
}
