#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QPainterPath>
#include <QPoint>
#include <QPointF>

class QGraphicsSceneMouseEvent;

// A square grid of dots over the whole scene. While shown it also moves the mouse pointer onto
// the nearest grid position after every move, so the drawing gestures work on grid positions
// without rounding of their own. The scene owns one grid for its whole life.
class GridItem : public QAbstractGraphicsShapeItem {
public:
    enum { Type = UserType + 13 };

    explicit GridItem(double width, QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }

    // Grid spacing in scene units. Rebuilds the line path when the item is in a scene.
    void setWidth(double width);
    double width() const { return gridWidth; }

    // Whether the dots are painted and the pointer is snapped.
    void setShown(bool show);
    bool isShown() const { return shown; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override { return linePath; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

    // Called by the scene for every mouse move before it handles the move: puts the pointer on
    // the grid position nearest to where the hand has moved it.
    void snapPointer(QGraphicsSceneMouseEvent* event);

    // The snapping arithmetic of snapPointer without touching the real cursor. Takes the scene
    // position and screen position of the move and the view's scale; updates the snapping state
    // and returns where the pointer must go on the screen, or false for a move that is not
    // snapped (grid hidden, or the first move after the pointer came in).
    bool snapTarget(QPointF scenePos, QPoint screenPos, qreal viewScale, QPoint* target);

    // The pointer came into the scene rectangle.
    void resetSnapOffset();
    // The pointer left the scene rectangle: the next move inside starts afresh.
    void forgetPointer();

    QPointF snapOffsetValue() const { return snapOffset; }
    QPointF lastPointerPosition() const { return lastPointerPos; }

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    void rebuildLinePath();

    double gridWidth = 0.0;
    QPainterPath linePath;
    bool shown = true;
    QPointF snapOffset{0.0, 0.0};
    QPointF lastPointerPos{-1.0, -1.0};
};
