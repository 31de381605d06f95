#pragma once

#include "baseitem.h"
#include "itemtypes.h"

#include <QGraphicsPathItem>

// A drawn closed polygon region. Its geometry is path() in item coordinates.
class EvolvePolygon : public QGraphicsPathItem, public BaseItem {
public:
    enum { Type = ItemType::Polygon };

    // Keeps Qt's default pen and brush.
    explicit EvolvePolygon(const QPainterPath& path, QGraphicsItem* parent = nullptr);
    // An empty polygon with a black outline and a dark green fill.
    explicit EvolvePolygon(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }

    void highlight(bool on) override { applyHighlight(this, on); }
    void setEvolveMode(int kind) override { applyEvolveMode(this, kind); }
};
