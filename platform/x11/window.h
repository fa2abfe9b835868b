// Our windows on X11. A window handle is the X window id itself, so that a
// foreign window (an id handed over on the command line) and our own windows
// are named the same way. The table holds the windows this process created.
#pragma once

#include <string>

#include "platform/win32.h"
#include "platform/x11/xlib.h"

struct X11WindowRecord {
    Window xid = 0;
    HWND parent = nullptr;  // our parent or a foreign window; null for top-level
    bool foreignParent = false;
    WNDPROC proc = nullptr;
    UINT classStyle = 0;
    HCURSOR classCursor = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT_PTR id = 0;
    int width = 0;
    int height = 0;
    DWORD threadId = 0;  // the thread that created it and gets its messages
    bool mapped = false;
    bool destroying = false;    // WM_DESTROY has been sent
    bool paintPending = false;  // a WM_PAINT is queued and not yet validated
    bool active = false;        // top-level window holding the input focus
    std::string title;
};

inline HWND X11Handle(Window xid) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(xid));
}
inline Window X11WindowId(HWND hWnd) {
    return static_cast<Window>(reinterpret_cast<uintptr_t>(hWnd));
}

// Our record for hWnd, or null (foreign windows, destroyed windows, null).
// For the user-interface thread; the record lives until the window is destroyed.
X11WindowRecord* X11FindWindow(HWND hWnd);

// The thread that owns one of our windows, 0 for none.
DWORD X11WindowThread(HWND hWnd);

// Runs the destruction of one of our windows and its children: WM_DESTROY
// (parents first), WM_NCDESTROY (children first), the X window (unless the
// server has destroyed it already) and the table entries.
void X11DestroyWindowTree(HWND hWnd, bool serverDestroyed);

// The cursor window: the window that got the latest WM_SETCURSOR.
void X11SetCursorWindow(HWND hWnd);
