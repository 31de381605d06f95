#include "fatalerror.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

void FatalError(std::string_view message) {
    std::cout.flush();
    std::cerr << VersionText << ": " << message << '\n';
    std::cerr.flush();
    std::fflush(nullptr);
    // exit() (not _exit) so that open std::ofstream buffers of static objects are flushed too.
    std::exit(1);
}

void FatalErrorF(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0)
        std::vsnprintf(message.data(), message.size() + 1, format, args);
    va_end(args);
    FatalError(message);
}
