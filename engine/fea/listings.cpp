// The listing file "Print.txt": header and the listings selected by the print switches.
#include "fea/cmesh.h"

#include "fatalerror.h"
#include "fea/planestress.h"
#include "runcontrol.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr const char* ListingFile = "Print.txt";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File openListing(const char* mode) {
    return File(std::fopen(ListingFile, mode));
}

const char* problemTypeName(int type) {
    static constexpr const char* names[] = {"2D Plate / Shell", "2D Plane Stress",
                                            "2D Plane Strain", "3D Brick", "3D General"};
    return type >= 1 && type <= 5 ? names[type - 1] : "";
}

std::size_t step(int stride) {
    return static_cast<std::size_t>(std::max(stride, 1));
}

} // namespace

void CMesh::printHeader() const {
    File f = openListing("w");
    if (!f)
        return;
    std::fprintf(f.get(), "Finite Elements Analysis by %s\n", VersionText);
    std::fprintf(f.get(), "Problem Type:  %s \n", problemTypeName(problemType));
    std::fprintf(f.get(), "Date: %s   Time: %s \n", dateStamp().c_str(), timeStamp().c_str());
    std::fprintf(f.get(), "------------------------------------------------------------\n\n");
}

void CMesh::printTitle() const {
    File f = openListing("a");
    if (f)
        std::fprintf(f.get(), "\nProblem Title:  %s%s\n", title.c_str(), ">\n");
}

void CMesh::printThickness() const {
    if (problemType != PlaneStress2D)
        return;
    File f = openListing("a");
    if (f)
        std::fprintf(f.get(), "\nThickness  = %16.4f\n", thickness);
}

void CMesh::printEquationCount() const {
    File f = openListing("a");
    if (f)
        std::fprintf(f.get(), "\n\nTotal number of equations = %d\n", equationCount);
}

void CMesh::printSystems() const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    std::fprintf(f.get(), solid ? "\nCoordinate System Data Print: \n SysID    Type    InSysID    "
                                  "X-axis    Y-axis    Z-axis    Origin \n"
                                : "\nCoordinate System Data Print: \n SysID    Type    InSysID    "
                                  "X-axis    Y-axis    Origin \n");
    if (systems.empty()) {
        std::fprintf(f.get(), "   No system defined! \n\n");
        return;
    }
    for (const CCoordSystem& s : systems) {
        if (solid) {
            std::fprintf(f.get(), " %4d ", s.id);
            std::fprintf(f.get(), "  %3d ", s.type);
            std::fprintf(f.get(), "  %5d  ", s.reference);
            std::fprintf(f.get(), "        %5.4f   %5.4f   %5.4f   %4.3e\n", s.xAxis[0], s.yAxis[0],
                         s.zAxis[0], s.origin[0]);
            for (int c = 1; c < 3; ++c)
                std::fprintf(f.get(),
                             "                             %5.4f   %5.4f   %5.4f   %4.3e\n",
                             s.xAxis[c], s.yAxis[c], s.zAxis[c], s.origin[c]);
        } else {
            std::fprintf(f.get(), " %4d ", s.id);
            std::fprintf(f.get(), "    %3d ", s.type);
            std::fprintf(f.get(), "    %5d  ", s.reference);
            std::fprintf(f.get(), "    %5.4f    %5.4f    %4.3e\n", s.xAxis[0], s.yAxis[0],
                         s.origin[0]);
            std::fprintf(f.get(), "                             %5.4f    %5.4f    %4.3e\n",
                         s.xAxis[1], s.yAxis[1], s.origin[1]);
        }
        std::fprintf(f.get(), "\n");
    }
}

void CMesh::printNodes(int stride) const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    std::fprintf(f.get(), "Node Coordinate Data Print:\n");
    std::fprintf(f.get(),
                 solid ? " Node       Gsysid       X         Y         Z          Dsysid   \n"
                       : " Node       Gsysid       X         Y         Dsysid   \n");
    for (std::size_t i = 0; i < nodes.size(); i += step(stride)) {
        const CNode& n = nodes[i];
        std::fprintf(f.get(), "%5d", n.id);
        std::fprintf(f.get(), "%10d", n.system);
        std::fprintf(f.get(), "     %10f", n.x);
        std::fprintf(f.get(), "%10f", n.y);
        if (solid)
            std::fprintf(f.get(), "%10f", n.z);
        std::fprintf(f.get(), "%10d\n", n.displacementSystem);
    }
}

