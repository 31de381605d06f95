#pragma once

#include <QList>
#include <QPointer>
#include <QUndoCommand>

class QGraphicsItem;
class QGraphicsScene;

// Clearing the screen: takes the given items out of the scene; undo puts them back. While done,
// the removed items belong to this command, which deletes them when the stack discards it.
class DeleteAllCommand : public QUndoCommand {
public:
    DeleteAllCommand(QGraphicsScene* scene, const QList<QGraphicsItem*>& items,
                     QUndoCommand* parent = nullptr);
    ~DeleteAllCommand() override;

    void redo() override;
    void undo() override;

    bool isUndone() const { return undone; }
    QList<QGraphicsItem*> items() const { return itemList; }

private:
    QPointer<QGraphicsScene> scene;
    QList<QGraphicsItem*> itemList;
    bool undone = false;
};
