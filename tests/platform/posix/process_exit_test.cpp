// The process's end from any thread: one line and the status, exactly once,
// however many threads get there together; broken pipes fail with EPIPE
// instead of killing the process.
#include "platform/posix/process_exit.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ChildResult {
    int status = -1;
    std::string err;
};

// Runs body in a child process whose stderr is captured.
template <typename Body>
ChildResult RunChild(Body body) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 2);
        body();
        _exit(99);
    }
    close(fds[1]);
    ChildResult result;
    char buffer[256];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        result.err.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    waitpid(pid, &result.status, 0);
    return result;
}

TEST(ProcessExit, ManyThreadsAtOnceGiveOneLineAndTheStatus) {
    for (int round = 0; round < 20; ++round) {
        const ChildResult r = RunChild([] {
            std::atomic<int> ready{0};
            std::vector<std::thread> threads;
            for (int i = 0; i < 8; ++i) {
                threads.emplace_back([&ready] {
                    ready.fetch_add(1);
                    while (ready.load() < 8) {
                    }
                    PosixFatalExit("quorix: gone\n", 3);
                });
            }
            for (auto& t : threads)
                t.join();  // never returns: the first caller ends the process
        });
        ASSERT_TRUE(WIFEXITED(r.status)) << "round " << round;
        EXPECT_EQ(WEXITSTATUS(r.status), 3);
        EXPECT_EQ(r.err, "quorix: gone\n") << "round " << round;
    }
}

TEST(ProcessExit, AWriteToABrokenPipeFailsWithEpipe) {
    const ChildResult r = RunChild([] {
        PosixIgnoreBrokenPipes();
        int fds[2];
        if (pipe(fds) != 0) _exit(2);
        close(fds[0]);
        const ssize_t n = write(fds[1], "x", 1);
        _exit(n < 0 && errno == EPIPE ? 0 : 1);
    });
    ASSERT_TRUE(WIFEXITED(r.status)) << "ended by signal " << WTERMSIG(r.status);
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

}  // namespace
