// Analyses of models built in memory, run through CAnalysisTask as the optimizer runs them.
#include "analysistask.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

using optimtest::ScratchDir;

// Small plane stress model assembled record by record.
class ModelBuilder {
public:
    explicit ModelBuilder(double e = 1000.0, double nu = 0.25, double thickness = 0.5) {
        m.name = "bar";
        m.problemType = PlaneStress2D;
        m.analysisType = 1;
        m.thickness = thickness;
        CProperty p;
        p.id = 1;
        p.constants = {e, nu, 7800.0};
        m.properties.push_back(p);
    }
    void node(int id, double x, double y) {
        CNode n;
        n.id = id;
        n.x = x;
        n.y = y;
        n.constraintCode = 60;
        m.nodes.push_back(n);
    }
    void quad(int id, int type, std::array<int, 4> nodes, bool active = true) {
        CElement e;
        const int values[] = {id, 1, type, nodes[0], nodes[1], nodes[2], nodes[3], 0};
        m.initElement(e, values);
        e.active = active ? 1 : 0;
        m.elements.push_back(e);
    }
    // Components given as FreeValue are free.
    void fix(int node, double ux, double uy) {
        CConstraint c;
        c.id = static_cast<int>(m.constraints.size()) + 1;
        c.node = node;
        c.values = {ux, uy, 0.0};
        m.constraints.push_back(c);
        m.findNode(node).constraintCode =
            60 + (ux != FreeValue ? 1 : 0) + (uy != FreeValue ? 2 : 0);
    }
    void force(int node, double fx, double fy) {
        CLoad l;
        l.id = static_cast<int>(m.loads.size()) + 1;
        l.kind = NodalForce;
        l.target = node;
        l.values = {fx, fy, 0.0};
        m.loads.push_back(l);
    }
    void pressure(int element, int type, int edge, double p, double s = 0.0) {
        CLoad l;
        l.id = static_cast<int>(m.loads.size()) + 1;
        l.kind = Pressure;
        l.target = element;
        l.pressureType = type;
        l.edge = edge;
        l.values = {p, s, 0.0};
        m.loads.push_back(l);
    }
    CMesh m;
};

std::vector<double> readDoubles(const std::filesystem::path& file) {
    const std::string bytes = optimtest::readFile(file);
    std::vector<double> values(bytes.size() / 8);
    std::memcpy(values.data(), bytes.data(), values.size() * 8);
    return values;
}

// Bar 2 x 1 of two elements, fixed in x at its left end (y at the lower corner only), pulled by
// P at its right end: a uniform uniaxial stress P/(h t), exact for both element types. A third,
// removed element hangs on two nodes that nothing else uses.
ModelBuilder pulledBar(int type, double pull) {
    ModelBuilder b;
    b.node(1, 0, 0);
    b.node(2, 1, 0);
    b.node(3, 2, 0);
    b.node(4, 0, 1);
    b.node(5, 1, 1);
    b.node(6, 2, 1);
    b.node(7, 3, 0);
    b.node(8, 3, 1);
    b.quad(1, type, {1, 2, 5, 4});
    b.quad(2, type, {2, 3, 6, 5});
    b.quad(3, type, {3, 7, 8, 6}, false);
    b.fix(1, 0.0, 0.0);
    b.fix(4, 0.0, FreeValue);
    b.force(3, pull / 2, 0.0);
    b.force(6, pull / 2, 0.0);
    b.m.outputSwitches = {2, 2, 2, 2, 0, 0};
    return b;
}

