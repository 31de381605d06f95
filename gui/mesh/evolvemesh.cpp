#include "mesh/evolvemesh.h"

#include "drawing/baseitem.h"
#include "drawing/evolvescene.h"
#include "drawing/itemtypes.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/nodeplateselectionitem.h"
#include "loads/plateitem.h"
#include "loads/rubberband.h"
#include "mesh/meshclipboard.h"
#include "mesh/meshnode.h"
#include "project/createplateundocommand.h"
#include "project/createundocommand.h"
#include "project/deleteplateundocommand.h"
#include "project/deleteselectioncommand.h"
#include "project/undostack.h"

#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QLineF>
#include <QRegion>
#include <QTimer>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

namespace {
constexpr double NodeTolerance = 1e-8;

// Row-then-column order of nodes: rows by y, within a row by x.
bool nodeLess(const QPointF& a, const QPointF& b) {
    if (std::abs(a.y() - b.y()) < NodeTolerance)
        return std::abs(a.x() - b.x()) >= NodeTolerance && a.x() < b.x();
    return a.y() < b.y();
}

double squaredDistance(const QPointF& a, const QPointF& b) {
    const QPointF d = a - b;
    return d.x() * d.x() + d.y() * d.y();
}

bool samePoint(const QPointF& a, const QPointF& b) {
    return qFuzzyCompare(a.x() + 1.0, b.x() + 1.0) && qFuzzyCompare(a.y() + 1.0, b.y() + 1.0);
}

// The item's region in scene coordinates at pixel granularity (the item's own granularity is
// restored afterwards).
QRegion pixelRegion(QGraphicsItem* item) {
    const qreal old = item->boundingRegionGranularity();
    item->setBoundingRegionGranularity(1.0);
    QRegion region = item->boundingRegion(item->sceneTransform());
    item->setBoundingRegionGranularity(old);
    return region;
}

qint64 coveredArea(const QRegion& region) {
    qint64 area = 0;
    for (const QRect& r : region)
        area += qint64(r.width()) * r.height();
    return area;
}
} // namespace

EvolveMesh::EvolveMesh(double pixelNodeDistance, QGraphicsItem* parent)
    : QObject(), QGraphicsRectItem(parent), nodeDistance(pixelNodeDistance) {
    setPen(Qt::NoPen);
    setBrush(Qt::NoBrush);
    setZValue(99.0);
    setFlag(ItemIsFocusable);
    setAcceptHoverEvents(true);
    plateSelection = new NodePlateSelectionItem(this);
    plateSelection->setBrush(QBrush(Qt::blue));
    plateSelection->setPen(Qt::NoPen);
    band = new RubberBand(this);
    band->setRect(0, 0, 0, 0);
    band->hide();
    engineProcess = new QProcess;
    timer = new QTimer(this);
    connect(engineProcess, &QProcess::errorOccurred, this, &EvolveMesh::processError);
}

EvolveMesh::~EvolveMesh() {
    // Children first: loads and constraints leave their nodes' lists while the nodes live.
    const QList<QGraphicsItem*> children = childItems();
    qDeleteAll(children);
    qDeleteAll(nodeList);
    if (engineProcess->state() != QProcess::NotRunning) {
        engineProcess->kill();
        engineProcess->waitForFinished(1000);
    }
    delete engineProcess;
}

void EvolveMesh::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) {
    QGraphicsRectItem::paint(painter, option, widget);
}

void EvolveMesh::processError(QProcess::ProcessError) {}

