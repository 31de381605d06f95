#include "engine_link/legendwidget.h"

#include <QPainter>

namespace {
LegendWidget* sharedLegend = nullptr;
}

LegendWidget::LegendWidget() : QWidget(nullptr) {
    setWindowTitle("Legend");
    for (int i = 0; i < BandCount; ++i)
        bandColours.append(bandColour(i));
    // Room for the caption and all thirty bands with their values.
    resize(200, 40 + 5 + 20 * BandCount + 20);
}

LegendWidget* LegendWidget::instance() {
    if (!sharedLegend)
        sharedLegend = new LegendWidget;
    return sharedLegend;
}

bool LegendWidget::isShown() {
    return sharedLegend && sharedLegend->isVisible();
}

QColor LegendWidget::bandColour(int band) {
    return QColor::fromHsv((band * 10 + 300) % 360, 255, 255, 255);
}

void LegendWidget::setLevels(const QList<double>& levels) {
    bandLevels = levels;
    update();
}

void LegendWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.translate(10, 5);
    painter.drawText(0, 20, "Stress (MPA)");
    painter.translate(0, 40);
    const int count = std::min<int>(bandLevels.size(), bandColours.size());
    for (int i = 0; i < count; ++i) {
        painter.setBrush(QBrush(bandColours[i], Qt::SolidPattern));
        painter.drawRect(QRect(0, 20 * i, 80, 20).adjusted(0, 0, -1, -1));
        painter.drawText(90, 20 * i + 15, QString::number(bandLevels[i], 'E', 3));
    }
}
