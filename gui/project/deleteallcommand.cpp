#include "deleteallcommand.h"

#include "drawing/evolvescene.h"
#include "mesh/evolvemesh.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QObject>

DeleteAllCommand::DeleteAllCommand(QGraphicsScene* scene, const QList<QGraphicsItem*>& items,
                                   QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Cleared entire screen'"), parent), scene(scene),
      itemList(items) {}

DeleteAllCommand::~DeleteAllCommand() {
    if (undone)
        return;
    // The cleared items are in no scene and nothing else refers to them once the stack lets go
    // of this command (it is only discarded from the stack when cleared). Children go with
    // their parents.
    for (QGraphicsItem* item : std::as_const(itemList)) {
        if (item->parentItem() || item->scene())
            continue;
        if (auto* object = dynamic_cast<QObject*>(item))
            object->deleteLater();
        else
            delete item;
    }
}

void DeleteAllCommand::redo() {
    if (scene) {
        for (QGraphicsItem* item : std::as_const(itemList)) {
            if (!item->parentItem() && item->scene() == scene)
                scene->removeItem(item);
        }
        scene->setItemIndexMethod(QGraphicsScene::BspTreeIndex);
    }
    undone = false;
}

void DeleteAllCommand::undo() {
    if (scene) {
        // Children come back with their parents; adding them again would be refused.
        for (QGraphicsItem* item : std::as_const(itemList)) {
            if (!item->parentItem() && !item->scene())
                scene->addItem(item);
            // A cleared mesh becomes the scene's mesh again.
            auto* mesh = qgraphicsitem_cast<EvolveMesh*>(item);
            auto* evolveScene = qobject_cast<EvolveScene*>(scene.data());
            if (mesh && evolveScene && mesh->scene() == evolveScene)
                evolveScene->setMesh(mesh);
        }
    }
    undone = true;
}