void CMesh::printElements(int stride) const {
    File f = openListing("a");
    if (!f)
        return;
    std::fprintf(f.get(), "\nElement Data Print:\n");
    std::fprintf(f.get(),
                 isThreeDimensional()
                     ? " Element  Pid    Type   N1    N2    N3    N4    N5    N6    N7    N8\n"
                     : " Element  Pid    Type   N1    N2    N3    N4\n");
    for (std::size_t i = 0; i < elements.size(); i += step(stride)) {
        const CElement& e = elements[i];
        std::fprintf(f.get(), "%5d%7d%8d", e.id, e.property, e.type);
        for (int n = 0; n < e.nodeCount; ++n)
            std::fprintf(f.get(), "%6d", e.nodes[static_cast<std::size_t>(n)]);
        std::fprintf(f.get(), "\n");
    }
}

void CMesh::printProperties() const {
    File f = openListing("a");
    if (!f)
        return;
    std::fprintf(f.get(), "\nProperty Data Print:\n");
    std::fprintf(f.get(), "   Pid     Constants \n");
    for (const CProperty& p : properties)
        std::fprintf(f.get(), "%5d  %10f %10f %10f\n", p.id, p.constants[0], p.constants[1],
                     p.constants[2]);
}

void CMesh::printConstraints() const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    std::fprintf(f.get(), "\nConstraint Data Print:\n");
    std::fprintf(f.get(), solid ? "   Id        node      comp1        comp2        comp3\n"
                                : "   id        node      comp1        comp2        \n");
    const int components = solid ? 3 : 2;
    for (const CConstraint& c : constraints) {
        std::fprintf(f.get(), "%5d     %5d", c.id, c.node);
        for (int k = 0; k < components; ++k) {
            const double v = c.values[static_cast<std::size_t>(k)];
            if (v == FreeValue)
                std::fprintf(f.get(), "%13s", "free");
            else
                std::fprintf(f.get(), "% 13.6f", v);
        }
        std::fprintf(f.get(), "\n");
    }
}

void CMesh::printLoads() const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    // Loads are listed in table order; each run of forces or of pressures gets its own heading.
    int previousKind = -1;
    for (const CLoad& l : loads) {
        const bool startsBlock = l.kind != previousKind;
        previousKind = l.kind;
        const auto& v = l.values;
        if (l.kind == NodalForce) {
            if (startsBlock) {
                std::fprintf(f.get(), "\nNodal Force Data Print:\n");
                std::fprintf(f.get(),
                             solid ? "   Id     node  SystemId     comp1        comp2       comp3\n"
                                   : "   Id        node    SystemId    comp1        comp2\n");
            }
            if (solid)
                std::fprintf(f.get(), "%5d  %5d       %d    %10.5f  %10.5f  %10.5f\n", l.id,
                             l.target, l.system, v[0], v[1], v[2]);
            else
                std::fprintf(f.get(), "%5d     %5d     %5d   %10.5f  %10.5f\n", l.id, l.target,
                             l.system, v[0], v[1]);
            continue;
        }
        if (solid) {
            if (l.pressureType < 0 || l.pressureType > 2)
                FatalError("Printing error: unknown pressure type.");
            if (startsBlock) {
                static constexpr const char* headers[] = {
                    "   Id     Element    Face     comp1        comp2        comp3\n",
                    "   Id     Element    Face      Stress\n",
                    "   Id     Element    Face    Shear1       Shear2\n"};
                std::fprintf(f.get(), "\nPressure Load Data Print:\n");
                std::fprintf(f.get(), "%s", headers[l.pressureType]);
            }
            std::fprintf(f.get(), "%5d   %5d     %5d ", l.id, l.target, l.edge);
            if (l.pressureType == 1)
                std::fprintf(f.get(), "     %10.5e", v[0]);
            else if (l.pressureType == 2)
                std::fprintf(f.get(), "     %10.5e   %10.5e", v[0], v[1]);
            else
                for (int k = 0; k < 3; ++k)
                    std::fprintf(f.get(), " %10.5e  ", v[static_cast<std::size_t>(k)]);
        } else {
            if (startsBlock) {
                std::fprintf(f.get(), "\nPressure Load Data Print:\n");
                std::fprintf(f.get(), l.pressureType == 0
                                          ? "   Id     Element    Edge     comp1        comp2\n"
                                          : "   Id     Element    Edge      Magnitude\n");
            }
            std::fprintf(f.get(), "%5d   %5d     %5d ", l.id, l.target, l.edge);
            if (l.pressureType == 0)
                for (int k = 0; k < 2; ++k)
                    std::fprintf(f.get(), " %10.5f  ", v[static_cast<std::size_t>(k)]);
            else
                std::fprintf(f.get(), "      %10.5f", v[0]);
        }
        std::fprintf(f.get(), "\n");
    }
}

