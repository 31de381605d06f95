#include "sensitivityfilter.h"

#include "fatalerror.h"
#include "fea/cmesh.h"
#include "optimizationparameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unordered_map>
#include <utility>

namespace {

/// Node table positions of the nodes of every element, nodeCount entries per element.
struct ElementNodes {
    std::vector<int> first; // n_E + 1 starts
    std::vector<int> positions;
};

ElementNodes elementNodePositions(const CMesh& mesh) {
    const std::size_t nodeCount = mesh.nodes.size();
    // The workbench numbers nodes 1..n in table order; other numberings go through a map.
    bool direct = true;
    for (std::size_t i = 0; i < nodeCount && direct; ++i)
        direct = mesh.nodes[i].id == static_cast<int>(i) + 1;
    std::unordered_map<int, int> byId;
    if (!direct)
        for (std::size_t i = nodeCount; i-- > 0;)
            byId[mesh.nodes[i].id] = static_cast<int>(i); // first occurrence wins

    ElementNodes result;
    result.first.reserve(mesh.elements.size() + 1);
    result.positions.reserve(mesh.elements.size() * 4);
    result.first.push_back(0);
    for (const CElement& e : mesh.elements) {
        for (int i = 0; i < e.nodeCount; ++i) {
            const int id = e.nodes[static_cast<std::size_t>(i)];
            int position = -1;
            if (direct) {
                if (id >= 1 && id <= static_cast<int>(nodeCount))
                    position = id - 1;
            } else if (const auto it = byId.find(id); it != byId.end()) {
                position = it->second;
            }
            if (position < 0)
                FatalErrorF("Building filter scheme error: element %d refers to node %d, which "
                            "the model does not hold.",
                            e.id, id);
            result.positions.push_back(position);
        }
        result.first.push_back(static_cast<int>(result.positions.size()));
    }
    return result;
}

std::vector<int> countElementsPerNode(const CMesh& mesh, const ElementNodes& elementNodes) {
    std::vector<int> counts(mesh.nodes.size(), 0);
    for (int position : elementNodes.positions)
        ++counts[static_cast<std::size_t>(position)];
    return counts;
}

double distance(double ax, double ay, double az, const CNode& b, bool threeD) {
    const double dx = b.x - ax;
    const double dy = b.y - ay;
    if (!threeD)
        return std::sqrt(dx * dx + dy * dy);
    const double dz = b.z - az;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double tetrahedronVolume(const CNode& a, const CNode& b, const CNode& c, const CNode& d) {
    // |det [[x y z 1]...]| / 6, as the triple product of the edges from a.
    const double bx = b.x - a.x, by = b.y - a.y, bz = b.z - a.z;
    const double cx = c.x - a.x, cy = c.y - a.y, cz = c.z - a.z;
    const double dx = d.x - a.x, dy = d.y - a.y, dz = d.z - a.z;
    return std::fabs(bx * (cy * dz - cz * dy) - by * (cx * dz - cz * dx) +
                     bz * (cx * dy - cy * dx)) /
           6.0;
}

/// Mean of the coordinates of the element's own nodes.
std::array<double, 3> centroid(const CMesh& mesh, const ElementNodes& elementNodes, std::size_t e) {
    const int first = elementNodes.first[e];
    const int own = elementNodes.first[e + 1] - first;
    double cx = 0.0, cy = 0.0, cz = 0.0;
    for (int i = 0; i < own; ++i) {
        const CNode& n = mesh.nodes[static_cast<std::size_t>(elementNodes.positions[first + i])];
        cx += n.x;
        cy += n.y;
        cz += n.z;
    }
    return {cx / own, cy / own, cz / own};
}

template <typename T> void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

} // namespace

void SensitivityFilter::computeElementSizes(CMesh& mesh) {
    const ElementNodes elementNodes = elementNodePositions(mesh);
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        CElement& element = mesh.elements[e];
        const int* p = elementNodes.positions.data() + elementNodes.first[e];
        const auto node = [&](int i) -> const CNode& {
            return mesh.nodes[static_cast<std::size_t>(p[i])];
        };
        double size = 0.0;
        if (element.type == Quad4Bilinear || element.type == Quad4Incompatible) {
            const auto side = [](const CNode& u, const CNode& v) {
                return std::sqrt((u.x - v.x) * (u.x - v.x) + (u.y - v.y) * (u.y - v.y) +
                                 (u.z - v.z) * (u.z - v.z));
            };
            const double a = side(node(0), node(1));
            const double b = side(node(1), node(2));
            const double c = side(node(2), node(0));
            const double s = (a + b + c) / 2.0;
            // Rounding can make the product of a flat triangle slightly negative.
            size = std::sqrt(std::max(0.0, s * (s - a) * (s - b) * (s - c)));
        } else if (element.type == Hex8Type3 || element.type == Hex8Type4) {
            static constexpr int tetrahedra[6][4] = {{0, 3, 4, 5}, {0, 1, 3, 5}, {3, 4, 7, 5},
                                                     {3, 1, 2, 5}, {3, 2, 7, 5}, {2, 7, 6, 5}};
            for (const auto& t : tetrahedra)
                size += tetrahedronVolume(node(t[0]), node(t[1]), node(t[2]), node(t[3]));
        } else {
            FatalError("General error: undefined Element.");
        }
        // The sensitivity numbers are divided by the size.
        if (!(size > 0.0))
            FatalErrorF("Building filter scheme error: element %d has zero size.", element.id);
        element.size = size;
    }
}

