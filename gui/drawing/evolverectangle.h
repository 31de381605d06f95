#pragma once

#include "baseitem.h"
#include "itemtypes.h"

#include <QGraphicsRectItem>

// A drawn rectangle region (a square is one with equal sides). Its geometry is rect() in item
// coordinates; shapes drawn with the mouse stay at position (0, 0).
class EvolveRectangle : public QGraphicsRectItem, public BaseItem {
public:
    enum { Type = ItemType::Rectangle };

    explicit EvolveRectangle(const QRectF& rect, QGraphicsItem* parent = nullptr);
    explicit EvolveRectangle(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }

    void highlight(bool on) override { applyHighlight(this, on); }
    void setEvolveMode(int kind) override { applyEvolveMode(this, kind); }
};
