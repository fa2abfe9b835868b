// Process-wide conditions that end the program from any thread.
#pragma once

// Ignores SIGPIPE for the whole process (once): a write to a connection whose
// other end has gone fails with EPIPE, so that the code that wrote sees the
// failure instead of the process dying of the signal.
void PosixIgnoreBrokenPipes();

// Ends the process at once with `status`, writing `line` (which ends in a
// newline) to stderr first. Safe from any thread and from several at once:
// the first caller writes and exits, later callers wait for the end. No
// destructors or exit handlers run, so no lock held elsewhere can hang it.
[[noreturn]] void PosixFatalExit(const char* line, int status);

// Ends the process with `status` once the program is done: flushes the
// standard streams and exits without running static destructors or exit
// handlers, which would tear down the libraries' state under the worker
// threads that still run (they end with the process).
[[noreturn]] void PosixEndProcess(int status);
