#include "platform/posix/process_exit.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

void PosixIgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action = {};
        action.sa_handler = SIG_IGN;
        sigemptyset(&action.sa_mask);
        sigaction(SIGPIPE, &action, nullptr);
    });
}

[[noreturn]] void PosixFatalExit(const char* line, int status) {
    static std::atomic<bool> exiting{false};
    if (!exiting.exchange(true)) {
        size_t left = std::strlen(line);
        while (left > 0) {
            const ssize_t n = write(2, line, left);
            if (n <= 0) break;
            line += n;
            left -= static_cast<size_t>(n);
        }
        _exit(status);
    }
    // Another thread is ending the process.
    for (;;)
        pause();
}

[[noreturn]] void PosixEndProcess(int status) {
    std::fflush(nullptr);
    _exit(status);
}
