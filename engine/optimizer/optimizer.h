#pragma once

#include "fea/cmesh.h"
#include "optimizationfiles.h"
#include "optimizationparameters.h"
#include "sensitivityfilter.h"

#include <span>
#include <string>
#include <vector>

/// One bi-directional evolutionary optimization run: reads the parameters and the model, then
/// repeats analysis, sensitivity numbers, volume target and design update until the iteration
/// limit or convergence, leaving the history and the designs in the current directory. A run
/// started where a finished run left its "Result.bin" continues that run.
///
/// The optimizer owns two models: the domain model read from the model file (with the level
/// materials and the element sizes) and the working model, the design that is analysed and
/// updated. Analyses run on the working model through CAnalysisTask, which does not own it.
class COptimizer {
public:
    COptimizer(std::string modelFile, std::string parameterFile);

    /// Runs the whole optimization and returns the status (0 after a completed run; every error
    /// ends the process through FatalError).
    int run();

    /// The stop test after k completed iterations of `history` (record j is iteration j):
    /// returns the stop reason, starting from `reason`. Convergence needs more than ten
    /// iterations, the design analysed ten iterations ago within eight elements' worth of the
    /// target volume, the last five compliances within `tolerance` of the five before, and no
    /// last step larger than ten times the tolerance. Zero compliances never divide: a zero sum
    /// does not converge, and any change from a zero compliance counts as a jump.
    static int stopTest(std::span<const HistoryRecord> history, int k, int maxIterations,
                        double targetVolume, double tolerance, int elementCount, int reason);

private:
    void readParameters();
    void preProcess();
    void setUpDomain();
    void restoreWorkingModel();
    void iterate();
    void finish();

    int status_ = 0;
    std::string modelFile_;
    std::string parameterFile_;
    OptimizationParameters parameters_;
    CMesh domain_;
    CMesh working_;
    SensitivityFilter filter_;
    std::vector<double> alpha_;
    std::vector<double> alphaPrevious_;
    std::vector<HistoryRecord> history_;
    int k_ = 0;
    int stopReason_ = KeepGoing;
    double removed_ = 0.0;     ///< c = 1 - V of the design last analysed
    double nextRemoved_ = 0.0; ///< c_next = 1 - V_next of the next design
};
