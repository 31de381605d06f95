#pragma once

#include "baseitem.h"
#include "itemtypes.h"

#include <QGraphicsEllipseItem>

// A drawn ellipse region (a circle is one with equal sides). Its geometry is rect() in item
// coordinates; shapes drawn with the mouse stay at position (0, 0).
class EvolveEllipse : public QGraphicsEllipseItem, public BaseItem {
public:
    enum { Type = ItemType::Ellipse };

    explicit EvolveEllipse(const QRectF& rect, QGraphicsItem* parent = nullptr);
    explicit EvolveEllipse(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }

    void highlight(bool on) override { applyHighlight(this, on); }
    void setEvolveMode(int kind) override { applyEvolveMode(this, kind); }
};
