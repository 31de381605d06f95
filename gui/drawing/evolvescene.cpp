#include "evolvescene.h"

#include "engine_link/enginelink.h"
#include "engine_link/iterationreview.h"
#include "engine_link/legendwidget.h"
#include "engine_link/resultdisplay.h"
#include "evolveellipse.h"
#include "evolvepolygon.h"
#include "evolverectangle.h"
#include "griditem.h"
#include "itemtypes.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/nodeplateselectionitem.h"
#include "mesh/evolvemesh.h"
#include "project/createundocommand.h"
#include "project/deleteallcommand.h"
#include "project/deletemeshcommand.h"
#include "project/undostack.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGraphicsEllipseItem>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Fuzzy comparison of two points, coordinate by coordinate (relative tolerance 1e-12).
bool samePoint(const QPointF& a, const QPointF& b) {
    return qFuzzyCompare(a.x(), b.x()) && qFuzzyCompare(a.y(), b.y());
}

QPointF currentPathPosition(const QPainterPath& path) {
    return path.elementCount() > 0 ? path.currentPosition() : QPointF();
}

// A spin box showing a length in metres.
QDoubleSpinBox* metreBox(double value, QWidget* parent) {
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0.0, 99999999.0);
    box->setSuffix(QStringLiteral(" m"));
    box->setValue(value);
    return box;
}

// Ok/Cancel buttons wired to the dialog.
QDialogButtonBox* okCancelBox(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

// The hidden material fields the "Enter dimensions" dialogs carry through. The modulus is shown
// in units of 1e11, so it comes back rounded to 0.01e11.
struct MaterialBoxes {
    QDoubleSpinBox* yMod;
    QDoubleSpinBox* poisson;
    QDoubleSpinBox* density;

    MaterialBoxes(const MaterialRecord& material, QWidget* parent) {
        yMod = new QDoubleSpinBox(parent);
        yMod->setDecimals(2);
        yMod->setRange(0.0, 2147483647.0);
        yMod->setSuffix(QStringLiteral(" e+11"));
        yMod->setValue(material.yMod / 1e11);
        poisson = new QDoubleSpinBox(parent);
        poisson->setDecimals(2);
        poisson->setRange(0.0, 99.0);
        poisson->setValue(material.poisson);
        density = new QDoubleSpinBox(parent);
        density->setDecimals(2);
        density->setRange(0.0, 2147483647.0);
        density->setSuffix(QStringLiteral(" kg/m3"));
        density->setValue(material.density);
        yMod->hide();
        poisson->hide();
        density->hide();
    }

    MaterialRecord record() const {
        return MaterialRecord{yMod->value() * 1e11, poisson->value(), density->value()};
    }
};

} // namespace

EvolveScene::EvolveScene(QObject* parent) : QGraphicsScene(parent) {
    contextMenu = new QMenu;
    markDesignAction = contextMenu->addAction(tr("Mark as Design"));
    markNonDesignAction = contextMenu->addAction(tr("Mark as Non-Design"));
    setSceneRect(0, 0, 1000, 700);
    setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
    gridItem = new GridItem(20);
    addItem(gridItem);
    gridItem->setWidth(0.1 / metresPerUnit);
}

EvolveScene::~EvolveScene() {
    delete contextMenu;
}

double EvolveScene::nextZValue() {
    static double z = 0.0;
    z += 0.01;
    return z;
}

bool EvolveScene::hasMesh() const {
    return mesh && mesh->scene() == this;
}

EvolveMesh* EvolveScene::meshItem() const {
    return hasMesh() ? mesh.data() : nullptr;
}

void EvolveScene::setMesh(EvolveMesh* m) {
    mesh = m;
}

// ---------------------------------------------------------------------------------------------
// Mouse handling

QGraphicsItem* EvolveScene::topItemAt(const QPointF& pos) const {
    const QList<QGraphicsItem*> hits = items(pos);
    for (QGraphicsItem* item : hits) {
        if (item != gridItem)
            return item;
    }
    return nullptr;
}

