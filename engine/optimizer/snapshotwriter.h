#pragma once

#include <string>

class CMesh;

/// Turns models into model files that the model reader reads back (the domain file and the
/// per-iteration design snapshots), and deep-copies one model into another.
class SnapshotWriter {
public:
    /// The snapshot text of `mesh`: every record of the keyword format in a fixed order with fixed
    /// number formats (coordinates with four decimals). Inactive elements are left out.
    static std::string snapshotText(const CMesh& mesh);

    /// Writes the snapshot of `mesh` to the file named by the model name plus ".txt" in the
    /// current directory, replacing an existing file. A file that cannot be created is skipped.
    static void writeSnapshot(const CMesh& mesh);

    /// Makes `target` a deep copy of the tables, settings and results of `source` (the equation
    /// arrays stay empty). More than MaxNodes nodes, or memory running out, is a fatal error.
    static void copyMesh(const CMesh& source, CMesh& target);
};
