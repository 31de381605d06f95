#include "fatalerror.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void FatalError(std::string_view message) {
    std::cout.flush();
    std::cerr << VersionText << ": " << message << '\n';
    std::cerr.flush();
    std::fflush(nullptr);
    // exit() (not _exit) so that open std::ofstream buffers of static objects are flushed too.
    std::exit(1);
}
