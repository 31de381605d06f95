#include "optimizer.h"

#include "analysistask.h"
#include "designupdate.h"
#include "fatalerror.h"
#include "runcontrol.h"
#include "snapshotwriter.h"

#include <cmath>
#include <cstdio>
#include <utility>

COptimizer::COptimizer(std::string modelFile, std::string parameterFile)
    : modelFile_(std::move(modelFile)), parameterFile_(std::move(parameterFile)) {}

int COptimizer::run() {
    std::printf("=============\nBEGIN OF TOPAX\n=============\n");
    readParameters();
    preProcess();
    const auto evaluateStop = [this] {
        stopReason_ = stopTest(history_, k_, parameters_.maxIterations, parameters_.volumeFraction,
                               parameters_.convTolerance, static_cast<int>(domain_.elements.size()),
                               stopReason_);
        return stopReason_;
    };
    while (evaluateStop() == KeepGoing) {
        iterate();
        ++k_;
    }
    finish();
    std::printf("===========\nEND OF TOPAX\n===========\n\n");
    std::fflush(stdout);
    return status_;
}

int COptimizer::stopTest(std::span<const HistoryRecord> history, int k, int maxIterations,
                         double targetVolume, double tolerance, int elementCount, int reason) {
    if (k >= maxIterations)
        return MaxIterationsReached;
    if (k <= 10)
        return reason;
    const auto c = [&history, k](int back) {
        return history[static_cast<std::size_t>(k - back)].compliance;
    };
    const double volumeGap =
        std::fabs(history[static_cast<std::size_t>(k - 10)].volumeFraction - targetVolume) *
        elementCount;
    if (std::trunc(volumeGap) <= 8.0) {
        const double recent = c(1) + c(2) + c(3) + c(4) + c(5);
        const double earlier = c(6) + c(7) + c(8) + c(9) + c(10);
        if (recent != 0.0 && std::fabs(recent - earlier) / std::fabs(recent) <= tolerance)
            reason = Converged;
    }
    const double step = std::fabs(c(1) - c(2));
    const bool jump = c(2) != 0.0 ? step / c(2) > 10.0 * tolerance : step != 0.0;
    if (jump)
        reason = KeepGoing;
    return reason;
}

void COptimizer::readParameters() {
    status_ = 1; // a failed read ends the process through FatalError with this status
    parameters_.read(parameterFile_);
    status_ = 0;
}

void COptimizer::preProcess() {
    std::printf("\n[%s] BEGIN OF PRE-PROCESS\n", timeStamp().c_str());
    domain_.readModel(modelFile_);
    if (domain_.elements.empty())
        FatalError("Optimization error: the model " + modelFile_ + " holds no elements.");
    SensitivityFilter::computeElementSizes(domain_);
    alpha_.assign(domain_.elements.size(), 0.0);
    alphaPrevious_.assign(domain_.elements.size(), 0.0);

    OptimizationFiles::readResultBinary(history_);
    k_ = static_cast<int>(history_.size());
    const std::string& model = parameters_.modelName;
    if (k_ == 0)
        OptimizationFiles::cleanWorkingDirectory(model);

    setUpDomain();

    // A resumed run reuses the stored filter when it fits this model and radius.
    if (k_ == 0 || !filter_.read(SensitivityFilter::FileName, domain_, parameters_.filterRadius)) {
        status_ = 1; // the build reports a radius error itself
        filter_.build(domain_, parameters_.filterRadius);
        status_ = 0;
    }

    if (k_ == 0) {
        OptimizationFiles::writeResultHeader(model, parameters_.objective, dateStamp(),
                                             timeStamp());
        SnapshotWriter::copyMesh(domain_, working_);
    } else {
        restoreWorkingModel();
    }
    std::printf("[%s] END OF PRE-PROCESS\n", timeStamp().c_str());
    std::fflush(stdout);
}

void COptimizer::setUpDomain() {
    domain_.name = parameters_.modelName + "DOMAIN";
    if (parameters_.objective == MaxFrequency) {
        domain_.analysisType = 2;
        domain_.outputSwitches = {0, 0, 0, 0, 2, 1};
    } else {
        domain_.analysisType = 1;
        // displacements and von Mises stresses written, strain energies computed
        domain_.outputSwitches = {2, 0, 2, 1, 0, 0};
    }
    domain_.printSwitches = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0};
    DesignUpdate::setupLevels(domain_, parameters_);
    SnapshotWriter::writeSnapshot(domain_);
}

