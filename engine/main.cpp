#include "analysistask.h"
#include "fatalerror.h"
#include "optimizer/optimizer.h"
#include "runcontrol.h"

#include <cstdio>
#include <string>

namespace {

int runAnalysis(const std::string& modelFile) {
    CAnalysisTask task(modelFile);
    return task.run();
}

int runOptimization(const std::string& modelFile, const std::string& parameterFile) {
    COptimizer optimizer(modelFile, parameterFile);
    return optimizer.run();
}

void printOpeningBanner() {
    std::printf("\n*******************************\n");
    std::printf(" %s\n", VersionText);
    std::printf("*******************************\n\n");
}

void printClosingBox() {
    static constexpr const char* lines[] = {
        "*******************************", "*  TOPAX 1.2 Beta             *",
        "*  BESO topology optimization *", "*  with the Strukta workbench *",
        "*  Northfold structural tools *", "*  Questions: see README.md   *",
        "*******************************",
    };
    std::printf("\n");
    for (const char* line : lines)
        std::printf("%s\n", line);
}

} // namespace

int main(int argc, char** argv) {
    const int mode = argc == 2 ? 1 : argc == 3 ? 2 : 0;
    if (mode == 0)
        FatalError("Command usage error: number of command line arguments incorrect.");
    const std::string modelFile = argv[1];
    if (!fileExists(modelFile))
        FatalError("Command usage error: named model file does not exist.");
    const std::string parameterFile = mode == 2 ? argv[2] : "";
    if (mode == 2 && !fileExists(parameterFile))
        FatalError("Command usage error: named parameter file does not exist.");

    printOpeningBanner();
    std::fflush(stdout);
    const int result =
        mode == 1 ? runAnalysis(modelFile) : runOptimization(modelFile, parameterFile);
    printClosingBox();
    return result;
}
