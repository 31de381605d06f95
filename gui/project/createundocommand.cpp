#include "createundocommand.h"

#include "drawing/itemtypes.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QSet>

CreateUndoCommand::CreateUndoCommand(QGraphicsScene* scene, QGraphicsItem* item, bool mergeable,
                                     QUndoCommand* parent)
    : QUndoCommand(parent), scene(scene), mergeable(mergeable) {
    if (item) {
        Entry entry;
        entry.item = item;
        entry.parent = item->parentItem();
        if (auto* object = dynamic_cast<QObject*>(item)) {
            entry.itemObject = object;
            entry.itemIsObject = true;
        }
        if (auto* object = dynamic_cast<QObject*>(entry.parent)) {
            entry.parentObject = object;
            entry.parentIsObject = true;
        }
        entry.attached = entry.parent != nullptr;
        entries.append(entry);
    }
    if (entries.isEmpty())
        return;
    switch (entries.first().item->type()) {
    case ItemType::Ellipse:
        setText(QStringLiteral("'Added an ellipse'"));
        break;
    case ItemType::Rectangle:
        setText(QStringLiteral("'Added a rectangle'"));
        break;
    case ItemType::Polygon:
        setText(QStringLiteral("'Added a Polygon'"));
        break;
    case ItemType::Load:
        setText(QStringLiteral("'Added a Force'"));
        break;
    case ItemType::Freedom:
        setText(QStringLiteral("'Added a Constraint'"));
        break;
    case ItemType::Mesh:
        setText(QStringLiteral("'Created Mesh'"));
        break;
    case ItemType::DistributedLoad:
        setText(QStringLiteral("'Created Distributed Force'"));
        break;
    default:
        break;
    }
}

CreateUndoCommand::~CreateUndoCommand() {
    QSet<QGraphicsItem*> deleted;
    for (const Entry& entry : std::as_const(entries)) {
        if (deleted.contains(entry.item) || !alive(entry))
            continue;
        // While undone the items belong to this command. So does an item whose parent died
        // while it was detached: redo could not put it back anywhere.
        const bool orphan = entry.parent && !entry.attached && !entry.item->scene();
        if (!undone && !orphan)
            continue;
        deleted.insert(entry.item);
        if (entry.itemIsObject) {
            if (entry.item->scene())
                entry.item->scene()->removeItem(entry.item);
            entry.itemObject->deleteLater();
        } else {
            delete entry.item;
        }
    }
}

bool CreateUndoCommand::parentAlive(const Entry& entry) {
    return !entry.parentIsObject || entry.parentObject;
}

bool CreateUndoCommand::alive(const Entry& entry) {
    if (entry.itemIsObject)
        return !entry.itemObject.isNull();
    // A child dies with its parent while attached to it.
    return !entry.attached || parentAlive(entry);
}

QList<QGraphicsItem*> CreateUndoCommand::items() const {
    QList<QGraphicsItem*> list;
    for (const Entry& entry : entries)
        list.append(entry.item);
    return list;
}

void CreateUndoCommand::redo() {
    for (Entry& entry : entries) {
        if (!alive(entry))
            continue;
        if (entry.parent) {
            // A node-attached copy whose mesh is gone has nothing to go back to.
            if (!parentAlive(entry))
                continue;
            entry.item->setParentItem(entry.parent);
            entry.attached = true;
        }
        if (!entry.item->scene() && scene)
            scene->addItem(entry.item);
        if (entry.itemIsObject && entry.item->type() == ItemType::Mesh)
            entry.itemObject->blockSignals(false);
    }
    undone = false;
}

void CreateUndoCommand::undo() {
    for (Entry& entry : entries) {
        if (!alive(entry))
            continue;
        entry.item->setParentItem(nullptr);
        entry.attached = false;
        if (entry.item->scene())
            entry.item->scene()->removeItem(entry.item);
        if (entry.itemIsObject && entry.item->type() == ItemType::Mesh)
            entry.itemObject->blockSignals(true);
    }
    undone = true;
}

bool CreateUndoCommand::mergeWith(const QUndoCommand* other) {
    if (other->id() != id())
        return false;
    const auto* command = static_cast<const CreateUndoCommand*>(other);
    if (!command->mergeable)
        return false;
    entries.append(command->entries);
    return true;
}