void SensitivityFilter::clear() {
    elementFirst_.clear();
    elementNodes_.clear();
    offsets.assign(1, 0);
    nodes.clear();
    weights.clear();
    nodeElementCounts.clear();
}

void SensitivityFilter::build(const CMesh& mesh, double radius) {
    clear();
    std::printf("Building filter scheme... ");
    std::fflush(stdout);

    const ElementNodes elementNodes = elementNodePositions(mesh);
    elementFirst_ = elementNodes.first;
    elementNodes_ = elementNodes.positions;
    nodeElementCounts = countElementsPerNode(mesh, elementNodes);
    const bool threeD = mesh.isThreeDimensional();
    const std::size_t nodeCount = mesh.nodes.size();

    // Bucket grid over x and y. Cells are at least one radius wide, so a circle of radius R
    // meets at most 3 x 3 of them; the grid never has many more cells than nodes. In 3-D the
    // plan-view distance is a lower bound of the true one, so the candidates still cover it.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    if (nodeCount > 0) {
        minX = maxX = mesh.nodes[0].x;
        minY = maxY = mesh.nodes[0].y;
        for (const CNode& n : mesh.nodes) {
            minX = std::min(minX, n.x);
            maxX = std::max(maxX, n.x);
            minY = std::min(minY, n.y);
            maxY = std::max(maxY, n.y);
        }
    }
    const double width = maxX - minX, height = maxY - minY;
    double cell = radius;
    const double cellCap = 4.0 * static_cast<double>(nodeCount) + 16.0;
    while ((width / cell + 1.0) * (height / cell + 1.0) > cellCap)
        cell *= 2.0;
    const auto cellIndex = [cell](double v, double low, int count) {
        const double i = std::floor((v - low) / cell);
        return static_cast<int>(std::clamp(i, 0.0, static_cast<double>(count - 1)));
    };
    const int columns = static_cast<int>(std::floor(width / cell)) + 1;
    const int rows = static_cast<int>(std::floor(height / cell)) + 1;
    std::vector<int> cellStart(static_cast<std::size_t>(columns) * rows + 1, 0);
    std::vector<int> nodeCell(nodeCount);
    for (std::size_t j = 0; j < nodeCount; ++j) {
        const int c = cellIndex(mesh.nodes[j].y, minY, rows) * columns +
                      cellIndex(mesh.nodes[j].x, minX, columns);
        nodeCell[j] = c;
        ++cellStart[static_cast<std::size_t>(c) + 1];
    }
    for (std::size_t c = 1; c < cellStart.size(); ++c)
        cellStart[c] += cellStart[c - 1];
    std::vector<int> cellNodes(nodeCount);
    {
        std::vector<int> fill(cellStart.begin(), cellStart.end() - 1);
        for (std::size_t j = 0; j < nodeCount; ++j) // ascending positions within each cell
            cellNodes[static_cast<std::size_t>(fill[static_cast<std::size_t>(nodeCell[j])]++)] =
                static_cast<int>(j);
    }

    offsets.reserve(mesh.elements.size() + 1);
    std::vector<std::pair<int, double>> found;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        const CElement& element = mesh.elements[e];
        const int first = elementNodes.first[e];
        const int own = elementNodes.first[e + 1] - first;
        const auto [cx, cy, cz] = centroid(mesh, elementNodes, e);

        found.clear();
        const int c0 = cellIndex(cx - radius, minX, columns),
                  c1 = cellIndex(cx + radius, minX, columns);
        const int r0 = cellIndex(cy - radius, minY, rows), r1 = cellIndex(cy + radius, minY, rows);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) {
                const std::size_t bucket = static_cast<std::size_t>(r) * columns + c;
                for (int k = cellStart[bucket]; k < cellStart[bucket + 1]; ++k) {
                    const int j = cellNodes[static_cast<std::size_t>(k)];
                    const double d =
                        distance(cx, cy, cz, mesh.nodes[static_cast<std::size_t>(j)], threeD);
                    if (d < radius)
                        found.emplace_back(j, radius - d);
                }
            }
        std::sort(found.begin(), found.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [j, w] : found) {
            nodes.push_back(j);
            weights.push_back(w);
        }
        offsets.push_back(static_cast<int>(nodes.size()));

        if (found.empty())
            FatalError("Building filter scheme error: filter radius is smaller than element size.");
        if (static_cast<int>(found.size()) <= own)
            std::printf("\n Filter radius is small for element %d. ", element.id);
    }
    std::printf("Done.\n");
    std::fflush(stdout);
    write(FileName);
}

