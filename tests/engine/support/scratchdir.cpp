#include "scratchdir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace optimtest {

ScratchDir::ScratchDir(const std::string& tag) : previous_(fs::current_path()) {
    std::random_device device;
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ =
            fs::temp_directory_path() /
            ("topax-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
             "-" + std::to_string(stamp) + "-" + std::to_string(device()));
        if (fs::create_directory(path_))
            break;
    }
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::remove_all(path_, ec);
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path& file, const std::string& content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
}

} // namespace optimtest
