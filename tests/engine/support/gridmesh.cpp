#include "gridmesh.h"

#include <array>

namespace optimtest {

CMesh gridMesh(int nx, int ny, double h) {
    CMesh mesh;
    mesh.name = "grid";
    mesh.problemType = PlaneStress2D;
    mesh.analysisType = 1;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            CNode node;
            node.id = static_cast<int>(mesh.nodes.size()) + 1;
            node.x = i * h;
            node.y = j * h;
            mesh.nodes.push_back(node);
        }
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const int n1 = j * (nx + 1) + i + 1;
            const std::array<int, 8> values = {static_cast<int>(mesh.elements.size()) + 1,
                                               1,
                                               Quad4Incompatible,
                                               n1,
                                               n1 + 1,
                                               n1 + nx + 2,
                                               n1 + nx + 1,
                                               0};
            CElement element;
            mesh.initElement(element, values);
            element.active = 1;
            element.inactive = 0;
            mesh.elements.push_back(element);
        }
    CProperty steel;
    steel.id = 1;
    steel.constants = {2e11, 0.3, 7800.0};
    mesh.properties.push_back(steel);
    return mesh;
}

} // namespace optimtest
