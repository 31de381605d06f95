#pragma once

#include <QGraphicsRectItem>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QProcess>

class DistributedLoadItem;
class FreedomItem;
class LoadItem;
class NodePlateSelectionItem;
class PlateItem;
class QGraphicsScene;
class QTimer;
class RubberBand;
struct MeshNode;

/// The finite element mesh of the drawing: a regular grid of square four-node plates over the
/// whole scene rectangle, each switched on where design or non-design shapes cover it, with
/// node-attached copies of the drawing's loads and constraints. Owned by the scene.
///
/// Ownership: plates, the selection item, the rubber band and the load and constraint copies
/// are child items and die with the mesh; the nodes are owned by the node list.
class EvolveMesh : public QObject, public QGraphicsRectItem {
    Q_OBJECT
public:
    enum { Type = QGraphicsItem::UserType + 4 };
    enum EditMode { None = 0, AddPlates = 1, DeletePlates = 2 };

    explicit EvolveMesh(double pixelNodeDistance, QGraphicsItem* parent = nullptr);
    ~EvolveMesh() override;

    int type() const override { return Type; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    /// Lays the grid over the scene rectangle (null: the mesh's own scene), pushes
    /// "'Created Mesh'" and applies every item of the scene.
    void buildGrid(QGraphicsScene* scene = nullptr);
    /// Applies one drawn item: shapes switch plates on or off, loads and constraints get a
    /// node-attached copy. Other items are ignored.
    void absorbItem(QGraphicsItem* item);
    /// The node at exactly that position (within 1e-8), or null.
    MeshNode* nodeAt(const QPointF& p) const;
    /// The plate of the grid cell containing `p` (last row and column included), or null.
    PlateItem* plateAt(const QPointF& p) const;
    /// The corner node of the plate under `p` nearest to `p`, or null when no plate lies there.
    /// With `displaced` the plates and nodes are taken at their deformed positions.
    MeshNode* nearestNode(const QPointF& p, bool displaced = false) const;
    /// Where a node is drawn: its deformed position while the deformed shape is shown.
    QPointF shownPosition(const MeshNode* node) const;

    const QList<MeshNode*>& nodes() const { return nodeList; }
    const QList<PlateItem*>& plates() const { return plateList; }
    double pixelNodeDistance() const { return nodeDistance; }

    int editMode() const { return mode; }
    void setEditMode(int m) { mode = m; }
    int currentRegionKind() const { return regionKind; }
    void setCurrentRegionKind(int kind) { regionKind = kind; }

    /// Selected plates (the rubber band's) and selected loads and constraints.
    NodePlateSelectionItem* selectionItem() const { return plateSelection; }
    RubberBand* rubberBand() const { return band; }
    const QList<QGraphicsItem*>& selection() const { return selectedItems; }
    void addToSelection(QGraphicsItem* item);
    /// Makes the mesh the scene event filter of one of its load or constraint children, once.
    /// The items call this whenever they enter the scene or the mesh, because a scene forgets
    /// an item's filters when the item leaves it (undo, redo).
    static void watchChild(QGraphicsItem* item);
    /// Called by a load or constraint child about to leave the mesh (undo, deletion): it leaves
    /// the selection too, which must never hold items the mesh no longer has.
    static void releaseChild(QGraphicsItem* item);
    void clearSelection();
    /// The Delete key: removes the selected loads and constraints and switches the selected
    /// plates off, as one undo step.
    void deleteSelection();
    /// Clipboard operations (rules in MeshClipboard): copy the selection, cut it (copy, then
    /// delete it and empty the plate selection), paste the clipboard onto this mesh.
    void copySelection();
    void cutSelection();
    void paste();
    /// Makes a new load, distributed load or constraint a child of the mesh attached to `node`
    /// (point loads and constraints), watched by the mesh, and pushes it as a step that merges
    /// with the one before.
    void addNodeItem(QGraphicsItem* item, MeshNode* node);

    /// Numbering maps of the last model written: node id <-> node number, plate id <-> element
    /// number. Filled by the model export.
    QMap<int, int>& nodeNumberOf() { return nodeNumbers; }
    QMap<int, int>& nodeIdOf() { return nodeIds; }
    QMap<int, int>& elementNumberOf() { return elementNumbers; }
    QMap<int, int>& plateIdOf() { return plateIds; }
    double thickness() const { return plateThickness; }

    QProcess* process() const { return engineProcess; }
    QTimer* pollTimer() const { return timer; }

    bool isModelChanged() const { return modelChanged; }
    void setModelChanged(bool changed) { modelChanged = changed; }
    bool areDisplacementsLoaded() const { return displacementsLoaded; }
    void setDisplacementsLoaded(bool loaded) { displacementsLoaded = loaded; }
    bool areStressesShown() const { return stressesShown; }
    void setStressesShown(bool shown) { stressesShown = shown; }
    bool areDisplacementsShown() const { return displacementsShown; }
    void setDisplacementsShown(bool shown) { displacementsShown = shown; }

signals:
    void movieStopped();
    void updatePlateId(int id);
    void stressLoaded(bool enabled);
    void displacementLoaded(bool enabled);

public slots:
    void processError(QProcess::ProcessError error);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    bool sceneEventFilter(QGraphicsItem* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int sceneMode() const;
    QRegion effectiveRegion(QGraphicsItem* shape) const;
    void applyRegion(const QRegion& region, int kind, const struct MaterialRecord& material);
    void attachLoadCopy(LoadItem* load);
    void attachDistributedLoadCopy(DistributedLoadItem* load);
    void attachFreedomCopy(FreedomItem* constraint);
    void dropLoad(LoadItem* load);
    void dropDistributedLoad(DistributedLoadItem* load);
    void dropConstraint(FreedomItem* constraint);
    bool constrainRectangle(const QRectF& rect);
    void selectInRectangle(const QRectF& rect);

    QList<MeshNode*> nodeList;
    double nodeDistance;
    int columns = 0;
    int rows = 0;
    int mode = None;
    int regionKind = 0;
    NodePlateSelectionItem* plateSelection = nullptr;
    QList<QGraphicsItem*> selectedItems;
    QPointF pressPoint;
    RubberBand* band = nullptr;
    QList<PlateItem*> plateList;
    double plateThickness = 1.0;
    QMap<int, int> nodeNumbers;
    QMap<int, int> nodeIds;
    QMap<int, int> elementNumbers;
    QMap<int, int> plateIds;
    QProcess* engineProcess = nullptr;
    QTimer* timer = nullptr;
    bool displacementsLoaded = false;
    bool stressesShown = false;
    bool displacementsShown = false;
    bool modelChanged = false;
    /// A left-button drag handled by the mesh is under way (edit gestures, rubber band), and
    /// whether the pointer has moved since the press.
    bool dragging = false;
    bool dragMoved = false;
    /// Where a dragged load or constraint was picked up, to put it back if dropped off the mesh.
    QPointF pickedUpAt;
};
