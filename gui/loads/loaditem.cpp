#include "loads/loaditem.h"

#include "engine_link/legendwidget.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTransform>
#include <QtMath>
#include <algorithm>
#include <climits>

namespace {
int loadCounter = 0;
}

LoadItem::LoadItem(int id, QGraphicsItem* parent) : QAbstractGraphicsShapeItem(parent), loadId(id) {
    setPen(Qt::NoPen);
    setBrush(QBrush(Qt::green));
    setFlag(ItemIsMovable, true);
    setZValue(7);
}

LoadItem::~LoadItem() {
    attachment.detach(this);
}

int LoadItem::nextId() {
    return ++loadCounter;
}

QPainterPath LoadItem::arrowPath(double fx, double fy, int size) {
    QPainterPath head;
    head.moveTo(32, 0);
    head.lineTo(15, -5);
    head.lineTo(15, 5);
    head.closeSubpath();
    QPainterPath shaft;
    shaft.addRect(0, -1, 27, 2);
    QPainterPath arrow = head.united(shaft);
    arrow.setFillRule(Qt::WindingFill);

    // Scale first, then rotate, then move the tail to (32, 32).
    QTransform transform;
    transform.translate(AnchorOffset, AnchorOffset);
    transform.rotateRadians(-std::atan2(fy, fx));
    transform.scale(size / 32.0, size / 32.0);
    QPainterPath mapped = transform.map(arrow);
    mapped.setFillRule(Qt::WindingFill);
    return mapped;
}

QCursor LoadItem::arrowCursor(double fx, double fy, const QColor& colour) {
    QPixmap pixmap(2 * 32, 2 * 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(arrowPath(fx, fy, 32));
    painter.end();
    return QCursor(pixmap, 32, 32);
}

QRectF LoadItem::boundingRect() const {
    return QRectF(AnchorOffset - arrowRadius, AnchorOffset - arrowRadius, 2 * arrowRadius,
                  2 * arrowRadius);
}

QPainterPath LoadItem::shape() const {
    return arrowPath(xforce, yforce, static_cast<int>(arrowRadius));
}

void LoadItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    painter->setPen(pen());
    painter->setBrush(brush());
    // Over a stress picture the arrow gets a black outline so it stays visible.
    if (LegendWidget::isShown())
        painter->setPen(QPen(Qt::black));
    painter->drawPath(arrowPath(xforce, yforce, static_cast<int>(arrowRadius)));
}

void LoadItem::highlight(bool on) {
    if (on && !highlighted) {
        setBrush(QBrush(brush().color().darker(150)));
        highlighted = true;
    } else if (!on && highlighted) {
        setBrush(QBrush(brush().color().lighter(150)));
        highlighted = false;
    }
}

void LoadItem::setRadius(double r) {
    prepareGeometryChange();
    arrowRadius = r;
}

void LoadItem::attachTo(MeshNode* node, EvolveMesh* mesh) {
    attachment.attach(this, node, mesh);
}

QVariant LoadItem::itemChange(GraphicsItemChange change, const QVariant& value) {
    attachment.followChange(this, change);
    return QAbstractGraphicsShapeItem::itemChange(change, value);
}

LoadItem* LoadItem::copyForMesh(int id) const {
    auto* copy = new LoadItem(id);
    copy->xforce = xforce;
    copy->yforce = -yforce;
    copy->accelx = accelx;
    copy->accely = accely;
    copy->setRadius(std::max(32.0, arrowRadius));
    copy->setPos(pos());
    return copy;
}

void LoadItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) {
    QAbstractGraphicsShapeItem::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    setFlag(ItemIsMovable, false);
    QDialog dialog(QApplication::activeWindow());
    auto* layout = new QFormLayout(&dialog);
    auto makeSpin = [&dialog](double value) {
        auto* spin = new QDoubleSpinBox(&dialog);
        spin->setSuffix(QStringLiteral(" N"));
        spin->setRange(-2147483647.0, 2147483647.0);
        spin->setDecimals(2);
        spin->setValue(value);
        return spin;
    };
    QDoubleSpinBox* xSpin = makeSpin(xforce);
    QDoubleSpinBox* ySpin = makeSpin(yforce);
    layout->addRow(QStringLiteral("Force-X"), xSpin);
    layout->addRow(QStringLiteral("Force-Y"), ySpin);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    // A load of zero in both directions is no load: keep the old values then.
    if (dialog.exec() == QDialog::Accepted && (xSpin->value() != 0.0 || ySpin->value() != 0.0)) {
        setForces(xSpin->value(), ySpin->value());
        if (auto* mesh = qgraphicsitem_cast<EvolveMesh*>(parentItem()))
            mesh->setModelChanged(true);
    }
    setFlag(ItemIsMovable, true);
}
