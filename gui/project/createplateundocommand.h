#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class EvolveMesh;
class PlateItem;

/// Switching plates on ("'Drawn element'"). Consecutive commands merge into one step, so a drag
/// or a shape that switches on many plates is undone at once; undo gives every plate back the
/// state it had before (on with its old mode, or off).
class CreatePlateUndoCommand : public QUndoCommand {
public:
    enum { Id = 3 };
    /// Previous state of a plate that was switched off.
    static constexpr int WasOff = 2;

    /// Records the plate's current state; redo() switches it on with `mode`. Commands merge
    /// only within one group: group 0 holds the edit gestures (a run of drags is one step),
    /// each shape applied to the mesh takes a group of its own (see newGroup()).
    CreatePlateUndoCommand(PlateItem* plate, int mode, int group = 0,
                           QUndoCommand* parent = nullptr);

    /// A fresh merge group, so that one shape's plates never merge with a later edit.
    static int newGroup();

    int id() const override { return Id; }
    void redo() override;
    void undo() override;
    bool mergeWith(const QUndoCommand* other) override;

    int plateCount() const { return static_cast<int>(entries.size()); }

private:
    struct Entry {
        PlateItem* plate;
        int mode;
        int previous;
    };
    QList<Entry> entries;
    /// The mesh owning the plates; the command does nothing once it is gone.
    QPointer<EvolveMesh> mesh;
    int mergeGroup;
    bool undone = false;
};