void EvolveMesh::buildGrid(QGraphicsScene* target) {
    QGraphicsScene* s = target ? target : scene();
    if (!s || nodeDistance <= 0.0)
        return;
    const QRectF area = s->sceneRect();
    setRect(area);
    const double d = nodeDistance;
    columns = qRound(area.width() / d) + 1;
    rows = qRound(area.height() / d) + 1;
    nodeList.reserve(qsizetype(columns) * rows);
    plateList.reserve(qsizetype(columns) * rows);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const int id = columns * j + i + 1;
            auto* node = new MeshNode;
            node->x = i * d;
            node->y = j * d;
            node->id = id;
            auto* plate = new PlateItem(id, this);
            plate->setPolygon(QPolygonF(QRectF(i * d, j * d, d, d)));
            plate->setAnchorNode(node);
            node->anchorPlate = plate;
            plateList.append(plate);
            nodeList.append(node);
        }
    }
    std::stable_sort(nodeList.begin(), nodeList.end(), [](const MeshNode* a, const MeshNode* b) {
        return nodeLess(a->pos(), b->pos());
    });
    std::stable_sort(plateList.begin(), plateList.end(),
                     [](const PlateItem* a, const PlateItem* b) { return a->id() < b->id(); });
    for (PlateItem* plate : std::as_const(plateList)) {
        const QPolygonF outline = plate->polygon();
        for (qsizetype k = 0; k + 1 < outline.size(); ++k) {
            if (MeshNode* node = nodeAt(outline.at(k))) {
                node->plates.append(plate);
                plate->addCorner(node);
            }
        }
    }
    applicationUndoStack()->push(new CreateUndoCommand(s, this));
    // Bottom first, so that where shapes overlap the one on top decides, as it does when the
    // shapes are drawn one by one on an existing mesh.
    const QList<QGraphicsItem*> drawn = s->items(Qt::AscendingOrder);
    for (QGraphicsItem* item : drawn)
        absorbItem(item);
    update();
}

MeshNode* EvolveMesh::nodeAt(const QPointF& p) const {
    const auto it = std::lower_bound(
        nodeList.cbegin(), nodeList.cend(), p,
        [](const MeshNode* node, const QPointF& key) { return nodeLess(node->pos(), key); });
    if (it == nodeList.cend())
        return nullptr;
    MeshNode* node = *it;
    if (std::abs(node->x - p.x()) < NodeTolerance && std::abs(node->y - p.y()) < NodeTolerance)
        return node;
    return nullptr;
}

PlateItem* EvolveMesh::plateAt(const QPointF& p) const {
    if (columns == 0 || nodeDistance <= 0.0)
        return nullptr;
    const int i = static_cast<int>(std::floor(p.x() / nodeDistance));
    const int j = static_cast<int>(std::floor(p.y() / nodeDistance));
    if (i < 0 || j < 0 || i >= columns || j >= rows)
        return nullptr;
    return plateList.value(qsizetype(j) * columns + i);
}

QPointF EvolveMesh::shownPosition(const MeshNode* node) const {
    return displacementsShown ? node->displacedPos() : node->pos();
}

MeshNode* EvolveMesh::nearestNode(const QPointF& p, bool displaced) const {
    QList<PlateItem*> candidates;
    if (displaced && scene()) {
        // The plates are drawn deformed: take those drawn under the point.
        const QList<QGraphicsItem*> under = scene()->items(p);
        for (QGraphicsItem* item : under) {
            auto* plate = qgraphicsitem_cast<PlateItem*>(item);
            if (plate && plate->parentItem() == this)
                candidates.append(plate);
        }
    } else if (PlateItem* plate = plateAt(p)) {
        candidates.append(plate);
    }
    MeshNode* best = nullptr;
    double bestDistance = 2147483647.0;
    for (const PlateItem* plate : std::as_const(candidates)) {
        for (MeshNode* node : plate->corners()) {
            const double distance =
                squaredDistance(displaced ? node->displacedPos() : node->pos(), p);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = node;
            }
        }
    }
    return best;
}

void EvolveMesh::absorbItem(QGraphicsItem* item) {
    if (!item || item->parentItem())
        return; // copies and plates already belong to a mesh
    switch (item->type()) {
    case ItemType::Ellipse:
    case ItemType::Rectangle:
    case ItemType::Polygon: {
        BaseItem* shape = shapeBase(item);
        applyRegion(effectiveRegion(item), shape->evolveMode(), shape->material());
        modelChanged = true;
        break;
    }
    case LoadItem::Type:
        attachLoadCopy(static_cast<LoadItem*>(item));
        break;
    case DistributedLoadItem::Type:
        attachDistributedLoadCopy(static_cast<DistributedLoadItem*>(item));
        break;
    case FreedomItem::Type:
        attachFreedomCopy(static_cast<FreedomItem*>(item));
        break;
    default:
        break;
    }
}