bool SensitivityFilter::read(const std::string& fileName, const CMesh& mesh, double radius) {
    clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::size_t at = 0;
    const auto take = [&](auto& value) {
        if (bytes.size() - at < sizeof value)
            return false;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        at += sizeof value;
        return true;
    };

    // Every entry must be what a build for this model and radius gives: positions ascending
    // within the node table, and each weight exactly R - d of its node.
    const ElementNodes elementNodes = elementNodePositions(mesh);
    const bool threeD = mesh.isThreeDimensional();
    const int nodeCount = static_cast<int>(mesh.nodes.size());
    bool trusted = true;
    for (std::size_t e = 0; e < mesh.elements.size() && trusted; ++e) {
        std::int32_t n = 0;
        if (!take(n) || n < 1 || n > nodeCount ||
            bytes.size() - at < static_cast<std::size_t>(n) * 12) {
            trusted = false;
            break;
        }
        const std::size_t start = nodes.size();
        for (std::int32_t i = 0; i < n; ++i) {
            std::int32_t position = 0;
            take(position);
            trusted = trusted && position >= 0 && position < nodeCount &&
                      (i == 0 || position > nodes.back());
            nodes.push_back(position);
        }
        const auto [cx, cy, cz] = centroid(mesh, elementNodes, e);
        for (std::int32_t i = 0; i < n; ++i) {
            double w = 0.0;
            take(w);
            if (trusted) {
                const CNode& node = mesh.nodes[static_cast<std::size_t>(nodes[start + i])];
                const double d = distance(cx, cy, cz, node, threeD);
                trusted = d < radius && w == radius - d;
            }
            weights.push_back(w);
        }
        offsets.push_back(static_cast<int>(nodes.size()));
    }
    if (trusted) {
        nodeElementCounts.resize(mesh.nodes.size());
        for (int& count : nodeElementCounts) {
            std::int32_t value = 0;
            trusted = trusted && take(value);
            count = value;
        }
    }
    trusted = trusted && at == bytes.size() &&
              nodeElementCounts == countElementsPerNode(mesh, elementNodes);
    if (!trusted) {
        clear();
        return false;
    }
    elementFirst_ = elementNodes.first;
    elementNodes_ = elementNodes.positions;
    return true;
}

void SensitivityFilter::write(const std::string& fileName) const {
    std::string bytes;
    bytes.reserve(4 * (offsets.size() + nodeElementCounts.size()) + 12 * nodes.size());
    for (std::size_t e = 0; e + 1 < offsets.size(); ++e) {
        put<std::int32_t>(bytes, offsets[e + 1] - offsets[e]);
        for (int k = offsets[e]; k < offsets[e + 1]; ++k)
            put<std::int32_t>(bytes, nodes[static_cast<std::size_t>(k)]);
        for (int k = offsets[e]; k < offsets[e + 1]; ++k)
            put<double>(bytes, weights[static_cast<std::size_t>(k)]);
    }
    for (int count : nodeElementCounts)
        put<std::int32_t>(bytes, count);
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void SensitivityFilter::computeSensitivities(const CMesh& working, const CMesh& domain,
                                             int levelCount, double penalty, int objective, int k,
                                             std::vector<double>& alpha,
                                             std::vector<double>& previous) const {
    const std::size_t elementCount = working.elements.size();
    const std::size_t nodeCount = working.nodes.size();
    std::vector<double> nodal(nodeCount, 0.0);

    if (objective == MaxStiffness) {
        const double fullDensity = domain.findProperty(levelCount).density();
        std::vector<double> relative(static_cast<std::size_t>(levelCount) + 1, 0.0);
        for (int level = 1; level <= levelCount; ++level)
            relative[static_cast<std::size_t>(level)] =
                working.findProperty(level).density() / fullDensity;
        for (std::size_t e = 0; e < elementCount; ++e) {
            const CElement& element = working.elements[e];
            const int level = element.property;
            if (level < 1 || level > levelCount)
                FatalErrorF("Optimization error: element %d has density level %d outside 1 to %d.",
                            element.id, level, levelCount);
            const double rho = relative[static_cast<std::size_t>(level)];
            if (!(rho > 0.0))
                continue; // massless level: no stiffness, no energy
            const double contribution = element.strainEnergy * penalty / rho;
            for (int i = elementFirst_[e]; i < elementFirst_[e + 1]; ++i)
                nodal[static_cast<std::size_t>(elementNodes_[static_cast<std::size_t>(i)])] +=
                    contribution;
        }
    }
    for (std::size_t j = 0; j < nodeCount; ++j)
        if (nodeElementCounts[j] > 0)
            nodal[j] /= nodeElementCounts[j];

    alpha.assign(elementCount, 0.0);
    for (std::size_t e = 0; e < elementCount; ++e) {
        double weighted = 0.0, total = 0.0;
        for (int i = offsets[e]; i < offsets[e + 1]; ++i) {
            const double w = weights[static_cast<std::size_t>(i)];
            weighted += w * nodal[static_cast<std::size_t>(nodes[static_cast<std::size_t>(i)])];
            total += w;
        }
        alpha[e] = weighted / total / domain.elements[e].size;
    }
    if (k > 0)
        for (std::size_t e = 0; e < elementCount; ++e)
            alpha[e] = (alpha[e] + previous[e]) / 2.0;
    previous = alpha;
}
