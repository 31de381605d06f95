// Equation numbering, skyline assembly, factorisation and solution, and the element results
// derived from the displacements (stresses, von Mises means, strain energies).
#include "fea/cmesh.h"

#include "fatalerror.h"
#include "fea/doublematrix.h"
#include "fea/planestress.h"
#include "fea/skyline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

bool isPlaneElement(int type) {
    return type == Quad4Bilinear || type == Quad4Incompatible;
}

// Equation numbers of the element's degrees of freedom gathered from its nodes.
void gatherEquations(const CMesh& model, CElement& element) {
    const int perNode = model.dofsPerNode();
    element.equations.fill(NoEquation);
    for (int n = 0; n < element.nodeCount; ++n) {
        const CNode& node = model.findNode(element.nodes[static_cast<std::size_t>(n)]);
        for (int c = 0; c < perNode; ++c)
            element.equations[static_cast<std::size_t>(n * perNode + c)] =
                node.equations[static_cast<std::size_t>(c)];
    }
}

// Complete nodal displacements (x, y per node) of a four-node element, prescribed values
// included, from the displacements stored on its nodes.
CPlaneStress::NodalVector nodalDisplacements(const CMesh& model, const CElement& element) {
    CPlaneStress::NodalVector u{};
    for (int n = 0; n < 4; ++n) {
        const CNode& node = model.findNode(element.nodes[static_cast<std::size_t>(n)]);
        u[static_cast<std::size_t>(2 * n)] = node.displacements[0];
        u[static_cast<std::size_t>(2 * n + 1)] = node.displacements[1];
    }
    return u;
}

// Index of entry (i, j), i <= j, in the packed upper triangle of an 8 x 8 matrix.
constexpr int packedIndex(int i, int j) {
    return i * 8 - i * (i - 1) / 2 + (j - i);
}

} // namespace

void CMesh::numberEquations() {
    for (CElement& element : elements)
        element.inactive = 1;
    for (CNode& node : nodes)
        node.unused = 1;
    for (CElement& element : elements) {
        if (!element.active)
            continue;
        element.inactive = 0;
        for (int n = 0; n < element.nodeCount; ++n) {
            const int index = nodeIndex(element.nodes[static_cast<std::size_t>(n)]);
            if (index < static_cast<int>(nodes.size()))
                nodes[static_cast<std::size_t>(index)].unused = 0;
        }
    }

    equationCount = 0;
    if (problemType < PlateShell2D || problemType > General3D)
        FatalError("Counting unknowns error: unknown problem type.");
    const bool threeComponents = problemType == Brick3D || problemType == General3D;
    for (CNode& node : nodes) {
        node.equations = {NoEquation, NoEquation, NoEquation};
        node.rotationSlots = {1, 1, 1};
        if (node.unused)
            continue;
        // Bits of the constraint code above its base mark the fixed components x, y, z.
        const int base = threeComponents ? 56 : 60;
        const int fixed = node.constraintCode - base;
        if (fixed < 0 || fixed > (threeComponents ? 7 : 3))
            continue;
        for (int c = 0; c < (threeComponents ? 3 : 2); ++c)
            if (!(fixed & (1 << c)))
                node.equations[static_cast<std::size_t>(c)] = equationCount++;
    }
    if (equationCount == 0)
        std::printf("Trivial problem > Number of equations = %d\n", 0);
}

void CMesh::allocateEquationArrays() {
    const int neq = equationCount;
    releaseSolverArrays();
    equationCount = neq;
    columnHeights.assign(static_cast<std::size_t>(neq) + 1, 0);
    diagonalAddresses.assign(static_cast<std::size_t>(neq) + 2, 0);
    loadVector.assign(static_cast<std::size_t>(neq), 0.0);
}

