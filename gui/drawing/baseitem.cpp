#include "baseitem.h"

#include "evolveellipse.h"
#include "evolvepolygon.h"
#include "evolverectangle.h"

#include <QBrush>
#include <QPen>

BaseItem::~BaseItem() = default;

void BaseItem::applyHighlight(QAbstractGraphicsShapeItem* self, bool on) {
    if (!selection)
        return;
    if (on && !highlighted) {
        selection->append(self);
        self->setBrush(QBrush(self->brush().color().darker(200), Qt::SolidPattern));
        highlighted = true;
    } else if (!on && highlighted) {
        selection->removeOne(self);
        self->setBrush(QBrush(self->brush().color().lighter(200), Qt::SolidPattern));
        highlighted = false;
    }
}

void BaseItem::applyEvolveMode(QAbstractGraphicsShapeItem* self, int kind) {
    applyHighlight(self, false);
    mode = kind;
    switch (kind) {
    case Design:
        self->setBrush(QBrush(Qt::darkGreen, Qt::SolidPattern));
        self->setPen(Qt::NoPen);
        break;
    case NonDesign:
        self->setBrush(QBrush(QColor(255, 160, 0), Qt::SolidPattern));
        self->setPen(Qt::NoPen);
        break;
    case Subtraction:
        self->setBrush(QBrush(Qt::white, Qt::SolidPattern));
        self->setPen(QPen(QBrush(Qt::black), 0, Qt::DashLine));
        break;
    default:
        // An unknown kind is kept as a number; the appearance stays as it was.
        break;
    }
}

BaseItem* shapeBase(QGraphicsItem* item) {
    if (!item)
        return nullptr;
    switch (item->type()) {
    case EvolveEllipse::Type:
        return static_cast<EvolveEllipse*>(item);
    case EvolveRectangle::Type:
        return static_cast<EvolveRectangle*>(item);
    case EvolvePolygon::Type:
        return static_cast<EvolvePolygon*>(item);
    default:
        return nullptr;
    }
}
