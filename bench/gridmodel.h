#pragma once

#include <cstdio>
#include <string>

/// Writes a regular grid model in the keyword format, nodes numbered row by row as the
/// workbench writes them: nx x ny nodes at spacing h, (nx - 1) x (ny - 1) type-2 plane stress
/// elements, the left column of nodes fixed, a downward force at every node of the right column.
/// Output switches ask for displacements, von Mises stresses and strain energies.
inline void writeGridModel(const std::string& file, const std::string& name, int nx, int ny) {
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (!f)
        return;
    const double h = 0.01;
    std::fprintf(f, "*model<%s, 2, 1 >\n*title< Grid %d x %d nodes >\n", name.c_str(), nx, ny);
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i)
            std::fprintf(f, "*node<%d, 0, %.6f, %.6f, 0 >\n", j * nx + i + 1, i * h, j * h);
    int element = 0;
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            const int n1 = j * nx + i + 1;
            std::fprintf(f, "*quad4<%d, 1, 2, %d, %d, %d, %d,0 >\n", ++element, n1, n1 + 1,
                         n1 + nx + 1, n1 + nx);
        }
    std::fprintf(f, "*property<1, 2e11, 0.3, 7800 >\n");
    for (int j = 0; j < ny; ++j)
        std::fprintf(f, "*constraint<%d, %d, 0.0, 0.0 >\n", j + 1, j * nx + 1);
    for (int j = 0; j < ny; ++j)
        std::fprintf(f, "*force<%d, %d, 0, 0.0, -100.0 >\n", j + 1, j * nx + nx);
    std::fprintf(f, "*thickness<0.01 >\n*print<0,0,0,0,0,0,0,0,0,0,1,1,0 >\n");
    std::fprintf(f, "*output<2,0,2,2,0,0 >\n");
    std::fclose(f);
}
