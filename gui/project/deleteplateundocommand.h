#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class EvolveMesh;
class PlateItem;

/// Switching plates off ("'Deleted Element'"). Consecutive commands merge into one step; undo
/// switches every plate on again with the evolve mode it had.
class DeletePlateUndoCommand : public QUndoCommand {
public:
    enum { Id = 4 };

    /// `mode` is the plate's current evolve mode, restored by undo(). Merge groups as for
    /// CreatePlateUndoCommand (0: the edit gestures).
    DeletePlateUndoCommand(PlateItem* plate, int mode, int group = 0,
                           QUndoCommand* parent = nullptr);

    int id() const override { return Id; }
    void redo() override;
    void undo() override;
    bool mergeWith(const QUndoCommand* other) override;

    int plateCount() const { return static_cast<int>(entries.size()); }

private:
    struct Entry {
        PlateItem* plate;
        int mode;
    };
    QList<Entry> entries;
    QPointer<EvolveMesh> mesh;
    int mergeGroup;
    bool undone = false;
};
