#pragma once

#include <QList>
#include <QPointF>
#include <QString>

class EvolveMesh;
class PlateItem;
class QWidget;

// Writes the mesh as the engine's model text: nodes, four-node plates, point and distributed
// loads, constraints, material properties, thickness and output switches. Writing also
// rebuilds the mesh's four numbering maps (node id <-> node number, plate id <-> element
// number) that every reader of engine results translates through.
class ModelWriter {
public:
    struct Options {
        // Each material gives a soft property (E / 1e9, density / 1000) before its normal one.
        bool doubledProperties = false;
        // Plates shown as removed by the optimizer point at the soft property.
        bool softMarking = false;
    };
    // Optional results of a write: counts, element centroids (metres, by element number - 1)
    // and node positions (metres, by node number - 1).
    struct Counts {
        int nodes = 0;
        int elements = 0;
        QList<QPointF> centroids;
        QList<QPointF> nodePositions;
    };

    ModelWriter(EvolveMesh* mesh, Options options);

    // Returns the model text for the model called name and writes it to name + ".txt" in the
    // workspace; clears the mesh's modelChanged. counts is filled when given.
    QString writeModel(const QString& name, Counts* counts = nullptr);

    // "Export Model": asks for a file and saves the model text there (doubled properties,
    // soft marking); the workspace's "BMesh.txt" is rewritten too.
    static void exportModel(EvolveMesh* mesh, QWidget* parent);
    // The same for a chosen file name.
    static void exportModelTo(EvolveMesh* mesh, const QString& fileName);

private:
    QString elementRecord(const PlateItem* plate);
    int propertyNumber(const PlateItem* plate);

    EvolveMesh* mesh;
    Options options;
    double mmInPixel = 0.01;
    // Distinct material triples in the order in which elements first use them.
    struct Triple {
        double youngsModulus;
        double poissonsRatio;
        double density;
        bool operator==(const Triple&) const = default;
    };
    QList<Triple> propertyTable;
};
