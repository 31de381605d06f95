#include "engine_link/modelwriter.h"

#include <QFile>
#include <QFileDialog>
#include <QGraphicsScene>

#include "drawing/evolvescene.h"
#include "engine_link/enginerun.h"
#include "engine_link/resultdisplay.h"
#include "loads/distributedloaditem.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

namespace {
QString fixed16(double value) {
    return QString::number(value, 'f', 16);
}
QString fixed6(double value) {
    return QString::number(value, 'f', 6);
}
// Six significant digits; a negative zero (a negated zero force) is written as 0.
QString general6(double value) {
    return QString::number(value + 0.0, 'g', 6);
}
} // namespace

ModelWriter::ModelWriter(EvolveMesh* mesh, Options options) : mesh(mesh), options(options) {
    if (auto* scene = qobject_cast<EvolveScene*>(mesh->scene()))
        mmInPixel = scene->mmInPixel();
}

QString ModelWriter::writeModel(const QString& name, Counts* counts) {
    QMap<int, int>& nodeNumberOf = mesh->nodeNumberOf();
    QMap<int, int>& nodeIdOf = mesh->nodeIdOf();
    QMap<int, int>& elementNumberOf = mesh->elementNumberOf();
    QMap<int, int>& plateIdOf = mesh->plateIdOf();
    nodeNumberOf.clear();
    nodeIdOf.clear();
    elementNumberOf.clear();
    plateIdOf.clear();
    Counts local;
    Counts& out = counts ? *counts : local;
    out = Counts{};

    QString text = QString("*model<%1, 2, 1 >\n*title< QUAD4 User defined model >\n\n").arg(name);

    // Only nodes of the structure: a node touched by inactive plates alone is left out.
    for (const MeshNode* node : mesh->nodes()) {
        const bool used = std::any_of(node->plates.cbegin(), node->plates.cend(),
                                      [](const PlateItem* plate) { return plate->isOn(); });
        if (!used)
            continue;
        const int number = ++out.nodes;
        nodeNumberOf[node->id] = number;
        nodeIdOf[number] = node->id;
        const QPointF metres(node->x * mmInPixel, node->y * mmInPixel);
        out.nodePositions.append(metres);
        text += "*node< " + QString::number(number) + ", 0, " + fixed16(metres.x()) + ", " +
                fixed16(metres.y()) + ", 0 >\n";
    }

    propertyTable.clear();
    for (const PlateItem* plate : mesh->plates()) {
        if (!plate->isOn())
            continue;
        const int number = ++out.elements;
        QPointF centroid;
        const QPolygonF polygon = plate->polygon();
        for (int i = 0; i < 4 && i < polygon.size(); ++i)
            centroid += polygon[i];
        out.centroids.append(centroid / 4 * mmInPixel);
        elementNumberOf[plate->id()] = number;
        plateIdOf[number] = plate->id();
        text += elementRecord(plate);
    }

    QList<LoadItem*> loads;
    QList<FreedomItem*> constraints;
    QList<DistributedLoadItem*> distributedLoads;
    for (QGraphicsItem* child : mesh->childItems()) {
        if (auto* load = qgraphicsitem_cast<LoadItem*>(child))
            loads.append(load);
        else if (auto* constraint = qgraphicsitem_cast<FreedomItem*>(child))
            constraints.append(constraint);
        else if (auto* distributed = qgraphicsitem_cast<DistributedLoadItem*>(child))
            distributedLoads.append(distributed);
    }

    // Point loads are numbered 1, 2, ...; distributed-load forces continue after them.
    int forceNumber = 0;
    for (int i = 0; i < loads.size(); ++i) {
        const LoadItem* load = loads[i];
        const int loadNumber = i + 1;
        forceNumber = std::max(forceNumber, loadNumber);
        const int node = load->node() ? nodeNumberOf.value(load->node()->id, 0) : 0;
        if (node == 0)
            continue;
        text += "*force< " + QString::number(loadNumber) + ", " + QString::number(node) + ", 0" +
                ", " + general6(load->xForce()) + ", " + general6(-load->yForce()) + " >" + "\n";
    }

    // A distributed load is spread evenly over its own points and the corners of the plates
    // that lie inside its bounding rectangle.
    for (const DistributedLoadItem* load : distributedLoads) {
        QList<QPointF> points;
        const QPolygonF line = load->line();
        for (const QPointF& p : line) {
            const QPointF point = load->pos() + p;
            if (!points.contains(point))
                points.append(point);
        }
        if (QGraphicsScene* scene = mesh->scene()) {
            const QRectF bounds = line.translated(load->pos()).boundingRect();
            for (QGraphicsItem* item : scene->items(bounds, Qt::ContainsItemShape)) {
                const auto* plate = qgraphicsitem_cast<PlateItem*>(item);
                if (!plate || plate->parentItem() != mesh)
                    continue;
                const QPolygonF corners = plate->polygon();
                for (int c = 0; c < 4 && c < corners.size(); ++c) {
                    if (!points.contains(corners[c]))
                        points.append(corners[c]);
                }
            }
        }
        if (points.isEmpty())
            continue;
        const double fx = load->xForce() / points.size();
        const double fy = -load->yForce() / points.size();
        for (const QPointF& point : points) {
            const MeshNode* node = mesh->nodeAt(point);
            const int number = node ? nodeNumberOf.value(node->id, 0) : 0;
            if (number == 0)
                continue;
            text += "*force< " + QString::number(++forceNumber) + ", " + QString::number(number) +
                    ", 0" + ", " + general6(fx) + ", " + general6(fy) + " >\n";
        }
    }

    for (int i = 0; i < constraints.size(); ++i) {
        const FreedomItem* constraint = constraints[i];
        const int node = constraint->node() ? nodeNumberOf.value(constraint->node()->id, 0) : 0;
        if (node == 0)
            continue;
        text += "*constraint< " + QString::number(i + 1) + ", " + QString::number(node) +
                ((constraint->freedom() & 1) ? ", 0.0" : ", free") +
                ((constraint->freedom() & 2) ? ", 0.0 >" : ", free >") + "\n";
    }

    for (int i = 0; i < propertyTable.size(); ++i) {
        const Triple& t = propertyTable[i];
        if (options.doubledProperties) {
            text += "*property<" + QString::number(2 * i + 1) + ", " +
                    fixed6(t.youngsModulus / 1e9) + ", " + general6(t.poissonsRatio) + ", " +
                    fixed6(t.density / 1000) + " >\n";
            text += "*property<" + QString::number(2 * i + 2) + ", " + fixed6(t.youngsModulus) +
                    ", " + general6(t.poissonsRatio) + ", " + fixed6(t.density) + " >\n";
        } else {
            text += "*property<" + QString::number(i + 1) + ", " + fixed16(t.youngsModulus) + ", " +
                    general6(t.poissonsRatio) + ", " + general6(0) + " >\n";
        }
    }

    text += "*thickness<" + fixed6(mesh->thickness()) + " >\n";
    text += "*print<0,0,0,0,0,0,0,0,0,0,1,1,0 >\n*output<2,0,2,0,0,0 >";

    QFile file(EngineRun::workspaceDir() + "/" + name + ".txt");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(text.toUtf8());
    mesh->setModelChanged(false);
    return text;
}

