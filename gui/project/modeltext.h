#pragma once

#include <QList>
#include <QMap>
#include <QPointF>
#include <QString>

// The records of a model text file (the engine's keyword format) that the workbench imports:
// nodes, four-node elements, properties, forces and constraints. Only lower-case keywords at the
// start of a line are records here; coordinates are taken as global, system ids are ignored.
// Every field that is missing or does not convert reads as 0, so a short or damaged record never
// reads past its fields.
class ModelText {
public:
    struct Element {
        int id = 0;
        int property = 0;
        int type = 0;
        int nodes[4] = {0, 0, 0, 0};
        int designFlag = 0;
    };
    struct Property {
        double youngsModulus = 0;
        double poisson = 0;
        double density = 0;
    };
    struct Force {
        int id = 0;
        int node = 0;
        int system = 0;
        double fx = 0;
        double fy = 0;
    };
    // A component is free when its field is empty or holds "free"/"Free" (as the engine reads
    // it); any other field fixes it.
    struct Constraint {
        int id = 0;
        int node = 0;
        bool xFixed = false;
        bool yFixed = false;
        // 1 x fixed, 2 y fixed, 3 both, 0 none: the constraint kind of the workbench.
        int freedom() const { return (xFixed ? 1 : 0) + (yFixed ? 2 : 0); }
    };

    // Node positions in metres by node id; a repeated id keeps its last position.
    QMap<int, QPointF> nodes;
    QList<Element> elements;
    QMap<int, Property> properties;
    QList<Force> forces;
    QList<Constraint> constraints;
    // x and y of the node records before the first element record, each reduced to its distinct
    // values in ascending order: they fix the import's scale and node spacing.
    QList<double> distinctX;
    QList<double> distinctY;

    static ModelText parse(const QString& text);

    // The lines of a text as the import reads them: carriage returns removed, the text trimmed,
    // split at line feeds (empty lines stay and match no record; an indented line is no record,
    // as for the engine).
    static QStringList lines(const QString& text);

    // True when the node records before the first element give at least two distinct x and two
    // distinct y coordinates, the least a mesh can be derived from.
    bool hasGrid() const { return distinctX.size() >= 2 && distinctY.size() >= 2; }

    // Node spacing in metres: the difference of the two smallest distinct x values (hasGrid()).
    double spacing() const { return distinctX.at(1) - distinctX.at(0); }

    // Metres per scene unit so that the model with one metre to spare fits a scene of the given
    // size (hasGrid()).
    double metresPerUnit(double sceneWidth, double sceneHeight) const;
};
