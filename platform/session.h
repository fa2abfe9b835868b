// The program's session with its window system, started once before the first
// window: on X11 the user-interface thread's display connection, on Windows
// the common controls the dialogs use. platform/x11 and platform/windows each
// implement it (session.cpp).
#pragma once

#include <string>

#include "platform/win32.h"

// Starts the session. *instance receives the program's module handle (null
// where the system has none). False, with a one-line reason in *error, when
// the program cannot show windows.
bool StartSession(HINSTANCE* instance, std::string* error);

// Ends the session when the program is done; main returns the result. The
// animation's workers are never stopped: on POSIX the process ends here under
// them, without tearing down what they use; on Windows status comes back.
int EndSession(int status);
