#include "processrun.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace enginetest {

namespace {

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::filesystem::path& directory) {
    // Output goes to files beside the working directory, so a large output cannot block the
    // child on a full pipe.
    const std::filesystem::path base =
        std::filesystem::temp_directory_path() /
        ("topax-run-" + std::to_string(::getpid()) + "-" + directory.filename().string());
    const std::string outFile = base.string() + ".out";
    const std::string errFile = base.string() + ".err";

    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);

    ProcessResult result;
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(directory.c_str()) != 0)
            ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(program.c_str(), pointers.data());
        ::_exit(127);
    }
    if (child < 0)
        return result;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.out = slurp(outFile);
    result.err = slurp(errFile);
    std::error_code ignored;
    std::filesystem::remove(outFile, ignored);
    std::filesystem::remove(errFile, ignored);
    return result;
}

} // namespace enginetest
