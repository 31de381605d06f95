#pragma once

#include <QList>
#include <QPointF>

class PlateItem;
class LoadItem;
class FreedomItem;

/// One grid point of the mesh. Owned by the mesh's node list; the plates, loads and constraints
/// listed here are owned by the mesh (as child items), never by the node.
struct MeshNode {
    double x = 0.0;
    double y = 0.0;
    /// Deformed position in scene pixels from the last analysis; -1.0 when none was computed.
    double deformedX = -1.0;
    double deformedY = -1.0;
    /// The plate whose first corner is this node.
    PlateItem* anchorPlate = nullptr;
    /// Every plate that has this node as a corner.
    QList<PlateItem*> plates;
    /// Point loads and constraints acting on this node (node-attached copies held by the mesh).
    QList<LoadItem*> loads;
    QList<FreedomItem*> constraints;
    /// 1-based node id.
    int id = 0;

    QPointF pos() const { return QPointF(x, y); }
    /// The deformed position where one was computed, each coordinate on its own.
    QPointF displacedPos() const {
        return QPointF(deformedX == -1.0 ? x : deformedX, deformedY == -1.0 ? y : deformedY);
    }
};