QRegion EvolveMesh::effectiveRegion(QGraphicsItem* shape) const {
    // Rectangles are exact at any granularity; curves and polygons are taken pixel by pixel.
    QRegion region = shape->type() == ItemType::Rectangle
                         ? shape->boundingRegion(shape->sceneTransform())
                         : pixelRegion(shape);
    QGraphicsScene* s = shape->scene();
    if (!s)
        return region;
    const bool subtraction = shapeBase(shape)->evolveMode() == Subtraction;
    QRegion removed;
    const QList<QGraphicsItem*> all = s->items();
    for (QGraphicsItem* other : all) {
        if (other == shape || other->parentItem() || other->zValue() <= shape->zValue())
            continue;
        BaseItem* base = shapeBase(other);
        if (!base)
            continue;
        // A subtraction only removes where no solid shape lies above it; a solid shape loses
        // what subtractions above it cut away.
        if (subtraction != (base->evolveMode() == Subtraction))
            removed += pixelRegion(other);
    }
    return region.subtracted(removed);
}

void EvolveMesh::applyRegion(const QRegion& region, int kind, const MaterialRecord& material) {
    if (region.isEmpty())
        return;
    const QRect bounds = region.boundingRect();
    QUndoStack* stack = applicationUndoStack();
    const int group = CreatePlateUndoCommand::newGroup();
    for (PlateItem* plate : std::as_const(plateList)) {
        const QRectF box = plate->polygon().boundingRect();
        const QRect r(qRound(box.x()), qRound(box.y()), qRound(box.width()), qRound(box.height()));
        if (!bounds.intersects(r))
            continue;
        const qint64 half = (qint64(r.width()) * r.height()) / 2;
        if (coveredArea(region.intersected(r)) < half)
            continue;
        if (kind == Subtraction) {
            // Only a plate that is on can be taken off; undo switches it on again.
            if (plate->isOn())
                stack->push(new DeletePlateUndoCommand(plate, plate->evolveMode(), group));
        } else {
            stack->push(new CreatePlateUndoCommand(plate, kind, group));
            plate->setStoredMaterial(material);
        }
    }
}

void EvolveMesh::watchChild(QGraphicsItem* item) {
    auto* mesh = qgraphicsitem_cast<EvolveMesh*>(item->parentItem());
    if (!mesh || !item->scene() || mesh->scene() != item->scene())
        return;
    item->removeSceneEventFilter(mesh);
    item->installSceneEventFilter(mesh);
}

void EvolveMesh::releaseChild(QGraphicsItem* item) {
    auto* mesh = qgraphicsitem_cast<EvolveMesh*>(item->parentItem());
    if (!mesh || !mesh->selectedItems.contains(item))
        return;
    mesh->selectedItems.removeAll(item);
    if (auto* load = qgraphicsitem_cast<LoadItem*>(item))
        load->highlight(false);
    else if (auto* constraint = qgraphicsitem_cast<FreedomItem*>(item))
        constraint->highlight(false);
    else if (auto* distributed = qgraphicsitem_cast<DistributedLoadItem*>(item))
        distributed->highlight(false);
}

void EvolveMesh::addNodeItem(QGraphicsItem* item, MeshNode* node) {
    item->setParentItem(this);
    if (auto* load = qgraphicsitem_cast<LoadItem*>(item))
        load->attachTo(node, this);
    else if (auto* constraint = qgraphicsitem_cast<FreedomItem*>(item))
        constraint->attachTo(node, this);
    applicationUndoStack()->push(new CreateUndoCommand(scene(), item, true));
    watchChild(item);
    modelChanged = true;
}

void EvolveMesh::copySelection() {
    MeshClipboard::instance().copyFrom(this);
}

void EvolveMesh::cutSelection() {
    if (!MeshClipboard::instance().copyFrom(this))
        return;
    deleteSelection();
    plateSelection->clear();
}

void EvolveMesh::paste() {
    MeshClipboard::instance().pasteInto(this);
}

void EvolveMesh::attachLoadCopy(LoadItem* load) {
    MeshNode* node = nearestNode(load->anchorPoint());
    if (!node)
        return; // not on the mesh: the load stays unattached and is not part of the model
    LoadItem* copy = load->copyForMesh(load->id());
    copy->setRadius(std::max(32.0, nodeDistance));
    copy->setAnchorPoint(shownPosition(node));
    addNodeItem(copy, node);
}

