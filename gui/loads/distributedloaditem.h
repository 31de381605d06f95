#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QPolygonF>

/// A load acting on every node along a dragged line or around a dragged rectangle. The scene
/// keeps the drawn item (one arrow at the mean of its points); the mesh keeps a copy whose line
/// holds the node points (relative to pos()) and draws one arrow at each of them.
class DistributedLoadItem : public QAbstractGraphicsShapeItem {
public:
    enum { Type = QGraphicsItem::UserType + 11 };

    explicit DistributedLoadItem(int id, QGraphicsItem* parent = nullptr);

    /// Next distributed-load id from the process-wide counter (the first is 1).
    static int nextId();

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void highlight(bool on);
    bool isHighlighted() const { return highlighted; }

    double xForce() const { return xforce; }
    double yForce() const { return yforce; }
    void setForces(double x, double y) {
        xforce = x;
        yforce = y;
        update();
    }
    double xAccel() const { return accelx; }
    double yAccel() const { return accely; }
    void setAccelerations(double x, double y) {
        accelx = x;
        accely = y;
    }
    double radius() const { return arrowRadius; }
    void setRadius(double r);
    int id() const { return loadId; }

    /// The load's points in item coordinates. For a mesh copy these are the node points, closed
    /// by repeating the first one at the end.
    const QPolygonF& line() const { return points; }
    void setLine(const QPolygonF& polygon);
    /// The node points of a mesh copy in scene coordinates, without the closing repetition.
    QList<QPointF> nodePoints() const;

    /// A copy for the mesh: same line, forces with y negated, radius at least 16, same pos().
    DistributedLoadItem* copyForMesh(int id) const;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    double xforce = 0.0;
    double yforce = 0.0;
    double accelx = 0.0;
    double accely = 0.0;
    double arrowRadius = 32.0;
    QPolygonF points;
    bool highlighted = false;
    int loadId;
};
