#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace enginetest {

/// Outcome of one run of a program: its exit code (-1 when it did not exit normally, e.g. killed
/// by a signal) and everything it wrote to standard output and standard error.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

/// Runs program with arguments in directory and waits for it. Standard input is empty.
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& directory);

} // namespace enginetest
