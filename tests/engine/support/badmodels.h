#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace enginetest {

/// A model file the reader must refuse, with the one message it must give.
struct BadModel {
    const char* name;
    std::string text;
    const char* message; // regular expression for the one line on standard error
};

/// Malformed model files: truncated records, missing fields and brackets, megabyte lines, binary
/// junk, an empty file, a missing *model record and every refused record.
const std::vector<BadModel>& badModels();

/// Deterministic binary junk (20000 bytes of every value).
std::string junk();

void PrintTo(const BadModel& bad, std::ostream* out);

} // namespace enginetest
