#include "optimizer/designupdate.h"
#include "optimizer/optimizationparameters.h"
#include "support/gridmesh.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

OptimizationParameters parameters(double target, double ratio) {
    OptimizationParameters p;
    p.volumeFraction = target;
    p.evoVolRatio = ratio;
    return p;
}

TEST(DesignUpdate, NextVolumeStepsTowardsTheTargetAndLandsOnIt) {
    const struct {
        double volume, expected;
    } cases[] = {
        {1.0, 0.98},  // one step down
        {0.505, 0.5}, // 0.4949 lies within 1.01 steps of 0.5
        {0.5, 0.5},   // at the target it stays
        {0.3, 0.306}, // below the target it grows
        {0.52, 0.5},  // 0.5096 is 0.0096 away, within 1.01 * 0.02 * 0.52 = 0.010504
        {0.6, 0.588}  // 0.088 away: a plain step
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.volume);
        EXPECT_NEAR(DesignUpdate::nextVolume(c.volume, parameters(0.5, 0.02)), c.expected, 1e-15);
    }
}

TEST(DesignUpdate, LevelTableFollowsDensitiesAndPenalty) {
    CMesh mesh = optimtest::gridMesh(2, 1);
    mesh.properties = {CProperty{1, {1.0, 0.2, 1.0}}, CProperty{7, {100.0, 0.25, 10.0}}};
    mesh.elements[1].design = 1; // non-design elements start at L0 as well
    OptimizationParameters p;
    p.levelCount = 5;
    p.initialLevel = 3;
    p.minDensity = 0.2;
    p.maxDensity = 1.0;
    DesignUpdate::setupLevels(mesh, p);
    ASSERT_EQ(mesh.properties.size(), 5u);
    const double rho[] = {2, 4, 6, 8, 10}, modulus[] = {0.8, 6.4, 21.6, 51.2, 100};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(mesh.properties[i].id, i + 1);
        EXPECT_NEAR(mesh.properties[i].density(), rho[i], 1e-12);
        EXPECT_NEAR(mesh.properties[i].youngsModulus(), modulus[i], 1e-12);
        EXPECT_EQ(mesh.properties[i].poissonRatio(), 0.25);
    }
    EXPECT_EQ(mesh.elements[0].property, 3);
    EXPECT_EQ(mesh.elements[1].property, 3);
    EXPECT_NEAR(DesignUpdate::volumeFraction(mesh, DesignUpdate::relativeDensities(mesh, 5)), 0.6,
                1e-15);

    // Defaults: two levels, solid start; a density of 0 counts as 7800.
    mesh.properties = {CProperty{1, {2e11, 0.3, 0.0}}};
    DesignUpdate::setupLevels(mesh, OptimizationParameters{});
    EXPECT_DOUBLE_EQ(mesh.properties[0].density(), 7.8);
    EXPECT_NEAR(mesh.properties[0].youngsModulus(), 200.0, 1e-9);
    EXPECT_DOUBLE_EQ(mesh.properties[1].density(), 7800.0);
    EXPECT_EQ(mesh.elements[0].property, 2);
}

struct UpdateCase {
    const char* name;
    std::vector<int> levels, nonDesign;
    std::vector<double> alpha, relative;
    double volume, nextVolume, admission;
    std::vector<int> expected;
    float plain, admitted, removal; // expected thresholds; NaN where not checked
    friend void PrintTo(const UpdateCase& c, std::ostream* os) { *os << c.name; }
};

class LevelUpdate : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(LevelUpdate, HandCheckedDesigns) {
    UpdateCase c = GetParam();
    SCOPED_TRACE(c.name);
    const DesignUpdate::Thresholds t = DesignUpdate::updateLevels(
        c.levels, c.nonDesign, c.alpha, c.relative, c.volume, c.nextVolume, c.admission);
    EXPECT_EQ(c.levels, c.expected);
    EXPECT_EQ(t.plain, c.plain);
    if (c.admitted == c.admitted) {
        EXPECT_EQ(t.admission, c.admitted);
    }
    if (c.removal == c.removal) {
        EXPECT_EQ(t.removal, c.removal);
    }
}

const std::vector<double> TwoLevels = {0.0, 0.001, 1.0};
const std::vector<double> FiveLevels = {0.0, 0.2, 0.4, 0.6, 0.8, 1.0};
constexpr float Unchecked = __builtin_nanf("");