TEST(AnalysisTask, PulledBarMatchesHandCalculationAndWritesResultFiles) {
    const double e = 1000.0, nu = 0.25, t = 0.5, h = 1.0, length = 2.0, pull = 3.0;
    const double stress = pull / (h * t);
    const double stretch = stress / e * length, contraction = -nu * stress / e * h;
    for (int type : {1, 2}) {
        SCOPED_TRACE("element type " + std::to_string(type));
        ScratchDir dir("analysis-bar");
        ModelBuilder b = pulledBar(type, pull);
        CAnalysisTask task(b.m);
        ASSERT_EQ(task.run(), 0);
        const CMesh& m = b.m;

        EXPECT_EQ(m.equationCount, 9); // 6 used nodes, three fixed components
        const double expected[6][2] = {
            {0, 0},           {stretch / 2, 0},           {stretch, 0},
            {0, contraction}, {stretch / 2, contraction}, {stretch, contraction}};
        for (int n = 0; n < 6; ++n)
            for (int c = 0; c < 2; ++c)
                EXPECT_NEAR(m.nodes[n].displacements[c], expected[n][c], 1e-9 * stretch)
                    << "node " << n + 1 << " component " << c;
        EXPECT_EQ(m.nodes[6].unused, 1);
        EXPECT_EQ(m.nodes[6].equations[0], NoEquation);

        const double energy = pull * stretch / 2;
        EXPECT_NEAR(m.totalStrainEnergy, energy, 1e-9 * energy);
        EXPECT_NEAR(m.elements[0].strainEnergy, energy / 2, 1e-9 * energy);
        EXPECT_EQ(m.elements[2].strainEnergy, 0.0);
        EXPECT_EQ(m.elements[2].vonMises, 0.0);
        for (int el = 0; el < 2; ++el) {
            EXPECT_NEAR(m.elements[el].vonMises, stress, 1e-9 * stress);
            for (const GaussPointRecord& r : m.elements[el].gaussRecords) {
                EXPECT_NEAR(r.sxx, stress, 1e-9 * stress);
                EXPECT_NEAR(r.syy, 0.0, 1e-9 * stress);
                EXPECT_NEAR(r.sxy, 0.0, 1e-9 * stress);
            }
        }

        // Used nodes and active elements only.
        const std::vector<double> ndp = readDoubles("bar.ndp");
        ASSERT_EQ(ndp.size(), 6u * 6u);
        EXPECT_EQ(ndp[2 * 6 + 0], m.nodes[2].displacements[0]);
        EXPECT_EQ(ndp[5 * 6 + 1], m.nodes[5].displacements[1]);
        EXPECT_EQ(ndp[5 * 6 + 2], 0.0);
        const std::vector<double> vms = readDoubles("bar.vms");
        ASSERT_EQ(vms.size(), 2u);
        EXPECT_EQ(vms[1], m.elements[1].vonMises);
        const std::vector<double> sgp = readDoubles("bar.sgp");
        ASSERT_EQ(sgp.size(), 2u * 4u * 9u);
        EXPECT_EQ(sgp[9 * 4 + 3], m.elements[1].gaussRecords[0].sxx); // element 2, point 1, sxx
        const std::vector<double> sen = readDoubles("bar.sen");
        ASSERT_EQ(sen.size(), 2u);
        EXPECT_EQ(sen[0], m.elements[0].strainEnergy);
        // No ".log" for a task on a model it does not own, and no listing without print switches.
        EXPECT_FALSE(std::filesystem::exists("bar.log"));
        EXPECT_FALSE(std::filesystem::exists("Print.txt"));

        // Analysed again (as every optimization iteration does): the appended files of the
        // previous analysis are deleted first, so they do not grow.
        ASSERT_EQ(CAnalysisTask(b.m).run(), 0);
        EXPECT_EQ(readDoubles("bar.vms").size(), 2u);
        EXPECT_EQ(readDoubles("bar.sgp").size(), 2u * 4u * 9u);
        EXPECT_EQ(readDoubles("bar.sen").size(), 2u);
        EXPECT_NEAR(b.m.totalStrainEnergy, energy, 1e-9 * energy);
    }
}

TEST(AnalysisTask, PressureOnTheEndEdgeActsLikeTheEndForces) {
    // Per unit edge length, the thickness does not enter: p * h equals the pull.
    struct Case {
        const char* name;
        int type;
        double p, s;
    };
    for (const Case& c : {Case{"global components", 0, 3.0, 0.0}, Case{"normal", 1, 3.0, 0.0}}) {
        SCOPED_TRACE(c.name);
        ScratchDir dir("analysis-pressure");
        ModelBuilder forces = pulledBar(2, 3.0);
        ModelBuilder pressed = pulledBar(2, 0.0);
        pressed.m.loads.clear();
        pressed.pressure(2, c.type, 2, c.p, c.s);
        CAnalysisTask(forces.m).run();
        CAnalysisTask(pressed.m).run();
        for (std::size_t n = 0; n < 6; ++n)
            for (std::size_t k = 0; k < 2; ++k)
                EXPECT_NEAR(pressed.m.nodes[n].displacements[k], forces.m.nodes[n].displacements[k],
                            1e-12);
    }
}

TEST(AnalysisTask, PrescribedDisplacementStretchesTheBar) {
    const double e = 1000.0, t = 0.5, length = 2.0, delta = 0.01;
    for (int type : {1, 2}) {
        SCOPED_TRACE("element type " + std::to_string(type));
        ScratchDir dir("analysis-prescribed");
        ModelBuilder b = pulledBar(type, 0.0);
        b.m.loads.clear();
        b.fix(3, delta, FreeValue);
        b.fix(6, delta, FreeValue);
        ASSERT_EQ(CAnalysisTask(b.m).run(), 0);
        const CMesh& m = b.m;
        EXPECT_NEAR(m.nodes[1].displacements[0], delta / 2, 1e-12);
        EXPECT_NEAR(m.nodes[4].displacements[0], delta / 2, 1e-12);
        EXPECT_EQ(m.nodes[2].displacements[0], delta);
        const double stress = e * delta / length;
        for (int el = 0; el < 2; ++el)
            for (const GaussPointRecord& r : m.elements[el].gaussRecords)
                EXPECT_NEAR(r.sxx, stress, 1e-9 * stress);
        const double energy = stress * stress / (2 * e) * length * 1.0 * t;
        EXPECT_NEAR(m.totalStrainEnergy, energy, 1e-9 * energy);
    }
}

