#pragma once

#include "element.h"

#include <array>

class CMesh;
class DoubleMatrix;
class Quad4Kernel;
struct CLoad;

/// The four-node plane element (element types 1 and 2) of two-dimensional models. It adds no
/// data to CElement: it is made from a model's element table entry for one computation.
class CPlaneStress : public CElement {
public:
    CPlaneStress() = default;
    explicit CPlaneStress(const CElement& element) : CElement(element) {}
    ~CPlaneStress() override = default;
    CPlaneStress(const CPlaneStress&) = default;
    CPlaneStress(CPlaneStress&&) = default;
    CPlaneStress& operator=(const CPlaneStress&) = default;
    CPlaneStress& operator=(CPlaneStress&&) = default;

    // ---- Element formulation (planestress.cpp) ----
    /// Upper triangle of the 8 x 8 stiffness, row by row.
    using PackedStiffness = std::array<double, 36>;
    /// Nodal displacements x, y of nodes 1..4.
    using NodalVector = std::array<double, 8>;

    /// Stiffness of this active element for assembly (type 1 bilinear, otherwise incompatible
    /// modes condensed out). Adds the loads of the prescribed displacements of its nodes to the
    /// model's load vector at every degree of freedom with an equation; equations must be
    /// gathered. A non-positive Jacobian is fatal.
    void stiffness(CMesh& model, PackedStiffness& packed) const;

    /// Fills the four Gauss point records from the complete nodal displacements u (prescribed
    /// values included). An inactive element gets zero records.
    void computeStresses(const CMesh& model, const NodalVector& u);

    /// Bilinear stiffness (for both element types) into the 8 x 8 matrix k.
    void strainEnergyStiffness(const CMesh& model, DoubleMatrix& k) const;

    /// Equivalent nodal forces of one pressure record on an edge of this element.
    NodalVector edgeLoad(const CMesh& model, const CLoad& pressure) const;

    /// A Gauss point record with its stresses turned into the element axes.
    GaussPointRecord toElementAxes(const CMesh& model, const GaussPointRecord& record) const;

private:
    Quad4Kernel kernel(const CMesh& model) const;
    // ---- end of element formulation ----
};
