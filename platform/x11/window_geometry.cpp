// Window rectangles in screen coordinates, children's origins, MoveWindow
// and SetWindowPos, fixed-size hints and the work area.
#include "platform/x11/window_geometry.h"

#include <X11/Xatom.h>

#include <algorithm>

#include "platform/x11/display.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"

namespace {

bool IsTopLevel(const X11WindowRecord* record) {
    return (record->style & WS_CHILD) == 0;
}

// Top-left corner of a window in screen coordinates (the primary monitor's origin is 0, 0).
POINT ScreenOrigin(const X11WindowRecord* record) {
    Display* display = X11Display();
    int x = 0, y = 0;
    Window child = 0;
    X11ErrorTrap trap(display);
    XTranslateCoordinates(display, record->xid, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    if (trap.Sync() != 0) x = y = 0;
    const X11ScreenArea area = X11PrimaryArea();
    return POINT{x - area.x, y - area.y};
}

}  // namespace

void X11FixSizeHints(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    Display* display = X11Display();
    const WindowExtra* extra = X11Extra(hWnd, false);
    if (record == nullptr || display == nullptr || !IsTopLevel(record) ||
        (record->style & WS_THICKFRAME) != 0 || extra == nullptr || extra->dialog == nullptr)
        return;
    XSizeHints hints = {};
    long supplied = 0;
    XGetWMNormalHints(display, record->xid, &hints, &supplied);
    hints.flags |= PMinSize | PMaxSize;
    hints.min_width = hints.max_width = std::max(record->width, 1);
    hints.min_height = hints.max_height = std::max(record->height, 1);
    XSetWMNormalHints(display, record->xid, &hints);
}

POINT X11ChildOrigin(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->parent == nullptr) return POINT{0, 0};
    Display* display = X11Display();
    int x = 0, y = 0;
    Window child = 0;
    X11ErrorTrap trap(display);
    XTranslateCoordinates(display, record->xid, X11WindowId(record->parent), 0, 0, &x, &y, &child);
    if (trap.Sync() != 0) return POINT{0, 0};
    return POINT{x, y};
}

