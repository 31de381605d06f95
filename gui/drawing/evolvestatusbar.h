#pragma once

#include <QPointF>
#include <QStatusBar>

class QLabel;

// The main window's status bar: the zoom factor, the pointer position in metres and the number
// of the element under the pointer.
class EvolveStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit EvolveStatusBar(QWidget* parent = nullptr);

    // Shows the canvas's zoom factor; called whenever the canvas zoom changes.
    void showZoom(double zoom);

    // Metres per scene unit, kept equal to the scene's value by the main window.
    void setMetresPerPixel(double metres) { metresPerPixel = metres; }
    double metresPerPixelValue() const { return metresPerPixel; }

public slots:
    void setMouseCoOrdinates(QPointF pos);
    void setPlateId(int id);

private:
    QLabel* zoomLabel;
    QLabel* coordinateLabel;
    QLabel* elementLabel;
    double metresPerPixel = 0.01;
};
