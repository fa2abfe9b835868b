// The system menu on X11 (the popup menu calls are Win32's).
#pragma once

#include "platform/win32.h"

// Opens the system menu of a top-level window at screen point (x, y), or
// under the top-left corner of its client area when fromKeyboard.
void X11TrackSystemMenu(HWND hWnd, int x, int y, bool fromKeyboard);
