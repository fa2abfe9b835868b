// Xlib access for the x11 layer's own files.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// The user-interface thread's connection; null before X11OpenDisplay.
Display* X11Display();

// Traps X errors on the calling thread: errors raised by requests made on
// this thread while the trap lives are recorded instead of ending the process.
// Sync() waits for the server and returns the first error code seen (0 for none).
class X11ErrorTrap {
  public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap();
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
    int Sync();

  private:
    Display* m_display;
    int m_saved;
};

// Installs our handlers (errors never end the process) and makes Xlib
// thread-safe; called before the first connection is opened.
void X11InstallErrorHandlers();
