#include "runcontrol.h"

#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <regex>

namespace {

TEST(IterationLabel, ThreeDigitsUpTo999ThenTheFullNumber) {
    const std::pair<int, const char*> cases[] = {
        {0, "000"},   {7, "007"},   {9, "009"},   {10, "010"},    {42, "042"},    {99, "099"},
        {100, "100"}, {512, "512"}, {999, "999"}, {1000, "1000"}, {1001, "1001"}, {12345, "12345"},
    };
    for (const auto& [iteration, label] : cases) {
        SCOPED_TRACE(iteration);
        EXPECT_EQ(iterationLabel(iteration), label);
    }
}

TEST(Stamps, TimeIsHoursMinutesSecondsAndDateIsMonthDayYear) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const std::string time = timeStamp();
    const std::string date = dateStamp();
    ASSERT_TRUE(std::regex_match(time, std::regex(R"(\d\d:\d\d:\d\d)"))) << time;
    ASSERT_TRUE(std::regex_match(date, std::regex(R"(\d\d/\d\d/\d\d)"))) << date;
    EXPECT_LT(std::stoi(time.substr(0, 2)), 24);
    EXPECT_LT(std::stoi(time.substr(3, 2)), 60);
    EXPECT_EQ(std::stoi(date.substr(0, 2)), local.tm_mon + 1);
    EXPECT_EQ(std::stoi(date.substr(6, 2)), local.tm_year % 100);
}

TEST(FileExists, FilesDirectoriesAndWildcardPatterns) {
    optimtest::ScratchDir scratch("fileexists");
    optimtest::writeFile("BMesh.txt", "x");
    std::filesystem::create_directory("Workspace");
    optimtest::writeFile("Workspace/result.vms", "");
    const std::pair<const char*, bool> cases[] = {
        {"BMesh.txt", true},
        {"Workspace", true},
        {"Missing.txt", false},
        {"", false},
        {"*.txt", true},
        {"?Mesh.txt", true},
        {"B*", true},
        {"*.bin", false},
        {"??Mesh.txt", false},
        {"Workspace/*.vms", true},
        {"Workspace/*.ndp", false},
        {"Nowhere/*.txt", false},
    };
    for (const auto& [name, exists] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(fileExists(name), exists);
    }
}

} // namespace
