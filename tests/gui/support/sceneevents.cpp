#include "sceneevents.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

namespace SceneEvents {
namespace {
void send(QGraphicsScene* scene, QEvent::Type type, QPointF pos, Qt::MouseButton button,
          Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(pos);
    event.setPos(pos);
    event.setScreenPos(pos.toPoint());
    event.setLastScenePos(pos);
    event.setLastScreenPos(pos.toPoint());
    event.setButton(button);
    event.setButtons(buttons);
    event.setModifiers(modifiers);
    if (button != Qt::NoButton) {
        event.setButtonDownScenePos(button, pos);
        event.setButtonDownScreenPos(button, pos.toPoint());
    }
    QApplication::sendEvent(scene, &event);
}
} // namespace

void press(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers,
           Qt::MouseButton button) {
    send(scene, QEvent::GraphicsSceneMousePress, pos, button, button, modifiers);
}

void move(QGraphicsScene* scene, QPointF pos, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers) {
    send(scene, QEvent::GraphicsSceneMouseMove, pos, Qt::NoButton, buttons, modifiers);
}

void release(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers,
             Qt::MouseButton button) {
    send(scene, QEvent::GraphicsSceneMouseRelease, pos, button, Qt::NoButton, modifiers);
}

void doubleClick(QGraphicsScene* scene, QPointF pos) {
    press(scene, pos);
    release(scene, pos);
    send(scene, QEvent::GraphicsSceneMouseDoubleClick, pos, Qt::LeftButton, Qt::LeftButton,
         Qt::NoModifier);
    release(scene, pos);
}

void drag(QGraphicsScene* scene, QPointF from, QPointF to) {
    press(scene, from);
    move(scene, to);
    release(scene, to);
}

void click(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers) {
    press(scene, pos, modifiers);
    release(scene, pos, modifiers);
}

void keyPress(QGraphicsScene* scene, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(scene, &event);
}

void keyRelease(QGraphicsScene* scene, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent event(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(scene, &event);
}
} // namespace SceneEvents
