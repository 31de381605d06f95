#pragma once

#include <QPointF>
#include <Qt>

class QGraphicsScene;

// Synthesized mouse and key events delivered straight to a scene, as a view would deliver them.
namespace SceneEvents {
void press(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           Qt::MouseButton button = Qt::LeftButton);
void move(QGraphicsScene* scene, QPointF pos, Qt::MouseButtons buttons = Qt::LeftButton,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void release(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
             Qt::MouseButton button = Qt::LeftButton);
void doubleClick(QGraphicsScene* scene, QPointF pos);
// Press, one move to `to` and release there.
void drag(QGraphicsScene* scene, QPointF from, QPointF to);
// Press and release at one point.
void click(QGraphicsScene* scene, QPointF pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void keyPress(QGraphicsScene* scene, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void keyRelease(QGraphicsScene* scene, Qt::Key key,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier);
} // namespace SceneEvents
