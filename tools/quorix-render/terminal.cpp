// The tools run on the build host only; this one question has no Win32-subset
// equivalent in the platform layer, so it is answered here.
#include "terminal.h"

#include <unistd.h>

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}
