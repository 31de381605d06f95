#include "evolveellipse.h"

#include <QBrush>
#include <QPen>

EvolveEllipse::EvolveEllipse(const QRectF& rect, QGraphicsItem* parent)
    : QGraphicsEllipseItem(rect, parent) {
    setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
    setPen(Qt::NoPen);
}

EvolveEllipse::EvolveEllipse(QGraphicsItem* parent) : QGraphicsEllipseItem(parent) {
    setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
    setPen(Qt::NoPen);
}
