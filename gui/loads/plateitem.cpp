#include "loads/plateitem.h"

#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/createplateundocommand.h"
#include "project/deleteplateundocommand.h"
#include "project/undostack.h"

#include <QGraphicsSceneMouseEvent>
#include <QPen>
#include <QUndoStack>

namespace {
const QColor outlineColour(QStringLiteral("#004080"));
const QColor nonDesignColour(255, 160, 0);
} // namespace

PlateItem::PlateItem(int id, QGraphicsItem* parent) : QGraphicsPolygonItem(parent), plateId(id) {
    switchOff(false);
    setZValue(1);
}

void PlateItem::switchOn(int newMode) {
    if (newMode == Subtraction)
        return;
    mode = newMode;
    on = true;
    if (shownRemoved)
        setBrush(QBrush(Qt::white));
    else if (useResultColour && resultCol.isValid())
        setBrush(QBrush(resultCol));
    else if (mode == Design)
        setBrush(QBrush(Qt::darkGreen));
    else if (mode == NonDesign)
        setBrush(QBrush(nonDesignColour));
    setPen(QPen(outlineColour, 0));
    setZValue(2);
}

void PlateItem::switchOff(bool keepResultColour) {
    if (!keepResultColour) {
        resultCol = QColor();
        useResultColour = false;
    }
    shownRemoved = false;
    on = false;
    setBrush(QBrush(Qt::white));
    setPen(QPen(Qt::white, 0));
    stored = MaterialRecord();
    setZValue(1);
}

Material PlateItem::material() const {
    if (mode == Design)
        return Materials::design();
    if (mode == NonDesign)
        return Materials::nonDesign();
    return Material();
}

void PlateItem::setResultColour(bool use, const QColor& colour) {
    if (colour.isValid())
        resultCol = colour;
    useResultColour = use;
    if (on)
        switchOn(mode);
}

void PlateItem::setShownRemoved(bool removed) {
    shownRemoved = removed;
    if (on)
        switchOn(mode);
}

void PlateItem::showDeformed(bool deformed) {
    if (deformed == deformedShown)
        return;
    deformedShown = deformed;
    auto cornerPoint = [deformed](const MeshNode* node) {
        return deformed ? node->displacedPos() : node->pos();
    };
    QPolygonF outline;
    for (const MeshNode* node : std::as_const(cornerNodes))
        outline.append(cornerPoint(node));
    if (!outline.isEmpty())
        outline.append(outline.first());
    setPolygon(outline);
    // Every node anchors exactly one plate, so moving the anchor node's loads and constraints
    // here moves all of them with the deformed shape.
    if (anchor) {
        const QPointF p = cornerPoint(anchor);
        for (LoadItem* load : std::as_const(anchor->loads))
            load->setAnchorPoint(p);
        for (FreedomItem* constraint : std::as_const(anchor->constraints))
            constraint->setPos(p);
    }
}

void PlateItem::copyStateFrom(const PlateItem* other) {
    setBrush(other->brush());
    setPen(other->pen());
    mode = other->mode;
    on = other->on;
    const Material m = other->material();
    stored = MaterialRecord{m.youngsModulus, m.poissonsRatio, m.density};
    setZValue(on ? 2 : 1);
}

PlateItem* PlateItem::clone() const {
    auto* copy = new PlateItem(plateId);
    copy->setPolygon(polygon());
    copy->setBrush(brush());
    copy->setPen(pen());
    copy->on = on;
    copy->mode = mode;
    copy->anchor = anchor;
    copy->cornerNodes = cornerNodes;
    copy->stored = stored;
    copy->setZValue(zValue());
    return copy;
}

void PlateItem::editByDrag() {
    auto* mesh = qgraphicsitem_cast<EvolveMesh*>(parentItem());
    if (!mesh)
        return;
    // The command switches the plate in its redo(), which push() calls: the command must see
    // the plate's state from before the change so that undo can restore it.
    if (mesh->editMode() == EvolveMesh::AddPlates && !on &&
        mesh->currentRegionKind() != Subtraction) {
        applicationUndoStack()->push(new CreatePlateUndoCommand(this, mesh->currentRegionKind()));
    } else if (mesh->editMode() == EvolveMesh::DeletePlates && on) {
        applicationUndoStack()->push(new DeletePlateUndoCommand(this, mode));
    }
}

void PlateItem::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        editByDrag();
    // The mesh below goes on with its own drag handling.
    event->ignore();
}
