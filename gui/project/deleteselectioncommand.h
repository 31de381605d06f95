#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class EvolveMesh;
class PlateItem;
class QGraphicsItem;

/// Deleting the mesh's selection ("'Deleted Selection'"): the selected loads and constraints
/// leave the mesh and their nodes, the selected plates are switched off. It is an undo step
/// so that the items stay alive while earlier commands on the stack still refer to them; the
/// command owns the removed items while it is done and deletes them when it is discarded.
class DeleteSelectionCommand : public QUndoCommand {
public:
    DeleteSelectionCommand(EvolveMesh* mesh, const QList<QGraphicsItem*>& items,
                           const QList<PlateItem*>& plates, QUndoCommand* parent = nullptr);
    ~DeleteSelectionCommand() override;

    void redo() override;
    void undo() override;

private:
    struct PlateState {
        PlateItem* plate;
        int mode;
    };
    QPointer<EvolveMesh> mesh;
    QList<QGraphicsItem*> items;
    QList<PlateState> plates;
    bool undone = false;
};
