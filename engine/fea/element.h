#pragma once

#include "meshrecords.h"

#include <array>
#include <vector>

/// Element type codes. Types 3 and 4 (eight-node bricks) are refused by the model reader.
enum ElementType : int {
    Quad4Bilinear = 1,
    Quad4Incompatible = 2,
    Hex8Type3 = 3,
    Hex8Type4 = 4,
};

/// One element of a model with its working data. The model's element table holds CElement
/// values; a CPlaneStress or CElementHex8 is made from a table entry when a computation needs
/// the type-specific operations. Every element operation receives the owning model explicitly.
/// An element owns its Gauss point records.
class CElement {
public:
    /// One-direction Gauss point coordinate (ten digits, not 1/sqrt(3) in full precision).
    static constexpr double GaussCoordinate = 0.577350269;

    CElement() = default;
    CElement(const CElement&) = default;
    CElement(CElement&&) = default;
    CElement& operator=(const CElement&) = default;
    CElement& operator=(CElement&&) = default;
    virtual ~CElement() = default;

    int id = EmptyId;
    /// Material id; in an optimization the element's density level.
    int property = 0;
    int type = 0;
    /// 4 for types 1 and 2, 8 for types 3 and 4.
    int nodeCount = 0;
    /// nodeCount x 2 in two-dimensional problems, nodeCount x 3 otherwise.
    int dofCount = 0;
    /// Node ids; the first nodeCount entries are used.
    std::array<int, 20> nodes{};
    /// Equation numbers of the element's degrees of freedom in node order (x, y[, z] per node),
    /// NoEquation where a degree of freedom has none.
    std::array<int, 24> equations{};
    /// Size value written by the optimizer's element size computation.
    double size = 0.0;
    /// Gauss point coordinates and weights in one direction.
    std::array<double, 2> gaussPoints{-GaussCoordinate, GaussCoordinate};
    std::array<double, 2> gaussWeights{1.0, 1.0};
    /// Gauss point counts in the first, second and third direction.
    std::array<int, 3> gaussCounts{2, 2, 1};
    /// One record per Gauss point; the first direction runs fastest, then the second, then the
    /// third (four-node element: (-,-), (+,-), (-,+), (+,+) in (xi, eta)).
    std::vector<GaussPointRecord> gaussRecords;
    double vonMises = 0.0;
    double strainEnergy = 0.0;
    /// Last value of the element record; 1 marks a non-design element.
    int design = 0;
    /// 1 for every element the reader creates; only active elements take part in an analysis.
    unsigned char active = 0;
    /// Opposite of active, refreshed before each equation numbering.
    unsigned char inactive = 1;

    /// True when neither usage byte marks the element as removed.
    bool isActive() const { return active != 0 && inactive == 0; }
};
