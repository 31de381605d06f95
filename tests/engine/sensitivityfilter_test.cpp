#include "optimizer/optimizationparameters.h"
#include "optimizer/sensitivityfilter.h"
#include "support/gridmesh.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

using optimtest::gridMesh;
using optimtest::readFile;
using optimtest::ScratchDir;
using optimtest::writeFile;

namespace {

int countOf(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

/// The lists by definition: every node of the table compared with every centroid.
void bruteForce(const CMesh& mesh, double radius, std::vector<int>& offsets,
                std::vector<int>& nodes, std::vector<double>& weights) {
    offsets.assign(1, 0);
    nodes.clear();
    weights.clear();
    for (const CElement& e : mesh.elements) {
        double cx = 0, cy = 0;
        for (int i = 0; i < e.nodeCount; ++i) {
            cx += mesh.nodes[static_cast<std::size_t>(e.nodes[i] - 1)].x;
            cy += mesh.nodes[static_cast<std::size_t>(e.nodes[i] - 1)].y;
        }
        cx /= e.nodeCount;
        cy /= e.nodeCount;
        for (std::size_t j = 0; j < mesh.nodes.size(); ++j) {
            const double dx = mesh.nodes[j].x - cx, dy = mesh.nodes[j].y - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < radius) {
                nodes.push_back(static_cast<int>(j));
                weights.push_back(radius - d);
            }
        }
        offsets.push_back(static_cast<int>(nodes.size()));
    }
}

struct RadiusCase {
    double radius;    // in element widths
    int interiorList; // list length of an interior element
    int warnings;     // elements warned about
    friend void PrintTo(const RadiusCase& c, std::ostream* os) { *os << c.radius; }
};

class FilterRadius : public ::testing::TestWithParam<RadiusCase> {};

TEST_P(FilterRadius, ListsOnARegularGridHaveTheExpectedLengths) {
    const RadiusCase c = GetParam();
    SCOPED_TRACE(c.radius);
    ScratchDir dir("filter-radius");
    const double h = 0.25;
    CMesh mesh = gridMesh(5, 4, h);
    SensitivityFilter filter;
    ::testing::internal::CaptureStdout();
    filter.build(mesh, c.radius * h);
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(countOf(out, "Filter radius is small for element"), c.warnings);
    EXPECT_EQ(out.rfind("Building filter scheme... ", 0), 0u);
    EXPECT_EQ(out.substr(out.size() - 6), "Done.\n");
    EXPECT_EQ(filter.listSize(7), c.interiorList); // element 8: column 2, row 1
    // "Filter.bin" holds 4 bytes per element and per node and 12 per list entry.
    EXPECT_EQ(std::filesystem::file_size("Filter.bin"),
              4u * (20u + 30u) + 12u * filter.nodes.size());
}

INSTANTIATE_TEST_SUITE_P(Table, FilterRadius,
                         ::testing::Values(RadiusCase{0.75, 4, 20}, RadiusCase{1.5, 4, 20},
                                           RadiusCase{1.6, 12, 0}));

TEST(SensitivityFilterDeathTest, RadiusBelowHalfTheDiagonalStopsTheRun) {
    ScratchDir dir("filter-small");
    CMesh mesh = gridMesh(3, 2, 0.25);
    SensitivityFilter filter;
    EXPECT_EXIT(filter.build(mesh, 0.5 * 0.25), ::testing::ExitedWithCode(1),
                "Building filter scheme error: filter radius is smaller than element size.");
    EXPECT_FALSE(std::filesystem::exists("Filter.bin"));
}

TEST(SensitivityFilter, RadiusIsStrictAndWeightsFallLinearly) {
    ScratchDir dir("filter-strict");
    // One 2 x 2 element centred at (1, 1) and a node exactly 2 away from the centroid.
    CMesh mesh = gridMesh(1, 1, 2.0);
    CNode far;
    far.id = 5;
    far.x = 1.0;
    far.y = 3.0;
    mesh.nodes.push_back(far);
    SensitivityFilter filter;
    ::testing::internal::CaptureStdout();
    filter.build(mesh, 2.0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(filter.nodes, (std::vector<int>{0, 1, 2, 3}));
    for (double w : filter.weights)
        EXPECT_DOUBLE_EQ(w, 2.0 - std::sqrt(2.0));
    EXPECT_EQ(filter.nodeElementCounts, (std::vector<int>{1, 1, 1, 1, 0}));
}

TEST(SensitivityFilter, BucketedBuildGivesTheListsOfTheFullComparison) {
    ScratchDir dir("filter-brute");
    CMesh mesh = gridMesh(23, 11, 0.1);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> jitter(-0.03, 0.03);
    for (CNode& n : mesh.nodes) {
        n.x += jitter(random);
        n.y += jitter(random);
    }
    for (double radius : {0.09, 0.1, 0.17, 0.3, 0.55, 5.0}) {
        SCOPED_TRACE(radius);
        SensitivityFilter filter;
        ::testing::internal::CaptureStdout();
        filter.build(mesh, radius);
        ::testing::internal::GetCapturedStdout();
        std::vector<int> offsets, nodes;
        std::vector<double> weights;
        bruteForce(mesh, radius, offsets, nodes, weights);
        EXPECT_EQ(filter.offsets, offsets);
        EXPECT_EQ(filter.nodes, nodes);
        EXPECT_EQ(filter.weights, weights);
    }
}

TEST(SensitivityFilter, FilterFileIsReadBackOnlyWhenItMatchesTheModel) {
    ScratchDir dir("filter-file");
    CMesh mesh = gridMesh(4, 3, 1.0);
    SensitivityFilter built;
    ::testing::internal::CaptureStdout();
    built.build(mesh, 1.6);
    ::testing::internal::GetCapturedStdout();
    const std::string good = readFile("Filter.bin");

    SensitivityFilter read;
    ASSERT_TRUE(read.read("Filter.bin", mesh, 1.6));
    EXPECT_EQ(read.offsets, built.offsets);
    EXPECT_EQ(read.nodes, built.nodes);
    EXPECT_EQ(read.weights, built.weights);
    EXPECT_EQ(read.nodeElementCounts, built.nodeElementCounts);

    std::string badPosition = good;
    badPosition[4] = 100; // first node position of element 1 beyond the 20 nodes
    const struct {
        const char* name;
        std::string bytes;
        double radius;
    } untrusted[] = {{"truncated", good.substr(0, good.size() - 1), 1.6},
                     {"longer", good + "x", 1.6},
                     {"position out of range", badPosition, 1.6},
                     {"built for a larger radius", good, 1.5},
                     {"empty", "", 1.6}};
    for (const auto& c : untrusted) {
        SCOPED_TRACE(c.name);
        writeFile("Filter.bin", c.bytes);
        EXPECT_FALSE(read.read("Filter.bin", mesh, c.radius));
    }
    writeFile("Filter.bin", good);
    EXPECT_FALSE(read.read("Filter.bin", gridMesh(3, 4, 1.0), 1.6)); // another model
    EXPECT_FALSE(read.read("Missing.bin", mesh, 1.6));
}

TEST(SensitivityFilter, SensitivityNumbersOfAHandCheckedPair) {
    ScratchDir dir("filter-alpha");
    // Two unit squares side by side; an extra node at the centroid of the first one belongs to
    // no element (element count 0).
    CMesh domain = gridMesh(2, 1, 1.0);
    CNode loose;
    loose.id = 7;
    loose.x = 0.5;
    loose.y = 0.5;
    domain.nodes.push_back(loose);
    SensitivityFilter::computeElementSizes(domain);
    EXPECT_DOUBLE_EQ(domain.elements[0].size, 0.5); // triangle of the first three nodes
    // Levels: 1 at half the full density, 2 full.
    domain.properties = {CProperty{1, {1.0, 0.3, 5.0}}, CProperty{2, {8.0, 0.3, 10.0}}};
    CMesh working = domain;
    working.elements[0].property = 2;
    working.elements[1].property = 1;
    working.elements[0].strainEnergy = 2.0;
    working.elements[1].strainEnergy = 4.0;

    SensitivityFilter filter;
    ::testing::internal::CaptureStdout();
    filter.build(domain, 0.75);
    ::testing::internal::GetCapturedStdout();
    // Nodal sums (p = 3): element 1 gives 2*3/1 = 6, element 2 gives 4*3/0.5 = 24 to each node.
    // Averaged: 6, 15, 24 along the bottom and the top. The loose node (weight R at the centroid)
    // adds 0. Element 2: (15 + 24 + 24 + 15)/4 / 0.5 = 39.
    const double w = 0.75 - std::sqrt(0.5);
    const double alpha1 = w * (6 + 15 + 15 + 6) / (0.75 + 4 * w) / 0.5;
    std::vector<double> alpha, previous;
    filter.computeSensitivities(working, domain, 2, 3.0, MaxStiffness, 0, alpha, previous);
    ASSERT_EQ(alpha.size(), 2u);
    EXPECT_DOUBLE_EQ(alpha[0], alpha1);
    EXPECT_DOUBLE_EQ(alpha[1], 39.0);
    EXPECT_EQ(previous, alpha);

    // From k = 1 on the numbers are averaged with the previous ones.
    working.elements[0].strainEnergy = 0.0;
    working.elements[1].strainEnergy = 0.0;
    filter.computeSensitivities(working, domain, 2, 3.0, MaxStiffness, 1, alpha, previous);
    EXPECT_DOUBLE_EQ(alpha[0], alpha1 / 2);
    EXPECT_DOUBLE_EQ(alpha[1], 19.5);

    // The frequency objective adds nothing.
    working.elements[1].strainEnergy = 4.0;
    filter.computeSensitivities(working, domain, 2, 3.0, MaxFrequency, 0, alpha, previous);
    EXPECT_EQ(alpha, (std::vector<double>{0.0, 0.0}));
}

} // namespace
