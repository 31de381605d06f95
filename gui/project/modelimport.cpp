#include "project/modelimport.h"

#include "drawing/evolvescene.h"
#include "engine_link/materials.h"
#include "loads/freedomitem.h"
#include "loads/loaditem.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"
#include "project/modeltext.h"
#include "project/projectfile.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>
#include <cmath>

namespace {

// The optimizer's removed elements carry the soft property, whose density is the design
// density divided by 1000.
bool isSoftDensity(double density, double designDensity) {
    const double soft = designDensity / 1000.0;
    if (soft == designDensity) // a density of 0 tells nothing apart
        return false;
    return std::abs(density - soft) <= 1e-12 * std::min(std::abs(density), std::abs(soft));
}

} // namespace

void ModelImport::importModelFile(EvolveScene* scene, QWidget* parent) {
    const QString path =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Select model file"), QString(),
                                     QStringLiteral("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!importFile(scene, path, &error))
        QMessageBox::warning(parent, QStringLiteral("Import Model"), error);
}

bool ModelImport::importFile(EvolveScene* scene, const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The model %1 could not be opened: %2\nThe design is unchanged.")
                     .arg(path, file.errorString());
        return false;
    }
    const QString text = ProjectFile::decode(file.readAll());
    if (!importModelText(scene, text, error)) {
        *error = QStringLiteral("The model %1 could not be imported: %2\nThe design is unchanged.")
                     .arg(path, *error);
        return false;
    }
    return true;
}

bool ModelImport::importModelText(EvolveScene* scene, const QString& text, QString* error) {
    const ModelText model = ModelText::parse(text);
    if (!model.hasGrid()) {
        *error = QStringLiteral("its node records before the first element give %1 distinct x "
                                "and %2 distinct y coordinates; a mesh needs at least two of each")
                     .arg(model.distinctX.size())
                     .arg(model.distinctY.size());
        return false;
    }
    const QRectF area = scene->sceneRect();
    const double m = model.metresPerUnit(area.width(), area.height());
    const double spacing = model.spacing() / m;
    if (!(m > 0) || !std::isfinite(m) || !(spacing > 0) || !std::isfinite(spacing)) {
        *error = QStringLiteral("its node coordinates give no usable scale (largest x %1 m, "
                                "largest y %2 m)")
                     .arg(model.distinctX.last())
                     .arg(model.distinctY.last());
        return false;
    }

    scene->clearScene();
    // No mesh is left to rebuild, so this only sets the scale (and tells the window about it);
    // the spacing follows from the file.
    scene->setMmInPixel(m);
    scene->setPixelNodeDistance(spacing);
    scene->createMesh();
    if (EvolveMesh* mesh = scene->meshItem())
        applyModelText(mesh, scene, text);
    return true;
}

void ModelImport::applyModelText(EvolveMesh* mesh, EvolveScene* scene, const QString& text) {
    for (PlateItem* plate : mesh->plates())
        plate->switchOff(true);

    const ModelText model = ModelText::parse(text);
    const double m = scene->mmInPixel();
    // The mesh node at the position of a model node (an id without a node record counts as
    // (0, 0)), or null. Coordinates written with few decimals (the engine's snapshots keep four)
    // miss the grid by a little: the grid point within a quarter of the spacing is taken then.
    const double d = mesh->pixelNodeDistance();
    auto nodeOf = [&](int id) -> MeshNode* {
        const QPointF metres = model.nodes.value(id);
        const QPointF p(metres.x() / m, metres.y() / m);
        if (MeshNode* node = mesh->nodeAt(p))
            return node;
        const QPointF grid(std::round(p.x() / d) * d, std::round(p.y() / d) * d);
        if (std::abs(grid.x() - p.x()) > d / 4 || std::abs(grid.y() - p.y()) > d / 4)
            return nullptr;
        return mesh->nodeAt(grid);
    };

    const double designDensity = Materials::design().density;
    for (const ModelText::Element& element : model.elements) {
        const int lowest = *std::min_element(std::begin(element.nodes), std::end(element.nodes));
        MeshNode* node = nodeOf(lowest);
        if (!node || !node->anchorPlate)
            continue;
        PlateItem* plate = node->anchorPlate;
        plate->switchOn(0);
        if (model.properties.contains(element.property)) {
            const ModelText::Property p = model.properties.value(element.property);
            plate->setStoredMaterial(MaterialRecord{p.youngsModulus, p.poisson, p.density});
            plate->setShownRemoved(isSoftDensity(p.density, designDensity));
        }
        // The colour follows the mode, so a non-design element is drawn as one at once.
        plate->switchOn(element.designFlag == 1 ? 1 : 0);
    }

    const double radius = std::max(32.0, mesh->pixelNodeDistance());
    for (const ModelText::Force& force : model.forces) {
        MeshNode* node = nodeOf(force.node);
        if (!node)
            continue;
        auto* load = new LoadItem(force.id, mesh);
        load->setRadius(radius);
        load->setAnchorPoint(node->pos());
        load->setForces(force.fx, -force.fy);
        load->attachTo(node, mesh);
        load->installSceneEventFilter(mesh);
    }

    for (const ModelText::Constraint& constraint : model.constraints) {
        MeshNode* node = nodeOf(constraint.node);
        if (!node)
            continue;
        auto* freedom = new FreedomItem(constraint.id, mesh);
        freedom->setFreedom(constraint.freedom());
        freedom->setPos(node->pos());
        freedom->attachTo(node, mesh);
        freedom->installSceneEventFilter(mesh);
    }
    mesh->update();
}
