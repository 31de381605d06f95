#pragma once

#include "baseitem.h"

#include <QGraphicsScene>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QRectF>

class EvolveMesh;
class GridItem;
class QAction;
class QCursor;
class QGraphicsView;
class QMenu;

// The drawing surface of the workbench. It holds the drawn shapes, the mesh, the loads and
// constraints and the grid; it turns mouse gestures into items according to the current
// interaction mode and pushes every change on the application's undo stack; it keeps the length
// scale of the drawing (metres per scene unit) and the values the next load or constraint gets.
// Scene units are pixels of an unzoomed view, y downwards; lengths shown to the user are metres.
class EvolveScene : public QGraphicsScene {
    Q_OBJECT
public:
    // The interaction mode; the numbers are compared against by the main window and the mesh.
    enum DrawShape {
        Ellipse = 0,
        Rectangle = 1,
        Square = 2,
        Circle = 3,
        Polygon = 4,
        Select = 5,
        PointLoad = 6,
        Freedom = 7,
        FreedomRect = 8,
        DistributedLoad = 9,
        NoShape = 10
    };
    Q_ENUM(DrawShape)

    // Force (N) and acceleration components of a load. The y force is kept as typed by the user
    // (positive upwards); items get it negated because scene y points down.
    struct LoadParameters {
        double xforce = 0.0;
        double yforce = 0.0;
        double accelx = 0.0;
        double accely = 0.0;
    };

    explicit EvolveScene(QObject* parent = nullptr);
    ~EvolveScene() override;

    // Process-wide stacking counter: each call returns the previous value plus 0.01, so every
    // finished shape or load lies above the earlier ones.
    static double nextZValue();

    // Current state.
    DrawShape drawShape() const { return drawMode; }
    int evolveMode() const { return regionKind; }
    double mmInPixel() const { return metresPerUnit; }
    double pixelNodeDistance() const { return nodeDistance; }
    // Node spacing in scene units, as stored in a project; does not rebuild the mesh.
    void setPixelNodeDistance(double distance) { nodeDistance = distance; }
    QPointF pressPos() const { return pressPosition; }
    QGraphicsItem* currentItem() const { return drawnItem; }
    const QList<QGraphicsItem*>& selectedShapes() const { return shapeSelection; }
    bool isCtrlSelect() const { return ctrlSelect; }
    GridItem* grid() const { return gridItem; }

    // The values offered by the next load dialog and copied into each new load item.
    LoadParameters lastLoadParameters() const { return lastLoad; }
    void setLastLoadParameters(const LoadParameters& p) { lastLoad = p; }
    LoadParameters lastDistributedLoadParameters() const { return lastDistributedLoad; }
    void setLastDistributedLoadParameters(const LoadParameters& p) { lastDistributedLoad = p; }
    // Constraint kind of new constraints: 1 x fixed, 2 y fixed, 3 both.
    int lastFreedom() const { return lastFreedomKind; }
    void setLastFreedom(int kind) { lastFreedomKind = kind; }

    // Whether a mesh exists and is part of this scene (an undone mesh is not).
    bool hasMesh() const;
    // The mesh when it is part of this scene, otherwise null.
    EvolveMesh* meshItem() const;
    // Makes a mesh the scene's mesh again (undoing "Cleared Mesh" or "Cleared entire screen");
    // null forgets the mesh.
    void setMesh(EvolveMesh* m);

    // Region kind (RegionKind) given to new shapes, and to plates added by hand on the mesh.
    void setEvolveMode(int kind);

    // The load and constraint dialogs. Each sets its interaction mode and the view's cursor when
    // accepted and returns whether the calling action stays checked.
    bool choosePointLoad();
    bool chooseDistributedLoad();
    bool chooseConstraint();
    bool chooseMultipleConstraints();

    // "Generate mesh" dialog: asks the node spacing in metres, then createMesh().
    void generateMesh();
    // Replaces the mesh by a new one built from this scene at pixelNodeDistance.
    void createMesh();
    // Removes the mesh as one undo step.
    void deleteMesh();
    // Unhighlights every selected shape and clears the mesh's own selection.
    void clearShapeSelection();
    // Mesh edit mode (0 none, 1 add plates, 2 delete plates), result display and the plate
    // clipboard; all act on the mesh only when it belongs to this scene.
    void setMeshEditMode(int mode);
    void showStresses(bool show);
    void showDisplacements(bool show);
    void cut();
    void copy();
    void paste();

