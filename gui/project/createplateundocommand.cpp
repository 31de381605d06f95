#include "project/createplateundocommand.h"

#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"

CreatePlateUndoCommand::CreatePlateUndoCommand(PlateItem* plate, int mode, int group,
                                               QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Drawn element'"), parent),
      mesh(qgraphicsitem_cast<EvolveMesh*>(plate->parentItem())), mergeGroup(group) {
    entries.append({plate, mode, plate->isOn() ? plate->evolveMode() : WasOff});
}

int CreatePlateUndoCommand::newGroup() {
    static int lastGroup = 0;
    return ++lastGroup;
}

void CreatePlateUndoCommand::redo() {
    if (mesh) {
        for (const Entry& entry : std::as_const(entries))
            entry.plate->switchOn(entry.mode);
        mesh->setModelChanged(true);
    }
    undone = false;
}

void CreatePlateUndoCommand::undo() {
    // Backwards, so a plate switched on twice in one step ends in its very first state.
    if (mesh) {
        for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
            if (it->previous == WasOff)
                it->plate->switchOff(false);
            else
                it->plate->switchOn(it->previous);
        }
        mesh->setModelChanged(true);
    }
    undone = true;
}

bool CreatePlateUndoCommand::mergeWith(const QUndoCommand* other) {
    if (other->id() != id())
        return false;
    const auto* command = static_cast<const CreatePlateUndoCommand*>(other);
    if (command->mesh != mesh || command->mergeGroup != mergeGroup)
        return false;
    entries.append(command->entries);
    return true;
}
