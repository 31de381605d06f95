#pragma once

#include <QPointer>
#include <QUndoCommand>

class QGraphicsView;

// A change of the canvas zoom factor from oldZoom to newZoom.
class ZoomCommand : public QUndoCommand {
public:
    ZoomCommand(QGraphicsView* view, double oldZoom, double newZoom,
                QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;

    bool isUndone() const { return undone; }

private:
    void applyZoom(double factor);

    QPointer<QGraphicsView> view;
    double oldZoom;
    double newZoom;
    bool undone = false;
};
