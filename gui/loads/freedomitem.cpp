#include "loads/freedomitem.h"

#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
int freedomCounter = 0;
const QString fixedMarker = QStringLiteral(":/Strukta/Resources/fixed.png");
} // namespace

FreedomItem::FreedomItem(int id, QGraphicsItem* parent)
    : QAbstractGraphicsShapeItem(parent), freedomId(id) {
    setFlags(ItemIsMovable);
    setZValue(7);
}

FreedomItem::~FreedomItem() {
    attachment.detach(this);
}

int FreedomItem::nextId() {
    return ++freedomCounter;
}

QPixmap FreedomItem::icon(int freedom) {
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    const QPixmap marker(fixedMarker);
    QPainter painter(&pixmap);
    painter.translate(11, 6);
    if (freedom & 1)
        painter.drawPixmap(-11, -6, marker);
    if (freedom & 2) {
        painter.rotate(-90);
        painter.translate(-1, 0);
        painter.drawPixmap(-11, -6, marker);
    }
    return pixmap;
}

QCursor FreedomItem::cursor(int freedom) {
    return QCursor(icon(freedom), 11, 6);
}

QRectF FreedomItem::boundingRect() const {
    return QRectF(-11.5, -6.5, 18.5, 18.5);
}

void FreedomItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
    QImage image = icon(freedomKind).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (highlighted) {
        QPainter shade(&image);
        shade.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        shade.fillRect(QRect(0, 0, 17, 17), QColor(0, 0, 0, 100));
    }
    painter->drawImage(QPointF(-11, -6), image);
}

void FreedomItem::highlight(bool on) {
    highlighted = on;
    update();
}

void FreedomItem::attachTo(MeshNode* node, EvolveMesh* mesh) {
    attachment.attach(this, node, mesh);
}

QVariant FreedomItem::itemChange(GraphicsItemChange change, const QVariant& value) {
    attachment.followChange(this, change);
    return QAbstractGraphicsShapeItem::itemChange(change, value);
}

FreedomItem* FreedomItem::copyForMesh() const {
    auto* copy = new FreedomItem(freedomId);
    copy->freedomKind = freedomKind;
    copy->setPos(pos());
    return copy;
}

void FreedomItem::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) {
    QAbstractGraphicsShapeItem::mouseDoubleClickEvent(event);
    setFlag(ItemIsMovable, false);
    QDialog dialog(QApplication::activeWindow());
    auto* layout = new QVBoxLayout(&dialog);
    const QStringList texts = {QStringLiteral("X - displacement fixed"),
                               QStringLiteral("Y - displacement fixed"),
                               QStringLiteral("All displacements fixed")};
    QList<QRadioButton*> buttons;
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts.at(i), &dialog);
        button->setChecked(freedomKind == i + 1);
        layout->addWidget(button);
        buttons.append(button);
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(box);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    setFlag(ItemIsMovable, true);
    if (!accepted)
        return;
    for (int i = 0; i < buttons.size(); ++i) {
        if (buttons.at(i)->isChecked())
            setFreedom(i + 1);
    }
    if (auto* mesh = qgraphicsitem_cast<EvolveMesh*>(parentItem()))
        mesh->setModelChanged(true);
}
