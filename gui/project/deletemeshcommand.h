#pragma once

#include <QPointer>
#include <QUndoCommand>

class EvolveMesh;
class EvolveScene;

/// Clearing the mesh ("'Cleared Mesh'"): redo takes the mesh out of the scene and forgets it
/// there, undo puts it back and makes it the scene's mesh again. While done, the command is
/// the only holder of the mesh and deletes it when the stack lets go of the command.
class DeleteMeshCommand : public QUndoCommand {
public:
    /// The scene is the mesh's scene at construction.
    explicit DeleteMeshCommand(EvolveMesh* mesh, QUndoCommand* parent = nullptr);
    ~DeleteMeshCommand() override;

    void redo() override;
    void undo() override;

private:
    QPointer<EvolveScene> scene;
    QPointer<EvolveMesh> mesh;
    bool undone = false;
};
