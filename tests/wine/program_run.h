// The Windows program as a user meets it: started with a command line, found
// by its windows, looked at through the screen and the registry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/scene_census.h"

namespace testwine {

// The program under test, set by main from the first argument (a Unix path
// under Wine is turned into one on drive Z:).
std::string& ProgramPath();

// A running program; ends it at destruction if it still runs.
class Program {
  public:
    explicit Program(const std::string& arguments);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }
    // Waits up to ms for the end; the exit code, or -1 if it still runs.
    long WaitExit(DWORD ms);
    // The first visible top-level window of the program whose class is
    // className (nullptr: any), waited for up to ms.
    HWND WaitWindow(const char* className, DWORD ms) const;
    DWORD Id() const { return m_process.dwProcessId; }

  private:
    PROCESS_INFORMATION m_process = {};
};

// Runs a command line to its end and returns what it wrote on standard output.
std::string RunAndRead(const std::string& commandLine, DWORD ms);

// The pixels of a screen rectangle, 0x00RRGGBB, top row first.
using Picture = teste2e::ScreenShot;
Picture ReadScreen(const RECT& screenRect);
// The client area of a window on the screen.
RECT ClientOnScreen(HWND window);
// Writes the picture as a 24-bit BMP file to look at; false on failure.
bool SaveBmp(const Picture& picture, const std::string& path);

}  // namespace testwine
