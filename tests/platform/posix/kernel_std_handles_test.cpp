#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/win32.h"

namespace {

// Puts fd on standard input for the scope, then restores the original.
class StdinSwap {
  public:
    explicit StdinSwap(int fd) : saved_(dup(STDIN_FILENO)) { dup2(fd, STDIN_FILENO); }
    ~StdinSwap() {
        dup2(saved_, STDIN_FILENO);
        close(saved_);
    }

  private:
    int saved_;
};

}  // namespace

TEST(StdHandles, ConsoleModeOnlyForTerminals) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    EXPECT_NE(in, GetStdHandle(STD_ERROR_HANDLE));
    DWORD mode = 0;

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    {
        StdinSwap swap(slave);
        EXPECT_TRUE(GetConsoleMode(in, &mode));
    }
    const int null = open("/dev/null", O_RDONLY);  // a character device, not a console
    {
        StdinSwap swap(null);
        EXPECT_FALSE(GetConsoleMode(in, &mode));
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        StdinSwap swap(fds[0]);
        EXPECT_FALSE(GetConsoleMode(in, &mode));
    }
    for (int fd : {master, slave, null, fds[0], fds[1]})
        close(fd);
}

TEST(StdHandles, UnknownAndForeignHandlesAreNoConsoles) {
    EXPECT_EQ(GetStdHandle(0), INVALID_HANDLE_VALUE);
    DWORD mode = 0;
    EXPECT_FALSE(GetConsoleMode(INVALID_HANDLE_VALUE, &mode));
    EXPECT_FALSE(GetConsoleMode(nullptr, &mode));
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_FALSE(GetConsoleMode(event, &mode));
    CloseHandle(event);
    EXPECT_FALSE(GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), nullptr));
}
