#include "evolverectangle.h"

#include <QBrush>
#include <QPen>

EvolveRectangle::EvolveRectangle(const QRectF& rect, QGraphicsItem* parent)
    : QGraphicsRectItem(rect, parent) {
    setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
    setPen(Qt::NoPen);
}

EvolveRectangle::EvolveRectangle(QGraphicsItem* parent) : QGraphicsRectItem(parent) {
    setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
    setPen(Qt::NoPen);
}
