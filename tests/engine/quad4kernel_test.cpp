#include "fea/quad4kernel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Kernel = Quad4Kernel;

Kernel::Matrix8 stiffness(const Kernel& k, int type) {
    Kernel::Matrix8 m{};
    Kernel::Vector8 load{};
    const Kernel::Status s =
        type == 1 ? k.bilinearStiffness(m) : k.incompatibleStiffness(Kernel::Vector8{}, m, load);
    EXPECT_EQ(s, Kernel::Status::Ok);
    return m;
}

double energy(const Kernel::Matrix8& k, const Kernel::Vector8& u) {
    double e = 0.0;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            e += 0.5 * u[i] * k[i * 8 + j] * u[j];
    return e;
}

TEST(Quad4Kernel, UnitSquareBilinearStiffness) {
    const Kernel k({0, 1, 1, 0}, {0, 0, 1, 1}, 1.0, 0.0, 1.0);
    const Kernel::Matrix8 m = stiffness(k, 1);
    EXPECT_NEAR(m[0], 0.5, 1e-9);
    // Symmetric, and the packed form is its upper triangle row by row.
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            EXPECT_NEAR(m[i * 8 + j], m[j * 8 + i], 1e-15);
    const Kernel::Packed8 p = Kernel::pack(m);
    EXPECT_EQ(p[1], m[1]);
    EXPECT_EQ(p[8], m[9]);
    EXPECT_EQ(p[35], m[63]);
}

TEST(Quad4Kernel, ClockwiseNodesAreRefused) {
    const Kernel k({0, 0, 1, 1}, {0, 1, 1, 0}, 1.0, 0.3, 1.0);
    Kernel::Matrix8 m{};
    Kernel::Vector8 load{};
    Kernel::Stresses s{};
    EXPECT_EQ(k.bilinearStiffness(m), Kernel::Status::BadJacobian);
    EXPECT_EQ(k.incompatibleStiffness({}, m, load), Kernel::Status::BadJacobian);
    EXPECT_EQ(k.incompatibleStresses({}, s), Kernel::Status::BadJacobian);
}

// Pure bending u = -kappa*x*y, v = kappa*(x^2 + nu*y^2)/2 has sxx = -E*kappa*y and no other
// stress; its energy is E*kappa^2*t*a*b^3/24 for an a x b rectangle centred on the axis.
TEST(Quad4Kernel, PureBendingIsExactForIncompatibleModesOnly) {
    const double e = 200.0, nu = 0.3, t = 0.5, kappa = 1e-3, a = 2.0, b = 1.0;
    const std::array<double, 4> x = {1.0, 1.0 + a, 1.0 + a, 1.0};
    const std::array<double, 4> y = {-b / 2, -b / 2, b / 2, b / 2};
    const Kernel k(x, y, e, nu, t);
    Kernel::Vector8 u{};
    for (int n = 0; n < 4; ++n) {
        u[2 * n] = -kappa * x[n] * y[n];
        u[2 * n + 1] = kappa * (x[n] * x[n] + nu * y[n] * y[n]) / 2;
    }
    const double exact = e * kappa * kappa * t * a * b * b * b / 24.0;
    EXPECT_NEAR(energy(stiffness(k, 2), u), exact, 1e-8 * exact);
    EXPECT_GT(energy(stiffness(k, 1), u), 1.5 * exact);

    Kernel::Stresses s{};
    ASSERT_EQ(k.incompatibleStresses(u, s), Kernel::Status::Ok);
    for (const Kernel::PointStress& p : s) {
        EXPECT_NEAR(p.sxx, -e * kappa * p.y, 1e-9);
        EXPECT_NEAR(p.syy, 0.0, 1e-9);
        EXPECT_NEAR(p.sxy, 0.0, 1e-9);
    }
}