// Another program's window: its attributes and position from the server.
bool X11ForeignRect(HWND hWnd, RECT* rect, bool* viewable) {
    Display* display = X11Display();
    const uintptr_t id = reinterpret_cast<uintptr_t>(hWnd);
    if (display == nullptr || id == 0 || id > 0x1FFFFFFFu) return false;
    XWindowAttributes attributes;
    int x = 0, y = 0;
    Window child = 0;
    X11ErrorTrap trap(display);
    const Status ok = XGetWindowAttributes(display, X11WindowId(hWnd), &attributes);
    if (ok != 0)
        XTranslateCoordinates(display, X11WindowId(hWnd), DefaultRootWindow(display), 0, 0, &x, &y,
                              &child);
    if (trap.Sync() != 0 || ok == 0) return false;
    const X11ScreenArea area = X11PrimaryArea();
    x -= area.x;
    y -= area.y;
    if (rect != nullptr) *rect = {x, y, x + attributes.width, y + attributes.height};
    if (viewable != nullptr) *viewable = attributes.map_state == IsViewable;
    return true;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    if (lpRect == nullptr) return FALSE;
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return X11ForeignRect(hWnd, lpRect, nullptr) ? TRUE : FALSE;
    const POINT origin = ScreenOrigin(record);
    *lpRect = {origin.x, origin.y, origin.x + record->width, origin.y + record->height};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || lpPoint == nullptr) return FALSE;
    const POINT origin = ScreenOrigin(record);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || lpPoint == nullptr) return FALSE;
    const POINT origin = ScreenOrigin(record);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                        SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0u : UINT(SWP_NOREDRAW)));
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    Display* display = X11Display();
    if (record == nullptr || display == nullptr) return FALSE;
    WINDOWPOS pos = {hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags};
    if ((uFlags & (SWP_NOSIZE | SWP_NOMOVE)) != 0) {
        RECT now;
        GetWindowRect(hWnd, &now);
        const POINT origin = IsTopLevel(record) ? POINT{now.left, now.top} : X11ChildOrigin(hWnd);
        if (uFlags & SWP_NOMOVE) pos.x = origin.x, pos.y = origin.y;
        if (uFlags & SWP_NOSIZE) pos.cx = record->width, pos.cy = record->height;
    }
    SendMessageA(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if ((record = X11FindWindow(hWnd)) == nullptr) return FALSE;
    const UINT flags = pos.flags;
    bool sized = false;
    if ((flags & SWP_NOSIZE) == 0) {
        const int width = std::max(pos.cx, 0);
        const int height = std::max(pos.cy, 0);
        sized = width != record->width || height != record->height;
        record->width = width;
        record->height = height;
        X11FixSizeHints(hWnd);
        XResizeWindow(display, record->xid, static_cast<unsigned>(std::max(width, 1)),
                      static_cast<unsigned>(std::max(height, 1)));
    }
    if ((flags & SWP_NOMOVE) == 0) {
        int x = pos.x, y = pos.y;
        if (IsTopLevel(record)) {
            const X11ScreenArea area = X11PrimaryArea();
            x += area.x;
            y += area.y;
            // Ask the window manager to keep the position the program chose.
            XSizeHints hints = {};
            long supplied = 0;
            XGetWMNormalHints(display, record->xid, &hints, &supplied);
            hints.flags |= USPosition | PPosition;
            hints.x = x;
            hints.y = y;
            XSetWMNormalHints(display, record->xid, &hints);
        }
        XMoveWindow(display, record->xid, x, y);
    }
    if ((flags & SWP_NOZORDER) == 0) {
        if (pos.hwndInsertAfter == HWND_BOTTOM)
            XLowerWindow(display, record->xid);
        else if (pos.hwndInsertAfter == HWND_TOP || pos.hwndInsertAfter == HWND_TOPMOST)
            XRaiseWindow(display, record->xid);
    }
    if (flags & SWP_SHOWWINDOW) ShowWindow(hWnd, SW_SHOW);
    if (flags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    XFlush(display);
    if ((record = X11FindWindow(hWnd)) == nullptr) return TRUE;
    if (sized) {
        SendMessageA(hWnd, WM_SIZE, 0, MAKELPARAM(record->width, record->height));
        if ((flags & SWP_NOREDRAW) == 0) InvalidateRect(hWnd, nullptr, TRUE);
    }
    SendMessageA(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD, BOOL, DWORD) {
    // The window manager draws frames and captions outside our X window, so
    // the window rectangle is the client rectangle.
    return lpRect != nullptr ? TRUE : FALSE;
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT, LPVOID pvParam, UINT) {
    if (uiAction != SPI_GETWORKAREA || pvParam == nullptr) return FALSE;
    Display* display = X11Display();
    if (display == nullptr) return FALSE;
    const X11ScreenArea area = X11PrimaryArea();
    RECT work = {area.x, area.y, area.x + area.width, area.y + area.height};
    // The window manager's work area of the current desktop, within the primary monitor.
    const Atom workArea = XInternAtom(display, "_NET_WORKAREA", True);
    if (workArea != None) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        X11ErrorTrap trap(display);
        const int status =
            XGetWindowProperty(display, DefaultRootWindow(display), workArea, 0, 4, False,
                               XA_CARDINAL, &type, &format, &count, &after, &data);
        if (trap.Sync() == 0 && status == Success && data != nullptr && format == 32 &&
            count >= 4) {
            const long* v = reinterpret_cast<const long*>(data);
            const RECT wm = {static_cast<LONG>(v[0]), static_cast<LONG>(v[1]),
                             static_cast<LONG>(v[0] + v[2]), static_cast<LONG>(v[1] + v[3])};
            RECT both;
            if (IntersectRect(&both, &work, &wm)) work = both;
        }
        if (data != nullptr) XFree(data);
    }
    OffsetRect(&work, -area.x, -area.y);
    *static_cast<RECT*>(pvParam) = work;
    return TRUE;
}
