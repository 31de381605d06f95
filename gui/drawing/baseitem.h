#pragma once

#include <QList>

class QAbstractGraphicsShapeItem;
class QGraphicsItem;

// Kind of a drawn region, and the evolve mode of a plate (only Design and NonDesign there).
enum RegionKind { Design = 0, NonDesign = 1, Subtraction = 2 };

// Young's modulus (Pa), Poisson's ratio and density (kg/m3) of a region or plate.
struct MaterialRecord {
    double yMod = 2e11;
    double poisson = 0.3;
    double density = 7800.0;

    bool operator==(const MaterialRecord&) const = default;
};

// What the optimisation needs to know about a drawn shape besides its geometry: its region kind,
// its material and whether region selection has highlighted it. The three shape classes inherit
// it next to their Qt graphics item base. Reach it from a QGraphicsItem* only after checking
// type() with ItemType::isShape(), then use shapeBase().
class BaseItem {
public:
    virtual ~BaseItem();

    // Darkens (on) or restores (off) the brush and keeps the selection list in step. Does
    // nothing until the scene has given the shape its selection list.
    virtual void highlight(bool on) = 0;
    // Sets the region kind and the matching appearance (removing any highlight first).
    virtual void setEvolveMode(int kind) = 0;

    bool isHighlighted() const { return highlighted; }
    int evolveMode() const { return mode; }

    // The scene's list of selected shapes; not owned.
    QList<QGraphicsItem*>* selectionList() const { return selection; }
    void setSelectionList(QList<QGraphicsItem*>* list) { selection = list; }

    MaterialRecord material() const { return materialRecord; }
    void setMaterial(const MaterialRecord& m) { materialRecord = m; }

protected:
    // The shared bodies of highlight() and setEvolveMode(); self is the shape's graphics item.
    void applyHighlight(QAbstractGraphicsShapeItem* self, bool on);
    void applyEvolveMode(QAbstractGraphicsShapeItem* self, int kind);

private:
    bool highlighted = false;
    QList<QGraphicsItem*>* selection = nullptr;
    int mode = Design;
    MaterialRecord materialRecord;
};

// The BaseItem part of a shape item, or null for any other item.
BaseItem* shapeBase(QGraphicsItem* item);
