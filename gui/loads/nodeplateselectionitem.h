#pragma once

#include <QAbstractGraphicsShapeItem>
#include <QList>
#include <QRegion>

class PlateItem;

/// Shows the plates selected with the rubber band and offers to mark them as design or
/// non-design. A child of the mesh; it does not own the plates.
class NodePlateSelectionItem : public QAbstractGraphicsShapeItem {
public:
    enum { Type = QGraphicsItem::UserType + 10 };

    explicit NodePlateSelectionItem(QGraphicsItem* parent = nullptr);

    int type() const override { return Type; }
    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void clear();
    void addPlate(PlateItem* plate);
    const QList<PlateItem*>& plates() const { return selected; }
    /// Switches every selected plate on with evolve mode 0 (design) or 1 (non-design).
    void markPlates(int mode);

protected:
    void contextMenuEvent(QGraphicsSceneContextMenuEvent* event) override;

private:
    QList<PlateItem*> selected;
    /// Union of the selected plates, translated so that its bounding top-left is (0, 0).
    QRegion region;
};
