#include "optimizer/optimizationfiles.h"
#include "optimizer/optimizationparameters.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;
using optimtest::readFile;
using optimtest::ScratchDir;
using optimtest::writeFile;

namespace {

std::set<std::string> directoryEntries() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::current_path()))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(OptimizationFiles, TextFilesHaveTheirExactLayouts) {
    ScratchDir dir("files-text");
    OptimizationFiles::writeResultHeader("BMesh", MaxStiffness, "12/11/26", "12:34:56");
    OptimizationFiles::appendResultLine({3, 0.94, 12.5}, "12:35:01");
    OptimizationFiles::appendResultLine({104, 0.5, 0.000123456789}, "12:40:00");
    EXPECT_EQ(
        readFile("Result.txt"),
        "Bi-directional Evolutionary Structural Optimization:  TOPAX Engine Version 1.2 Beta\n"
        "Model: BMesh    Objective: Maximizing stiffness  \n"
        "Starting Date: 12/11/26   Time: 12:34:56 \n"
        "------------------------------------------------------------------------\n\n"
        "    Iter      VolFrac        mean Compliance            Time\n"
        "   Start                                              12:34:56\n"
        "       3     0.940000         1.250000E+01           12:35:01\n"
        "     104     0.500000         1.234568E-04           12:40:00\n");

    OptimizationFiles::writeResultHeader("M", MaxFrequency, "01/02/27", "00:00:01");
    EXPECT_NE(readFile("Result.txt").find("Model: M    Objective: Maximizing frequency  \n"),
              std::string::npos);

    OptimizationFiles::writeIteration(123);
    OptimizationFiles::writeIteration(7);
    EXPECT_EQ(readFile("Iteration.txt"), "  7");

    const std::string box = "\n"
                            "                    *******************************\n"
                            "                    *  TOPAX 1.2 Beta             *\n";
    const std::string head = "Bi-directional Evolutionary Structural Optimization:  TOPAX Engine "
                             "Version 1.2 Beta\nModel: BMesh\n"
                             "------------------------------------------------------------------"
                             "------\n\nTotal iterations used:  12\n";
    const struct {
        int reason;
        const char* line;
    } reports[] = {
        {Converged, "Optimization stopped due to solution converged.\n"},
        {MaxIterationsReached, "Optimization stopped due to maximum iteration number reached.\n"},
        {KeepGoing, "Optimization stopped due to FEA error.\n"}};
    for (const auto& r : reports) {
        SCOPED_TRACE(r.reason);
        OptimizationFiles::writeReport("BMesh", 12, r.reason);
        const std::string report = readFile("Report.txt");
        EXPECT_EQ(report.substr(0, head.size() + std::string(r.line).size() + box.size()),
                  head + r.line + box);
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'),
                  6 + 1 + 7); // blank line, then the seven-line box
    }
}

TEST(OptimizationFiles, ResultBinaryRoundTripsWithPackedRecords) {
    ScratchDir dir("files-bin");
    std::vector<HistoryRecord> history;
    EXPECT_FALSE(OptimizationFiles::readResultBinary(history));
    const std::vector<HistoryRecord> written = {{0, 1.0, 3.5}, {1, 0.98, 3.25}, {2, 0.9604, 3.0}};
    OptimizationFiles::writeResultBinary(written);
    EXPECT_EQ(fs::file_size("Result.bin"), 4u + 20u * 3u);
    ASSERT_TRUE(OptimizationFiles::readResultBinary(history));
    ASSERT_EQ(history.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(history[i].iteration, written[i].iteration);
        EXPECT_EQ(history[i].volumeFraction, written[i].volumeFraction);
        EXPECT_EQ(history[i].compliance, written[i].compliance);
    }

    OptimizationFiles::writeSensitivities("Malp.bin", {1.5, -2.0});
    std::vector<double> alpha;
    OptimizationFiles::readSensitivities("Malp.bin", 2, alpha);
    EXPECT_EQ(alpha, (std::vector<double>{1.5, -2.0}));
    EXPECT_EQ(OptimizationFiles::sensitivityFileName("BMesh", "012"), "BMesh012alp.bin");
}

TEST(OptimizationFilesDeathTest, DamagedWorkFilesEndInAClearFatalError) {
    ScratchDir dir("files-death");
    std::vector<HistoryRecord> history;
    std::vector<double> alpha;
    OptimizationFiles::writeResultBinary({{0, 1.0, 3.5}, {1, 0.98, 3.25}});
    const std::string full = readFile("Result.bin");
    writeFile("Result.bin", full.substr(0, full.size() - 3));
    EXPECT_EXIT(OptimizationFiles::readResultBinary(history), ::testing::ExitedWithCode(1),
                "TOPAX Engine Version 1.2 Beta: Reading history error: Result.bin is damaged");
    OptimizationFiles::writeResultBinary({{0, 1.0, 3.5}, {5, 0.98, 3.25}});
    EXPECT_EXIT(OptimizationFiles::readResultBinary(history), ::testing::ExitedWithCode(1),
                "record 1 holds iteration 5");
    writeFile("Result.bin", "\x01\x00");
    EXPECT_EXIT(OptimizationFiles::readResultBinary(history), ::testing::ExitedWithCode(1),
                "Result.bin is damaged");

    EXPECT_EXIT(OptimizationFiles::readSensitivities("Xalp.bin", 2, alpha),
                ::testing::ExitedWithCode(1),
                "Reading element sensitivities error: sensitivity file not found.");
    OptimizationFiles::writeSensitivities("Xalp.bin", {1.0});
    EXPECT_EXIT(OptimizationFiles::readSensitivities("Xalp.bin", 2, alpha),
                ::testing::ExitedWithCode(1), "Xalp.bin holds 8 bytes, expected 16");
}

TEST(OptimizationFiles, CleanUpDeletesExactlyTheFilesOfAnEarlierRun) {
    ScratchDir dir("files-clean");
    const std::vector<std::string> doomed = {"a.ndp",        "BMesh003.vms",    "Result.bin",
                                             "Filter.bin",   "BMesh012alp.bin", "x.log",
                                             "Report.txt",   "Iteration.txt",   "BMeshDOMAIN.txt",
                                             "BMesh000.txt", "BMesh512.txt",    "BMesh9.txt"};
    const std::vector<std::string> kept = {"Result.txt",        "BMesh.txt",      "BMeshA01.txt",
                                           "BMesh001.ndp.keep", "Parameters.txt", "topax",
                                           "OtherDOMAIN.txt",   "BMesh0.csv",     "bmesh001.txt"};
    for (const auto& name : doomed)
        writeFile(name, "x");
    for (const auto& name : kept)
        writeFile(name, "x");
    fs::create_directory("BMesh5.txt"); // a directory is never deleted
    OptimizationFiles::cleanWorkingDirectory("BMesh");
    std::set<std::string> expected(kept.begin(), kept.end());
    expected.insert("BMesh5.txt");
    EXPECT_EQ(directoryEntries(), expected);

    // Nothing to delete is no error; temp.ndp never survives.
    OptimizationFiles::cleanWorkingDirectory("BMesh");
    EXPECT_EQ(directoryEntries(), expected);
}

} // namespace
