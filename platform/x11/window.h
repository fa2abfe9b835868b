// Our windows on X11. A window handle is the X window id itself, so that a
// foreign window (an id handed over on the command line) and our own windows
// are named the same way. The table holds the windows this process created.
#pragma once

#include "platform/win32.h"
#include "platform/x11/window_record.h"

// Our record for hWnd, or null (foreign windows, destroyed windows, null).
// For the user-interface thread; the record lives until the window is destroyed.
X11WindowRecord* X11FindWindow(HWND hWnd);

// The style of one of our windows (0 for others); setting it keeps WS_VISIBLE
// as ShowWindow left it.
DWORD X11Style(HWND hWnd);
void X11SetStyle(HWND hWnd, DWORD style);

// The thread that owns one of our windows, 0 for none.
DWORD X11WindowThread(HWND hWnd);

// Runs the destruction of one of our windows and its children: WM_DESTROY
// (parents first), WM_NCDESTROY (children first), the X window (unless the
// server has destroyed it already) and the table entries.
void X11DestroyWindowTree(HWND hWnd, bool serverDestroyed);

// The cursor window: the window that got the latest WM_SETCURSOR.
void X11SetCursorWindow(HWND hWnd);
