#pragma once

#include "fea/cmesh.h"

#include <memory>
#include <string>

/// One linear-elastic analysis of one model: reads the model unless it is already in memory,
/// numbers, assembles, factorises and solves, derives the results the output switches ask for,
/// writes the result files and the listings, and stamps the run on standard output.
///
/// A stand-alone task owns a fresh model that it reads from the model file and releases with
/// itself; it also writes the elapsed time into the model name + ".log". A task created on an
/// existing model (the optimizer's working model) leaves that model to its owner, with the
/// displacements, stresses and strain energies of this analysis in it, and writes no log.
/// Every error ends the process through FatalError.
class CAnalysisTask {
public:
    /// Stand-alone analysis of the model in modelFile (task type 1, owns its model).
    explicit CAnalysisTask(const std::string& modelFile);
    /// Analysis of the caller's model, which must outlive the task (task type 1).
    explicit CAnalysisTask(CMesh& model);

    CAnalysisTask(const CAnalysisTask&) = delete;
    CAnalysisTask& operator=(const CAnalysisTask&) = delete;

    /// Runs the task once and returns its status (0: success).
    int run();

    /// The model the task works on.
    CMesh& model() { return *model_; }

    /// The ".log" line for an elapsed time in whole seconds, newline included.
    static std::string elapsedTimeLine(long seconds);

private:
    void analyse();
    void read();
    void compute();
    void print();

    int type_ = 1;
    int status_ = 0;
    std::string modelFile_;
    std::unique_ptr<CMesh> ownedModel_;
    CMesh* model_ = nullptr;
    bool ownsModel_ = false;
};
