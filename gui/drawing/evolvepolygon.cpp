#include "evolvepolygon.h"

#include <QBrush>
#include <QPen>

EvolvePolygon::EvolvePolygon(const QPainterPath& path, QGraphicsItem* parent)
    : QGraphicsPathItem(path, parent) {}

EvolvePolygon::EvolvePolygon(QGraphicsItem* parent) : QGraphicsPathItem(parent) {
    setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
    setPen(QPen(QBrush(Qt::black), 0));
}
