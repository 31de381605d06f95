// Whole analyses through the real topax program.
#include "analysistask.h"
#include "support/processrun.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;
using enginetest::runProgram;
using optimtest::ScratchDir;

const fs::path ListingModel = fs::path(TOPAX_TESTDATA_DIR) / "analysis_listing.txt";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

bool isNumber(const std::string& token, double& value) {
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return !token.empty() && end == token.c_str() + token.size();
}

// Compares a listing with its golden file: same lines of the same length, the same words, and
// numbers that agree to 1e-6 relative or 1e-12 absolute (the golden holds the hand-calculated
// values, e.g. exact zeros where the program prints round-off). The date line is only matched by
// its pattern.
void expectListingMatches(const std::string& actual, const std::string& golden) {
    const std::vector<std::string> a = lines(actual), g = lines(golden);
    ASSERT_EQ(a.size(), g.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1) + ": " + a[i]);
        if (g[i].rfind("Date: ", 0) == 0) {
            EXPECT_TRUE(std::regex_match(
                a[i], std::regex(R"(Date: \d\d/\d\d/\d\d   Time: \d\d:\d\d:\d\d )")));
            continue;
        }
        EXPECT_EQ(a[i].size(), g[i].size());
        std::istringstream as(a[i]), gs(g[i]);
        std::string at, gt;
        while (gs >> gt) {
            ASSERT_TRUE(static_cast<bool>(as >> at));
            double av = 0.0, gv = 0.0;
            if (isNumber(gt, gv) && isNumber(at, av))
                EXPECT_NEAR(av, gv, 1e-12 + 1e-6 * std::abs(gv)) << gt;
            else
                EXPECT_EQ(at, gt);
        }
        EXPECT_FALSE(static_cast<bool>(as >> at));
    }
}

std::vector<double> readDoubles(const fs::path& file) {
    const std::string bytes = optimtest::readFile(file);
    std::vector<double> values(bytes.size() / 8);
    std::memcpy(values.data(), bytes.data(), values.size() * 8);
    return values;
}

// The model of the golden listing with its "*print" record replaced.
std::string listingModelWithPrint(const std::string& printRecord) {
    const std::string text = optimtest::readFile(ListingModel);
    return std::regex_replace(text, std::regex(R"(\*print<[^>]*>)"), printRecord);
}

TEST(AnalysisRun, ListingAndResultFilesOfTheTwoElementBar) {
    ScratchDir scratch("analysis-listing");
    fs::copy_file(ListingModel, scratch.path() / "listing.txt");
    const auto result = runProgram(TOPAX_EXE, {"listing.txt"}, scratch.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Printing results... Done.\n"), std::string::npos);
    expectListingMatches(
        optimtest::readFile(scratch.path() / "Print.txt"),
        optimtest::readFile(fs::path(TOPAX_TESTDATA_DIR) / "analysis_listing.golden"));

    // Stress 3.0 / (1 x 0.5) = 6 everywhere; u = 6 / 1000 * x, v = -0.25 * 6 / 1000 * y.
    const std::vector<double> ndp = readDoubles(scratch.path() / "listing.ndp");
    ASSERT_EQ(ndp.size(), 6u * 6u) << "node 7 is used by no element and left out";
    const double expected[6][2] = {{0, 0},       {0.006, 0},       {0.012, 0},
                                   {0, -0.0015}, {0.006, -0.0015}, {0.012, -0.0015}};
    for (int n = 0; n < 6; ++n)
        for (int c = 0; c < 2; ++c)
            EXPECT_NEAR(ndp[6 * n + c], expected[n][c], 1e-9 * 0.012) << "node " << n + 1;
    const std::vector<double> vms = readDoubles(scratch.path() / "listing.vms");
    ASSERT_EQ(vms.size(), 2u);
    EXPECT_NEAR(vms[0], 6.0, 1e-9 * 6.0);
    ASSERT_EQ(readDoubles(scratch.path() / "listing.sgp").size(), 2u * 4u * 9u);
    // Each element stores sigma^2 / (2E) * volume = 36 / 2000 * 0.5.
    const std::vector<double> sen = readDoubles(scratch.path() / "listing.sen");
    ASSERT_EQ(sen.size(), 2u);
    EXPECT_NEAR(sen[1], 0.009, 1e-9 * 0.009);
    EXPECT_TRUE(std::regex_match(optimtest::readFile(scratch.path() / "listing.log"),
                                 std::regex(R"(FEA finished, time consumed = +\d+ sec\n)")));
}

// A three-dimensional model without elements: nothing to solve, but every listing in its
// three-dimensional form (constraint values and "free" for the unused nodes' displacements).
TEST(AnalysisRun, ThreeDimensionalListing) {
    ScratchDir scratch("analysis-listing3d");
    fs::copy_file(fs::path(TOPAX_TESTDATA_DIR) / "analysis_listing3d.txt",
                  scratch.path() / "solid.txt");
    const auto result = runProgram(TOPAX_EXE, {"solid.txt"}, scratch.path());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("Trivial problem > Number of equations = 0\n"), std::string::npos);
    expectListingMatches(
        optimtest::readFile(scratch.path() / "Print.txt"),
        optimtest::readFile(fs::path(TOPAX_TESTDATA_DIR) / "analysis_listing3d.golden"));
    EXPECT_EQ(fs::file_size(scratch.path() / "solid.ndp"), 0u) << "no node is used";
}

