#include "analysistask.h"

#include "fatalerror.h"
#include "runcontrol.h"

#include <cstdio>
#include <ctime>
#include <fstream>

CAnalysisTask::CAnalysisTask(const std::string& modelFile)
    : modelFile_(modelFile), ownedModel_(std::make_unique<CMesh>()), model_(ownedModel_.get()),
      ownsModel_(true) {}

CAnalysisTask::CAnalysisTask(CMesh& model) : modelFile_(model.name), model_(&model) {}

std::string CAnalysisTask::elapsedTimeLine(long seconds) {
    const long h = seconds / 3600, r = seconds % 3600, m = r / 60, s = r % 60;
    char line[96];
    if (h > 0)
        std::snprintf(line, sizeof line,
                      "FEA finished, time consumed = %3ld hr %3ld min %3ld sec\n", h, m, s);
    else if (m > 0)
        std::snprintf(line, sizeof line, "FEA finished, time consumed = %3ld min %3ld sec\n", m, s);
    else
        std::snprintf(line, sizeof line, "FEA finished, time consumed = %3ld sec\n", s);
    return line;
}

int CAnalysisTask::run() {
    const std::time_t t0 = std::time(nullptr);
    if (status_ == 0) {
        if (type_ == 1)
            analyse();
        else if (type_ == 0)
            std::printf("No task has been performed.\n\n");
        else
            FatalError("Analysis error: unidentified task.");
    }
    const std::time_t t1 = std::time(nullptr);
    if (type_ == 1 && ownsModel_) {
        std::ofstream log(model_->name + ".log", std::ios::trunc);
        log << elapsedTimeLine(static_cast<long>(t1 - t0));
    }
    std::fflush(stdout);
    return status_;
}

void CAnalysisTask::analyse() {
    std::printf("[%s] BEGIN OF ANALYSIS\n", timeStamp().c_str());
    read();
    compute();
    print();
    std::printf("[%s] END OF ANALYSIS\n", timeStamp().c_str());
}

void CAnalysisTask::read() {
    CMesh& m = *model_;
    if (m.elements.empty()) {
        m.readModel(modelFile_);
        return;
    }
    // A model already in memory (the optimizer's working model) is checked and cleared of the
    // files and arrays of its previous analysis.
    if (static_cast<int>(m.nodes.size()) > MaxNodes)
        FatalError("Input error: number of nodes exceeded.");
    m.deleteStaleFiles();
    m.releaseSolverArrays();
    if (m.problemType == 0)
        FatalError("Input error: problem type is zero.");
    if (m.analysisType == 0)
        FatalError("Input error: analysis type is zero.");
}

void CAnalysisTask::compute() {
    CMesh& m = *model_;
    if (m.analysisType == 0)
        FatalError("Input error: analysis type is zero.");
    // Four-node elements have a formulation only in plane stress and plane strain models.
    m.checkElementFormulation();
    m.numberEquations();
    m.allocateEquationArrays();
    m.buildProfile();
    m.assembleStiffness();
    if (m.analysisType == 1)
        m.assembleLoads();
    m.factorize();
    if (m.analysisType != 1)
        return;
    m.solve();
    m.storeDisplacements();
    const auto& out = m.outputSwitches;
    const auto& prt = m.printSwitches;
    if (out[0] == 2)
        m.writeDisplacementFile();
    if (out[1] != 0 || out[2] != 0 || prt[7] != 0 || prt[8] != 0)
        m.computeStresses();
    if (out[1] == 2)
        m.writeGaussPointFile();
    if (out[2] == 2)
        m.writeVonMisesFile();
    if (out[3] != 0) {
        m.computeStrainEnergy();
        if (out[3] == 2)
            m.writeStrainEnergyFile();
    }
}

void CAnalysisTask::print() {
    const CMesh& m = *model_;
    const auto& prt = m.printSwitches;
    int sum = 0;
    for (int k = 0; k <= 9; ++k)
        sum += prt[static_cast<std::size_t>(k)];
    if (type_ != 1 || sum <= 0)
        return;
    std::printf("Printing results... ");
    m.printHeader();
    m.printTitle();
    m.printThickness();
    m.printEquationCount();
    if (prt[0] != 0)
        m.printSystems();
    if (prt[1] != 0)
        m.printNodes(prt[10]);
    if (prt[2] != 0)
        m.printElements(prt[11]);
    if (prt[3] != 0)
        m.printProperties();
    if (prt[4] != 0)
        m.printConstraints();
    if (prt[5] != 0)
        m.printLoads();
    if (prt[6] != 0)
        m.printDisplacements(prt[10]);
    if (prt[7] != 0)
        m.printVonMises(prt[11]);
    if (prt[8] != 0)
        m.printGaussPointStresses(prt[11], prt[12]);
    std::printf("Done.\n");
}
