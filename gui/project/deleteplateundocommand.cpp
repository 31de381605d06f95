#include "project/deleteplateundocommand.h"

#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"

DeletePlateUndoCommand::DeletePlateUndoCommand(PlateItem* plate, int mode, int group,
                                               QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Deleted Element'"), parent),
      mesh(qgraphicsitem_cast<EvolveMesh*>(plate->parentItem())), mergeGroup(group) {
    entries.append({plate, mode});
}

void DeletePlateUndoCommand::redo() {
    if (mesh) {
        for (const Entry& entry : std::as_const(entries))
            entry.plate->switchOff(false);
        mesh->setModelChanged(true);
    }
    undone = false;
}

void DeletePlateUndoCommand::undo() {
    if (mesh) {
        for (auto it = entries.crbegin(); it != entries.crend(); ++it)
            it->plate->switchOn(it->mode);
        mesh->setModelChanged(true);
    }
    undone = true;
}

bool DeletePlateUndoCommand::mergeWith(const QUndoCommand* other) {
    if (other->id() != id())
        return false;
    const auto* command = static_cast<const DeletePlateUndoCommand*>(other);
    if (command->mesh != mesh || command->mergeGroup != mergeGroup)
        return false;
    entries.append(command->entries);
    return true;
}
