// Window states: enabled, visible, iconic, and IsChild.
#include "platform/x11/window.h"
#include "platform/x11/window_geometry.h"

namespace {

bool IsTopLevel(const X11WindowRecord* record) {
    return (record->style & WS_CHILD) == 0;
}

}  // namespace

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return FALSE;
    const BOOL wasDisabled = (record->style & WS_DISABLED) != 0 ? TRUE : FALSE;
    if (bEnable)
        record->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
        record->style |= WS_DISABLED;
    if (wasDisabled != (bEnable ? FALSE : TRUE)) {
        SendMessageA(hWnd, WM_ENABLE, bEnable, 0);
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    return record != nullptr && (record->style & WS_DISABLED) == 0 ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) {
        bool viewable = false;
        return X11ForeignRect(hWnd, nullptr, &viewable) && viewable ? TRUE : FALSE;
    }
    for (; record != nullptr;
         record = record->foreignParent ? nullptr : X11FindWindow(record->parent))
        if ((record->style & WS_VISIBLE) == 0) return FALSE;
    return TRUE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || !IsTopLevel(record)) return FALSE;
    Display* display = X11Display();
    const Atom wmState = XInternAtom(display, "WM_STATE", True);
    if (wmState == None) return FALSE;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    X11ErrorTrap trap(display);
    const int status = XGetWindowProperty(display, record->xid, wmState, 0, 2, False, wmState,
                                          &type, &format, &count, &after, &data);
    bool iconic = false;
    if (trap.Sync() == 0 && status == Success && data != nullptr && format == 32 && count >= 1)
        iconic = reinterpret_cast<unsigned long*>(data)[0] == IconicState;
    if (data != nullptr) XFree(data);
    return iconic ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    while (record != nullptr && (record->style & WS_CHILD) != 0 && !record->foreignParent) {
        if (record->parent == hWndParent) return TRUE;
        record = X11FindWindow(record->parent);
    }
    return FALSE;
}
