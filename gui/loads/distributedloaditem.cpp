#include "loads/distributedloaditem.h"

#include "loads/loaditem.h"
#include "mesh/evolvemesh.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <algorithm>

namespace {
int distributedLoadCounter = 0;
}

DistributedLoadItem::DistributedLoadItem(int id, QGraphicsItem* parent)
    : QAbstractGraphicsShapeItem(parent), loadId(id) {
    setBrush(QBrush(Qt::magenta));
    setPen(Qt::NoPen);
    setZValue(8);
    setFlag(ItemIsMovable, true);
}

int DistributedLoadItem::nextId() {
    return ++distributedLoadCounter;
}

QRectF DistributedLoadItem::boundingRect() const {
    return points.boundingRect().adjusted(-arrowRadius, -arrowRadius, arrowRadius, arrowRadius);
}

void DistributedLoadItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                                QWidget*) {
    painter->setClipRect(option->exposedRect);
    painter->setPen(pen());
    painter->setBrush(QBrush(QColor(0, 0, 0, 64)));
    painter->drawPolygon(points, Qt::WindingFill);
    if (points.isEmpty())
        return;
    painter->setBrush(brush());
    const QPainterPath arrow = LoadItem::arrowPath(xforce, yforce, static_cast<int>(arrowRadius));
    const QPointF tail(LoadItem::AnchorOffset, LoadItem::AnchorOffset);
    const qsizetype count = std::max<qsizetype>(points.size() - 1, 1);
    // A mesh copy acts on every node point (the last point closes the line); the drawn item
    // shows one arrow at the mean of its points.
    if (qgraphicsitem_cast<EvolveMesh*>(parentItem())) {
        for (qsizetype i = 0; i < count; ++i)
            painter->drawPath(arrow.translated(points.at(i) - tail));
    } else {
        QPointF mean;
        for (qsizetype i = 0; i < count; ++i)
            mean += points.at(i);
        mean /= static_cast<double>(count);
        painter->drawPath(arrow.translated(mean - tail));
    }
}

void DistributedLoadItem::highlight(bool on) {
    if (on && !highlighted) {
        setBrush(QBrush(brush().color().darker(200)));
        highlighted = true;
    } else if (!on && highlighted) {
        setBrush(QBrush(brush().color().lighter(200)));
        highlighted = false;
    }
}

void DistributedLoadItem::setRadius(double r) {
    prepareGeometryChange();
    arrowRadius = r;
}

void DistributedLoadItem::setLine(const QPolygonF& polygon) {
    prepareGeometryChange();
    points = polygon;
}

QList<QPointF> DistributedLoadItem::nodePoints() const {
    QList<QPointF> result;
    for (qsizetype i = 0; i + 1 < points.size(); ++i)
        result.append(points.at(i) + pos());
    if (points.size() == 1)
        result.append(points.first() + pos());
    return result;
}

DistributedLoadItem* DistributedLoadItem::copyForMesh(int id) const {
    auto* copy = new DistributedLoadItem(id);
    copy->setLine(points);
    copy->accelx = accelx;
    copy->accely = accely;
    copy->xforce = xforce;
    copy->yforce = -yforce;
    copy->setRadius(std::max(16.0, arrowRadius));
    copy->setPos(pos());
    return copy;
}

QVariant DistributedLoadItem::itemChange(GraphicsItemChange change, const QVariant& value) {
    if (change == ItemParentChange)
        EvolveMesh::releaseChild(this);
    if (change == ItemParentHasChanged || change == ItemSceneHasChanged)
        EvolveMesh::watchChild(this);
    return QAbstractGraphicsShapeItem::itemChange(change, value);
}
