#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QColor>
#include <QCursor>
#include <QPainterPath>
#include <QPointer>

#include "loads/nodeattachment.h"

class EvolveMesh;
struct MeshNode;

/// A point load drawn as an arrow whose tail is the load's anchor point. Scene-level loads are
/// top-level items; the mesh keeps a node-attached copy of each as its child. The stored y
/// component follows the screen (y down): see the sign notes at copyForMesh().
class LoadItem : public QAbstractGraphicsShapeItem {
public:
    enum { Type = QGraphicsItem::UserType + 7 };
    /// Offset of the anchor (arrow tail) from pos(), in item coordinates.
    static constexpr double AnchorOffset = 32.0;

    explicit LoadItem(int id, QGraphicsItem* parent = nullptr);
    ~LoadItem() override;

    /// Next point-load id from the process-wide counter (the first is 1).
    static int nextId();

    /// The arrow with its tail at (32, 32) and its tip `size` away in direction (fx, -fy).
    static QPainterPath arrowPath(double fx, double fy, int size);
    /// A 64 x 64 cursor showing the arrow for (fx, fy) in `colour`, hot spot at the tail.
    static QCursor arrowCursor(double fx, double fy, const QColor& colour);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    QPainterPath shape() const override;
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

    QPointF anchorPoint() const { return pos() + QPointF(AnchorOffset, AnchorOffset); }
    void setAnchorPoint(double x, double y) { setPos(x - AnchorOffset, y - AnchorOffset); }
    void setAnchorPoint(const QPointF& p) { setAnchorPoint(p.x(), p.y()); }

    /// The node the load acts on, or null.
    MeshNode* node() const { return attachment.node(); }
    /// Moves the load from its node's load list to `node`'s (null: attached to no node). The
    /// load stays listed on its node only while it is a child item of `mesh`, so an undone copy
    /// is never exported.
    void attachTo(MeshNode* node, EvolveMesh* mesh);

    /// The node-attached copy the mesh keeps: same forces with y negated (the copy holds the
    /// value the user typed), same accelerations, radius at least 32, same pos().
    LoadItem* copyForMesh(int id) const;

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    double xforce = 0.0;
    double yforce = 0.0;
    double accelx = 0.0;
    double accely = 0.0;
    double arrowRadius = 32.0;
    bool highlighted = false;
    int loadId;
    NodeAttachment<LoadItem> attachment{&MeshNode::loads};
};