void EvolveMesh::attachFreedomCopy(FreedomItem* constraint) {
    MeshNode* node = nearestNode(constraint->pos());
    if (!node)
        return; // not on the mesh: the constraint stays unattached
    FreedomItem* copy = constraint->copyForMesh();
    copy->setPos(shownPosition(node));
    addNodeItem(copy, node);
}

void EvolveMesh::attachDistributedLoadCopy(DistributedLoadItem* load) {
    // Each distinct point of the drawn line goes to the nearest corner of the plate under it.
    QList<QPointF> collected;
    auto addUnique = [](QList<QPointF>& list, const QPointF& p) {
        for (const QPointF& q : std::as_const(list)) {
            if (samePoint(p, q))
                return;
        }
        list.append(p);
    };
    for (const QPointF& point : load->line()) {
        const QPointF p = point + load->pos();
        const PlateItem* plate = plateAt(p);
        if (!plate)
            continue;
        const MeshNode* best = nullptr;
        double bestDistance = 0.0;
        for (const MeshNode* node : plate->corners()) {
            const double distance = squaredDistance(node->pos(), p);
            if (!best || distance < bestDistance ||
                (distance == bestDistance &&
                 (node->x < best->x || (node->x == best->x && node->y < best->y)))) {
                best = node;
                bestDistance = distance;
            }
        }
        if (best)
            addUnique(collected, best->pos());
    }
    if (collected.isEmpty())
        return; // no point on the mesh: no copy

    QPointF origin = collected.first();
    for (const QPointF& p : std::as_const(collected)) {
        if (p.x() * p.x() + p.y() * p.y() < origin.x() * origin.x() + origin.y() * origin.y())
            origin = p;
    }
    // The nodes between two collected points on one row or column act too. Steps are whole
    // node spacings from the first point, so they land exactly on nodes.
    QList<QPointF> points = collected;
    const double d = nodeDistance;
    for (const QPointF& a : std::as_const(collected)) {
        for (const QPointF& b : std::as_const(collected)) {
            if (samePoint(a, b))
                continue;
            if (a.x() == b.x()) {
                for (int k = 1; a.y() + k * d < b.y() - NodeTolerance; ++k)
                    addUnique(points, QPointF(a.x(), a.y() + k * d));
            } else if (a.y() == b.y()) {
                for (int k = 1; a.x() + k * d < b.x() - NodeTolerance; ++k)
                    addUnique(points, QPointF(a.x() + k * d, a.y()));
            }
        }
    }
    for (QPointF& p : points)
        p -= origin;
    auto sweepKey = [](const QPointF& p) {
        double angle = QLineF(QPointF(1, 1), p).angle() - 135.0;
        if (angle > 0)
            angle -= 360.0;
        return angle;
    };
    std::stable_sort(points.begin(), points.end(), [&sweepKey](const QPointF& a, const QPointF& b) {
        return sweepKey(a) > sweepKey(b);
    });
    QPolygonF line(points);
    if (!samePoint(line.first(), line.last()) || line.size() == 1)
        line.append(line.first());

    DistributedLoadItem* copy = load->copyForMesh(load->id());
    copy->setLine(line);
    copy->setPos(origin);
    copy->setRadius(std::max(16.0, nodeDistance));
    addNodeItem(copy, nullptr);
}

void EvolveMesh::addToSelection(QGraphicsItem* item) {
    if (selectedItems.contains(item))
        return;
    selectedItems.append(item);
    if (auto* load = qgraphicsitem_cast<LoadItem*>(item))
        load->highlight(true);
    else if (auto* constraint = qgraphicsitem_cast<FreedomItem*>(item))
        constraint->highlight(true);
    else if (auto* distributed = qgraphicsitem_cast<DistributedLoadItem*>(item))
        distributed->highlight(true);
}

void EvolveMesh::clearSelection() {
    for (QGraphicsItem* item : std::as_const(selectedItems)) {
        if (auto* load = qgraphicsitem_cast<LoadItem*>(item))
            load->highlight(false);
        else if (auto* constraint = qgraphicsitem_cast<FreedomItem*>(item))
            constraint->highlight(false);
        else if (auto* distributed = qgraphicsitem_cast<DistributedLoadItem*>(item))
            distributed->highlight(false);
    }
    selectedItems.clear();
}

