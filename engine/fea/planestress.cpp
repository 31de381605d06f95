#include "fea/planestress.h"

#include "fatalerror.h"
#include "fea/cmesh.h"
#include "fea/doublematrix.h"
#include "fea/quad4kernel.h"

Quad4Kernel CPlaneStress::kernel(const CMesh& model) const {
    std::array<double, 4> x{}, y{};
    for (int k = 0; k < 4; ++k) {
        const CNode& node = model.findNode(nodes[k]);
        x[k] = node.x;
        y[k] = node.y;
    }
    const CProperty& material = model.findProperty(property);
    return Quad4Kernel(x, y, material.youngsModulus(), material.poissonRatio(), model.thickness);
}

void CPlaneStress::stiffness(CMesh& model, PackedStiffness& packed) const {
    const Quad4Kernel k = kernel(model);
    // Prescribed values of the degrees of freedom without an equation.
    Quad4Kernel::Vector8 up{};
    bool anyPrescribed = false;
    for (int n = 0; n < 4; ++n)
        for (int c = 0; c < 2; ++c) {
            if (equations[2 * n + c] != NoEquation)
                continue;
            const CConstraint* constraint = model.findConstraintOfNode(nodes[n]);
            if (constraint && constraint->values[c] != FreeValue && constraint->values[c] != 0.0) {
                up[2 * n + c] = constraint->values[c];
                anyPrescribed = true;
            }
        }
    Quad4Kernel::Matrix8 m{};
    Quad4Kernel::Vector8 load{};
    Quad4Kernel::Status status = Quad4Kernel::Status::Ok;
    if (type == Quad4Bilinear) {
        status = k.bilinearStiffness(m);
        if (status == Quad4Kernel::Status::Ok && anyPrescribed)
            for (int i = 0; i < 8; ++i)
                for (int j = 0; j < 8; ++j)
                    load[i] -= m[i * 8 + j] * up[j];
    } else {
        status = k.incompatibleStiffness(up, m, load);
    }
    if (status != Quad4Kernel::Status::Ok)
        FatalError("Getting stiffness error: zero or negative Jacobian.");
    packed = Quad4Kernel::pack(m);
    if (anyPrescribed)
        for (int i = 0; i < 8; ++i)
            if (equations[i] != NoEquation)
                model.loadVector[static_cast<std::size_t>(equations[i])] += load[i];
}

void CPlaneStress::computeStresses(const CMesh& model, const NodalVector& u) {
    gaussRecords.assign(4, GaussPointRecord{});
    if (!isActive())
        return;
    const Quad4Kernel k = kernel(model);
    Quad4Kernel::Stresses s{};
    if (type == Quad4Bilinear)
        k.bilinearStresses(u, s);
    else if (k.incompatibleStresses(u, s) != Quad4Kernel::Status::Ok)
        FatalError("Computing stress error: zero or negative Jacobian.");
    for (int g = 0; g < 4; ++g) {
        GaussPointRecord& r = gaussRecords[static_cast<std::size_t>(g)];
        r.x = s[g].x;
        r.y = s[g].y;
        r.sxx = s[g].sxx;
        r.syy = s[g].syy;
        r.sxy = s[g].sxy;
    }
}

void CPlaneStress::strainEnergyStiffness(const CMesh& model, DoubleMatrix& k) const {
    Quad4Kernel::Matrix8 m{};
    if (kernel(model).bilinearStiffness(m) != Quad4Kernel::Status::Ok)
        FatalError("Computing stiffness error: zero or negative Jacobian.");
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j)
            k.set(i, j, m[i * 8 + j]);
}

CPlaneStress::NodalVector CPlaneStress::edgeLoad(const CMesh& model, const CLoad& pressure) const {
    NodalVector f{};
    switch (kernel(model).edgeLoad(pressure.edge, pressure.pressureType, pressure.values[0],
                                   pressure.values[1], f)) {
    case Quad4Kernel::Status::Ok:
        break;
    case Quad4Kernel::Status::UnknownEdge:
        FatalErrorF("Computing element load error: edge %d of pressure %d on element %d is not "
                    "1 to 4.",
                    pressure.edge, pressure.id, id);
    default:
        FatalError("Computing element load error: unknown pressure type.");
    }
    return f;
}

GaussPointRecord CPlaneStress::toElementAxes(const CMesh& model,
                                             const GaussPointRecord& record) const {
    Quad4Kernel::PointStress s;
    s.x = record.x;
    s.y = record.y;
    s.sxx = record.sxx;
    s.syy = record.syy;
    s.sxy = record.sxy;
    const Quad4Kernel::PointStress r = kernel(model).toElementAxes(s);
    GaussPointRecord out = record;
    out.sxx = r.sxx;
    out.syy = r.syy;
    out.sxy = r.sxy;
    return out;
}
