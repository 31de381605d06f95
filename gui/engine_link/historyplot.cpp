#include "engine_link/historyplot.h"

#include <QChart>
#include <QFile>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMap>
#include <QPainter>
#include <QValueAxis>
#include <cmath>

#include "engine_link/enginerun.h"

namespace {
// The header of "Result.txt" takes seven lines before the first iteration line.
constexpr int HeaderLines = 7;

QImage markerImage(bool square, const QColor& colour) {
    QImage image(12, 12, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (square)
        painter.drawRect(image.rect());
    else
        painter.drawEllipse(image.rect());
    return image;
}

QLineSeries* curve(const QString& name, const QList<QPointF>& points, const QColor& colour,
                   bool square) {
    auto* series = new QLineSeries;
    series->setName(name);
    series->append(points);
    series->setPen(QPen(colour, 1));
    series->setLightMarker(markerImage(square, colour));
    series->setMarkerSize(6);
    return series;
}
} // namespace

HistoryPlot::History HistoryPlot::readHistory(const QString& resultText, int lastIteration) {
    QStringList lines = resultText.split('\n');
    if (lines.size() > HeaderLines)
        lines = lines.mid(HeaderLines);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();

    // A later line for the same iteration replaces an earlier one.
    QMap<int, QPair<double, double>> entries;
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(' ');
        if (fields.size() != 4)
            continue;
        bool ok = false;
        const int iteration = fields[0].toInt(&ok);
        if (!ok || iteration < 0 || iteration > lastIteration)
            continue;
        entries[iteration] = {fields[1].toDouble(), fields[2].toDouble()};
    }
    History history;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        history.volumeFraction.append(QPointF(it.key(), it.value().first));
        history.meanCompliance.append(QPointF(it.key(), it.value().second));
    }
    return history;
}

HistoryPlot::HistoryPlot(const History& history, int lastIteration) : data(history) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Plot optimization history");
    setRenderHint(QPainter::Antialiasing);

    auto* chart = new QChart;
    chart->setTitle("TOPAX History");
    chart->setBackgroundBrush(Qt::white);

    QLineSeries* volume = curve("Volume Fraction", history.volumeFraction, Qt::blue, true);
    QLineSeries* compliance = curve("Mean Compliance", history.meanCompliance, Qt::red, false);
    chart->addSeries(volume);
    chart->addSeries(compliance);

    auto* iterationAxis = new QValueAxis;
    iterationAxis->setTitleText("Iteration No.");
    iterationAxis->setLabelFormat("%d");
    iterationAxis->setRange(0, std::max(1, lastIteration));
    // Whole iteration numbers at steps of 1, 2 or 5 times a power of ten, about eight ticks.
    const double rough = std::max(1.0, std::max(1, lastIteration) / 8.0);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * power;
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) {
            step = factor * power;
            break;
        }
    }
    iterationAxis->setTickType(QValueAxis::TicksDynamic);
    iterationAxis->setTickAnchor(0);
    iterationAxis->setTickInterval(step);
    chart->addAxis(iterationAxis, Qt::AlignBottom);

    auto* volumeAxis = new QValueAxis;
    volumeAxis->setTitleText("Volume Fraction");
    volumeAxis->setRange(0, 1);
    chart->addAxis(volumeAxis, Qt::AlignLeft);

    // The compliance axis follows its data without margins.
    auto* complianceAxis = new QValueAxis;
    complianceAxis->setTitleText("Mean Compliance");
    double low = 0;
    double high = 1;
    if (!history.meanCompliance.isEmpty()) {
        low = high = history.meanCompliance.first().y();
        for (const QPointF& point : history.meanCompliance) {
            low = std::min(low, point.y());
            high = std::max(high, point.y());
        }
        if (low == high) {
            low -= std::abs(low) * 0.5 + 0.5;
            high += std::abs(high) * 0.5 + 0.5;
        }
    }
    complianceAxis->setRange(low, high);
    chart->addAxis(complianceAxis, Qt::AlignRight);

    volume->attachAxis(iterationAxis);
    volume->attachAxis(volumeAxis);
    compliance->attachAxis(iterationAxis);
    compliance->attachAxis(complianceAxis);

    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    setChart(chart);
    resize(700, 600);
}

HistoryPlot* HistoryPlot::showWorkspaceHistory(int lastIteration) {
    QFile file(EngineRun::workspaceDir() + "/Result.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return nullptr;
    auto* plot = new HistoryPlot(readHistory(QString::fromUtf8(file.readAll()), lastIteration),
                                 lastIteration);
    plot->show();
    return plot;
}