void CMesh::buildProfile() {
    const int neq = equationCount;
    std::fill(columnHeights.begin(), columnHeights.end(), 0);
    // Removed elements add nothing to the matrix, so they do not widen the profile either.
    for (CElement& element : elements) {
        if (!element.active)
            continue;
        gatherEquations(*this, element);
        int top = neq;
        for (int k = 0; k < element.dofCount; ++k)
            if (element.equations[static_cast<std::size_t>(k)] != NoEquation)
                top = std::min(top, element.equations[static_cast<std::size_t>(k)]);
        for (int k = 0; k < element.dofCount; ++k) {
            const int b = element.equations[static_cast<std::size_t>(k)];
            if (b != NoEquation)
                columnHeights[static_cast<std::size_t>(b)] =
                    std::max(columnHeights[static_cast<std::size_t>(b)], b - top);
        }
    }
    diagonalAddresses[0] = 0;
    for (int j = 0; j <= neq; ++j)
        diagonalAddresses[static_cast<std::size_t>(j) + 1] =
            diagonalAddresses[static_cast<std::size_t>(j)] +
            columnHeights[static_cast<std::size_t>(j)] + 1;
    storedLength = diagonalAddresses[static_cast<std::size_t>(neq)];
    try {
        stiffness.assign(static_cast<std::size_t>(storedLength), 0.0);
        if (analysisType == 2)
            massStorage.assign(static_cast<std::size_t>(storedLength), 0.0);
    } catch (const std::bad_alloc&) {
        FatalErrorF("Memory allocation error: the stiffness matrix of %d equations needs %d "
                    "stored entries.",
                    neq, storedLength);
    }
}

void CMesh::assembleStiffness() {
    std::fill(stiffness.begin(), stiffness.end(), 0.0);
    std::fill(massStorage.begin(), massStorage.end(), 0.0);
    std::printf("\n");
    // On a terminal the progress line is rewritten in place; a caller reading a pipe or a file
    // gets only the final line.
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    int done = 0;
    CPlaneStress::PackedStiffness ke{};
    for (CElement& element : elements) {
        if (!element.active || !isPlaneElement(element.type))
            continue;
        ++done;
        if (terminal && (done % 500 == 1)) {
            std::printf("\rComputing stiffness for %8d elements... ", done);
            std::fflush(stdout);
        }
        gatherEquations(*this, element);
        CPlaneStress plane(element);
        plane.stiffness(*this, ke);
        const auto& eq = element.equations;
        for (int i = 0; i < 8; ++i) {
            const int p = eq[static_cast<std::size_t>(i)];
            if (p == NoEquation)
                continue;
            const std::size_t column = static_cast<std::size_t>(diagonalAddresses[p]) + p;
            for (int j = 0; j < 8; ++j) {
                const int q = eq[static_cast<std::size_t>(j)];
                if (q == NoEquation || q > p)
                    continue;
                stiffness[column - static_cast<std::size_t>(q)] +=
                    ke[static_cast<std::size_t>(i <= j ? packedIndex(i, j) : packedIndex(j, i))];
            }
        }
    }
    std::printf("%sComputing stiffness for %8d elements... Done.\n", terminal ? "\r" : "", done);
}

void CMesh::assembleLoads() {
    std::printf("Assembling global load vector... ");
    const int perNode = dofsPerNode();
    for (const CLoad& load : loads) {
        if (load.kind == NodalForce) {
            const CNode& node = findNode(load.target);
            for (int c = 0; c < perNode; ++c) {
                const int e = node.equations[static_cast<std::size_t>(c)];
                if (e != NoEquation)
                    loadVector[static_cast<std::size_t>(e)] +=
                        load.values[static_cast<std::size_t>(c)];
            }
            continue;
        }
        CElement& element = findElement(load.target);
        if (!isPlaneElement(element.type))
            continue;
        gatherEquations(*this, element);
        const CPlaneStress plane(element);
        const CPlaneStress::NodalVector f = plane.edgeLoad(*this, load);
        for (int k = 0; k < 8; ++k) {
            const int e = element.equations[static_cast<std::size_t>(k)];
            if (e != NoEquation)
                loadVector[static_cast<std::size_t>(e)] += f[static_cast<std::size_t>(k)];
        }
    }
    std::printf("Done.\n");
}

