#include "fatalerror.h"

int main() {
    FatalError("Command usage error: number of command line arguments incorrect.");
}
