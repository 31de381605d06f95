#pragma once

#include <string>

/// Local time of day as "hh:mm:ss" (24-hour clock), the stamp of every "[%s]" log line.
std::string timeStamp();

/// Local date as "mm/dd/yy".
std::string dateStamp();

/// Suffix of per-iteration file names: three digits with leading zeros for 0 to 999 ("007",
/// "042", "512"), the plain decimal number otherwise ("1000"), so names never collide.
std::string iterationLabel(int iteration);

/// True when the name exists as a file or directory. A name holding '*' or '?' is a wildcard
/// pattern over the entries of its directory (the working directory when it names none) and
/// exists when any entry matches.
bool fileExists(const std::string& name);