// Four distorted elements around one inner node: with the boundary nodes moved by a linear field,
// equilibrium of the inner node must give that field back and every Gauss point the same stress.
TEST(Quad4Kernel, DistortedPatchReproducesConstantStrain) {
    const double xs[9] = {0, 1.1, 2, 0, 0.8, 2, 0, 0.9, 2};
    const double ys[9] = {0, 0, 0, 1, 1.2, 0.9, 2, 2.1, 2};
    const int elems[4][4] = {{0, 1, 4, 3}, {1, 2, 5, 4}, {3, 4, 7, 6}, {4, 5, 8, 7}};
    const double e = 1000.0, nu = 0.25;
    auto field = [](double x, double y) {
        return std::array<double, 2>{1e-3 * x + 2e-3 * y + 0.1, -3e-3 * x + 4e-3 * y - 0.2};
    };
    const double exx = 1e-3, eyy = 4e-3, gxy = 2e-3 - 3e-3;
    const double f = e / (1 - nu * nu);
    const double sxx = f * (exx + nu * eyy), syy = f * (eyy + nu * exx),
                 sxy = e / (2 + 2 * nu) * gxy;

    for (int type : {1, 2}) {
        SCOPED_TRACE("element type " + std::to_string(type));
        // Equations of the inner node 4 only: K44 * u4 = -sum K4b * ub.
        double k44[2][2] = {{0, 0}, {0, 0}}, rhs[2] = {0, 0};
        for (const auto& el : elems) {
            std::array<double, 4> x{}, y{};
            for (int n = 0; n < 4; ++n) {
                x[n] = xs[el[n]];
                y[n] = ys[el[n]];
            }
            const Kernel::Matrix8 m = stiffness(Kernel(x, y, e, nu, 1.0), type);
            for (int i = 0; i < 4; ++i) {
                if (el[i] != 4)
                    continue;
                for (int j = 0; j < 4; ++j)
                    for (int di = 0; di < 2; ++di)
                        for (int dj = 0; dj < 2; ++dj) {
                            const double kij = m[(2 * i + di) * 8 + 2 * j + dj];
                            if (el[j] == 4)
                                k44[di][dj] += kij;
                            else
                                rhs[di] -= kij * field(xs[el[j]], ys[el[j]])[dj];
                        }
            }
        }
        const double det = k44[0][0] * k44[1][1] - k44[0][1] * k44[1][0];
        const double u4 = (rhs[0] * k44[1][1] - k44[0][1] * rhs[1]) / det;
        const double v4 = (k44[0][0] * rhs[1] - k44[1][0] * rhs[0]) / det;
        EXPECT_NEAR(u4, field(xs[4], ys[4])[0], 1e-11);
        EXPECT_NEAR(v4, field(xs[4], ys[4])[1], 1e-11);

        for (const auto& el : elems) {
            std::array<double, 4> x{}, y{};
            Kernel::Vector8 u{};
            for (int n = 0; n < 4; ++n) {
                x[n] = xs[el[n]];
                y[n] = ys[el[n]];
                u[2 * n] = field(x[n], y[n])[0];
                u[2 * n + 1] = field(x[n], y[n])[1];
            }
            const Kernel k(x, y, e, nu, 1.0);
            Kernel::Stresses s{};
            if (type == 1)
                k.bilinearStresses(u, s);
            else
                ASSERT_EQ(k.incompatibleStresses(u, s), Kernel::Status::Ok);
            for (const Kernel::PointStress& p : s) {
                EXPECT_NEAR(p.sxx, sxx, 1e-9);
                EXPECT_NEAR(p.syy, syy, 1e-9);
                EXPECT_NEAR(p.sxy, sxy, 1e-9);
            }
        }
    }
}

TEST(Quad4Kernel, PrescribedDisplacementLoadIsMinusKTimesDisplacement) {
    const Kernel k({0, 2, 2.2, -0.1}, {0, 0.1, 1, 1.1}, 70.0, 0.3, 1.0);
    Kernel::Vector8 up{};
    up[2] = 0.01; // node 2 pushed in x
    Kernel::Matrix8 m{};
    Kernel::Vector8 load{};
    ASSERT_EQ(k.incompatibleStiffness(up, m, load), Kernel::Status::Ok);
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(load[i], -m[i * 8 + 2] * 0.01, 1e-12) << "dof " << i;
}

