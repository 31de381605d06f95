#include "runcontrol.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string_view>

namespace {

std::string localStamp(const char* format) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = {};
    if (local == nullptr || std::strftime(text, sizeof text, format, local) == 0)
        return "00:00:00";
    return text;
}

// Matches a file name against a pattern with '*' (any run of characters) and '?' (any one).
bool matchesPattern(std::string_view pattern, std::string_view text) {
    std::size_t p = 0, t = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::string timeStamp() {
    return localStamp("%H:%M:%S");
}

std::string dateStamp() {
    return localStamp("%m/%d/%y");
}

std::string iterationLabel(int iteration) {
    if (iteration < 0 || iteration > 999)
        return std::to_string(iteration);
    char label[4];
    std::snprintf(label, sizeof label, "%03d", iteration);
    return label;
}

bool fileExists(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path path(name);
    const std::string leaf = path.filename().string();
    if (leaf.find_first_of("*?") == std::string::npos)
        return !name.empty() && fs::exists(path, error);
    const fs::path directory = path.has_parent_path() ? path.parent_path() : fs::path(".");
    fs::directory_iterator entries(directory, error);
    if (error)
        return false;
    for (const fs::directory_entry& entry : entries)
        if (matchesPattern(leaf, entry.path().filename().string()))
            return true;
    return false;
}
