#pragma once

#include <QGraphicsView>

// The view that shows the scene. It applies the zoom factor and tells the scene's grid when the
// pointer enters or leaves the drawing area, so pointer snapping starts afresh each time.
class EvolveCanvas : public QGraphicsView {
    Q_OBJECT
public:
    explicit EvolveCanvas(QWidget* parent = nullptr);

    // Replaces the view transform by a uniform scale (not combined with the previous one) and
    // shows the factor in the main window's status bar.
    void setZoom(double factor);
    double zoom() const { return zoomFactor; }

    // Whether the pointer was inside the scene rectangle at the last mouse move.
    bool isInsideScene() const { return insideScene; }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool insideScene = false;
    double zoomFactor = 1.0;
};
