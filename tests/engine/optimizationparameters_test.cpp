#include "optimizer/optimizationparameters.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// The file the workbench writes, with numbers filled in.
const std::string Template = "=================================\n"
                             "=Parameters for TOPAX:  TOPAX V1.0=\n"
                             "=================================\n"
                             "*Model<BMesh>\n*EvoVolRatio<0.03>\n*FilterRadius<0.15>\n"
                             "*ConvTolerance<0.001>\n*MaxIter<120>\n*ObjVolFraction<0.4>\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string parse(const std::string& text, OptimizationParameters& p) {
    std::istringstream in(text);
    return p.parse(in);
}

std::string report(const std::string& lines) {
    return "Reading parameters error: \n\n" + lines + "\n";
}

TEST(OptimizationParameters, TemplateKeepsDefaultsForEverythingItLeavesOut) {
    OptimizationParameters p;
    ASSERT_EQ(parse(Template, p), "");
    EXPECT_EQ(p.modelName, "BMesh");
    EXPECT_DOUBLE_EQ(p.evoVolRatio, 0.03);
    EXPECT_DOUBLE_EQ(p.filterRadius, 0.15);
    EXPECT_DOUBLE_EQ(p.convTolerance, 0.001);
    EXPECT_EQ(p.maxIterations, 120);
    EXPECT_DOUBLE_EQ(p.volumeFraction, 0.4);
    EXPECT_DOUBLE_EQ(p.targetRemoved, 0.6);
    EXPECT_EQ(p.objective, MaxStiffness);
    EXPECT_DOUBLE_EQ(p.admissionRatio, 0.02);
    EXPECT_EQ(p.levelCount, 2);
    EXPECT_EQ(p.initialLevel, 2);
    EXPECT_DOUBLE_EQ(p.minDensity, 0.001);
    EXPECT_DOUBLE_EQ(p.maxDensity, 1.0);
    EXPECT_DOUBLE_EQ(p.penalty, 3.0);
}

struct ErrorCase {
    const char* name;
    std::string text;     // the whole file
    std::string expected; // help lines of the report, empty when accepted
    friend void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }
};

class ParameterErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParameterErrors, ReportsExactlyTheFailedItemsInFixedOrder) {
    const ErrorCase& c = GetParam();
    SCOPED_TRACE(c.text);
    OptimizationParameters p;
    EXPECT_EQ(parse(c.text, p), c.expected.empty() ? "" : report(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParameterErrors,
    ::testing::Values(
        ErrorCase{"EmptyFile", "",
                  "*Model<...>\n*Maxiter<...>\n*ObjVolFraction<...>\n*EvoVolRatio<...>\n"
                  "*ConvTolerance<...>\n*FilterRadius<...>\n"},
        ErrorCase{"CapitalKeywordIgnored", replaced(Template, "*Model", "*MODEL"), "*Model<...>\n"},
        ErrorCase{"BlankBeforeBracketGivesZero", replaced(Template, "*MaxIter<", "*MaxIter <"),
                  "*Maxiter<...>\n"},
        ErrorCase{"ObjectiveIsCaseSensitive", Template + "*Objective<maxstiffness>\n",
                  "*Objective<...>\n"},
        ErrorCase{"ObjectiveFrequencyAccepted", Template + "*objective<MaxFrequency>\n", ""},
        ErrorCase{"AdmissionZeroAccepted", Template + "*ARmax<0>\n", ""},
        ErrorCase{"AdmissionOneRefused", Template + "*ARmax<1>\n", "*ARmax<...>\n"},
        ErrorCase{"AdmissionNegativeRefused", Template + "*armax<-0.1>\n", "*ARmax<...>\n"},
        ErrorCase{"PenaltyOneRefused", Template + "*MatPenalty<1>\n", "*MPen<...>\n"},
        ErrorCase{"PenaltyOneAndHalfAccepted", Template + "*matpenalty<1.5>\n", ""},
        ErrorCase{"NegativeMinDensityRefused", Template + "*Densities<2,2,-0.1,1.0>\n",
                  "*Densities<...>\n"},
        ErrorCase{"SingleLevelRefused", Template + "*Densities<1,1,0.001,1.0>\n",
                  "*Densities<...>\n"},
        ErrorCase{"InitialLevelAboveCountRefused", Template + "*Densities<5,6,0.001,1.0>\n",
                  "*Densities<...>\n"},
        ErrorCase{"InitialLevelZeroRefused", Template + "*densities<5,0,0.001,1.0>\n",
                  "*Densities<...>\n"},
        ErrorCase{"ZeroMaxDensityRefused", Template + "*Densities<2,2,0,0>\n", "*Densities<...>\n"},
        ErrorCase{"OptionalItemFailsOnceAnyOccurrenceFails", Template + "*ARmax<2>\n*ARmax<0.01>\n",
                  "*ARmax<...>\n"},
        ErrorCase{"MaxIterBeyondThreeDigitLabelsRefused", Template + "*MaxIter<1000>\n",
                  "*Maxiter<...>\n"},
        ErrorCase{"ModelNameWithPathRefused", Template + "*Model<../x>\n", "*Model<...>\n"},
        ErrorCase{"ModelNameWithWildcardRefused", Template + "*Model<B*>\n", "*Model<...>\n"},
        ErrorCase{"RangeLimitsOfRequiredReals",
                  "*Model<M>\n*MaxIter<-3>\n*ObjVolFraction<1>\n*EvoVolRatio<0>\n"
                  "*ConvTolerance<1.0>\n*FilterRadius<-1>\n*Objective<x>\n*ARmax<1.5>\n"
                  "*Densities<0,0,0.1,1>\n*MatPenalty<0.5>\n",
                  "*Objective<...>\n*Maxiter<...>\n*ObjVolFraction<...>\n*EvoVolRatio<...>\n"
                  "*ARmax<...>\n*ConvTolerance<...>\n*FilterRadius<...>\n*Densities<...>\n"
                  "*MPen<...>\n"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(OptimizationParameters, LowerCaseSpellingsAndOddLinesAreReadLikeTheMixedCaseOnes) {
    OptimizationParameters p;
    const std::string text = "*model<abc>\n*maxiter<7>\n*objvolfraction<0.5>\n*evovolratio<0.01>\n"
                             "*convtolerance<1e-3>\n*filterradius<2.5>\n"
                             "*Densities<5,3,1.0,0.2>\n"
                             "*ARmax<nan>\n"   // no decimal number: 0, never NaN
                             " *MaxIter<9>\n"; // an indented line is no record
    ASSERT_EQ(parse(text, p), "");
    EXPECT_EQ(p.modelName, "abc");
    EXPECT_EQ(p.maxIterations, 7);
    EXPECT_DOUBLE_EQ(p.convTolerance, 0.001);
    EXPECT_DOUBLE_EQ(p.filterRadius, 2.5);
    EXPECT_EQ(p.levelCount, 5);
    EXPECT_EQ(p.initialLevel, 3);
    EXPECT_DOUBLE_EQ(p.minDensity, 0.2);
    EXPECT_DOUBLE_EQ(p.maxDensity, 1.0);
    EXPECT_EQ(p.admissionRatio, 0.0);
}

TEST(OptimizationParameters, LastOccurrenceWinsAndNamesAreCut) {
    OptimizationParameters p;
    ASSERT_EQ(
        parse(Template + "*MaxIter<50>\n*MaxIter<0>\n*Model <ABCDEFGHIJKLMNOPQRSTUVWXY>\n", p), "");
    EXPECT_EQ(p.maxIterations, 0); // a valid occurrence made it present; the last value stays
    EXPECT_EQ(p.modelName, "<ABCDEFGHIJKLMNOPQ");
}

TEST(OptimizationParameters, LinesLongerThanEightyCharactersAreTakenInPieces) {
    OptimizationParameters p;
    // The second piece starts at character 80 and is a record of its own.
    const std::string pad = "=" + std::string(79, ' ');
    ASSERT_EQ(parse(Template + pad + "*ARmax<0.3>\n", p), "");
    EXPECT_DOUBLE_EQ(p.admissionRatio, 0.3);
}

} // namespace