void CMesh::printDisplacements(int stride) const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    std::fprintf(f.get(), "\n\nD I S P L A C E M E N T          R E S U L T S\n");
    std::fprintf(f.get(), "----------------------------------------------\n\n");
    std::fprintf(f.get(), solid ? "   Node     X-Disp      Y-Disp      Z-Disp        \n\n"
                                : "   Node     X-Disp      Y-Disp        \n\n");
    for (std::size_t i = 0; i < nodes.size(); i += step(stride)) {
        const CNode& n = nodes[i];
        const auto& d = n.displacements;
        if (solid)
            std::fprintf(f.get(), "%5d  %12.4e  %12.4e  %12.4e\n", n.id, d[0], d[1], d[2]);
        else
            std::fprintf(f.get(), "%5d  %12.4e  %12.4e\n", n.id, d[0], d[1]);
    }
}

void CMesh::printVonMises(int stride) const {
    File f = openListing("a");
    if (!f)
        return;
    std::fprintf(f.get(), "\n\nE L E M E N T       M E A N V O N M I S E S      R E S U L T S\n");
    std::fprintf(f.get(), "--------------------------------------------------------------\n\n");
    std::fprintf(f.get(), " Element    von Mises\n\n");
    for (std::size_t i = 0; i < elements.size(); i += step(stride))
        std::fprintf(f.get(), "%6d    %12.4e\n", elements[i].id, elements[i].vonMises);
}

void CMesh::printGaussPointStresses(int stride, int elementAxes) const {
    File f = openListing("a");
    if (!f)
        return;
    const bool solid = isThreeDimensional();
    std::fprintf(f.get(),
                 "\n\nE L E M E N T       G A U S S P O I N T S T R E S S      R E S U L T S\n");
    std::fprintf(f.get(),
                 "----------------------------------------------------------------------\n\n");
    for (std::size_t i = 0; i < elements.size(); i += step(stride)) {
        const CElement& e = elements[i];
        std::fprintf(f.get(), "Element %6d\n", e.id);
        const std::size_t points = std::min<std::size_t>(
            e.type == Hex8Type3 || e.type == Hex8Type4 ? 8 : 4, e.gaussRecords.size());
        if (!solid)
            std::fprintf(f.get(),
                         elementAxes != 0
                             ? "GP# X_coord     Y_coord     sigma_xx    sigma_yy    sigma_xy\n"
                             : "GP# X_coord     Y_coord     sigma_XX    sigma_YY    sigma_XY\n");
        const bool rotate =
            elementAxes != 0 && !solid && (e.type == Quad4Bilinear || e.type == Quad4Incompatible);
        const CPlaneStress plane(e);
        for (std::size_t g = 0; g < points; ++g) {
            const GaussPointRecord r =
                rotate ? plane.toElementAxes(*this, e.gaussRecords[g]) : e.gaussRecords[g];
            const int number = static_cast<int>(g) + 1;
            if (solid) {
                std::fprintf(f.get(), "GP#%2d X-Cord=%11.3e SXX   =%11.3e SXY   =%11.3e\n", number,
                             r.x, r.sxx, r.sxy);
                std::fprintf(f.get(), "      Y-Cord=%11.3e SYY   =%11.3e SYZ   =%11.3e\n", r.y,
                             r.syy, r.syz);
                std::fprintf(f.get(), "      Z-Cord=%11.3e SZZ   =%11.3e SZX   =%11.3e\n\n", r.z,
                             r.szz, r.szx);
            } else {
                std::fprintf(f.get(), " %d %11.3e %11.3e %11.3e %11.3e %11.3e\n", number, r.x, r.y,
                             r.sxx, r.syy, r.sxy);
            }
        }
    }
}
