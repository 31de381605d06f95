#pragma once

#include "drawing/baseitem.h"
#include "engine_link/materials.h"

#include <QBrush>
#include <QColor>
#include <QGraphicsPolygonItem>
#include <QList>

struct MeshNode;

/// One four-node element of the mesh: a square between four mesh nodes, owned by the mesh as a
/// child item. An active ("switched on") plate is part of the structure and drawn in the colour
/// of its evolve mode; an inactive one is drawn white. The plate never owns its nodes.
class PlateItem : public QGraphicsPolygonItem {
public:
    enum { Type = QGraphicsItem::UserType + 9 };

    explicit PlateItem(int id, QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }

    /// Makes the plate part of the structure with evolve mode 0 (design) or 1 (non-design).
    /// Mode 2 (subtraction) changes nothing at all.
    void switchOn(int mode);
    /// Takes the plate out of the structure; the result colour survives only if asked to.
    void switchOff(bool keepResultColour);

    bool isOn() const { return on; }
    int evolveMode() const { return mode; }
    /// Sets the evolve mode without touching colours (project reader, model import).
    void setEvolveMode(int m) { mode = m; }
    int id() const { return plateId; }

    MeshNode* anchorNode() const { return anchor; }
    void setAnchorNode(MeshNode* node) { anchor = node; }
    /// Corner nodes in polygon order; filled by the mesh.
    const QList<MeshNode*>& corners() const { return cornerNodes; }
    void addCorner(MeshNode* node) { cornerNodes.append(node); }

    /// The material the engine gets, chosen by evolve mode from the application-wide materials.
    Material material() const;
    /// The stored triple (copied from the shape that switched the plate on).
    const MaterialRecord& storedMaterial() const { return stored; }
    void setStoredMaterial(const MaterialRecord& m) { stored = m; }

    /// Result display: an invalid colour keeps the stored one.
    void setResultColour(bool use, const QColor& colour);
    bool usesResultColour() const { return useResultColour; }
    QColor resultColour() const { return resultCol; }
    /// Marks an element the optimizer removed in the design shown.
    void setShownRemoved(bool removed);
    bool isShownRemoved() const { return shownRemoved; }
    /// Joins the corners' deformed positions (or their positions again) and moves the loads and
    /// constraints of the anchor node along.
    void showDeformed(bool deformed);
    bool showsDeformed() const { return deformedShown; }

    /// Takes brush, pen, evolve mode, active flag and material (by mode) of another plate.
    void copyStateFrom(const PlateItem* other);
    /// A parentless copy sharing the node pointers; the caller owns it.
    PlateItem* clone() const;

    /// Applies the add/delete edit rule of the owning mesh to this plate (used while dragging).
    void editByDrag();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    bool on = false;
    int mode = 0;
    MeshNode* anchor = nullptr;
    int plateId;
    MaterialRecord stored;
    QList<MeshNode*> cornerNodes;
    bool useResultColour = false;
    bool shownRemoved = false;
    QColor resultCol;
    bool deformedShown = false;
};
