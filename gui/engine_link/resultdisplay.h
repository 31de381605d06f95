#pragma once

#include <QByteArray>
#include <QList>
#include <QPointF>

class EvolveMesh;

// Shows analysis results on the mesh: the deformed shape from the engine's nodal
// displacements (".ndp") and stress colours from its element mean von Mises stresses
// (".vms"), with the shared legend window. Results are addressed by the node and element
// numbers of the last model written and translated back through the mesh's numbering maps.
class ResultDisplay {
public:
    // Scene pixels by which the largest displacement component moves its node.
    static constexpr double LargestMove = 30.0;

    // (ux, uy) of every complete 48-byte record, in node number order.
    static QList<QPointF> readDisplacements(const QByteArray& bytes);
    // One stress per element number, in order.
    static QList<double> readStresses(const QByteArray& bytes);
    // The 30 band levels from the lowest and highest stress, highest level first.
    static QList<double> bandLevels(double lowest, double highest);
    // The band of a stress: the first level (from the highest) that is not above it.
    static int bandOf(const QList<double>& levels, double stress);

    // Moves the nodes' deformed positions so that the largest component moves 30 pixels
    // (a model without displacement stays undeformed), and shows the deformed plates if show.
    static void loadDisplacements(EvolveMesh* mesh, const QByteArray& bytes, bool show);
    // Colours every plate by its stress band and rebuilds the legend levels.
    static void loadStresses(EvolveMesh* mesh, const QByteArray& bytes);

    static void showDisplacements(EvolveMesh* mesh, bool on);
    static void showStresses(EvolveMesh* mesh, bool on);
};
