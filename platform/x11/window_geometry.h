// Where windows are: rectangles in screen coordinates, children's places in
// their parents, moving and sizing, the size hints of fixed-size dialogs and
// the work area.
#pragma once

#include "platform/win32.h"

// A dialog without a sizing frame tells the window manager its one size.
void X11FixSizeHints(HWND hWnd);
// The position of a child in its parent's client area.
POINT X11ChildOrigin(HWND hWnd);
// Another program's window: its rectangle in screen coordinates (rect may be
// null) and whether it is viewable. False when it is no window.
bool X11ForeignRect(HWND hWnd, RECT* rect, bool* viewable);
