#include "loads/nodeplateselectionitem.h"

#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"

#include <QGraphicsSceneContextMenuEvent>
#include <QMenu>
#include <QPainter>

NodePlateSelectionItem::NodePlateSelectionItem(QGraphicsItem* parent)
    : QAbstractGraphicsShapeItem(parent) {
    setPos(0, 0);
    setZValue(6);
}

QRectF NodePlateSelectionItem::boundingRect() const {
    return region.boundingRect();
}

void NodePlateSelectionItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->setBrush(QBrush(Qt::darkBlue));
    painter->setPen(QPen(Qt::magenta, 0));
    for (PlateItem* plate : std::as_const(selected))
        painter->drawPolygon(mapFromParent(plate->polygon()), Qt::WindingFill);
}

void NodePlateSelectionItem::clear() {
    prepareGeometryChange();
    selected.clear();
    setPos(0, 0);
    region = QRegion();
}

void NodePlateSelectionItem::addPlate(PlateItem* plate) {
    prepareGeometryChange();
    selected.append(plate);
    // Keep the region in parent coordinates while adding, then move the item to its top-left.
    QRegion inParent = region.translated(pos().toPoint());
    inParent += QRegion(plate->polygon().toPolygon(), Qt::WindingFill);
    const QPoint topLeft = inParent.boundingRect().topLeft();
    region = inParent.translated(-topLeft);
    setPos(topLeft);
    update();
}

void NodePlateSelectionItem::markPlates(int mode) {
    for (PlateItem* plate : std::as_const(selected))
        plate->switchOn(mode);
    if (auto* mesh = qgraphicsitem_cast<EvolveMesh*>(parentItem()); mesh && !selected.isEmpty())
        mesh->setModelChanged(true);
}

void NodePlateSelectionItem::contextMenuEvent(QGraphicsSceneContextMenuEvent* event) {
    QMenu menu;
    QAction* design = menu.addAction(QStringLiteral("Mark as Design"));
    QAction* nonDesign = menu.addAction(QStringLiteral("Mark as Non-Design"));
    QAction* chosen = menu.exec(event->screenPos());
    if (chosen == design)
        markPlates(0);
    else if (chosen == nonDesign)
        markPlates(1);
}