void EvolveMesh::deleteSelection() {
    const QList<QGraphicsItem*> items = selectedItems;
    const QList<PlateItem*> selectedPlates = plateSelection->plates();
    clearSelection();
    QList<PlateItem*> onPlates;
    for (PlateItem* plate : selectedPlates) {
        if (plate->isOn())
            onPlates.append(plate);
    }
    if (items.isEmpty() && onPlates.isEmpty())
        return;
    applicationUndoStack()->push(new DeleteSelectionCommand(this, items, onPlates));
}

int EvolveMesh::sceneMode() const {
    if (auto* s = qobject_cast<EvolveScene*>(scene()))
        return s->drawShape();
    return EvolveScene::NoShape;
}

void EvolveMesh::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const int shape = sceneMode();
    dragMoved = false;
    if (mode == AddPlates || mode == DeletePlates) {
        dragging = true; // the plate under the press has already applied the edit rule
    } else if (shape == EvolveScene::FreedomRect || shape == EvolveScene::Select) {
        if (shape == EvolveScene::Select) {
            const QList<QGraphicsItem*> under = scene()->items(event->scenePos());
            for (QGraphicsItem* item : under) {
                auto* plate = qgraphicsitem_cast<PlateItem*>(item);
                if (plate && plate->parentItem() == this) {
                    plateSelection->clear();
                    plateSelection->addPlate(plate);
                    break;
                }
            }
            clearSelection();
        }
        pressPoint = QPointF(qRound(event->scenePos().x()), qRound(event->scenePos().y()));
        band->setRect(QRectF(pressPoint, QSizeF(-1, -1)));
        dragging = true;
    } else {
        event->ignore();
        return;
    }
    setFocus();
    event->accept();
}

void EvolveMesh::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    if (!dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPointF pos = event->scenePos();
    if (mode == AddPlates || mode == DeletePlates) {
        const QList<QGraphicsItem*> under = scene()->items(pos);
        for (QGraphicsItem* item : under) {
            auto* plate = qgraphicsitem_cast<PlateItem*>(item);
            if (plate && plate->parentItem() == this) {
                plate->editByDrag();
                break;
            }
        }
        return;
    }
    if (samePoint(pos, pressPoint))
        return;
    dragMoved = true;
    band->setRect(QRectF(pressPoint, pos).normalized());
    if (!band->isVisible())
        band->show();
}

void EvolveMesh::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    if (!dragging || event->button() != Qt::LeftButton)
        return;
    dragging = false;
    if (mode == AddPlates || mode == DeletePlates)
        return;
    band->hide();
    // A press and release on one spot is a click, not a rectangle.
    if (!dragMoved || samePoint(event->scenePos(), pressPoint))
        return;
    const QRectF rect = band->rect();
    if (sceneMode() == EvolveScene::FreedomRect)
        constrainRectangle(rect);
    else if (sceneMode() == EvolveScene::Select)
        selectInRectangle(rect);
}

bool EvolveMesh::constrainRectangle(const QRectF& rect) {
    QList<MeshNode*> inside;
    for (MeshNode* node : std::as_const(nodeList)) {
        if (rect.contains(node->pos()))
            inside.append(node);
    }
    if (inside.isEmpty())
        return false;
    auto* s = qobject_cast<EvolveScene*>(scene());
    const int kind = s ? s->lastFreedom() : 1;
    QUndoStack* stack = applicationUndoStack();
    auto* step = new CreateUndoCommand(scene(), nullptr);
    step->setText(QStringLiteral("Added Constraints"));
    stack->push(step);
    for (MeshNode* node : std::as_const(inside)) {
        auto* constraint = new FreedomItem(FreedomItem::nextId());
        constraint->setFreedom(kind);
        constraint->setPos(shownPosition(node));
        addNodeItem(constraint, node);
    }
    return true;
}

