#pragma once

#include <filesystem>
#include <string>

namespace optimtest {

/// A unique temporary directory that becomes the current directory for the lifetime of the
/// object; the previous current directory is restored and the directory removed afterwards.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& tag);
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

/// Whole content of a file (binary-safe); empty when it cannot be read.
std::string readFile(const std::filesystem::path& file);
/// Replaces a file with `content`.
void writeFile(const std::filesystem::path& file, const std::string& content);

} // namespace optimtest
