#pragma once

#include <QGraphicsItem>

// The type() numbers of every item of the workbench. Code that only holds a QGraphicsItem*
// dispatches on these, so it does not need the item classes themselves.
namespace ItemType {
enum : int {
    Ellipse = QGraphicsItem::UserType + 1,
    Rectangle = QGraphicsItem::UserType + 2,
    Polygon = QGraphicsItem::UserType + 3,
    Mesh = QGraphicsItem::UserType + 4,
    Load = QGraphicsItem::UserType + 7,
    Freedom = QGraphicsItem::UserType + 8,
    Plate = QGraphicsItem::UserType + 9,
    NodePlateSelection = QGraphicsItem::UserType + 10,
    DistributedLoad = QGraphicsItem::UserType + 11,
    RubberBand = QGraphicsItem::UserType + 12,
    Grid = QGraphicsItem::UserType + 13,
};

// True for the three drawn shapes, the only items with a BaseItem part.
inline bool isShape(const QGraphicsItem* item) {
    return item &&
           (item->type() == Ellipse || item->type() == Rectangle || item->type() == Polygon);
}

// True for the scene-level loads and constraints that become movable in Select mode.
inline bool isLoadOrConstraint(const QGraphicsItem* item) {
    return item &&
           (item->type() == Load || item->type() == Freedom || item->type() == DistributedLoad);
}
} // namespace ItemType
