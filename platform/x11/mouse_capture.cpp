// Mouse capture and the cursor position.
#include "platform/x11/display.h"
#include "platform/x11/window.h"

namespace {

HWND g_capture = nullptr;

}  // namespace

HWND WINAPI SetCapture(HWND hWnd) {
    const HWND previous = g_capture;
    X11WindowRecord* record = X11FindWindow(hWnd);
    Display* display = X11Display();
    if (record == nullptr || display == nullptr) return previous;
    // Pointer events go to the capturing window, in its coordinates.
    XGrabPointer(display, record->xid, False,
                 ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                 GrabModeAsync, None, None, CurrentTime);
    XFlush(display);
    g_capture = hWnd;
    if (previous != nullptr && previous != hWnd)
        SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    const HWND previous = g_capture;
    g_capture = nullptr;
    if (Display* display = X11Display()) {
        XUngrabPointer(display, CurrentTime);
        XFlush(display);
    }
    if (previous != nullptr) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND WINAPI GetCapture(void) {
    if (g_capture != nullptr && X11FindWindow(g_capture) == nullptr) g_capture = nullptr;
    return g_capture;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    Display* display = X11Display();
    if (display == nullptr || lpPoint == nullptr) return FALSE;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    const X11ScreenArea area = X11PrimaryArea();
    *lpPoint = POINT{rootX - area.x, rootY - area.y};
    return TRUE;
}