void COptimizer::restoreWorkingModel() {
    const std::string label = iterationLabel(k_);
    const std::string snapshot = parameters_.modelName + label + ".txt";
    working_.readModel(snapshot);
    if (working_.nodes.size() != domain_.nodes.size() ||
        working_.elements.size() != domain_.elements.size())
        FatalErrorF("Optimization error: snapshot %s holds %zu nodes and %zu elements, the model "
                    "%zu and %zu.",
                    snapshot.c_str(), working_.nodes.size(), working_.elements.size(),
                    domain_.nodes.size(), domain_.elements.size());
    for (const CElement& e : working_.elements)
        if (e.property < 1 || e.property > parameters_.levelCount)
            FatalErrorF("Optimization error: element %d of snapshot %s has density level %d "
                        "outside 1 to %d.",
                        e.id, snapshot.c_str(), e.property, parameters_.levelCount);
    // The snapshot keeps six decimals of each material constant; the level table of this run is
    // the exact one (a tiny modulus would otherwise come back as 0).
    working_.properties = domain_.properties;
    OptimizationFiles::readSensitivities(
        OptimizationFiles::sensitivityFileName(parameters_.modelName, label),
        domain_.elements.size(), alphaPrevious_);
}

void COptimizer::iterate() {
    const std::string label = iterationLabel(k_);
    std::printf("\n[%s] BEGIN OF ITERATION %s\n", timeStamp().c_str(), label.c_str());
    std::fflush(stdout);

    working_.name = parameters_.modelName + label;
    SnapshotWriter::writeSnapshot(working_);

    {
        CAnalysisTask task(working_);
        status_ = task.run();
    }
    if (status_ != 0) {
        OptimizationFiles::writeReport(parameters_.modelName, k_, stopReason_);
        FatalError("Optimization error: FEA failed.");
    }

    std::printf("[%s] BEGIN OF OPTIMIZATION STEP\n", timeStamp().c_str());
    filter_.computeSensitivities(working_, domain_, parameters_.levelCount, parameters_.penalty,
                                 parameters_.objective, k_, alpha_, alphaPrevious_);

    const std::vector<double> relative =
        DesignUpdate::relativeDensities(working_, parameters_.levelCount);
    const double volume = DesignUpdate::volumeFraction(working_, relative);
    const double nextVolume = DesignUpdate::nextVolume(volume, parameters_);
    removed_ = 1.0 - volume;
    nextRemoved_ = 1.0 - nextVolume;

    std::printf("Calling TOPAX core... ");
    std::fflush(stdout);
    DesignUpdate::updateLevels(working_, alpha_, volume, nextVolume, parameters_);
    std::printf("Done.\n");

    history_.push_back({k_, 1.0 - removed_, working_.totalStrainEnergy});
    OptimizationFiles::appendResultLine(history_.back(), timeStamp());
    OptimizationFiles::writeIteration(k_);

    const std::string stamp = timeStamp();
    std::printf("[%s] END OF OPTIMIZATION STEP\n", stamp.c_str());
    std::printf("[%s] END OF ITERATION %s\n", stamp.c_str(), label.c_str());
    std::fflush(stdout);
}

void COptimizer::finish() {
    const std::string label = iterationLabel(k_);
    working_.name = parameters_.modelName + label;
    SnapshotWriter::writeSnapshot(working_);
    // After every sensitivity step the previous numbers equal the current ones; they also hold
    // the restored numbers when a resumed run stops before its first iteration.
    OptimizationFiles::writeSensitivities(
        OptimizationFiles::sensitivityFileName(parameters_.modelName, label), alphaPrevious_);
    OptimizationFiles::writeResultBinary(history_);

    char message[160];
    if (stopReason_ == MaxIterationsReached)
        std::snprintf(message, sizeof message,
                      "Maximum iteration number %d reached. Iteration ended.",
                      parameters_.maxIterations);
    else
        std::snprintf(message, sizeof message,
                      "Solution converged at iteration %d. Optimization finished.", k_ - 1);
    std::printf("\n%s\n\n", message);
    OptimizationFiles::writeReport(parameters_.modelName, k_, stopReason_);
}
