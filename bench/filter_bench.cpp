// Speed of the optimizer's own work on the 200 x 100-node cantilever grid (199 x 99 elements)
// with a filter radius of three element widths, measured against one finite element analysis of
// the same model: the filter build (target: at most 0.1 x one analysis), one iteration's work
// besides the analysis (target: at most 0.15 x one analysis), and a whole 20-iteration run.

#include "analysistask.h"
#include "fea/cmesh.h"
#include "optimizer/designupdate.h"
#include "optimizer/optimizationfiles.h"
#include "optimizer/optimizationparameters.h"
#include "optimizer/optimizer.h"
#include "optimizer/sensitivityfilter.h"
#include "optimizer/snapshotwriter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int NodesX = 200, NodesY = 100;
constexpr double Width = 0.01; // element side in metres
constexpr double Radius = 3 * Width;

/// Cantilever: left edge fixed, a downward force at the middle of the right edge.
CMesh cantilever() {
    CMesh mesh;
    mesh.name = "bench";
    mesh.problemType = PlaneStress2D;
    mesh.analysisType = 1;
    mesh.thickness = 0.01;
    for (int j = 0; j < NodesY; ++j)
        for (int i = 0; i < NodesX; ++i) {
            CNode n;
            n.id = j * NodesX + i + 1;
            n.x = i * Width;
            n.y = j * Width;
            mesh.nodes.push_back(n);
        }
    for (int j = 0; j + 1 < NodesY; ++j)
        for (int i = 0; i + 1 < NodesX; ++i) {
            const int n1 = j * NodesX + i + 1;
            const std::array<int, 8> values = {static_cast<int>(mesh.elements.size()) + 1,
                                               1,
                                               Quad4Incompatible,
                                               n1,
                                               n1 + 1,
                                               n1 + NodesX + 1,
                                               n1 + NodesX,
                                               0};
            CElement e;
            mesh.initElement(e, values);
            e.active = 1;
            e.inactive = 0;
            mesh.elements.push_back(e);
        }
    for (int j = 0; j < NodesY; ++j)
        mesh.constraints.push_back(CConstraint{j + 1, j * NodesX + 1, {0.0, 0.0, 0.0}});
    mesh.loads.push_back(
        CLoad{1, NodalForce, (NodesY / 2) * NodesX + NodesX, 0, 0, 0, {0.0, -1000.0, 0.0}});
    mesh.properties.push_back(CProperty{1, {2e11, 0.3, 7800.0}});
    return mesh;
}

OptimizationParameters parameters(int maxIterations) {
    OptimizationParameters p;
    p.modelName = "bench";
    p.maxIterations = maxIterations;
    p.volumeFraction = 0.5;
    p.convTolerance = 0.001;
    p.filterRadius = Radius;
    p.targetRemoved = 0.5;
    return p;
}

/// Runs the engine's console output into /dev/null while alive.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = ::dup(1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        ::dup2(saved_, 1);
        ::close(saved_);
    }

private:
    int saved_;
};

/// A scratch working directory for the files the optimizer writes.
class WorkDir {
public:
    WorkDir() : previous_(fs::current_path()) {
        path_ = fs::temp_directory_path() / ("topax-bench-" + std::to_string(::getpid()));
        fs::create_directories(path_);
        fs::current_path(path_);
    }
    ~WorkDir() {
        fs::current_path(previous_);
        fs::remove_all(path_);
    }

private:
    fs::path previous_, path_;
};

/// The domain with its level table and element sizes, and a working copy as the optimizer holds
/// them after the pre-process.
struct Prepared {
    OptimizationParameters p = parameters(20);
    CMesh domain = cantilever();
    CMesh working;
    Prepared() {
        domain.outputSwitches = {2, 0, 2, 1, 0, 0};
        SensitivityFilter::computeElementSizes(domain);
        DesignUpdate::setupLevels(domain, p);
        SnapshotWriter::copyMesh(domain, working);
    }
};

void BM_Analysis(benchmark::State& state) {
    WorkDir dir;
    Prepared prepared;
    QuietStdout quiet;
    for (auto _ : state) {
        CAnalysisTask task(prepared.working);
        benchmark::DoNotOptimize(task.run());
    }
}

