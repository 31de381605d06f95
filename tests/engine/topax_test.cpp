#include "support/processrun.h"
#include "support/scratchdir.h"

#include <gtest/gtest.h>

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
    optimtest::writeFile("Parameters.txt", "");
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

} // namespace
