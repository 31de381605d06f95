#include "engine_link/resultdisplay.h"

#include <QMap>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "engine_link/legendwidget.h"
#include "loads/plateitem.h"
#include "mesh/evolvemesh.h"
#include "mesh/meshnode.h"

namespace {
constexpr qsizetype DisplacementRecord = 48;

double doubleAt(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<double>(bytes.constData() + offset);
}
} // namespace

QList<QPointF> ResultDisplay::readDisplacements(const QByteArray& bytes) {
    QList<QPointF> displacements;
    const qsizetype records = bytes.size() / DisplacementRecord;
    displacements.reserve(records);
    for (qsizetype k = 0; k < records; ++k)
        displacements.append(QPointF(doubleAt(bytes, DisplacementRecord * k),
                                     doubleAt(bytes, DisplacementRecord * k + 8)));
    return displacements;
}

QList<double> ResultDisplay::readStresses(const QByteArray& bytes) {
    QList<double> stresses;
    const qsizetype count = bytes.size() / qsizetype(sizeof(double));
    stresses.reserve(count);
    for (qsizetype k = 0; k < count; ++k)
        stresses.append(doubleAt(bytes, k * qsizetype(sizeof(double))));
    return stresses;
}

QList<double> ResultDisplay::bandLevels(double lowest, double highest) {
    const double step = (highest - lowest) / LegendWidget::BandCount;
    QList<double> levels;
    for (int k = 0; k < LegendWidget::BandCount; ++k)
        levels.append((LegendWidget::BandCount - 1 - k) * step + lowest);
    return levels;
}

int ResultDisplay::bandOf(const QList<double>& levels, double stress) {
    // Levels descend: find the first one not greater than the stress.
    const auto it = std::lower_bound(levels.cbegin(), levels.cend(), stress,
                                     [](double level, double value) { return level > value; });
    return it == levels.cend() ? int(levels.size()) - 1 : int(it - levels.cbegin());
}

void ResultDisplay::loadDisplacements(EvolveMesh* mesh, const QByteArray& bytes, bool show) {
    if (bytes.isEmpty())
        return;
    const QList<QPointF> displacements = readDisplacements(bytes);
    double largest = 0;
    for (const QPointF& u : displacements)
        largest = std::max({largest, std::abs(u.x()), std::abs(u.y())});
    // Without any displacement the deformed shape is the undeformed one.
    const float scale = largest > 0 ? float(LargestMove / largest) : 0.0f;

    const QMap<int, int>& nodeNumberOf = mesh->nodeNumberOf();
    for (MeshNode* node : mesh->nodes()) {
        const int number = nodeNumberOf.value(node->id, 0);
        if (number < 1 || number > displacements.size())
            continue;
        node->deformedX = node->x + scale * displacements[number - 1].x();
        node->deformedY = node->y + scale * displacements[number - 1].y();
    }

    mesh->setDisplacementsLoaded(true);
    for (PlateItem* plate : mesh->plates()) {
        // Redraw from the new positions even when the plate already shows a deformed outline.
        plate->showDeformed(false);
        if (show)
            plate->showDeformed(true);
    }
    emit mesh->displacementLoaded(show);
    mesh->setDisplacementsShown(show);
}

void ResultDisplay::loadStresses(EvolveMesh* mesh, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    const QList<double> stresses = readStresses(bytes);
    QMap<int, double> stressOfPlate;
    for (qsizetype k = 0; k < stresses.size(); ++k)
        stressOfPlate[mesh->plateIdOf().value(int(k + 1), 0)] = stresses[k];
    if (stressOfPlate.isEmpty())
        return;

    QList<double> sorted = stressOfPlate.values();
    std::sort(sorted.begin(), sorted.end());
    const QList<double> levels = bandLevels(sorted.first(), sorted.last());
    LegendWidget* legend = LegendWidget::instance();
    legend->setLevels(levels);

    const bool shown = mesh->areStressesShown();
    for (PlateItem* plate : mesh->plates()) {
        const auto it = stressOfPlate.constFind(plate->id());
        if (it == stressOfPlate.cend())
            continue;
        plate->setResultColour(shown, LegendWidget::bandColour(bandOf(levels, it.value())));
    }
    if (shown) {
        legend->show();
        emit mesh->stressLoaded(true);
    }
}

void ResultDisplay::showDisplacements(EvolveMesh* mesh, bool on) {
    const bool deformed = on && mesh->areDisplacementsLoaded();
    for (PlateItem* plate : mesh->plates())
        plate->showDeformed(deformed);
    mesh->setDisplacementsShown(deformed);
}

void ResultDisplay::showStresses(EvolveMesh* mesh, bool on) {
    for (PlateItem* plate : mesh->plates())
        plate->setResultColour(on, QColor());
    LegendWidget::instance()->setVisible(on);
    mesh->setStressesShown(on);
}
