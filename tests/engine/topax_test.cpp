#include "support/badmodels.h"
#include "support/processrun.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace {

using enginetest::runProgram;

const std::string Caption = "TOPAX Engine Version 1.2 Beta: ";
const std::string Banner = "\n*******************************\n"
                           " TOPAX Engine Version 1.2 Beta\n"
                           "*******************************\n\n";

struct CommandLine {
    const char* name;
    std::vector<std::string> arguments;
    const char* message;
};

class TopaxCommandLine : public testing::TestWithParam<CommandLine> {};

TEST_P(TopaxCommandLine, RefusedBeforeTheBanner) {
    const CommandLine& c = GetParam();
    optimtest::ScratchDir scratch("cmdline");
    optimtest::writeFile("BMesh.txt", "*model<BMesh, 2, 1 >\n");
    optimtest::writeFile("Parameters.txt", "*MaxIter<10>\n");
    const auto result = runProgram(TOPAX_EXE, c.arguments, scratch.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Caption + c.message + "\n");
}

const CommandLine commandLines[] = {
    {"NoArguments", {}, "Command usage error: number of command line arguments incorrect."},
    {"ThreeArguments",
     {"BMesh.txt", "Parameters.txt", "extra"},
     "Command usage error: number of command line arguments incorrect."},
    {"ThreeArgumentsAllMissing",
     {"a", "b", "c"},
     "Command usage error: number of command line arguments incorrect."},
    {"MissingModel", {"Missing.txt"}, "Command usage error: named model file does not exist."},
    {"MissingModelAndParameters",
     {"Missing.txt", "Absent.txt"},
     "Command usage error: named model file does not exist."},
    {"MissingParameters",
     {"BMesh.txt", "Absent.txt"},
     "Command usage error: named parameter file does not exist."},
    {"EmptyModelName", {""}, "Command usage error: named model file does not exist."},
};

void PrintTo(const CommandLine& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Checks, TopaxCommandLine, testing::ValuesIn(commandLines),
                         [](const testing::TestParamInfo<CommandLine>& info) {
                             return std::string(info.param.name);
                         });

// A run that ends in a fatal error prints the banner but not the closing box.
TEST(Topax, FatalRunPrintsTheBannerButNotTheClosingBox) {
    optimtest::ScratchDir scratch("banner");
    optimtest::writeFile("Empty.txt", "");
    // Valid parameters, so that the fatal error of mode 2 is the model's one-line message.
    optimtest::writeFile("Parameters.txt", "*Model<M>\n*MaxIter<2>\n*ObjVolFraction<0.5>\n"
                                           "*EvoVolRatio<0.02>\n*ConvTolerance<0.001>\n"
                                           "*FilterRadius<1>\n");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"Empty.txt"}, {"Empty.txt", "Parameters.txt"}}) {
        SCOPED_TRACE(arguments.size());
        const auto result = runProgram(TOPAX_EXE, arguments, scratch.path());
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.out.substr(0, Banner.size()), Banner);
        EXPECT_EQ(result.out.find("*******************************\n*  "), std::string::npos);
        ASSERT_EQ(result.err.substr(0, Caption.size()), Caption);
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    }
}

const std::string ClosingBox = "\n\n*******************************\n";

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The bundled example, as the README's engine command runs it.
TEST(Topax, ExampleAnalysisRunsToTheClosingBox) {
    optimtest::ScratchDir scratch("example");
    std::filesystem::copy_file(TOPAX_EXAMPLES_DIR "/cantilever.txt", "cantilever.txt");
    const auto result = runProgram(TOPAX_EXE, {"cantilever.txt"}, scratch.path());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.substr(0, Banner.size()), Banner);
    EXPECT_NE(result.out.find("Reading input file... Done.\n"), std::string::npos);
    const std::size_t box = result.out.rfind(ClosingBox);
    ASSERT_NE(box, std::string::npos);
    const std::string closing = result.out.substr(box + 2);
    ASSERT_EQ(closing.size(), 7u * 32u);
    for (std::size_t line = 0; line < 7; ++line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(closing[line * 32], '*');
        EXPECT_EQ(closing[line * 32 + 30], '*');
        EXPECT_EQ(closing[line * 32 + 31], '\n');
    }
    // 45 used nodes of 48 bytes, 32 active elements of 8 bytes.
    EXPECT_EQ(std::filesystem::file_size("cantilever.ndp"), 45u * 48u);
    EXPECT_EQ(std::filesystem::file_size("cantilever.vms"), 32u * 8u);
}

class TopaxBadModel : public testing::TestWithParam<enginetest::BadModel> {};

// Every malformed model ends the real program with exit code 1 and one message line, after the
// banner and without the closing box.
TEST_P(TopaxBadModel, EndsWithOneMessage) {
    const enginetest::BadModel& bad = GetParam();
    optimtest::ScratchDir scratch("topax-bad");
    optimtest::writeFile("BMesh.txt", bad.text);
    const auto result = runProgram(TOPAX_EXE, {"BMesh.txt"}, scratch.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::regex_match(result.err, std::regex("TOPAX Engine Version 1\\.2 Beta: [^\n]*" +
                                                        std::string(bad.message) + "[^\n]*\n")))
        << result.err;
    EXPECT_EQ(result.out.substr(0, Banner.size()), Banner);
    EXPECT_FALSE(endsWith(result.out, "*******************************\n")) << result.out;
}

INSTANTIATE_TEST_SUITE_P(BadModels, TopaxBadModel, testing::ValuesIn(enginetest::badModels()),
                         [](const testing::TestParamInfo<enginetest::BadModel>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
