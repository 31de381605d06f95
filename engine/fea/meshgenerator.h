#pragma once

#include <array>

class CMesh;

/// Structured generation of nodes and four-node elements into a model's tables. The tables are
/// already sized; new records go to consecutive slots starting at the cursors the generator is
/// given, which it advances. The caller has checked that base and corner records exist, that
/// counts are not negative and that the generated ids fit.
class MeshGenerator {
public:
    /// Node and element slot cursors are owned by the caller and shared with its other passes.
    MeshGenerator(CMesh& mesh, int& nextNode, int& nextElement);

    /// count nodes in a row from the node at table position base: ids firstId, firstId + 1, ...
    /// at base + k * step (k = 1..count), with the base node's system ids.
    void generateNodes(int count, int base, int firstId, const std::array<double, 3>& step);

    /// count elements from the element at table position base: ids firstId, ..., node j of the
    /// i-th new element is base node j + i * increments[j]; property and type of the base.
    void generateElements(int count, int base, int firstId, const std::array<int, 4>& increments,
                          int design);

    /// A structured block between four corner nodes (table positions, counter-clockwise).
    struct Block {
        int firstNodeId = 0;
        int firstElementId = 0;
        int property = 0;
        int type = 0;
        /// Divisions along C1-C2 (and C4-C3) and along C1-C4 (and C2-C3), both at least 1.
        int p = 1;
        int q = 1;
        std::array<int, 4> corners{};
        int design = 0;
    };

    /// Adds (p + 1)(q + 1) - 4 nodes, line by line (side C1-C2, side C4-C3, side C1-C4, side
    /// C2-C3, then the inner rows), and p * q elements row by row.
    void generateBlock(const Block& block);

private:
    // Adds count nodes evenly spaced between the nodes at positions from and to (exclusive), and
    // returns the position of the first one.
    int fillLine(int from, int to, int intervals, int& nextId);

    CMesh& mesh_;
    int& nextNode_;
    int& nextElement_;
};