// The searches are traced by hand in the comments (lo, hi, mid over the descending lists).
INSTANTIATE_TEST_SUITE_P(
    Table, LevelUpdate,
    ::testing::Values(
        // A = [4,3,2,1], target 3: t=3 gives 1.003 (lo=1), t=2 gives 2.002 (lo=2): t1 = 2, which
        // lowers the element equal to it. All at level N: list B is all sentinel.
        UpdateCase{"TwoLevelsPlainRemoval",
                   {2, 2, 2, 2},
                   {0, 0, 0, 0},
                   {4, 3, 2, 1},
                   TwoLevels,
                   1.0,
                   0.75,
                   0.0,
                   {2, 2, 1, 1},
                   2.0f,
                   DesignUpdate::Sentinel,
                   Unchecked},
        // The non-design element is 0 in list A and counts one level up: t=3 gives 2.002 (lo=1),
        // t=2 gives 3.001 (hi=2), so t1 = A[1] = 3. It keeps its level although its number is
        // the lowest.
        UpdateCase{"NonDesignNeverChanges",
                   {2, 2, 2, 2},
                   {0, 0, 0, 1},
                   {4, 3, 2, 1},
                   TwoLevels,
                   1.0,
                   0.75,
                   0.0,
                   {2, 1, 1, 2},
                   3.0f,
                   Unchecked,
                   Unchecked},
        // Five levels at 3, V = V_next = 0.6, AR 0.05: t1 = 6; search 2 (target 0.12) stops at
        // t2 = 8 > t1, so search 3 (target 0.12) governs: t3 = 4 lowers 4 and 2; the element
        // equal to t2 is not raised.
        UpdateCase{"AdmissionLimited",
                   {3, 3, 3, 3},
                   {0, 0, 0, 0},
                   {8, 6, 4, 2},
                   FiveLevels,
                   0.6,
                   0.6,
                   0.05,
                   {3, 3, 2, 2},
                   6.0f,
                   8.0f,
                   4.0f},
        // Same with AR 0.5: search 2 (target 1.2) ends at t2 = 4 <= t1 = 6: plain update, one
        // level up and down.
        UpdateCase{"PlainWithRaise",
                   {3, 3, 3, 3},
                   {0, 0, 0, 0},
                   {8, 6, 4, 2},
                   FiveLevels,
                   0.6,
                   0.6,
                   0.5,
                   {4, 2, 2, 2},
                   6.0f,
                   4.0f,
                   Unchecked},
        // AR = 0: t2 is the largest entry of list B (9), nothing is raised, not even the void
        // element with the highest number; t1 = 5 < t2, so t3 = 3 removes the solid element 4.
        UpdateCase{"ZeroAdmissionRaisesNothing",
                   {1, 1, 2, 2},
                   {0, 0, 0, 0},
                   {9, 1, 5, 3},
                   TwoLevels,
                   0.5005,
                   0.5005 * 0.98,
                   0.0,
                   {1, 1, 2, 1},
                   5.0f,
                   9.0f,
                   3.0f}),
    [](const ::testing::TestParamInfo<UpdateCase>& info) { return std::string(info.param.name); });

TEST(DesignUpdate, MeshUpdateKeepsNonDesignElementsAndTheTargetVolume) {
    // A 10 x 4 strip, every design element at level 2, sensitivity growing along x; the two
    // left columns are non-design. One step from V = 1 to 0.98 removes the weakest elements.
    CMesh mesh = optimtest::gridMesh(10, 4);
    mesh.properties = {CProperty{1, {1e-9, 0.3, 0.001}}, CProperty{2, {1.0, 0.3, 1.0}}};
    std::vector<double> alpha;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        mesh.elements[e].property = 2;
        mesh.elements[e].design = e % 10 < 2 ? 1 : 0;
        alpha.push_back(e % 10 < 2 ? 0.0 : static_cast<double>(e % 10) + 0.01 * (e / 10));
    }
    OptimizationParameters p;
    p.volumeFraction = 0.5;
    DesignUpdate::updateLevels(mesh, alpha, 1.0, 0.9, p);
    int lowered = 0;
    for (std::size_t e = 0; e < mesh.elements.size(); ++e) {
        if (mesh.elements[e].design == 1) {
            EXPECT_EQ(mesh.elements[e].property, 2) << e;
        }
        lowered += mesh.elements[e].property == 1;
    }
    // Target 0.9 of 40 elements: at most 4 removals keep the volume at or above it. The bisection
    // ends on the last threshold below the target, one entry further: the column x = 2 (numbers
    // 2.00 to 2.03) and the smallest number of column 3 (3.00, element 4) go.
    EXPECT_EQ(lowered, 5);
    for (std::size_t e = 0; e < mesh.elements.size(); ++e)
        EXPECT_EQ(mesh.elements[e].property == 1, e % 10 == 2 || e == 3) << e;
}

} // namespace
