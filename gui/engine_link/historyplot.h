#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>

// Window "Plot optimization history": the volume fraction (left axis, 0 to 1) and the mean
// compliance (right axis) of every iteration of the last optimization, read from the
// engine's "Result.txt". The window deletes itself when it is closed.
class HistoryPlot : public QChartView {
    Q_OBJECT
public:
    // The iteration lines of a "Result.txt" text: points (iteration, volume fraction) and
    // (iteration, mean compliance) for iterations 0 to lastIteration, in iteration order.
    struct History {
        QList<QPointF> volumeFraction;
        QList<QPointF> meanCompliance;
    };
    static History readHistory(const QString& resultText, int lastIteration);

    HistoryPlot(const History& history, int lastIteration);

    // Builds and shows the plot of the workspace's "Result.txt"; null (and nothing shown)
    // when the file does not exist.
    static HistoryPlot* showWorkspaceHistory(int lastIteration);

    const History& history() const { return data; }

private:
    History data;
};
