#pragma once

#include <array>

/// Id of a table slot that has not been filled yet. Tables are allocated with every id set to
/// this value; each reader pass starts filling at the first slot that still holds it.
inline constexpr int EmptyId = -999999;
/// Equation number of a degree of freedom without an equation (fixed, unused or not present).
inline constexpr int NoEquation = 40000;
/// Value stored for a constraint component that is given as free.
inline constexpr double FreeValue = 999999.9;

/// Most nodes a model may hold.
inline constexpr int MaxNodes = 20000;
/// Most elements the reader accepts; far above any mesh over MaxNodes nodes, it only keeps an
/// absurd generation count from exhausting memory.
inline constexpr int MaxElements = 100000;

/// Kind of a load record.
enum LoadKind : int { NodalForce = 0, Pressure = 1 };

/// One node. Coordinates are global once the reader has converted them.
struct CNode {
    int id = EmptyId;
    /// System the coordinates were given in; 0 once they are global (always after reading).
    int system = 0;
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    /// Displacement system id: stored and listed only.
    int displacementSystem = 0;
    /// Equation numbers of x, y and z, or NoEquation.
    std::array<int, 3> equations{NoEquation, NoEquation, NoEquation};
    /// Reserved rotation slots: always 1, never numbered.
    std::array<int, 3> rotationSlots{1, 1, 1};
    /// Fixed components: 60 + 1 (x) + 2 (y) in 2-D, 56 + 1 (x) + 2 (y) + 4 (z) in 3-D.
    int constraintCode = 60;
    /// x, y, z translations and three rotation slots that always hold 0.
    std::array<double, 6> displacements{};
    /// 1 when no active element uses the node; such a node gets no equations.
    unsigned char unused = 0;
};

/// Coordinates and stresses at one Gauss point (nine doubles, 72 bytes in the result files).
struct GaussPointRecord {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double sxx = 0.0;
    double syy = 0.0;
    double szz = 0.0;
    double sxy = 0.0;
    double syz = 0.0;
    double szx = 0.0;
};
static_assert(sizeof(GaussPointRecord) == 9 * sizeof(double));

/// Prescribed displacements of one node; a component holding FreeValue is free.
struct CConstraint {
    int id = EmptyId;
    int node = 0;
    std::array<double, 3> values{};
};

/// A nodal force (kind NodalForce) or a distributed load on an element edge (kind Pressure).
struct CLoad {
    int id = EmptyId;
    int kind = NodalForce;
    /// Node id of a force, element id of a pressure.
    int target = 0;
    /// Force: coordinate system id (stored and listed only; components are always global).
    /// Pressure: the reserved third value of the record (stored only).
    int system = 0;
    /// 0 global traction components, 1 normal magnitude, 2 shear magnitude(s); 0 for forces.
    int pressureType = 0;
    /// Edge (2-D, 1 to 4) or face (3-D) number of a pressure.
    int edge = 0;
    /// Force components, or the pressure values; unread components are 0.
    std::array<double, 3> values{};
};

/// One material: Young's modulus, Poisson's ratio and density.
struct CProperty {
    int id = EmptyId;
    /// E, nu, rho in this order.
    std::array<double, 3> constants{};

    double youngsModulus() const { return constants[0]; }
    double poissonRatio() const { return constants[1]; }
    double density() const { return constants[2]; }
};

/// Coordinate system type.
enum CoordSystemType : int { Cartesian = 0, Polar = 1 };

/// A coordinate system in which node coordinates may be given. Two-dimensional systems use the
/// first two components of each vector and leave the third 0. Axes are used as given (not
/// normalised).
struct CCoordSystem {
    int id = EmptyId;
    int type = Cartesian;
    /// Reference system id: stored and listed only.
    int reference = 0;
    std::array<double, 3> xAxis{};
    std::array<double, 3> yAxis{};
    std::array<double, 3> zAxis{};
    std::array<double, 3> origin{};
};
