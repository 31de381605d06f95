#include "project/deletemeshcommand.h"

#include "drawing/evolvescene.h"
#include "mesh/evolvemesh.h"

DeleteMeshCommand::DeleteMeshCommand(EvolveMesh* mesh, QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Cleared Mesh'"), parent),
      scene(qobject_cast<EvolveScene*>(mesh->scene())), mesh(mesh) {}

DeleteMeshCommand::~DeleteMeshCommand() {
    if (!undone && mesh && !mesh->scene())
        mesh->deleteLater();
}

void DeleteMeshCommand::redo() {
    if (mesh && scene) {
        if (mesh->scene() == scene)
            scene->removeItem(mesh);
        scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
        mesh->blockSignals(true);
        if (scene->meshItem() == nullptr)
            scene->setMesh(nullptr);
    }
    undone = false;
}

void DeleteMeshCommand::undo() {
    if (mesh && scene) {
        if (!mesh->scene())
            scene->addItem(mesh);
        mesh->blockSignals(false);
        scene->setMesh(mesh);
    }
    undone = true;
}
