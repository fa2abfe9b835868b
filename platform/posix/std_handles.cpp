// GetStdHandle and GetConsoleMode over the POSIX standard file descriptors.
// Standard handles are odd values, so they never meet the kernel-object table,
// whose handles are multiples of 4.
#include <termios.h>
#include <unistd.h>

#include "platform/win32.h"

namespace {

constexpr uintptr_t kStdHandleBase = 0x1001;  // odd, then fd * 2 above it

int DescriptorOf(HANDLE handle) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < kStdHandleBase || value > kStdHandleBase + 4 || (value & 1) == 0) return -1;
    return static_cast<int>((value - kStdHandleBase) / 2);
}

}  // namespace

HANDLE WINAPI GetStdHandle(DWORD nStdHandle) {
    int fd = -1;
    if (nStdHandle == STD_INPUT_HANDLE) fd = STDIN_FILENO;
    if (nStdHandle == STD_OUTPUT_HANDLE) fd = STDOUT_FILENO;
    if (nStdHandle == STD_ERROR_HANDLE) fd = STDERR_FILENO;
    if (fd < 0) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(kStdHandleBase + 2 * static_cast<uintptr_t>(fd));
}

BOOL WINAPI GetConsoleMode(HANDLE hConsoleHandle, LPDWORD lpMode) {
    const int fd = DescriptorOf(hConsoleHandle);
    if (fd < 0 || lpMode == nullptr || isatty(fd) != 1) return FALSE;
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) return FALSE;
    // The Windows input bits that match: line input and echo.
    DWORD mode = 0;
    if (settings.c_lflag & ICANON) mode |= 0x0002;  // ENABLE_LINE_INPUT
    if (settings.c_lflag & ECHO) mode |= 0x0004;    // ENABLE_ECHO_INPUT
    *lpMode = mode;
    return TRUE;
}