void BM_FilterBuild(benchmark::State& state) {
    WorkDir dir;
    Prepared prepared;
    QuietStdout quiet;
    for (auto _ : state) {
        SensitivityFilter filter;
        filter.build(prepared.domain, Radius);
        benchmark::DoNotOptimize(filter.nodes.data());
    }
}

void BM_IterationWork(benchmark::State& state) {
    WorkDir dir;
    Prepared prepared;
    SensitivityFilter filter;
    {
        QuietStdout quiet;
        filter.build(prepared.domain, Radius);
        CAnalysisTask task(prepared.working);
        task.run();
    }
    const OptimizationParameters& p = prepared.p;
    std::vector<double> alpha, previous(prepared.domain.elements.size(), 0.0);
    std::vector<HistoryRecord> history;
    OptimizationFiles::writeResultHeader("bench", MaxStiffness, "01/01/27", "00:00:00");
    const std::vector<int> levels = [&] {
        std::vector<int> l;
        for (const CElement& e : prepared.working.elements)
            l.push_back(e.property);
        return l;
    }();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming(); // every round updates the same analysed design
        for (std::size_t e = 0; e < levels.size(); ++e)
            prepared.working.elements[e].property = levels[e];
        state.ResumeTiming();
        CMesh& w = prepared.working;
        w.name = "bench" + std::to_string(100 + k % 900);
        SnapshotWriter::writeSnapshot(w);
        filter.computeSensitivities(w, prepared.domain, p.levelCount, p.penalty, p.objective, k,
                                    alpha, previous);
        const std::vector<double> relative = DesignUpdate::relativeDensities(w, p.levelCount);
        const double volume = DesignUpdate::volumeFraction(w, relative);
        const double next = DesignUpdate::nextVolume(volume, p);
        DesignUpdate::updateLevels(w, alpha, volume, next, p);
        history.push_back({k, volume, w.totalStrainEnergy});
        OptimizationFiles::appendResultLine(history.back(), "00:00:00");
        OptimizationFiles::writeIteration(k);
        ++k;
    }
}

void BM_WholeRun20(benchmark::State& state) {
    WorkDir dir;
    {
        Prepared prepared;
        CMesh model = cantilever();
        model.name = "bench";
        model.outputSwitches = {2, 0, 2, 0, 0, 0};
        std::ofstream("bench.txt") << SnapshotWriter::snapshotText(model);
        std::ofstream("Parameters.txt")
            << "*Model<bench>\n*EvoVolRatio<0.02>\n*FilterRadius<0.03>\n"
               "*ConvTolerance<0.001>\n*MaxIter<20>\n*ObjVolFraction<0.5>\n";
    }
    QuietStdout quiet;
    for (auto _ : state) {
        fs::remove("Result.bin"); // a fresh run each time
        COptimizer optimizer("bench.txt", "Parameters.txt");
        benchmark::DoNotOptimize(optimizer.run());
    }
}

BENCHMARK(BM_Analysis)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FilterBuild)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_IterationWork)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_WholeRun20)->Unit(benchmark::kMillisecond)->Iterations(1);

/// Keeps the CPU and real time per iteration (milliseconds) of every benchmark while printing as
/// usual. The ratios use CPU time: the machine is shared, so wall time mostly measures the load.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> cpu, real;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
            real[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double analysis = reporter.cpu["BM_Analysis"];
    const double build = reporter.cpu["BM_FilterBuild"];
    const double work = reporter.cpu["BM_IterationWork"];
    const double whole = reporter.cpu["BM_WholeRun20"];
    std::printf("\nmodel: %d x %d nodes, %d elements, filter radius 3 element widths; CPU times\n",
                NodesX, NodesY, (NodesX - 1) * (NodesY - 1));
    std::printf("one analysis:            %10.2f ms\n", analysis);
    std::printf("filter build:            %10.2f ms  target <= %8.2f ms (0.10 x analysis)  "
                "ratio to target %.3f\n",
                build, 0.10 * analysis, build / (0.10 * analysis));
    std::printf("iteration work w/o FEA:  %10.2f ms  target <= %8.2f ms (0.15 x analysis)  "
                "ratio to target %.3f\n",
                work, 0.15 * analysis, work / (0.15 * analysis));
    std::printf("whole 20-iteration run:  %10.2f ms  = %.2f analyses (20 analyses + the rest)\n",
                whole, whole / analysis);
    benchmark::Shutdown();
    return 0;
}
