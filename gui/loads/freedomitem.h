#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QCursor>
#include <QPixmap>
#include <QPointer>

#include "loads/nodeattachment.h"

class EvolveMesh;
struct MeshNode;

/// A constraint fixing the x displacement (1), the y displacement (2) or both (3) at one node.
/// Scene-level constraints are top-level items; the mesh keeps node-attached copies.
class FreedomItem : public QAbstractGraphicsShapeItem {
public:
    enum { Type = QGraphicsItem::UserType + 8 };

    explicit FreedomItem(int id, QGraphicsItem* parent = nullptr);
    ~FreedomItem() override;

    /// Next constraint id from the process-wide counter (the first is 1).
    static int nextId();

    /// The 18 x 18 marker of a constraint kind: the fixed marker once for bit 1, once rotated by
    /// -90 degrees for bit 2.
    static QPixmap icon(int freedom);
    /// The marker as a cursor, hot spot at the constrained point (11, 6).
    static QCursor cursor(int freedom);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void highlight(bool on);
    bool isHighlighted() const { return highlighted; }

    int freedom() const { return freedomKind; }
    void setFreedom(int kind) {
        freedomKind = kind;
        update();
    }
    int id() const { return freedomId; }

    /// The node the constraint acts on, or null.
    MeshNode* node() const { return attachment.node(); }
    /// Moves the constraint from its node's list to `node`'s (null: no node). It stays listed
    /// on its node only while it is a child item of `mesh`.
    void attachTo(MeshNode* node, EvolveMesh* mesh);

    /// A copy with the same id, kind and pos().
    FreedomItem* copyForMesh() const;

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    int freedomKind = 0;
    bool highlighted = false;
    int freedomId;
    NodeAttachment<FreedomItem> attachment{&MeshNode::constraints};
};
