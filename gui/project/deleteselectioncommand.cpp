#include "project/deleteselectioncommand.h"

#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"

#include <QGraphicsScene>

DeleteSelectionCommand::DeleteSelectionCommand(EvolveMesh* mesh, const QList<QGraphicsItem*>& items,
                                               const QList<PlateItem*>& plates,
                                               QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Deleted Selection'"), parent), mesh(mesh), items(items) {
    for (PlateItem* plate : plates)
        this->plates.append({plate, plate->evolveMode()});
}

DeleteSelectionCommand::~DeleteSelectionCommand() {
    if (undone)
        return;
    // Removed items belong to nobody else: earlier commands only refer to them.
    for (QGraphicsItem* item : std::as_const(items)) {
        if (!item->parentItem() && !item->scene())
            delete item;
    }
}

void DeleteSelectionCommand::redo() {
    if (mesh) {
        for (QGraphicsItem* item : std::as_const(items)) {
            item->setParentItem(nullptr); // the item leaves its node's list
            if (item->scene())
                item->scene()->removeItem(item);
        }
        for (const PlateState& state : std::as_const(plates))
            state.plate->switchOff(false);
        mesh->setModelChanged(true);
    }
    undone = false;
}

void DeleteSelectionCommand::undo() {
    if (mesh) {
        for (QGraphicsItem* item : std::as_const(items))
            item->setParentItem(mesh); // back on the mesh and on its node
        for (const PlateState& state : std::as_const(plates))
            state.plate->switchOn(state.mode);
        mesh->setModelChanged(true);
    }
    undone = true;
}