void EvolveScene::mousePressEvent(QGraphicsSceneMouseEvent* event) {
    const QPointF pos = event->scenePos();
    if (!sceneRect().contains(pos))
        return;
    QGraphicsScene::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        pressed = true;
        pressPosition = pos;
        if (drawMode != Polygon)
            drawnItem = nullptr;
    }

    switch (drawMode) {
    case Polygon:
        if (!drawnItem) {
            QPainterPath path;
            path.moveTo(pos);
            auto* polygon = new EvolvePolygon(path);
            // The constructor drops a path that is only a starting point.
            polygon->setPath(path);
            polygon->setPen(QPen(QBrush(Qt::black), 0));
            polygon->setBrush(Qt::NoBrush);
            polygon->setZValue(200);
            addItem(polygon);
            drawnItem = polygon;
        } else if (drawnItem->type() == EvolvePolygon::Type) {
            auto* polygon = static_cast<EvolvePolygon*>(drawnItem);
            QPainterPath path = polygon->path();
            if (!samePoint(currentPathPosition(path), pos))
                path.lineTo(pos);
            polygon->setPath(path);
        }
        break;
    case Select:
        selectShapeAt(pos, event->modifiers() & Qt::ControlModifier);
        break;
    case PointLoad:
        placePointLoad(pos);
        break;
    case Freedom:
        placeConstraint(pos);
        break;
    default:
        break;
    }
}

void EvolveScene::selectShapeAt(const QPointF& pos, bool toggle) {
    QGraphicsItem* hit = topItemAt(pos);
    BaseItem* shape = ItemType::isShape(hit) ? shapeBase(hit) : nullptr;
    if (!toggle) {
        unhighlightAll();
        if (shape) {
            shape->setSelectionList(&shapeSelection);
            shape->highlight(true);
        }
    } else if (shape) {
        if (shapeSelection.contains(hit)) {
            shape->highlight(false);
        } else {
            shape->setSelectionList(&shapeSelection);
            shape->highlight(true);
        }
    }
}

void EvolveScene::unhighlightAll() {
    const QList<QGraphicsItem*> selected = shapeSelection;
    for (QGraphicsItem* item : selected) {
        if (BaseItem* shape = shapeBase(item))
            shape->highlight(false);
    }
    shapeSelection.clear();
}

void EvolveScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event) {
    const QPointF pos = event->scenePos();
    // Moves outside the scene rectangle are not snapped either: the canvas has told the grid
    // that the pointer left, and the first move back inside must start afresh.
    if (!sceneRect().contains(pos))
        return;
    gridItem->snapPointer(event);
    QGraphicsScene::mouseMoveEvent(event);
    emit mouseMoved(pos);
    if (!pressed)
        return;
    switch (drawMode) {
    case Ellipse:
    case Circle:
    case Rectangle:
    case Square:
        updateDrawnShape(pos);
        break;
    case DistributedLoad:
        if (!samePoint(pos, pressPosition))
            dragDistributedLoad(pos);
        break;
    default:
        break;
    }
}

void EvolveScene::updateDrawnShape(const QPointF& pos) {
    // A drag starts a shape only once both coordinates have moved, so a purely horizontal or
    // vertical drag draws nothing.
    if (pos.x() == pressPosition.x() || pos.y() == pressPosition.y())
        return;
    QRectF rect;
    switch (drawMode) {
    case Ellipse:
    case Rectangle:
        rect = QRectF(pressPosition, pos).normalized();
        break;
    case Circle: {
        const QPointF d = pos - pressPosition;
        const double r = std::hypot(d.x(), d.y());
        rect = QRectF(pressPosition.x() - r, pressPosition.y() - r, 2 * r, 2 * r).normalized();
        break;
    }
    case Square: {
        const QPointF d = pos - pressPosition;
        const double m = std::min(d.x(), d.y());
        rect = QRectF(pressPosition, pressPosition + QPointF(m, m)).normalized();
        break;
    }
    default:
        return;
    }

    if (drawMode == Ellipse || drawMode == Circle) {
        if (drawnItem && drawnItem->type() == EvolveEllipse::Type) {
            static_cast<EvolveEllipse*>(drawnItem)->setRect(rect);
            return;
        }
        auto* ellipse = new EvolveEllipse(rect);
        ellipse->setPen(shapePen);
        ellipse->setEvolveMode(regionKind);
        ellipse->setZValue(200);
        addItem(ellipse);
        drawnItem = ellipse;
    } else {
        if (drawnItem && drawnItem->type() == EvolveRectangle::Type) {
            static_cast<EvolveRectangle*>(drawnItem)->setRect(rect);
            return;
        }
        auto* rectangle = new EvolveRectangle(rect);
        rectangle->setPen(shapePen);
        rectangle->setEvolveMode(regionKind);
        rectangle->setZValue(200);
        addItem(rectangle);
        drawnItem = rectangle;
    }
}

void EvolveScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* event) {
    const QPointF pos = event->scenePos();
    if (!sceneRect().contains(pos)) {
        // A drag that ends outside the drawing still ends: an item that grabbed the mouse gets
        // its release, and a shape being dragged out is finished as last drawn inside.
        // Otherwise the gesture would go on without a button held.
        if (mouseGrabberItem())
            QGraphicsScene::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton) {
            pressed = false;
            if (drawMode != Polygon && drawnItem) {
                QGraphicsItem* item = drawnItem;
                drawnItem = nullptr;
                finishItem(item);
            }
        }
        return;
    }
    QGraphicsScene::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    pressed = false;

    if (drawMode != Polygon && drawnItem) {
        QGraphicsItem* item = drawnItem;
        drawnItem = nullptr;
        finishItem(item);
        return;
    }
    if (drawMode == Polygon && drawnItem && drawnItem->type() == EvolvePolygon::Type &&
        event->modifiers() == Qt::ControlModifier) {
        auto* polygon = static_cast<EvolvePolygon*>(drawnItem);
        QPainterPath path = polygon->path();
        if (!samePoint(currentPathPosition(path), pos))
            path.lineTo(pos);
        path.closeSubpath();
        polygon->setPath(path);
        polygon->setPen(shapePen);
        polygon->setEvolveMode(regionKind);
        drawnItem = nullptr;
        finishItem(polygon);
    }
}

void EvolveScene::finishItem(QGraphicsItem* item) {
    applicationUndoStack()->push(new CreateUndoCommand(this, item, false));
    absorbIntoMesh(item);
    item->setZValue(item->type() == ItemType::DistributedLoad ? 8.0 : nextZValue());
    emit shapeDrawn();
}

void EvolveScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) {
    const QPointF pos = event->scenePos();
    if (!sceneRect().contains(pos))
        return;
    if (drawMode != Select) {
        // The second click of a quick double click is an ordinary press (a polygon vertex, a
        // load, ...), as it would be when clicked slowly.
        mousePressEvent(event);
        return;
    }
    // Loads and constraints edit themselves on a double click.
    QGraphicsScene::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        editDimensionsAt(pos);
}

void EvolveScene::editDimensionsAt(const QPointF& pos) {
    QGraphicsItem* item = topItemAt(pos);
    if (item && item->type() == EvolveEllipse::Type) {
        auto* ellipse = static_cast<EvolveEllipse*>(item);
        MaterialRecord material = ellipse->material();
        const QRectF box = askEllipseBox(ellipse->mapRectToScene(ellipse->rect()), material);
        ellipse->setRect(ellipse->mapRectFromScene(box));
        ellipse->setMaterial(material);
        return;
    }
    if (item && item->type() == EvolveRectangle::Type) {
        auto* rectangle = static_cast<EvolveRectangle*>(item);
        MaterialRecord material = rectangle->material();
        const QRectF box =
            askRectangleCorners(rectangle->mapRectToScene(rectangle->rect()), material);
        rectangle->setRect(rectangle->mapRectFromScene(box));
        rectangle->setMaterial(material);
        return;
    }
    editPolygonVertexAt(pos);
}

