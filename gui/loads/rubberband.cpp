#include "loads/rubberband.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionGraphicsItem>
#include <QStyleOptionRubberBand>

RubberBand::RubberBand(QGraphicsItem* parent) : QGraphicsRectItem(parent) {
    setPen(QPen(QBrush(Qt::black), 1, Qt::SolidLine));
    setBrush(QBrush(QColor(80, 80, 80, 127)));
    setZValue(100);
}

void RubberBand::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) {
    painter->setPen(pen());
    QStyleOptionRubberBand band;
    band.rect = rect().toRect();
    band.fontMetrics = option->fontMetrics;
    band.palette = option->palette;
    band.shape = QRubberBand::Rectangle;
    band.opaque = true;
    QApplication::style()->drawControl(QStyle::CE_RubberBand, &band, painter, widget);
}
