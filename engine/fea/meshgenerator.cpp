#include "meshgenerator.h"

#include "cmesh.h"
#include "fatalerror.h"

#include <cstdio>
#include <vector>

namespace {

[[noreturn]] void tableFull(const char* kind) {
    FatalErrorF("General error: the %s table is too small for the generated records.", kind);
}

// Node id of the i-th copy; the caller has checked that the ids of every copy fit an int.
int shifted(int node, int copy, int increment) {
    return static_cast<int>(node + static_cast<long long>(copy) * increment);
}

} // namespace

MeshGenerator::MeshGenerator(CMesh& mesh, int& nextNode, int& nextElement)
    : mesh_(mesh), nextNode_(nextNode), nextElement_(nextElement) {}

void MeshGenerator::generateNodes(int count, int base, int firstId,
                                  const std::array<double, 3>& step) {
    if (count > static_cast<int>(mesh_.nodes.size()) - nextNode_)
        tableFull("node");
    const CNode origin = mesh_.nodes[base];
    for (int k = 1; k <= count; ++k) {
        CNode& node = mesh_.nodes[nextNode_++];
        node = CNode{};
        node.id = firstId + k - 1;
        node.system = origin.system;
        node.displacementSystem = origin.displacementSystem;
        node.x = origin.x + k * step[0];
        node.y = origin.y + k * step[1];
        node.z = origin.z + k * step[2];
        node.unused = 0;
    }
}

void MeshGenerator::generateElements(int count, int base, int firstId,
                                     const std::array<int, 4>& increments, int design) {
    if (count > static_cast<int>(mesh_.elements.size()) - nextElement_)
        tableFull("element");
    const CElement origin = mesh_.elements[base];
    for (int i = 1; i <= count; ++i) {
        const std::array<int, 8> values{firstId + i - 1,
                                        origin.property,
                                        origin.type,
                                        shifted(origin.nodes[0], i, increments[0]),
                                        shifted(origin.nodes[1], i, increments[1]),
                                        shifted(origin.nodes[2], i, increments[2]),
                                        shifted(origin.nodes[3], i, increments[3]),
                                        design};
        CElement& element = mesh_.elements[nextElement_++];
        mesh_.initElement(element, values);
        element.active = 1;
        element.inactive = 0;
    }
}

int MeshGenerator::fillLine(int from, int to, int intervals, int& nextId) {
    const CNode& start = mesh_.nodes[from];
    const CNode& end = mesh_.nodes[to];
    // Even spacing along the line from start to end; for a block whose sides are parallel to
    // the axes this is the x difference over p and the y difference over q.
    const std::array<double, 3> step{(end.x - start.x) / intervals, (end.y - start.y) / intervals,
                                     (end.z - start.z) / intervals};
    const int first = nextNode_;
    generateNodes(intervals - 1, from, nextId, step);
    nextId += intervals - 1;
    return first;
}

void MeshGenerator::generateBlock(const Block& block) {
    const int p = block.p;
    const int q = block.q;
    const long long newNodes = static_cast<long long>(p + 1) * (q + 1) - 4;
    if (newNodes > static_cast<long long>(mesh_.nodes.size()) - nextNode_)
        tableFull("node");
    if (static_cast<long long>(p) * q >
        static_cast<long long>(mesh_.elements.size()) - nextElement_)
        tableFull("element");

    std::printf("Generating nodes.....\n");
    // grid[r][c]: table position of the node in row r (0..q) and column c (0..p).
    std::vector<std::vector<int>> grid(static_cast<std::size_t>(q) + 1,
                                       std::vector<int>(static_cast<std::size_t>(p) + 1, -1));
    grid[0][0] = block.corners[0];
    grid[0][p] = block.corners[1];
    grid[q][p] = block.corners[2];
    grid[q][0] = block.corners[3];

    int nextId = block.firstNodeId;
    auto row = [&](int r) {
        const int first = fillLine(grid[r][0], grid[r][p], p, nextId);
        for (int c = 1; c < p; ++c)
            grid[r][c] = first + c - 1;
    };
    auto column = [&](int c) {
        const int first = fillLine(grid[0][c], grid[q][c], q, nextId);
        for (int r = 1; r < q; ++r)
            grid[r][c] = first + r - 1;
    };
    row(0);
    row(q);
    column(0);
    column(p);
    for (int r = 1; r < q; ++r)
        row(r);

    std::printf("Generating elements.....\n");
    for (int r = 0; r < q; ++r) {
        for (int c = 0; c < p; ++c) {
            const std::array<int, 8> values{block.firstElementId + r * p + c,
                                            block.property,
                                            block.type,
                                            mesh_.nodes[grid[r][c]].id,
                                            mesh_.nodes[grid[r][c + 1]].id,
                                            mesh_.nodes[grid[r + 1][c + 1]].id,
                                            mesh_.nodes[grid[r + 1][c]].id,
                                            block.design};
            CElement& element = mesh_.elements[nextElement_++];
            mesh_.initElement(element, values);
            element.active = 1;
            element.inactive = 0;
        }
    }
}
