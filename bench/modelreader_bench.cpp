#include "fea/cmesh.h"

#include "gridmodel.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// A grid model written with generation records: the first node of each row and one *gnode per
// row, the first element of each row and one *gquad4 per row. Node ids run row by row, but the
// table holds the row starts first, so look-ups cannot use the id as the position.
void writeGeneratedModel(const std::string& file, int nx, int ny) {
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (!f)
        return;
    std::fprintf(f, "*model<generated, 2, 1 >\n");
    for (int j = 0; j < ny; ++j)
        std::fprintf(f, "*node<%d, 0, 0.0, %.6f, 0 >\n*gnode<%d, %d, %d, 0.01, 0.0 >\n", j * nx + 1,
                     j * 0.01, nx - 1, j * nx + 1, j * nx + 2);
    for (int j = 0; j + 1 < ny; ++j) {
        const int n1 = j * nx + 1;
        const int e1 = j * (nx - 1) + 1;
        std::fprintf(f, "*quad4<%d, 1, 2, %d, %d, %d, %d, 0 >\n", e1, n1, n1 + 1, n1 + nx + 1,
                     n1 + nx);
        std::fprintf(f, "*gquad4<%d, %d, %d, 1, 1, 1, 1, 0 >\n", nx - 2, e1, e1 + 1);
    }
    std::fprintf(f, "*property<1, 2e11, 0.3, 7800 >\n*force<1, %d, 0, 0.0, -1.0 >\n", nx);
    std::fclose(f);
}

std::string scratchFile(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("topax-bench-" + std::to_string(::getpid()) + "-" + name))
        .string();
}

// Reading a 200 x 100 node model (20000 nodes, the limit) as the workbench writes it.
void readWorkbenchModel(benchmark::State& state) {
    const std::string file = scratchFile("workbench.txt");
    writeGridModel(file, "bench", 200, 100);
    for (auto _ : state) {
        CMesh mesh;
        mesh.readModel(file);
        benchmark::DoNotOptimize(mesh.nodes.data());
    }
    std::filesystem::remove(file);
}
BENCHMARK(readWorkbenchModel)->Unit(benchmark::kMillisecond);

// The same grid from generation records, node ids out of table order.
void readGeneratedModel(benchmark::State& state) {
    const std::string file = scratchFile("generated.txt");
    writeGeneratedModel(file, 200, 100);
    for (auto _ : state) {
        CMesh mesh;
        mesh.readModel(file);
        benchmark::DoNotOptimize(mesh.nodes.data());
    }
    std::filesystem::remove(file);
}
BENCHMARK(readGeneratedModel)->Unit(benchmark::kMillisecond);

} // namespace
