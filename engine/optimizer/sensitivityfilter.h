#pragma once

#include <string>
#include <vector>

class CMesh;

/// The neighbourhood filter of the sensitivity numbers: for every element the nodes within the
/// filter radius of its centroid with the weights R - d, and for every node the number of elements
/// that use it. The lists are stored flat (element e owns entries offsets[e] .. offsets[e+1]-1),
/// node positions within each list in node table order.
class SensitivityFilter {
public:
    static constexpr const char* FileName = "Filter.bin";

    std::vector<int> offsets;           ///< n_E + 1 list starts
    std::vector<int> nodes;             ///< 0-based node table positions
    std::vector<double> weights;        ///< R - d of each list entry
    std::vector<int> nodeElementCounts; ///< per node (table order): elements using the node

    /// Writes every element's size value into its record: the area of the triangle of its first
    /// three nodes (four-node elements) or the volume of its six tetrahedra (eight-node elements).
    /// An element whose nodes are not in the model, or whose size is zero, is a fatal error.
    static void computeElementSizes(CMesh& mesh);

    /// Builds the lists of every element of `mesh` for `radius`, printing the progress line and a
    /// warning for each element that sees no more nodes than it has. An element that sees no node
    /// at all is a fatal error. Nodes are bucketed in a grid so that each centroid meets only the
    /// nodes near it; the lists are those of a comparison with every node.
    void build(const CMesh& mesh, double radius);

    /// Reads the named file into the lists. The file is trusted only if it matches `mesh` and
    /// `radius` (exact length, ascending node positions in range, every weight exactly R - d of
    /// its node, node element counts equal to those of the mesh); returns false and leaves the
    /// lists empty otherwise.
    bool read(const std::string& fileName, const CMesh& mesh, double radius);

    /// Replaces the named file with the lists and node element counts.
    void write(const std::string& fileName) const;

    /// The filtered sensitivity numbers of the design held by `working` after its analysis.
    /// `domain` gives the element sizes and the full density; `levelCount`, `penalty` and
    /// `objective` come from the parameters. From iteration k = 1 on the numbers are averaged with
    /// `previous`, which then receives the new numbers. A node used by no element contributes 0;
    /// an element at a level of zero density contributes nothing.
    void computeSensitivities(const CMesh& working, const CMesh& domain, int levelCount,
                              double penalty, int objective, int k, std::vector<double>& alpha,
                              std::vector<double>& previous) const;

    /// Number of entries in the list of element `e`.
    int listSize(std::size_t e) const { return offsets[e + 1] - offsets[e]; }

private:
    void clear();

    // Node table positions of every element's nodes, taken when the lists are built or read;
    // the working model has the same elements and nodes as the mesh the lists belong to.
    std::vector<int> elementFirst_;
    std::vector<int> elementNodes_;
};