QString ModelWriter::elementRecord(const PlateItem* plate) {
    QString record = QString("*quad4< %1, %2, 2")
                         .arg(mesh->elementNumberOf().value(plate->id(), 0))
                         .arg(propertyNumber(plate));
    for (const MeshNode* corner : plate->corners())
        record += ", " + QString::number(mesh->nodeNumberOf().value(corner->id, 0));
    record += plate->evolveMode() == NonDesign ? ",1 >\n" : ",0 >\n";
    return record;
}

int ModelWriter::propertyNumber(const PlateItem* plate) {
    const Material material = plate->material();
    const Triple triple{material.youngsModulus, material.poissonsRatio, material.density};
    qsizetype index = propertyTable.indexOf(triple);
    if (index < 0) {
        propertyTable.append(triple);
        index = propertyTable.size() - 1;
    }
    const int perMaterial = options.doubledProperties ? 2 : 1;
    int number = int(index + 1) * perMaterial;
    if (options.softMarking && plate->isShownRemoved())
        number -= 1;
    return number;
}

void ModelWriter::exportModel(EvolveMesh* mesh, QWidget* parent) {
    const QString fileName = QFileDialog::getSaveFileName(parent, "Choose file to save...",
                                                          QString(), "Text Files (*.txt)");
    if (!fileName.isEmpty())
        exportModelTo(mesh, fileName);
}

void ModelWriter::exportModelTo(EvolveMesh* mesh, const QString& fileName) {
    const bool deformed = mesh->areDisplacementsShown();
    ResultDisplay::showDisplacements(mesh, false);
    const QString text = ModelWriter(mesh, {true, true}).writeModel("BMesh");
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        file.write(text.toUtf8());
    ResultDisplay::showDisplacements(mesh, deformed);
}
