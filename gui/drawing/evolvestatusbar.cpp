#include "evolvestatusbar.h"

#include <QLabel>

EvolveStatusBar::EvolveStatusBar(QWidget* parent)
    : QStatusBar(parent), zoomLabel(new QLabel(this)), coordinateLabel(new QLabel(this)),
      elementLabel(new QLabel(QString(), this)) {
    zoomLabel->setObjectName("zoomLabel");
    coordinateLabel->setObjectName("coordinateLabel");
    elementLabel->setObjectName("elementLabel");
    addWidget(zoomLabel, 0);
    addWidget(coordinateLabel, 0);
    addWidget(elementLabel, 0);
    showZoom(1);
    zoomLabel->setMinimumWidth(100);
    coordinateLabel->setMinimumWidth(150);
}

void EvolveStatusBar::showZoom(double zoom) {
    zoomLabel->setText(tr("Zoom x ") + QString::number(zoom, 'g', 6));
}

void EvolveStatusBar::setMouseCoOrdinates(QPointF pos) {
    coordinateLabel->setText(tr("(X, Y) = (%1, %2)")
                                 .arg(pos.x() * metresPerPixel, 0, 'f', 2, QLatin1Char(' '))
                                 .arg(pos.y() * metresPerPixel, 0, 'f', 2, QLatin1Char(' ')));
}

void EvolveStatusBar::setPlateId(int id) {
    elementLabel->setText(tr("Element ID %1 ").arg(id, 0, 10));
}