void EvolveScene::editPolygonVertexAt(const QPointF& pos) {
    const QList<QGraphicsItem*> near = items(QRectF(pos - QPointF(3, 3), QSizeF(6, 6)));
    for (QGraphicsItem* item : near) {
        if (item->type() != EvolvePolygon::Type)
            continue;
        auto* polygon = static_cast<EvolvePolygon*>(item);
        QPainterPath path = polygon->path();
        for (int i = 0; i < path.elementCount(); ++i) {
            const QPointF vertex = polygon->mapToScene(QPointF(path.elementAt(i)));
            if (std::abs(vertex.x() - pos.x()) > 3 || std::abs(vertex.y() - pos.y()) > 3)
                continue;
            // A red dot shows which vertex the dialog edits.
            auto* marker = new QGraphicsEllipseItem(vertex.x() - 5, vertex.y() - 5, 10, 10);
            marker->setBrush(QBrush(QColor(255, 0, 0), Qt::SolidPattern));
            addItem(marker);
            const QPointF answer = askPoint(vertex.x(), vertex.y());
            const QPointF local = polygon->mapFromScene(answer);
            path.setElementPositionAt(i, local.x(), local.y());
            polygon->setPath(path);
            removeItem(marker);
            delete marker;
            return;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Keys, modes and selection

void EvolveScene::keyPressEvent(QKeyEvent* event) {
    QGraphicsScene::keyPressEvent(event);
    if (event->key() != Qt::Key_Control || ctrlSelect)
        return;
    // Ctrl must not interrupt a gesture in progress: it closes polygons, and a shape being
    // dragged out would be left behind unfinished.
    if (drawnItem)
        return;
    savedShape = drawMode;
    setDrawShape(Select);
    ctrlSelect = true;
}

void EvolveScene::keyReleaseEvent(QKeyEvent* event) {
    QGraphicsScene::keyReleaseEvent(event);
    if (event->key() == Qt::Key_Control)
        handleCtrlRelease();
}

void EvolveScene::handleCtrlRelease() {
    if (!ctrlSelect)
        return;
    ctrlSelect = false;
    setDrawShape(savedShape);
}

bool EvolveScene::eventFilter(QObject* watched, QEvent* event) {
    // The dimension dialogs are watched, so releasing Ctrl while one is open still ends the
    // temporary selection.
    if (event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control)
        handleCtrlRelease();
    return QGraphicsScene::eventFilter(watched, event);
}

void EvolveScene::setDrawShape(EvolveScene::DrawShape shape) {
    drawMode = shape;
    if (drawnItem) {
        // A polygon still being clicked together is unfinished: it is discarded.
        if (drawnItem->type() == EvolvePolygon::Type) {
            removeItem(drawnItem);
            delete drawnItem;
        }
        drawnItem = nullptr;
    }
    const bool movable = shape == Select;
    if (!movable)
        unhighlightAll();
    const QList<QGraphicsItem*> all = items();
    for (QGraphicsItem* item : all) {
        if (ItemType::isLoadOrConstraint(item))
            item->setFlag(QGraphicsItem::ItemIsMovable, movable);
    }
}

void EvolveScene::clearShapeSelection() {
    unhighlightAll();
    if (hasMesh()) {
        mesh->selectionItem()->clear();
        mesh->clearSelection();
    }
}

void EvolveScene::setEvolveMode(int kind) {
    regionKind = kind;
    if (hasMesh())
        mesh->setCurrentRegionKind(kind);
}

void EvolveScene::contextMenuEvent(QGraphicsSceneContextMenuEvent* event) {
    QGraphicsItem* item = topItemAt(event->scenePos());
    if (item && item->type() == ItemType::NodePlateSelection) {
        QGraphicsScene::contextMenuEvent(event);
        return;
    }
    if (!item)
        return;
    QAction* chosen = contextMenu->exec(event->screenPos());
    BaseItem* shape = shapeBase(item);
    if (!shape || !chosen)
        return;
    if (chosen == markDesignAction)
        shape->setEvolveMode(Design);
    else if (chosen == markNonDesignAction)
        shape->setEvolveMode(NonDesign);
    item->update();
}

// ---------------------------------------------------------------------------------------------
// Dialogs

QPointF EvolveScene::askPoint(double x, double y) {
    QDialog dialog;
    dialog.setWindowTitle(tr("Enter X, Y dimensions"));
    dialog.installEventFilter(this);
    auto* layout = new QFormLayout(&dialog);
    QDoubleSpinBox* xBox = metreBox(x * metresPerUnit, &dialog);
    QDoubleSpinBox* yBox = metreBox(y * metresPerUnit, &dialog);
    layout->addRow(tr("X"), xBox);
    layout->addRow(tr("Y"), yBox);
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return QPointF(x, y);
    return QPointF(xBox->value() / metresPerUnit, yBox->value() / metresPerUnit);
}

QRectF EvolveScene::askEllipseBox(const QRectF& box, MaterialRecord& material) {
    QDialog dialog;
    dialog.setWindowTitle(tr("Enter dimensions"));
    dialog.installEventFilter(this);
    auto* layout = new QFormLayout(&dialog);
    QDoubleSpinBox* xBox = metreBox(box.x() * metresPerUnit, &dialog);
    QDoubleSpinBox* yBox = metreBox(box.y() * metresPerUnit, &dialog);
    QDoubleSpinBox* wBox = metreBox(box.width() * metresPerUnit, &dialog);
    QDoubleSpinBox* hBox = metreBox(box.height() * metresPerUnit, &dialog);
    layout->addRow(tr("Top-left X"), xBox);
    layout->addRow(tr("Top-left Y"), yBox);
    layout->addRow(tr("Width"), wBox);
    layout->addRow(tr("Height"), hBox);
    const MaterialBoxes materialBoxes(material, &dialog);
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return box;
    material = materialBoxes.record();
    return QRectF(xBox->value() / metresPerUnit, yBox->value() / metresPerUnit,
                  wBox->value() / metresPerUnit, hBox->value() / metresPerUnit);
}

QRectF EvolveScene::askRectangleCorners(const QRectF& box, MaterialRecord& material) {
    QDialog dialog;
    dialog.setWindowTitle(tr("Enter dimensions"));
    dialog.installEventFilter(this);
    auto* layout = new QFormLayout(&dialog);
    QDoubleSpinBox* xBox = metreBox(box.x() * metresPerUnit, &dialog);
    QDoubleSpinBox* yBox = metreBox(box.y() * metresPerUnit, &dialog);
    QDoubleSpinBox* rightBox = metreBox((box.x() + box.width()) * metresPerUnit, &dialog);
    QDoubleSpinBox* bottomBox = metreBox((box.y() + box.height()) * metresPerUnit, &dialog);
    layout->addRow(tr("Top-left X"), xBox);
    layout->addRow(tr("Top-left Y"), yBox);
    layout->addRow(tr("Bottom-right X"), rightBox);
    layout->addRow(tr("Bottom-right Y"), bottomBox);
    const MaterialBoxes materialBoxes(material, &dialog);
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return box;
    material = materialBoxes.record();
    const double x = xBox->value() / metresPerUnit;
    const double y = yBox->value() / metresPerUnit;
    return QRectF(x, y, rightBox->value() / metresPerUnit - x,
                  bottomBox->value() / metresPerUnit - y);
}

bool EvolveScene::chooseLoad(const QString& title, LoadParameters& parameters, DrawShape mode) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    auto* layout = new QFormLayout(&dialog);
    auto forceBox = [&dialog](double value) {
        auto* box = new QDoubleSpinBox(&dialog);
        box->setRange(-2147483647.0, 2147483647.0);
        box->setDecimals(2);
        box->setValue(value);
        return box;
    };
    QDoubleSpinBox* xBox = forceBox(parameters.xforce);
    QDoubleSpinBox* yBox = forceBox(parameters.yforce);
    layout->addRow(tr("Force-X"), xBox);
    layout->addRow(tr("Force-Y"), yBox);
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setDrawShape(mode);
    parameters.xforce = xBox->value();
    parameters.yforce = yBox->value();
    if (parameters.xforce == 0.0 && parameters.yforce == 0.0)
        return false;
    setViewCursor(LoadItem::arrowCursor(parameters.xforce, parameters.yforce,
                                        mode == PointLoad ? Qt::green : Qt::magenta));
    return true;
}

bool EvolveScene::choosePointLoad() {
    return chooseLoad(tr("Point load"), lastLoad, PointLoad);
}

bool EvolveScene::chooseDistributedLoad() {
    return chooseLoad(tr("Distributed load"), lastDistributedLoad, DistributedLoad);
}

bool EvolveScene::chooseFreedom(const QString& title, DrawShape mode) {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    auto* layout = new QFormLayout(&dialog);
    QButtonGroup group(&dialog);
    const QStringList texts = {tr("X-Degree of freedom fixed"), tr("Y-Degree of freedom fixed"),
                               tr("All degrees of freedom fixed")};
    for (int kind = 1; kind <= 3; ++kind) {
        auto* button = new QRadioButton(texts[kind - 1], &dialog);
        button->setChecked(kind == lastFreedomKind);
        group.addButton(button, kind);
        layout->addRow(button);
    }
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    setDrawShape(mode);
    const int kind = group.checkedId();
    if (kind < 1)
        return false;
    lastFreedomKind = kind;
    setViewCursor(FreedomItem::cursor(kind));
    return true;
}

bool EvolveScene::chooseConstraint() {
    return chooseFreedom(tr("Constraint"), Freedom);
}

bool EvolveScene::chooseMultipleConstraints() {
    return chooseFreedom(tr("Multiple constraints"), FreedomRect);
}

void EvolveScene::generateMesh() {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(tr("Generate mesh"));
    auto* layout = new QFormLayout(&dialog);
    auto* distance = new QDoubleSpinBox(&dialog);
    // A spacing of zero would ask for infinitely many plates: the smallest spacing offered is
    // the smallest non-zero value the two decimals can show.
    distance->setRange(0.01, 2147483647.0);
    distance->setDecimals(2);
    distance->setSingleStep(0.05);
    distance->setValue(0.1);
    layout->addRow(tr("Distance between nodes: "), distance);
    auto* buttons = new QDialogButtonBox(Qt::Horizontal, &dialog);
    buttons->addButton(tr("Generate"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;
    nodeDistance = distance->value() / metresPerUnit;
    createMesh();
}

void EvolveScene::setGridWidth() {
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(tr("Width of Grid"));
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(new QLabel(tr("Please enter grid width "), &dialog));
    auto* width = new QDoubleSpinBox(&dialog);
    width->setRange(0.05, 2147483647.0);
    width->setDecimals(2);
    width->setSingleStep(0.1);
    width->setValue(0.05);
    layout->addRow(width);
    layout->addRow(okCancelBox(&dialog));
    if (dialog.exec() != QDialog::Accepted)
        return;
    gridItem->setWidth(width->value() / metresPerUnit);
}

void EvolveScene::showGrid(bool enable) {
    gridItem->setShown(enable);
    gridItem->update();
}

// ---------------------------------------------------------------------------------------------
// Scale, size and a new design

void EvolveScene::setMmInPixel(double m) {
    if (!(m > 0.0) || !std::isfinite(m))
        return;
    nodeDistance = metresPerUnit / m * nodeDistance;
    metresPerUnit = m;
    if (hasMesh())
        createMesh();
    emit mmInPixelChanged(metresPerUnit);
}

void EvolveScene::setSceneSize(const QRectF& rect) {
    if (!(rect.width() > 0.0) || !(rect.height() > 0.0))
        return;
    const double width = sceneRect().width();
    metresPerUnit = width / rect.width() * metresPerUnit;
    nodeDistance = rect.width() / width * nodeDistance;
    setSceneRect(rect);
    gridItem->setWidth(gridItem->width());
    if (hasMesh())
        createMesh();
    emit mmInPixelChanged(metresPerUnit);
}

void EvolveScene::resetParameters() {
    lastFreedomKind = 1;
    lastLoad.xforce = lastLoad.yforce = 0.0;
    lastDistributedLoad.xforce = lastDistributedLoad.yforce = 0.0;
    setMmInPixel(10.0 / sceneRect().width());
    gridItem->setWidth(0.05 / metresPerUnit);
    showGrid(false);
    emit showGridToolButtonEnsure(false);
}

void EvolveScene::clearScene() {
    hideResultViews();
    // The cleared shapes leave the scene: they may not stay in the selection, and a polygon
    // being drawn is gone with the rest.
    unhighlightAll();
    drawnItem = nullptr;
    QList<QGraphicsItem*> cleared = items();
    cleared.removeAll(gridItem);
    applicationUndoStack()->push(new DeleteAllCommand(this, cleared));
    mesh.clear();
}

// ---------------------------------------------------------------------------------------------
// Painting and the canvas image

void EvolveScene::drawBackground(QPainter* painter, const QRectF& rect) {
    painter->fillRect(rect, QBrush(Qt::gray, Qt::SolidPattern));
    painter->save();
    painter->setClipRect(sceneRect());
    painter->fillRect(rect, QBrush(Qt::white, Qt::SolidPattern));
    painter->restore();
    QGraphicsScene::drawBackground(painter, rect);
}

void EvolveScene::drawForeground(QPainter* painter, const QRectF& rect) {
    // Items are shown only inside the scene rectangle: whatever reaches beyond it (the last row
    // and column of plates, for instance) is covered by the surrounding gray.
    QPainterPath outside;
    outside.addRect(rect);
    QPainterPath inside;
    inside.addRect(sceneRect());
    painter->fillPath(outside.subtracted(inside), QBrush(Qt::gray, Qt::SolidPattern));
    QGraphicsScene::drawForeground(painter, rect);
}

QString EvolveScene::imageFileName(const QString& chosen) {
    const QString suffix = QFileInfo(chosen).suffix().toLower();
    if (suffix == QLatin1String("png") || suffix == QLatin1String("bmp"))
        return chosen;
    QString name = chosen;
    name.replace(QRegularExpression(QStringLiteral("\\.+[^/]*$")), QStringLiteral(".png"));
    return name;
}

bool EvolveScene::saveCanvasImage(const QString& fileName) {
    const QString name = imageFileName(fileName);
    const QRectF area = sceneRect();
    QPixmap pixmap(qRound(area.width()), qRound(area.height()));
    pixmap.fill(Qt::white);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        render(&painter, QRectF(pixmap.rect()), area, Qt::KeepAspectRatio);
    }
    // A name without a suffix keeps its name and is written as PNG.
    const bool bmp = QFileInfo(name).suffix().toLower() == QLatin1String("bmp");
    return pixmap.save(name, bmp ? "BMP" : "PNG");
}

void EvolveScene::saveCanvasToImageFile() {
    const QString fileName =
        QFileDialog::getSaveFileName(nullptr, tr("Save Canvas Image As ..."), QString(),
                                     tr("PNG Image (*.png ) ;;Bmp Image (*.bmp ) "));
    if (fileName.isEmpty())
        return;
    saveCanvasImage(fileName);
}

// ---------------------------------------------------------------------------------------------
// Views and the main window

QGraphicsView* EvolveScene::firstView() const {
    const QList<QGraphicsView*> all = views();
    return all.isEmpty() ? nullptr : all.first();
}

void EvolveScene::setViewCursor(const QCursor& cursor) {
    if (QGraphicsView* view = firstView())
        view->setCursor(cursor);
}

void EvolveScene::hideResultViews() {
    // The scene is a child of the main window, whose result toolbar is named "esoToolbar".
    if (auto* window = qobject_cast<QWidget*>(parent())) {
        if (auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("esoToolbar")))
            toolbar->hide();
    }
    LegendWidget::instance()->hide();
}

// ---------------------------------------------------------------------------------------------
// The mesh and its loads and constraints.

void EvolveScene::createMesh() {
    if (hasMesh()) {
        mesh->hide();
        hideResultViews();
        delete mesh.data();
    }
    auto* created = new EvolveMesh(nodeDistance);
    mesh = created;
    emit showGridToolButtonEnsure(false);
    showGrid(false);
    showStresses(false);
    created->setCurrentRegionKind(regionKind);
    created->setEditMode(meshEditMode);
    connect(created, &EvolveMesh::updatePlateId, this, &EvolveScene::updatePlateId);
    connect(created, &EvolveMesh::stressLoaded, this, &EvolveScene::stressLoaded);
    connect(created, &EvolveMesh::displacementLoaded, this, &EvolveScene::displacementLoaded);
    created->buildGrid(this);
}

void EvolveScene::deleteMesh() {
    if (!hasMesh())
        return;
    hideResultViews();
    applicationUndoStack()->push(new DeleteMeshCommand(mesh));
}

void EvolveScene::setMeshEditMode(int mode) {
    meshEditMode = mode;
    if (hasMesh())
        mesh->setEditMode(mode);
}

void EvolveScene::showStresses(bool show) {
    if (hasMesh())
        ResultDisplay::showStresses(mesh, show);
}

void EvolveScene::showDisplacements(bool show) {
    if (hasMesh())
        ResultDisplay::showDisplacements(mesh, show);
}

void EvolveScene::cut() {
    if (hasMesh())
        mesh->cutSelection();
}

void EvolveScene::copy() {
    if (hasMesh())
        mesh->copySelection();
}

void EvolveScene::paste() {
    if (hasMesh())
        mesh->paste();
}

void EvolveScene::unEvolve() {
    if (hasMesh())
        EngineLink::of(mesh)->review()->chooseIteration();
}

void EvolveScene::plotESO() {
    if (hasMesh())
        EngineLink::of(mesh)->review()->plot();
}

void EvolveScene::runMovie(bool start) {
    if (!hasMesh())
        return;
    // While a movie runs its end reaches the main window, which unchecks the movie action.
    if (start)
        connect(mesh, &EvolveMesh::movieStopped, this, &EvolveScene::movieStopped,
                Qt::UniqueConnection);
    else
        disconnect(mesh, &EvolveMesh::movieStopped, this, &EvolveScene::movieStopped);
    EngineLink::of(mesh)->review()->runMovie(start);
}

void EvolveScene::revertESO() {
    if (hasMesh())
        EngineLink::of(mesh)->review()->revert();
}

void EvolveScene::placePointLoad(const QPointF& pos) {
    auto* load = new LoadItem(LoadItem::nextId());
    // Scene y points down: the item holds the typed y force negated.
    load->setForces(lastLoad.xforce, -lastLoad.yforce);
    load->setAccelerations(lastLoad.accelx, lastLoad.accely);
    load->setAnchorPoint(pos);
    addItem(load);
    applicationUndoStack()->push(new CreateUndoCommand(this, load, false));
    absorbIntoMesh(load);
}

void EvolveScene::placeConstraint(const QPointF& pos) {
    auto* constraint = new FreedomItem(FreedomItem::nextId());
    constraint->setFreedom(lastFreedomKind);
    constraint->setPos(pos);
    addItem(constraint);
    applicationUndoStack()->push(new CreateUndoCommand(this, constraint, false));
    absorbIntoMesh(constraint);
}

void EvolveScene::dragDistributedLoad(const QPointF& pos) {
    const QPointF d = pos - pressPosition;
    const QPolygonF line(QRectF(0, 0, d.x(), d.y()));
    if (drawnItem && drawnItem->type() == DistributedLoadItem::Type) {
        static_cast<DistributedLoadItem*>(drawnItem)->setLine(line);
        return;
    }
    auto* load = new DistributedLoadItem(DistributedLoadItem::nextId());
    load->setForces(lastDistributedLoad.xforce, -lastDistributedLoad.yforce);
    load->setAccelerations(lastDistributedLoad.accelx, lastDistributedLoad.accely);
    load->setPos(pressPosition);
    load->setLine(line);
    load->setZValue(200);
    addItem(load);
    drawnItem = load;
}

void EvolveScene::absorbIntoMesh(QGraphicsItem* item) {
    if (hasMesh())
        mesh->absorbItem(item);
}
