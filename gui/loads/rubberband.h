#pragma once

#include <QGraphicsRectItem>

/// The rectangle dragged out to select plates, loads and constraints or to constrain nodes.
/// A child of the mesh, hidden while no drag is under way.
class RubberBand : public QGraphicsRectItem {
public:
    enum { Type = QGraphicsItem::UserType + 12 };

    explicit RubberBand(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;
};
