#pragma once

#include <string_view>

/// Caption of every fatal error and first line of the optimizer's report files.
inline constexpr const char* VersionText = "TOPAX Engine Version 1.2 Beta";

/// The engine's single error channel: writes "<VersionText>: <message>" as one line to
/// standard error, flushes every open stream and ends the process with exit code 1.
[[noreturn]] void FatalError(std::string_view message);

/// FatalError with a printf-style message, for messages that carry offending values.
[[noreturn]] void FatalErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));