    // Metres per scene unit. The node spacing in metres stays the same, so the spacing in scene
    // units changes; a mesh is rebuilt. Values that are not positive and finite are ignored.
    void setMmInPixel(double m);
    // New scene rectangle with the same physical width: the scale and the node spacing in scene
    // units follow, the grid and a mesh are rebuilt. An empty rectangle is ignored.
    void setSceneSize(const QRectF& rect);
    // A new design: default load and constraint values, a drawing 10 m wide, the grid hidden.
    void resetParameters();

    // The dimension dialogs in metres. Each returns the entered values converted back to scene
    // units, or the given values unchanged when cancelled. The two box dialogs also carry the
    // shape's material, written back (rounded to two decimals) only when accepted.
    QPointF askPoint(double x, double y);
    QRectF askEllipseBox(const QRectF& box, MaterialRecord& material);
    QRectF askRectangleCorners(const QRectF& box, MaterialRecord& material);

    // The name the canvas image is saved under: a suffix other than png or bmp is replaced
    // by ".png"; a name without a dot stays as it is.
    static QString imageFileName(const QString& chosen);
    // Renders the scene rectangle into imageFileName(fileName) (PNG unless the name ends in
    // .bmp). Returns whether the file was written.
    bool saveCanvasImage(const QString& fileName);

signals:
    void mouseMoved(QPointF pos);
    void movieStopped();
    void updatePlateId(int id);
    void stressLoaded(bool enabled);
    void displacementLoaded(bool enabled);
    void shapeDrawn();
    void mmInPixelChanged(qreal m);
    void showGridToolButtonEnsure(bool enable);

public slots:
    // Takes every item but the grid out of the scene as one undo step ("Cleared entire screen").
    void clearScene();
    // Result review, forwarded to the mesh when it belongs to this scene.
    void unEvolve();
    void plotESO();
    void runMovie(bool start);
    void revertESO();
    // Asks a file name and saves the canvas image there.
    void saveCanvasToImageFile();
    void setDrawShape(EvolveScene::DrawShape shape);
    // "Width of Grid" dialog.
    void setGridWidth();
    void showGrid(bool enable);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QGraphicsSceneContextMenuEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The topmost item at a scene position, ignoring the grid.
    QGraphicsItem* topItemAt(const QPointF& pos) const;
    void selectShapeAt(const QPointF& pos, bool toggle);
    void unhighlightAll();
    void updateDrawnShape(const QPointF& pos);
    void finishItem(QGraphicsItem* item);
    void editDimensionsAt(const QPointF& pos);
    void editPolygonVertexAt(const QPointF& pos);
    void handleCtrlRelease();
    bool chooseLoad(const QString& title, LoadParameters& parameters, DrawShape mode);
    bool chooseFreedom(const QString& title, DrawShape mode);
    QGraphicsView* firstView() const;
    void setViewCursor(const QCursor& cursor);
    // Hides the main window's result toolbar and the colour legend.
    void hideResultViews();

    // Where the mesh subsystem's items attach: placing a point load or a constraint at a
    // scene position, dragging out a distributed load, and handing a finished item to the mesh.
    void placePointLoad(const QPointF& pos);
    void placeConstraint(const QPointF& pos);
    void dragDistributedLoad(const QPointF& pos);
    void absorbIntoMesh(QGraphicsItem* item);

    bool pressed = false;
    DrawShape drawMode = NoShape;
    QPen shapePen{Qt::NoPen};
    QPointF pressPosition{0.0, 0.0};
    QGraphicsItem* drawnItem = nullptr;
    QMenu* contextMenu = nullptr;
    QAction* markDesignAction = nullptr;
    QAction* markNonDesignAction = nullptr;
    QList<QGraphicsItem*> shapeSelection;
    double metresPerUnit = 0.01;
    bool ctrlSelect = false;
    DrawShape savedShape = NoShape;
    double nodeDistance = 50.0;
    QPointer<EvolveMesh> mesh;
    LoadParameters lastLoad;
    LoadParameters lastDistributedLoad;
    int lastFreedomKind = 1;
    int regionKind = Design;
    // Mesh edit mode chosen in the main window; a rebuilt mesh starts in it too.
    int meshEditMode = 0;
    GridItem* gridItem = nullptr;
};
