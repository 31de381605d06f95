#include "mesh/meshclipboard.h"

#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/nodeplateselectionitem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/createplateundocommand.h"
#include "project/deleteplateundocommand.h"
#include "project/undostack.h"

#include <QUndoStack>
#include <cmath>

MeshClipboard& MeshClipboard::instance() {
    static MeshClipboard clipboard;
    return clipboard;
}

bool MeshClipboard::isEmpty() const {
    return plateList.isEmpty() && loadList.isEmpty() && constraintList.isEmpty() &&
           distributedList.isEmpty();
}

void MeshClipboard::clear() {
    plateList.clear();
    loadList.clear();
    constraintList.clear();
    distributedList.clear();
}

bool MeshClipboard::copyFrom(const EvolveMesh* mesh) {
    const QList<PlateItem*>& plates = mesh->selectionItem()->plates();
    if (plates.isEmpty() && mesh->selection().isEmpty())
        return false;
    clear();
    for (const PlateItem* plate : plates) {
        plateList.append({plate->polygon().boundingRect(), plate->isOn(), plate->evolveMode(),
                          plate->storedMaterial()});
    }
    for (const QGraphicsItem* item : mesh->selection()) {
        if (const auto* load = qgraphicsitem_cast<const LoadItem*>(item)) {
            loadList.append({load->anchorPoint(), load->xForce(), load->yForce(), load->xAccel(),
                             load->yAccel(), load->radius()});
        } else if (const auto* constraint = qgraphicsitem_cast<const FreedomItem*>(item)) {
            constraintList.append({constraint->pos(), constraint->freedom()});
        } else if (const auto* distributed = qgraphicsitem_cast<const DistributedLoadItem*>(item)) {
            distributedList.append({distributed->nodePoints(), distributed->xForce(),
                                    distributed->yForce(), distributed->xAccel(),
                                    distributed->yAccel(), distributed->radius()});
        }
    }
    return true;
}

QRectF MeshClipboard::bounds() const {
    QRectF box;
    bool first = true;
    auto include = [&box, &first](const QRectF& r) {
        box = first ? r : box.united(r);
        first = false;
    };
    for (const Plate& plate : plateList)
        include(plate.rect);
    for (const Load& load : loadList)
        include(QRectF(load.anchor, QSizeF(0, 0)));
    for (const Constraint& constraint : constraintList)
        include(QRectF(constraint.pos, QSizeF(0, 0)));
    for (const DistributedLoad& load : distributedList) {
        for (const QPointF& p : load.points)
            include(QRectF(p, QSizeF(0, 0)));
    }
    return box;
}

QPointF MeshClipboard::pasteOffset(const EvolveMesh* mesh) const {
    const double d = mesh->pixelNodeDistance();
    const QRectF box = bounds();
    auto steps = [d](double length) { return std::max(1.0, std::ceil(length / d - 1e-9)) * d; };
    // The mesh's nodes span its rectangle; plates reach one spacing further.
    const QRectF area = mesh->rect().adjusted(0, 0, d, d);
    const QPointF right(steps(box.width()), 0.0);
    if (area.contains(box.translated(right)))
        return right;
    const QPointF down(0.0, steps(box.height()));
    if (area.contains(box.translated(down)))
        return down;
    return QPointF(0.0, 0.0);
}

bool MeshClipboard::pasteInto(EvolveMesh* mesh) const {
    if (isEmpty() || !mesh->scene())
        return false;
    const QPointF offset = pasteOffset(mesh);

    // Work out what lands on the mesh before anything is pushed, so an empty paste makes no step.
    struct PlateTarget {
        PlateItem* target;
        const Plate* source;
    };
    QList<PlateTarget> plateTargets;
    for (const Plate& plate : plateList) {
        PlateItem* target = mesh->plateAt(plate.rect.center() + offset);
        if (target && (plate.on || target->isOn()))
            plateTargets.append({target, &plate});
    }
    QList<QPair<MeshNode*, const Load*>> loadTargets;
    for (const Load& load : loadList) {
        if (MeshNode* node = mesh->nearestNode(load.anchor + offset))
            loadTargets.append({node, &load});
    }
    QList<QPair<MeshNode*, const Constraint*>> constraintTargets;
    for (const Constraint& constraint : constraintList) {
        if (MeshNode* node = mesh->nearestNode(constraint.pos + offset))
            constraintTargets.append({node, &constraint});
    }
    QList<QPair<QList<QPointF>, const DistributedLoad*>> distributedTargets;
    for (const DistributedLoad& load : distributedList) {
        QList<QPointF> points;
        for (const QPointF& p : load.points) {
            if (MeshNode* node = mesh->nearestNode(p + offset))
                points.append(node->pos());
        }
        if (!points.isEmpty())
            distributedTargets.append({points, &load});
    }
    if (plateTargets.isEmpty() && loadTargets.isEmpty() && constraintTargets.isEmpty() &&
        distributedTargets.isEmpty())
        return false;

    QUndoStack* stack = applicationUndoStack();
    stack->beginMacro(QStringLiteral("'Pasted'"));
    const int group = CreatePlateUndoCommand::newGroup();
    for (const PlateTarget& entry : std::as_const(plateTargets)) {
        if (entry.source->on) {
            stack->push(new CreatePlateUndoCommand(entry.target, entry.source->mode, group));
            entry.target->setStoredMaterial(entry.source->material);
        } else {
            stack->push(
                new DeletePlateUndoCommand(entry.target, entry.target->evolveMode(), group));
        }
    }
    for (const auto& [node, source] : std::as_const(loadTargets)) {
        auto* load = new LoadItem(LoadItem::nextId());
        load->setForces(source->fx, source->fy);
        load->setAccelerations(source->ax, source->ay);
        load->setRadius(source->radius);
        load->setAnchorPoint(mesh->shownPosition(node));
        mesh->addNodeItem(load, node);
    }
    for (const auto& [node, source] : std::as_const(constraintTargets)) {
        auto* constraint = new FreedomItem(FreedomItem::nextId());
        constraint->setFreedom(source->freedom);
        constraint->setPos(mesh->shownPosition(node));
        mesh->addNodeItem(constraint, node);
    }
    for (const auto& [points, source] : std::as_const(distributedTargets)) {
        QPointF origin = points.first();
        for (const QPointF& p : points) {
            if (p.x() * p.x() + p.y() * p.y() < origin.x() * origin.x() + origin.y() * origin.y())
                origin = p;
        }
        QPolygonF line;
        for (const QPointF& p : points)
            line.append(p - origin);
        line.append(line.first());
        auto* load = new DistributedLoadItem(DistributedLoadItem::nextId());
        load->setForces(source->fx, source->fy);
        load->setAccelerations(source->ax, source->ay);
        load->setRadius(source->radius);
        load->setLine(line);
        load->setPos(origin);
        mesh->addNodeItem(load, nullptr);
    }
    stack->endMacro();
    return true;
}