TEST(Quad4Kernel, EdgeLoadsMatchHandCalculation) {
    struct Case {
        const char* name;
        int edge, type;
        double p, s;
        int nodeA, nodeB;
        double fx, fy; // force on each of the two edge nodes
    };
    // Rectangle 2 x 1: edges 1 and 3 have length 2, edges 2 and 4 length 1.
    const std::vector<Case> rectangle = {
        {"edge1 global", 1, 0, 3.0, -1.0, 0, 1, 3.0, -1.0},
        {"edge2 global", 2, 0, 3.0, -1.0, 1, 2, 1.5, -0.5},
        {"edge3 global", 3, 0, 3.0, -1.0, 2, 3, 3.0, -1.0},
        {"edge4 global", 4, 0, 3.0, -1.0, 3, 0, 1.5, -0.5},
        {"edge1 normal", 1, 1, 5.0, 0.0, 0, 1, 0.0, -5.0},
        {"edge2 normal", 2, 1, 5.0, 0.0, 1, 2, 2.5, 0.0},
        {"edge3 normal", 3, 1, 5.0, 0.0, 2, 3, 0.0, 5.0},
        {"edge4 normal", 4, 1, 5.0, 0.0, 3, 0, -2.5, 0.0},
        {"edge1 shear", 1, 2, 5.0, 0.0, 0, 1, -5.0, 0.0},
        {"edge2 shear", 2, 2, 5.0, 0.0, 1, 2, 0.0, 2.5},
        {"edge3 shear", 3, 2, 5.0, 0.0, 2, 3, 5.0, 0.0},
        {"edge4 shear", 4, 2, 5.0, 0.0, 3, 0, 0.0, -2.5},
    };
    const Kernel rect({0, 2, 2, 0}, {0, 0, 1, 1}, 1.0, 0.3, 7.0);
    // Trapezoid with edge 2 from (2, 0) to (1.5, 1): outward normal (1, 0.5)/|.|, length |.|.
    const std::vector<Case> trapezoid = {
        {"inclined normal", 2, 1, 4.0, 0.0, 1, 2, 2.0, 1.0},
        {"inclined shear", 2, 2, 4.0, 0.0, 1, 2, -1.0, 2.0},
    };
    const Kernel trap({0, 2, 1.5, 0}, {0, 0, 1, 1}, 1.0, 0.3, 7.0);
    for (const auto& [kernel, cases] : {std::pair{&rect, rectangle}, std::pair{&trap, trapezoid}})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Kernel::Vector8 f{};
            ASSERT_EQ(kernel->edgeLoad(c.edge, c.type, c.p, c.s, f), Kernel::Status::Ok);
            for (int n = 0; n < 4; ++n) {
                const bool loaded = n == c.nodeA || n == c.nodeB;
                EXPECT_NEAR(f[2 * n], loaded ? c.fx : 0.0, 1e-12) << "node " << n + 1;
                EXPECT_NEAR(f[2 * n + 1], loaded ? c.fy : 0.0, 1e-12) << "node " << n + 1;
            }
        }
    Kernel::Vector8 f{};
    EXPECT_EQ(rect.edgeLoad(1, 3, 1.0, 0.0, f), Kernel::Status::UnknownPressureType);
    EXPECT_EQ(rect.edgeLoad(5, 1, 1.0, 0.0, f), Kernel::Status::UnknownEdge);
}

TEST(Quad4Kernel, StressesRotateIntoElementAxes) {
    const double th = 0.5, c = std::cos(th), s = std::sin(th);
    // A 2 x 1 rectangle turned by th about the origin; a uniaxial stress of 10 along its x axis.
    const std::array<double, 4> lx = {0, 2, 2, 0}, ly = {0, 0, 1, 1};
    std::array<double, 4> x{}, y{};
    for (int n = 0; n < 4; ++n) {
        x[n] = c * lx[n] - s * ly[n];
        y[n] = s * lx[n] + c * ly[n];
    }
    const Kernel k(x, y, 1.0, 0.3, 1.0);
    Kernel::PointStress g;
    g.sxx = 10 * c * c;
    g.syy = 10 * s * s;
    g.sxy = 10 * s * c;
    const Kernel::PointStress r = k.toElementAxes(g);
    EXPECT_NEAR(r.sxx, 10.0, 1e-12);
    EXPECT_NEAR(r.syy, 0.0, 1e-12);
    EXPECT_NEAR(r.sxy, 0.0, 1e-12);
}

} // namespace
