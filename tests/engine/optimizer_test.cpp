#include "optimizer/optimizer.h"
#include "support/processrun.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using enginetest::runProgram;
using optimtest::readFile;
using optimtest::ScratchDir;
using optimtest::writeFile;

namespace {

// ---- The stop test on synthetic histories ----

struct StopCase {
    const char* name;
    int k;
    std::vector<double> compliance; // C_0 .. C_(k-1)
    double volumeTenAgo;            // V_(k-10); every other volume is on the target
    int maxIterations;
    int expected;
    friend void PrintTo(const StopCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<double> flat(int k, double c = 1.0) {
    return std::vector<double>(k, c);
}

std::vector<double> withTail(std::vector<double> c, std::vector<double> tail) {
    std::copy(tail.begin(), tail.end(), c.end() - static_cast<long>(tail.size()));
    return c;
}

class StopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopTest, SyntheticHistories) {
    const StopCase& c = GetParam();
    std::vector<HistoryRecord> history;
    for (int j = 0; j < c.k; ++j)
        history.push_back(
            {j, j == c.k - 10 ? c.volumeTenAgo : 0.5, c.compliance[static_cast<std::size_t>(j)]});
    // 100 elements, V* = 0.5, tau = 0.001
    EXPECT_EQ(COptimizer::stopTest(history, c.k, c.maxIterations, 0.5, 0.001, 100, KeepGoing),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StopTest,
    ::testing::Values(
        StopCase{"TenIterationsNeverConverge", 10, flat(10), 0.5, 50, KeepGoing},
        // The earliest convergence: k = 11, reported as iteration k - 1 = 10.
        StopCase{"EarliestConvergenceAfterElevenIterations", 11, flat(11), 0.5, 50, Converged},
        StopCase{"LimitReached", 20, flat(20), 0.9, 20, MaxIterationsReached},
        StopCase{"VolumeEightElementsAwayConverges", 15, flat(15), 0.585, 50, Converged},
        StopCase{"VolumeNineElementsAwayDoesNot", 15, flat(15), 0.595, 50, KeepGoing},
        StopCase{"FiveAndFiveDifferBeyondTolerance", 15,
                 withTail(flat(15), {1.01, 1.01, 1.01, 1.01, 1.01}), 0.5, 50, KeepGoing},
        // Both sums are 5, but the last step changed the compliance by 2 % > 10 tau.
        StopCase{"LateJumpKeepsItRunning", 15, withTail(flat(15), {0.99, 1.01}), 0.5, 50,
                 KeepGoing},
        StopCase{"ZeroComplianceNeverConverges", 15, flat(15, 0.0), 0.5, 50, KeepGoing},
        StopCase{"ZeroComplianceEndsAtTheLimit", 15, flat(15, 0.0), 0.5, 15, MaxIterationsReached},
        StopCase{"StepFromZeroIsAJump", 15, withTail(flat(15, 0.0), {0.0, 1e-9}), 0.5, 50,
                 KeepGoing}),
    [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

// ---- Whole runs of the real program ----

const std::string Model = "cantilever40x20.txt";

std::string parameters(int maxIterations) {
    return "=Parameters for the test=\n*Model<BMesh>\n*EvoVolRatio<0.02>\n*FilterRadius<0.06>\n"
           "*ConvTolerance<0.001>\n*MaxIter<" +
           std::to_string(maxIterations) + ">\n*ObjVolFraction<0.5>\n";
}

/// Copies the test model into the current directory and runs topax on it with these parameters.
enginetest::ProcessResult optimize(const ScratchDir& dir, int maxIterations) {
    if (!fs::exists(Model))
        fs::copy_file(fs::path(TOPAX_TESTDATA_DIR) / Model, Model);
    writeFile("Parameters.txt", parameters(maxIterations));
    return runProgram(TOPAX_EXE, {Model, "Parameters.txt"}, dir.path());
}

std::set<std::string> directoryEntries() {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(fs::current_path()))
        names.insert(entry.path().filename().string());
    return names;
}

std::string label(int k) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", k);
    return text;
}

struct ResultLine {
    int iteration;
    double volume, compliance;
};

/// The iteration lines of a "Result.txt" (after the "Start" line), and the number of headers.
std::vector<ResultLine> resultLines(const std::string& text, int* headers = nullptr) {
    std::istringstream in(text);
    std::vector<ResultLine> lines;
    std::string line;
    int headerCount = 0;
    bool started = false;
    while (std::getline(in, line)) {
        if (line.rfind("Bi-directional", 0) == 0)
            ++headerCount;
        if (line.rfind("   Start", 0) == 0) {
            started = true;
            continue;
        }
        if (!started)
            continue;
        ResultLine r{};
        std::istringstream fields(line);
        fields >> r.iteration >> r.volume >> r.compliance;
        EXPECT_TRUE(fields) << line;
        lines.push_back(r);
    }
    if (headers)
        *headers = headerCount;
    return lines;
}

int countOf(const std::string& text, const std::string& word) {
    int n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

TEST(OptimizerRun, FreshRunOfFiveIterationsLeavesExactlyItsFiles) {
    ScratchDir dir("optim-fresh");
    // Leftovers of an earlier run go, other files stay.
    for (const char* stale : {"BMesh512.txt", "BMeshDOMAIN.txt", "old.vms", "old.ndp", "x.log",
                              "Report.txt", "Iteration.txt", "BMesh009alp.bin"})
        writeFile(stale, "stale");
    writeFile("BMeshA.txt", "kept");
    writeFile("Result.txt", "replaced by the header");

    const auto run = optimize(dir, 5);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    std::set<std::string> expected = {
        Model,        "Parameters.txt", "BMeshA.txt", "BMeshDOMAIN.txt", "BMesh005alp.bin",
        "Filter.bin", "Result.bin",     "Result.txt", "Iteration.txt",   "Report.txt"};
    for (int k = 0; k <= 5; ++k)
        expected.insert("BMesh" + label(k) + ".txt");
    for (int k = 0; k < 5; ++k) {
        expected.insert("BMesh" + label(k) + ".ndp");
        expected.insert("BMesh" + label(k) + ".vms");
    }
    EXPECT_EQ(directoryEntries(), expected);

    EXPECT_EQ(fs::file_size("Result.bin"), 4u + 20u * 5u);
    EXPECT_EQ(fs::file_size("BMesh005alp.bin"), 8u * 800u);
    EXPECT_EQ(readFile("Iteration.txt"), "  4");
    int headers = 0;
    const auto lines = resultLines(readFile("Result.txt"), &headers);
    EXPECT_EQ(headers, 1);
    ASSERT_EQ(lines.size(), 5u);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(lines[static_cast<std::size_t>(k)].iteration, k);
    const std::string report = readFile("Report.txt");
    EXPECT_NE(report.find("Model: BMesh\n"), std::string::npos);
    EXPECT_NE(report.find("Total iterations used:   5\n"
                          "Optimization stopped due to maximum iteration number reached.\n"),
              std::string::npos);

    // Console: the iterations 000 to 004, equal stamps closing the step and the iteration.
    EXPECT_NE(run.out.find("=============\nBEGIN OF TOPAX\n=============\n"), std::string::npos);
    EXPECT_EQ(countOf(run.out, "] BEGIN OF ITERATION "), 5);
    EXPECT_NE(run.out.find("] BEGIN OF ITERATION 004\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nMaximum iteration number 5 reached. Iteration ended.\n\n"),
              std::string::npos);
    for (auto at = run.out.find("] END OF OPTIMIZATION STEP\n"); at != std::string::npos;
         at = run.out.find("] END OF OPTIMIZATION STEP\n", at + 1)) {
        const std::string stepStamp = run.out.substr(at - 8, 8);
        const auto next = run.out.find("] END OF ITERATION ", at);
        ASSERT_NE(next, std::string::npos);
        EXPECT_EQ(run.out.substr(next - 8, 8), stepStamp);
    }
    // The domain file holds the level table and every element at the initial level 2.
    const std::string domain = readFile("BMeshDOMAIN.txt");
    EXPECT_EQ(domain.rfind("*model<BMeshDOMAIN, 2, 1 >\n", 0), 0u);
    EXPECT_NE(domain.find("*property< 1, 200.000000, 0.300000, 7.800000 >\n"), std::string::npos);
    EXPECT_EQ(countOf(domain, "*quad4<"), 800);
    EXPECT_EQ(countOf(domain, ", 2, 2,"), 800);
    EXPECT_NE(domain.find("*output< 2, 0, 2, 1, 0, 0 >\n"), std::string::npos);
}

// The whole run of the 40 x 20 cantilever (V* 0.5, ER 0.02, R three element widths, tau 0.001)
// against its checked history. Hand checks of the golden file: iteration 0 is the solid beam,
// 9.90e-3 J against 9.56e-3 J of Timoshenko beam theory (P^2 L^3 / 6EI plus the shear term; the
// clamped edge and the point load make the plate softer); every volume is (n + 0.001 (800 - n))
// / 800 for a whole number n of solid elements (1.0, 0.977522 = 782 solid, ...); volumes fall by
// about ER per step to V* and then stay within eight elements of it; the compliance rises as
// material goes and settles; the last ten compliances satisfy the convergence rule.
TEST(OptimizerRun, SmallCantileverMatchesItsCheckedHistoryAndConverges) {
    ScratchDir dir("optim-golden");
    const auto run = optimize(dir, 200);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto golden =
        resultLines(readFile(fs::path(TOPAX_TESTDATA_DIR) / "cantilever40x20-Result.txt"));
    const auto lines = resultLines(readFile("Result.txt"));
    ASSERT_EQ(lines.size(), golden.size());
    for (std::size_t j = 0; j < lines.size(); ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(lines[j].iteration, golden[j].iteration);
        EXPECT_NEAR(lines[j].volume, golden[j].volume, 1e-6); // printed digits
        EXPECT_NEAR(lines[j].compliance, golden[j].compliance, 1e-5 * golden[j].compliance);
    }
    const int k = static_cast<int>(lines.size());
    char message[96];
    std::snprintf(message, sizeof message,
                  "\nSolution converged at iteration %d. Optimization finished.\n\n", k - 1);
    EXPECT_NE(run.out.find(message), std::string::npos);
    EXPECT_NE(readFile("Report.txt").find("Optimization stopped due to solution converged.\n"),
              std::string::npos);
    EXPECT_LE(std::fabs(lines[static_cast<std::size_t>(k - 10)].volume - 0.5) * 800, 8.0);
}

TEST(OptimizerRun, ResumedRunContinuesAsIfUninterrupted) {
    ScratchDir reference("optim-straight");
    ASSERT_EQ(optimize(reference, 8).exitCode, 0);
    const auto straight = resultLines(readFile("Result.txt"));

    ScratchDir dir("optim-resume");
    ASSERT_EQ(optimize(dir, 5).exitCode, 0);
    const auto resumed = optimize(dir, 8);
    ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
    // The stored filter is reused, and the run picks up at iteration 5.
    EXPECT_EQ(resumed.out.find("Building filter scheme"), std::string::npos);
    EXPECT_EQ(resumed.out.find("BEGIN OF ITERATION 004"), std::string::npos);
    EXPECT_NE(resumed.out.find("BEGIN OF ITERATION 005"), std::string::npos);
    int headers = 0;
    const auto lines = resultLines(readFile("Result.txt"), &headers);
    EXPECT_EQ(headers, 1); // appended, not replaced
    ASSERT_EQ(lines.size(), straight.size());
    for (std::size_t j = 0; j < lines.size(); ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(lines[j].iteration, straight[j].iteration);
        EXPECT_EQ(lines[j].volume, straight[j].volume);
        EXPECT_NEAR(lines[j].compliance, straight[j].compliance, 1e-6 * straight[j].compliance);
    }
    EXPECT_EQ(readFile("BMesh008.txt"), readFile(reference.path() / "BMesh008.txt"));

    // The same maximum again: nothing to do, the final files are written again unchanged.
    const std::string history = readFile("Result.txt");
    const std::string alpha = readFile("BMesh008alp.bin");
    const auto again = optimize(dir, 8);
    ASSERT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(again.out.find("BEGIN OF ITERATION"), std::string::npos);
    EXPECT_NE(again.out.find("Maximum iteration number 8 reached. Iteration ended."),
              std::string::npos);
    EXPECT_EQ(readFile("Result.txt"), history);
    EXPECT_EQ(readFile("BMesh008alp.bin"), alpha);
    EXPECT_NE(readFile("Report.txt").find("Total iterations used:   8\n"), std::string::npos);

    // A history longer than the new maximum stops at once as well and keeps every record.
    const auto fewer = optimize(dir, 3);
    ASSERT_EQ(fewer.exitCode, 0) << fewer.err;
    EXPECT_EQ(fewer.out.find("BEGIN OF ITERATION"), std::string::npos);
    EXPECT_EQ(fs::file_size("Result.bin"), 4u + 20u * 8u);
    EXPECT_NE(readFile("Report.txt")
                  .find("Total iterations used:   8\n"
                        "Optimization stopped due to maximum iteration"),
              std::string::npos);
}

struct DamageCase {
    const char* name;
    const char* file;
    int keepBytes; // -1: delete the file
    int exitCode;
    const char* text; // expected in stderr (exit 1) or stdout (exit 0)
    friend void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedWorkFiles : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedWorkFiles, ResumeNeverReadsGarbage) {
    const DamageCase& c = GetParam();
    ScratchDir dir("optim-damaged");
    ASSERT_EQ(optimize(dir, 2).exitCode, 0);
    if (c.keepBytes < 0)
        fs::remove(c.file);
    else
        writeFile(c.file, readFile(c.file).substr(0, static_cast<std::size_t>(c.keepBytes)));
    const auto run = optimize(dir, 3);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.text), std::string::npos)
        << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedWorkFiles,
    ::testing::Values(DamageCase{"TruncatedFilterIsBuiltAgain", "Filter.bin", 1000, 0,
                                 "Building filter scheme... Done."},
                      DamageCase{"MissingFilterIsBuiltAgain", "Filter.bin", -1, 0,
                                 "Building filter scheme... Done."},
                      DamageCase{"TruncatedHistory", "Result.bin", 30, 1, "Result.bin is damaged"},
                      DamageCase{"TruncatedSensitivities", "BMesh002alp.bin", 100, 1,
                                 "BMesh002alp.bin holds 100 bytes, expected 6400"},
                      DamageCase{
                          "MissingSensitivities", "BMesh002alp.bin", -1, 1,
                          "Reading element sensitivities error: sensitivity file not found."}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(OptimizerRun, ModelWithoutLoadsEndsByTheIterationLimit) {
    ScratchDir dir("optim-noload");
    std::string model = readFile(fs::path(TOPAX_TESTDATA_DIR) / Model);
    model.replace(model.find("*force<"), 7, "no force ");
    writeFile(Model, model);
    const auto run = optimize(dir, 12);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string history = readFile("Result.txt");
    EXPECT_EQ(resultLines(history).size(), 12u);
    for (const char* bad : {"nan", "NAN", "inf", "INF"})
        EXPECT_EQ(history.find(bad), std::string::npos) << bad;
    EXPECT_NE(readFile("Report.txt").find("maximum iteration number reached"), std::string::npos);
}

TEST(OptimizerRun, ParameterErrorsAreReportedTogetherBeforeAnyFileIsTouched) {
    ScratchDir dir("optim-params");
    fs::copy_file(fs::path(TOPAX_TESTDATA_DIR) / Model, Model);
    writeFile("Parameters.txt", "*Model<BMesh>\n*MaxIter<0>\n*ARmax<1>\n");
    writeFile("Report.txt", "earlier report");
    const auto run = runProgram(TOPAX_EXE, {Model, "Parameters.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "TOPAX Engine Version 1.2 Beta: Reading parameters error: \n\n"
                       "*Maxiter<...>\n*ObjVolFraction<...>\n*EvoVolRatio<...>\n*ARmax<...>\n"
                       "*ConvTolerance<...>\n*FilterRadius<...>\n\n\n");
    EXPECT_EQ(readFile("Report.txt"), "earlier report");
    EXPECT_EQ(directoryEntries(), (std::set<std::string>{Model, "Parameters.txt", "Report.txt"}));
}

} // namespace