TEST(AnalysisTask, SingularTrivialAndFactorOnlyProblems) {
    {
        SCOPED_TRACE("no constraint: warned, solved anyway, files written");
        ScratchDir dir("analysis-singular");
        ModelBuilder b = pulledBar(2, 3.0);
        b.m.constraints.clear();
        for (CNode& n : b.m.nodes)
            n.constraintCode = 60;
        testing::internal::CaptureStdout();
        EXPECT_EQ(CAnalysisTask(b.m).run(), 0);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("\n Stiffness Matrix is singular or nearly singular\n equation = "),
                  std::string::npos);
        EXPECT_EQ(readDoubles("bar.ndp").size(), 36u);
        EXPECT_EQ(readDoubles("bar.vms").size(), 2u);
    }
    {
        SCOPED_TRACE("every node fixed: trivial problem");
        ScratchDir dir("analysis-trivial");
        ModelBuilder b = pulledBar(2, 3.0);
        b.m.constraints.clear();
        for (int n = 1; n <= 8; ++n)
            b.fix(n, 0.0, 0.0);
        testing::internal::CaptureStdout();
        EXPECT_EQ(CAnalysisTask(b.m).run(), 0);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("Trivial problem > Number of equations = 0\n"), std::string::npos);
        EXPECT_EQ(b.m.equationCount, 0);
        const std::vector<double> ndp = readDoubles("bar.ndp");
        ASSERT_EQ(ndp.size(), 36u);
        for (double d : ndp)
            EXPECT_EQ(d, 0.0);
    }
    {
        SCOPED_TRACE("analysis type 2: factorised, not solved, no result files");
        ScratchDir dir("analysis-type2");
        ModelBuilder b = pulledBar(2, 3.0);
        b.m.analysisType = 2;
        testing::internal::CaptureStdout();
        EXPECT_EQ(CAnalysisTask(b.m).run(), 0);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find("Factorizing global stiffness matrix... Done.\n"), std::string::npos);
        EXPECT_EQ(out.find("Solving"), std::string::npos);
        EXPECT_EQ(b.m.massStorage.size(), b.m.stiffness.size());
        for (const char* file : {"bar.ndp", "bar.sgp", "bar.vms", "bar.sen"})
            EXPECT_FALSE(std::filesystem::exists(file)) << file;
    }
}

