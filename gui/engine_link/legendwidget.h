#pragma once

#include <QColor>
#include <QList>
#include <QVector>
#include <QWidget>

// The colour legend of the stress display: 30 bands from magenta (highest stress) through
// red, yellow, green and cyan to blue (lowest). One top-level window for the whole program,
// created on first use and kept until the program ends.
class LegendWidget : public QWidget {
    Q_OBJECT
public:
    static constexpr int BandCount = 30;

    // The shared legend window (created hidden on first use).
    static LegendWidget* instance();
    // Whether the shared window exists and is visible, without creating it.
    static bool isShown();

    // Band levels, highest first; level k is the lower bound of band k.
    void setLevels(const QList<double>& levels);
    const QList<double>& levels() const { return bandLevels; }
    static QColor bandColour(int band);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LegendWidget();

    QList<double> bandLevels;
    QVector<QColor> bandColours;
};