void CMesh::factorize() {
    std::printf("Factorizing global stiffness matrix... ");
    std::fflush(stdout);
    skyline::factorize(stiffness, diagonalAddresses, equationCount, [](int equation, double pivot) {
        std::printf("\n Stiffness Matrix is singular or nearly singular\n");
        std::printf(" equation = %d  coeff = %e. ", equation, pivot);
    });
    std::printf("Done.\n");
}

void CMesh::solve() {
    std::printf("Solving %8d equations... ", equationCount);
    std::fflush(stdout);
    skyline::solve(stiffness, diagonalAddresses, equationCount, loadVector);
    std::printf("Done.\n");
}

void CMesh::storeDisplacements() {
    const int perNode = dofsPerNode();
    // First constraint of each node, by table position (the first record for a node counts).
    std::vector<const CConstraint*> constraintOf(nodes.size(), nullptr);
    for (auto c = constraints.rbegin(); c != constraints.rend(); ++c) {
        const int index = nodeIndex(c->node);
        if (index < static_cast<int>(nodes.size()))
            constraintOf[static_cast<std::size_t>(index)] = &*c;
    }
    for (std::size_t n = 0; n < nodes.size(); ++n) {
        CNode& node = nodes[n];
        node.displacements.fill(0.0);
        for (int c = 0; c < perNode; ++c) {
            const int e = node.equations[static_cast<std::size_t>(c)];
            double value = 0.0;
            if (e != NoEquation)
                value = loadVector[static_cast<std::size_t>(e)];
            else if (constraintOf[n])
                value = constraintOf[n]->values[static_cast<std::size_t>(c)];
            node.displacements[static_cast<std::size_t>(c)] = value;
        }
    }
}

void CMesh::computeStresses() {
    std::printf("Computing stresses... ");
    std::fflush(stdout);
    for (CElement& element : elements) {
        if (!isPlaneElement(element.type))
            continue;
        gatherEquations(*this, element);
        CPlaneStress plane(element);
        plane.computeStresses(*this, nodalDisplacements(*this, element));
        element.gaussRecords = std::move(plane.gaussRecords);
    }
    if (printSwitches[7] != 0 || outputSwitches[2] != 0) {
        const bool solid = isThreeDimensional();
        for (CElement& element : elements) {
            double sum = 0.0;
            for (const GaussPointRecord& r : element.gaussRecords) {
                if (solid) {
                    const double a = r.sxx - r.syy, b = r.syy - r.szz, c = r.sxx - r.szz;
                    sum += std::sqrt(0.5 * (a * a + b * b + c * c +
                                            6.0 * (r.sxy * r.sxy + r.syz * r.syz + r.szx * r.szx)));
                } else {
                    sum += std::sqrt(r.sxx * r.sxx + r.syy * r.syy - r.sxx * r.syy +
                                     3.0 * r.sxy * r.sxy);
                }
            }
            element.vonMises = element.gaussRecords.empty()
                                   ? 0.0
                                   : sum / static_cast<double>(element.gaussRecords.size());
        }
    }
    std::printf("Done.\n");
}

void CMesh::computeStrainEnergy() {
    std::printf("Computing element strain energy... ");
    std::fflush(stdout);
    totalStrainEnergy = 0.0;
    for (CElement& element : elements) {
        element.strainEnergy = 0.0;
        if (!element.isActive() || !isPlaneElement(element.type))
            continue;
        const CPlaneStress plane(element);
        DoubleMatrix k(8, 8), u(8, 1), ku(8, 1), ut(1, 8), energy(1, 1);
        plane.strainEnergyStiffness(*this, k);
        const CPlaneStress::NodalVector nodal = nodalDisplacements(*this, element);
        for (int i = 0; i < 8; ++i)
            u.set(i, 0, nodal[static_cast<std::size_t>(i)]);
        DoubleMatrix::multiplyAccumulate(ku, k, u);
        DoubleMatrix::transpose(u, ut);
        DoubleMatrix::multiplyAccumulate(energy, ut, ku);
        element.strainEnergy = 0.5 * energy.get(0, 0);
        totalStrainEnergy += element.strainEnergy;
    }
    std::printf("Done.\n");
}