void EvolveMesh::selectInRectangle(const QRectF& rect) {
    plateSelection->clear();
    // Plates count when they touch the rectangle, even at a single corner.
    for (PlateItem* plate : std::as_const(plateList)) {
        const QRectF box = plate->polygon().boundingRect();
        if (box.left() <= rect.right() && rect.left() <= box.right() &&
            box.top() <= rect.bottom() && rect.top() <= box.bottom())
            plateSelection->addPlate(plate);
    }
    const QList<QGraphicsItem*> touched = scene()->items(rect);
    for (QGraphicsItem* item : touched) {
        if (item->parentItem() != this)
            continue;
        switch (item->type()) {
        case LoadItem::Type:
            if (rect.contains(static_cast<LoadItem*>(item)->anchorPoint()))
                addToSelection(item);
            break;
        case FreedomItem::Type:
            if (rect.contains(item->pos()))
                addToSelection(item);
            break;
        case DistributedLoadItem::Type:
            if (item->boundingRect().translated(item->pos()).intersects(rect))
                addToSelection(item);
            break;
        default:
            break;
        }
    }
    plateSelection->update();
}

bool EvolveMesh::sceneEventFilter(QGraphicsItem* watched, QEvent* event) {
    const int t = watched->type();
    if (t != LoadItem::Type && t != FreedomItem::Type && t != DistributedLoadItem::Type)
        return false;
    if (event->type() == QEvent::GraphicsSceneMousePress) {
        auto* mouse = static_cast<QGraphicsSceneMouseEvent*>(event);
        if (!(mouse->modifiers() & Qt::ShiftModifier))
            clearSelection();
        addToSelection(watched);
        pickedUpAt = watched->pos();
    } else if (event->type() == QEvent::GraphicsSceneMouseRelease) {
        if (!(watched->flags() & ItemIsMovable) || watched->pos() == pickedUpAt)
            return false;
        if (t == LoadItem::Type)
            dropLoad(static_cast<LoadItem*>(watched));
        else if (t == FreedomItem::Type)
            dropConstraint(static_cast<FreedomItem*>(watched));
        else
            dropDistributedLoad(static_cast<DistributedLoadItem*>(watched));
    }
    return false;
}

void EvolveMesh::dropLoad(LoadItem* load) {
    MeshNode* node = nearestNode(load->anchorPoint(), displacementsShown);
    if (!node) {
        load->setPos(pickedUpAt); // dropped off the mesh: back where it was
        return;
    }
    load->setAnchorPoint(shownPosition(node));
    load->attachTo(node, this);
    modelChanged = true;
}

void EvolveMesh::dropConstraint(FreedomItem* constraint) {
    MeshNode* node = nearestNode(constraint->pos(), displacementsShown);
    if (!node) {
        constraint->setPos(pickedUpAt);
        return;
    }
    constraint->setPos(shownPosition(node));
    constraint->attachTo(node, this);
    modelChanged = true;
}

void EvolveMesh::dropDistributedLoad(DistributedLoadItem* load) {
    QList<QPointF> nodePoints;
    const QPolygonF line = load->line();
    for (qsizetype k = 0; k < line.size(); ++k) {
        MeshNode* node = nearestNode(line.at(k) + load->pos());
        if (!node) {
            load->setPos(pickedUpAt); // some point left the mesh: back where it was
            return;
        }
        nodePoints.append(node->pos());
    }
    if (nodePoints.isEmpty())
        return;
    QPointF origin = nodePoints.first();
    for (const QPointF& p : std::as_const(nodePoints)) {
        if (p.x() * p.x() + p.y() * p.y() < origin.x() * origin.x() + origin.y() * origin.y())
            origin = p;
    }
    QPolygonF moved;
    for (const QPointF& p : std::as_const(nodePoints))
        moved.append(p - origin);
    moved.last() = moved.first();
    load->setLine(moved);
    load->setPos(origin);
    modelChanged = true;
}

void EvolveMesh::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) {
    QGraphicsRectItem::mouseDoubleClickEvent(event);
}

void EvolveMesh::hoverMoveEvent(QGraphicsSceneHoverEvent* event) {
    if (elementNumbers.isEmpty() || !scene())
        return;
    const QList<QGraphicsItem*> under = scene()->items(event->scenePos());
    for (QGraphicsItem* item : under) {
        if (auto* plate = qgraphicsitem_cast<PlateItem*>(item)) {
            const auto it = elementNumbers.constFind(plate->id());
            if (it != elementNumbers.cend())
                emit updatePlateId(it.value());
            return;
        }
    }
}

void EvolveMesh::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        deleteSelection();
        event->accept();
        return;
    }
    QGraphicsRectItem::keyPressEvent(event);
}
