// The record of one of our windows on X11, and the naming of windows: a
// window handle is the X window id itself.
#pragma once

#include <cstdint>
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