TEST(AnalysisTaskDeathTest, RefusedModelsEndWithTheirMessage) {
    struct Case {
        const char* name;
        int problemType;
        bool clockwise;
        const char* message;
    };
    const Case cases[] = {
        {"plate/shell", PlateShell2D, false, "problem type 1 has no four-node element"},
        {"brick", Brick3D, false, "problem type 4 has no four-node element"},
        {"general 3-D", General3D, false, "problem type 5 has no four-node element"},
        {"clockwise nodes", PlaneStress2D, true,
         "TOPAX Engine Version 1.2 Beta: Getting stiffness error: zero or negative Jacobian."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir("analysis-refused");
        ModelBuilder b = pulledBar(2, 3.0);
        b.m.problemType = c.problemType;
        if (c.clockwise)
            b.m.elements[1].nodes = {2, 5, 6, 3};
        EXPECT_EXIT(CAnalysisTask(b.m).run(), testing::ExitedWithCode(1), c.message);
    }
}

// Three-dimensional load listing: runs of pressures and forces, each pressure block headed by the
// form of its first pressure type.
TEST(AnalysisTask, ThreeDimensionalLoadListing) {
    ScratchDir dir("analysis-loads3d");
    ModelBuilder b;
    b.m.problemType = Brick3D;
    b.pressure(7, 1, 3, 1.5);
    b.pressure(7, 2, 4, 2.5, 3.5);
    b.force(9, 1.0, 2.0);
    b.m.loads.back().values[2] = 3.0;
    b.pressure(7, 0, 5, 1.0, 2.0);
    b.m.loads.back().values[2] = 3.0;
    b.m.printLoads();
    EXPECT_EQ(optimtest::readFile("Print.txt"),
              "\nPressure Load Data Print:\n"
              "   Id     Element    Face      Stress\n"
              "    1       7         3      1.50000e+00\n"
              "    2       7         4      2.50000e+00   3.50000e+00\n"
              "\nNodal Force Data Print:\n"
              "   Id     node  SystemId     comp1        comp2       comp3\n"
              "    3      9       0       1.00000     2.00000     3.00000\n"
              "\nPressure Load Data Print:\n"
              "   Id     Element    Face     comp1        comp2        comp3\n"
              "    4       7         5  1.00000e+00   2.00000e+00   3.00000e+00  \n");
    b.pressure(7, 3, 1, 1.0);
    EXPECT_EXIT(b.m.printLoads(), testing::ExitedWithCode(1),
                "Printing error: unknown pressure type.");
}

// Cantilever 10 x 1 clamped at x = 0 and loaded at x = 10, nx x ny rectangular elements.
struct Cantilever {
    static constexpr double E = 1000.0, Nu = 0.3, T = 0.5, L = 10.0, H = 1.0;
    int nx, ny;
    int id(int i, int j) const { return j * (nx + 1) + i + 1; }

    // clampAll: every left node fixed in x and y; otherwise x fixed and y only on the axis.
    ModelBuilder build(int type, bool clampAll) const {
        ModelBuilder b(E, Nu, T);
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i)
                b.node(id(i, j), L * i / nx, H * j / ny - H / 2);
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i)
                b.quad(j * nx + i + 1, type,
                       {id(i, j), id(i + 1, j), id(i + 1, j + 1), id(i, j + 1)});
        for (int j = 0; j <= ny; ++j)
            b.fix(id(0, j), 0.0, clampAll || 2 * j == ny ? 0.0 : FreeValue);
        return b;
    }
    // Consistent nodal forces of an end traction q(y) at most quadratic per segment (Simpson).
    template <typename Traction> void loadEnd(ModelBuilder& b, int component, Traction q) const {
        for (int j = 0; j < ny; ++j) {
            const double ya = H * j / ny - H / 2, yb = ya + H / ny, len = yb - ya;
            const double qm = q((ya + yb) / 2);
            const double fa = T * len * (q(ya) + 2 * qm) / 6, fb = T * len * (2 * qm + q(yb)) / 6;
            b.force(id(nx, j), component == 0 ? fa : 0.0, component == 1 ? fa : 0.0);
            b.force(id(nx, j + 1), component == 0 ? fb : 0.0, component == 1 ? fb : 0.0);
        }
    }
    // Mean vertical displacement of the loaded end.
    double tipDeflection(const CMesh& m) const {
        double sum = 0.0;
        for (int j = 0; j <= ny; ++j)
            sum += m.findNode(id(nx, j)).displacements[1];
        return sum / (ny + 1);
    }
};

TEST(AnalysisTask, PureBendingIsExactWithIncompatibleModes) {
    ScratchDir dir("analysis-bending");
    const double kappa = 1e-3, e = Cantilever::E, nu = Cantilever::Nu, l = Cantilever::L;
    const Cantilever beam{10, 4};
    ModelBuilder b = beam.build(2, false);
    beam.loadEnd(b, 0, [&](double y) { return -e * kappa * y; });
    ASSERT_EQ(CAnalysisTask(b.m).run(), 0);
    for (const CNode& n : b.m.nodes) {
        EXPECT_NEAR(n.displacements[0], -kappa * n.x * n.y, 1e-9 * kappa * l);
        EXPECT_NEAR(n.displacements[1], kappa * (n.x * n.x + nu * n.y * n.y) / 2,
                    1e-9 * kappa * l * l);
    }
}

TEST(AnalysisTask, CantileverUnderEndShearFollowsBeamTheory) {
    ScratchDir dir("analysis-cantilever");
    const double p = 0.2, e = Cantilever::E, nu = Cantilever::Nu, t = Cantilever::T;
    const double l = Cantilever::L, h = Cantilever::H;
    const double inertia = t * h * h * h / 12, area = t * h, shearModulus = e / (2 * (1 + nu));
    const double theory =
        p * l * l * l / (3 * e * inertia) + p * l / (5.0 / 6.0 * shearModulus * area);
    const Cantilever beam{20, 1};
    double tip[3] = {0, 0, 0};
    for (int type : {1, 2}) {
        ModelBuilder b = beam.build(type, true);
        // Parabolic shear over the end section, total p.
        beam.loadEnd(b, 1, [&](double y) { return 1.5 * p / area * (1 - 4 * y * y / (h * h)); });
        ASSERT_EQ(CAnalysisTask(b.m).run(), 0);
        tip[type] = beam.tipDeflection(b.m);
    }
    EXPECT_NEAR(tip[2], theory, 0.01 * theory);
    EXPECT_LT(tip[1], 0.9 * tip[2]) << "the bilinear element should be clearly stiffer";
}

} // namespace