TEST(AnalysisRun, PrintSwitchesSelectTheListing) {
    struct Case {
        const char* name;
        const char* print;
        bool listing;         // Print.txt written and "Printing results... " shown
        const char* lastLine; // last line of Print.txt
    };
    const Case cases[] = {
        {"switches 0 to 9 off", "*print<0,0,0,0,0,0,0,0,0,0,3,2,1 >", false, ""},
        {"only switch 9", "*print<0,0,0,0,0,0,0,0,0,1,1,1,0 >", true,
         "Total number of equations = 9"},
        {"element axes", "*print<0,0,0,0,0,0,0,0,1,0,1,2,1 >", true,
         " 4   7.887e-01   7.887e-01   6.000e+00   0.000e+00   0.000e+00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("analysis-print");
        optimtest::writeFile(scratch.path() / "listing.txt", listingModelWithPrint(c.print));
        const auto result = runProgram(TOPAX_EXE, {"listing.txt"}, scratch.path());
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out.find("Printing results... ") != std::string::npos, c.listing);
        EXPECT_EQ(fs::exists(scratch.path() / "Print.txt"), c.listing);
        if (!c.listing)
            continue;
        const std::vector<std::string> text =
            lines(optimtest::readFile(scratch.path() / "Print.txt"));
        ASSERT_FALSE(text.empty());
        if (std::string(c.name) == "element axes") {
            // Element 1 only (stride 2); axes flag set: lower-case column names. The bar's axes
            // are the global ones, so the values stay; round-off shows up as tiny numbers.
            EXPECT_NE(std::find(text.begin(), text.end(),
                                "GP# X_coord     Y_coord     sigma_xx    sigma_yy    sigma_xy"),
                      text.end());
            EXPECT_EQ(std::count(text.begin(), text.end(), "Element      2"), 0);
            expectListingMatches(text.back() + "\n", std::string(c.lastLine) + "\n");
        } else {
            EXPECT_EQ(text.back(), c.lastLine);
        }
    }
}

TEST(AnalysisRun, ElapsedTimeLine) {
    struct Case {
        long seconds;
        const char* line;
    };
    const Case cases[] = {
        {0, "FEA finished, time consumed =   0 sec\n"},
        {59, "FEA finished, time consumed =  59 sec\n"},
        {61, "FEA finished, time consumed =   1 min   1 sec\n"},
        {3599, "FEA finished, time consumed =  59 min  59 sec\n"},
        {3600, "FEA finished, time consumed =   1 hr   0 min   0 sec\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAnalysisTask::elapsedTimeLine(c.seconds), c.line) << c.seconds;
}

} // namespace
