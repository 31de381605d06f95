#pragma once

#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

#include <QGraphicsItem>
#include <QList>
#include <QPointer>

/// The tie between a load or constraint and the mesh node it acts on. The item is listed in
/// the node's list (`MeshNode::loads` or `MeshNode::constraints`) exactly while it is a child
/// of the node's mesh, so an undone node-attached copy is never exported. Owned by the item;
/// the node and the mesh are owned by the mesh, which is watched so a gone mesh is never touched.
template <typename Item> class NodeAttachment {
public:
    explicit NodeAttachment(QList<Item*> MeshNode::*nodeList) : nodeList(nodeList) {}

    MeshNode* node() const { return meshNode; }

    /// Moves `item` from its node's list to `node`'s (null: attached to no node).
    void attach(Item* item, MeshNode* node, EvolveMesh* mesh) {
        setListed(item, false);
        meshNode = node;
        nodeMesh = node ? mesh : nullptr;
        setListed(item, true);
    }

    /// Takes `item` off its node's list (the item is going away).
    void detach(Item* item) { setListed(item, false); }

    /// Called from the item's itemChange(): undo takes a copy off the mesh and redo puts it
    /// back, and the node's list follows.
    void followChange(Item* item, QGraphicsItem::GraphicsItemChange change) {
        if (change == QGraphicsItem::ItemParentHasChanged)
            setListed(item, item->parentItem() != nullptr);
        if (change == QGraphicsItem::ItemParentChange)
            EvolveMesh::releaseChild(item);
        if (change == QGraphicsItem::ItemParentHasChanged ||
            change == QGraphicsItem::ItemSceneHasChanged)
            EvolveMesh::watchChild(item);
    }

private:
    void setListed(Item* item, bool listed) {
        if (!meshNode || !nodeMesh)
            return;
        QList<Item*>& list = meshNode->*nodeList;
        if (!listed)
            list.removeAll(item);
        else if (item->parentItem() == nodeMesh.data() && !list.contains(item))
            list.append(item);
    }

    QList<Item*> MeshNode::*nodeList;
    MeshNode* meshNode = nullptr;
    QPointer<EvolveMesh> nodeMesh;
};
