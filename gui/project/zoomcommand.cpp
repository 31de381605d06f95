#include "zoomcommand.h"

#include "drawing/evolvecanvas.h"

#include <QTransform>

ZoomCommand::ZoomCommand(QGraphicsView* view, double oldZoom, double newZoom, QUndoCommand* parent)
    : QUndoCommand(QStringLiteral("'Zoom to %1'").arg(newZoom, 0, 'g', -1), parent), view(view),
      oldZoom(oldZoom), newZoom(newZoom) {}

void ZoomCommand::redo() {
    applyZoom(newZoom);
    undone = false;
}

void ZoomCommand::undo() {
    applyZoom(oldZoom);
    undone = true;
}

void ZoomCommand::applyZoom(double factor) {
    if (auto* canvas = qobject_cast<EvolveCanvas*>(view.data()))
        canvas->setZoom(factor);
    else if (view)
        view->setTransform(QTransform::fromScale(factor, factor));
}
