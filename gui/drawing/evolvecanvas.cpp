#include "evolvecanvas.h"

#include "evolvescene.h"
#include "evolvestatusbar.h"
#include "griditem.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QTransform>

EvolveCanvas::EvolveCanvas(QWidget* parent) : QGraphicsView(parent) {
    // Moves without a button held are needed too: the status bar follows the pointer and the
    // grid snaps it.
    viewport()->setMouseTracking(true);
}

void EvolveCanvas::setZoom(double factor) {
    zoomFactor = factor;
    setTransform(QTransform::fromScale(factor, factor));
    if (auto* mainWindow = qobject_cast<QMainWindow*>(window())) {
        // findChild: the status bar getter would create a plain one when there is none.
        if (auto* statusBar = mainWindow->findChild<EvolveStatusBar*>())
            statusBar->showZoom(factor);
    }
}

void EvolveCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (auto* evolveScene = qobject_cast<EvolveScene*>(scene())) {
        const QPointF scenePos = mapToScene(event->position().toPoint());
        const bool inside = evolveScene->sceneRect().contains(scenePos);
        if (inside && !insideScene) {
            evolveScene->grid()->resetSnapOffset();
            insideScene = true;
        } else if (!inside && insideScene) {
            evolveScene->grid()->forgetPointer();
            insideScene = false;
        }
    }
    QGraphicsView::mouseMoveEvent(event);
}
