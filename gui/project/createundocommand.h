#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class QGraphicsItem;
class QGraphicsScene;

// Adding one or more items to the scene. Undo takes them out of the scene (and off their parent
// item), redo puts them back. While undone the command owns its items and deletes them when it
// is discarded. Mergeable commands join the command pushed just before them, so a load and the
// copy the mesh attaches to a node form one step.
class CreateUndoCommand : public QUndoCommand {
public:
    enum { Id = 1 };

    // Records item (may be null) with its current parent item. The text is chosen by the item's
    // type; other types and a null item leave it empty for the creator to set.
    CreateUndoCommand(QGraphicsScene* scene, QGraphicsItem* item, bool mergeable = false,
                      QUndoCommand* parent = nullptr);
    ~CreateUndoCommand() override;

    int id() const override { return Id; }
    void redo() override;
    void undo() override;
    bool mergeWith(const QUndoCommand* other) override;

    bool isMergeable() const { return mergeable; }
    bool isUndone() const { return undone; }
    // The recorded items, in recording order (an item may appear more than once after merging).
    QList<QGraphicsItem*> items() const;

private:
    // Items that are QObjects (the mesh) are guarded, and so are items attached to a QObject
    // parent (the copies the mesh attaches to its nodes): a rebuild may destroy the mesh, with
    // everything attached to it, while this command still remembers them.
    struct Entry {
        QGraphicsItem* item = nullptr;
        QGraphicsItem* parent = nullptr;
        QPointer<QObject> itemObject;
        QPointer<QObject> parentObject;
        bool itemIsObject = false;
        bool parentIsObject = false;
        bool attached = false; // currently a child of parent
    };
    static bool alive(const Entry& entry);
    static bool parentAlive(const Entry& entry);

    QList<Entry> entries;
    QPointer<QGraphicsScene> scene;
    bool undone = false;
    bool mergeable = false;
};
