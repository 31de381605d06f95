#pragma once

#include <array>

/// Numerical core of the four-node plane element, working on plain coordinates and material
/// constants so that it can be used (and checked) without a model. Nodes are counter-clockwise;
/// degrees of freedom 0..7 are x, y of nodes 1..4, and 8..11 the four incompatible modes
/// a1..a4 (u += a1(1 - xi^2) + a2(1 - eta^2), v += a3(1 - xi^2) + a4(1 - eta^2)).
///
/// Integration uses 2 x 2 Gauss points at +-0.577350269 (ten digits, weight 1.0), the values the
/// stored element records carry; results therefore agree with exact integration to about 1e-9.
class Quad4Kernel {
public:
    using Matrix8 = std::array<double, 64>;   ///< 8 x 8, row by row
    using Matrix12 = std::array<double, 144>; ///< 12 x 12, row by row
    using Vector8 = std::array<double, 8>;
    using Vector12 = std::array<double, 12>;
    using Packed8 = std::array<double, 36>; ///< upper triangle of an 8 x 8, row by row

    /// Stresses at one Gauss point: position and (sxx, syy, sxy).
    struct PointStress {
        double x = 0.0, y = 0.0;
        double sxx = 0.0, syy = 0.0, sxy = 0.0;
    };
    using Stresses = std::array<PointStress, 4>;

    enum class Status { Ok, BadJacobian, UnknownPressureType, UnknownEdge };

    static constexpr double GaussPoint = 0.577350269;

    Quad4Kernel(const std::array<double, 4>& x, const std::array<double, 4>& y, double youngs,
                double poisson, double thickness);

    /// Bilinear stiffness (element type 1). BadJacobian if det J <= 0 at a Gauss point.
    Status bilinearStiffness(Matrix8& k) const;

    /// Incompatible-mode stiffness (element type 2) statically condensed to the nodal degrees of
    /// freedom, together with the condensed load -K * up of the prescribed nodal displacements up.
    Status incompatibleStiffness(const Vector8& up, Matrix8& k, Vector8& load) const;

    /// Gauss point stresses of the bilinear element for nodal displacements u (no Jacobian check).
    void bilinearStresses(const Vector8& u, Stresses& out) const;

    /// Gauss point stresses of the incompatible-mode element for the complete nodal displacements
    /// u (prescribed values included); the internal modes are recovered from u first.
    Status incompatibleStresses(const Vector8& u, Stresses& out) const;

    /// Equivalent nodal forces of a distributed load per unit length on edge 1..4 (edge 1 runs from
    /// node 1 to node 2, and so on). Type 0: global components (p, s); type 1: p along the outward
    /// normal; type 2: p along the edge. The thickness does not enter.
    Status edgeLoad(int edge, int pressureType, double p, double s, Vector8& load) const;

    /// Rotates a stress state into the element axes (x axis from the mid-side of edge 4 to the
    /// mid-side of edge 2, y axis perpendicular to it, counter-clockwise).
    PointStress toElementAxes(const PointStress& global) const;

    /// Packs the upper triangle of an 8 x 8 matrix row by row.
    static Packed8 pack(const Matrix8& k);

private:
    struct Point {
        double n[4];    // shape functions
        double dxi[4];  // dN/dxi
        double deta[4]; // dN/deta
        double j11, j12, j21, j22, det;
    };
    Point evaluate(double xi, double eta) const;
    void buildFullStiffness(Matrix12& k, double& minDet) const;
    void condense(Matrix12& k, Vector12& f) const;
    // 3 x 12 strain-displacement matrix at (xi, eta): nodal columns from the point's Jacobian,
    // mode columns from the Jacobian at the centre.
    void strainMatrix(const Point& p, double xi, double eta, double b[3][12]) const;
    /// Stresses and positions at the four Gauss points from the first `columns` entries of the
    /// element's displacement vector `v` (8 nodal values, or 12 with the incompatible modes).
    void gaussStresses(const double* v, int columns, Stresses& out) const;

    std::array<double, 4> x_, y_;
    double d11_, d12_, d33_, thickness_;
    // Inverse Jacobian at the centre: d/dx = a*d/dxi + b*d/deta, d/dy = c*d/dxi + d*d/deta.
    double ia_, ib_, ic_, id_, det0_;
};
