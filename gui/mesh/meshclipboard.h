#pragma once

#include "drawing/baseitem.h"

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

class EvolveMesh;

/// The application-wide clipboard of mesh selections. It holds values, not items, so that it
/// stays valid when the mesh it was copied from is gone.
///
/// Rules:
/// - Copy takes the mesh's selected loads, constraints and distributed loads and the plates of
///   its selection item (on or off, with evolve mode and stored material). It replaces what the
///   clipboard held; an empty selection leaves the clipboard unchanged.
/// - Paste shifts the whole block to the right by its width rounded up to whole node spacings
///   (at least one spacing), so that it lands next to the original. When the shifted block
///   would leave the node grid it is shifted down by its height (same rounding) instead, and
///   when that does not fit either it is pasted in place.
/// - Pasted loads and constraints are new node-attached items on the mesh, each snapped to the
///   nearest node; pasted plates give their state to the plate at the shifted position (an on
///   plate switches the target on with its mode and material, an off plate switches it off).
///   Anything that falls where no plate lies is left out.
/// - One paste is one undo step, "'Pasted'".
class MeshClipboard {
public:
    struct Plate {
        QRectF rect;
        bool on;
        int mode;
        MaterialRecord material;
    };
    struct Load {
        QPointF anchor;
        double fx, fy, ax, ay, radius;
    };
    struct Constraint {
        QPointF pos;
        int freedom;
    };
    struct DistributedLoad {
        QList<QPointF> points; // scene positions
        double fx, fy, ax, ay, radius;
    };

    static MeshClipboard& instance();

    bool isEmpty() const;
    void clear();

    /// Fills the clipboard from the mesh's selection; returns false (clipboard unchanged) when
    /// nothing is selected.
    bool copyFrom(const EvolveMesh* mesh);
    /// Recreates the clipboard on the mesh as one undo step; returns whether anything was
    /// pasted.
    bool pasteInto(EvolveMesh* mesh) const;

    const QList<Plate>& plates() const { return plateList; }
    const QList<Load>& loads() const { return loadList; }
    const QList<Constraint>& constraints() const { return constraintList; }
    const QList<DistributedLoad>& distributedLoads() const { return distributedList; }

private:
    QRectF bounds() const;
    QPointF pasteOffset(const EvolveMesh* mesh) const;

    QList<Plate> plateList;
    QList<Load> loadList;
    QList<Constraint> constraintList;
    QList<DistributedLoad> distributedList;
};
