#include "platform/x11/window_input.h"

#include <mutex>

#include "platform/x11/message_loop.h"

namespace {

Atom g_wmProtocols = 0;
Atom g_wmDeleteWindow = 0;
HWND g_focus = nullptr;
bool g_appActive = false;

void InternAtoms() {
    static std::once_flag once;
    std::call_once(once, [] {
        Display* display = X11Display();
        g_wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
        g_wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    });
}

}  // namespace

unsigned long X11EventMask(bool foreignChild) {
    const unsigned long always = ExposureMask | StructureNotifyMask;
    if (foreignChild) return always;
    return always | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
           PointerMotionMask | EnterWindowMask | FocusChangeMask;
}

void X11SetWindowProtocols(Window xid) {
    InternAtoms();
    Atom protocols[] = {g_wmDeleteWindow};
    XSetWMProtocols(X11Display(), xid, protocols, 1);
}

bool X11IsCloseRequest(const XClientMessageEvent& message) {
    InternAtoms();
    return message.message_type == g_wmProtocols &&
           static_cast<Atom>(message.data.l[0]) == g_wmDeleteWindow;
}

void X11QueuePaint(HWND hWnd, X11WindowRecord* record) {
    if (record == nullptr || record->paintPending) return;
    // Pending only once the paint is queued: a paint that could not be posted
    // (a full queue) must not block every later one.
    PostWindowMessage(hWnd, WM_NCPAINT, 1, 0);
    if (PostWindowMessage(hWnd, WM_PAINT, 0, 0)) record->paintPending = true;
}

HWND X11FocusWindow() {
    return g_focus;
}

void X11SetFocusWindow(HWND hWnd) {
    g_focus = hWnd;
}

bool X11AppActive() {
    return g_appActive;
}

void X11SetAppActive(bool active) {
    g_appActive = active;
}

void X11ForgetFocus(HWND hWnd, X11WindowRecord* record) {
    if (g_focus == hWnd) g_focus = nullptr;
    if (record != nullptr && record->active) {
        record->active = false;
        g_appActive = false;
    }
    DiscardWindowMessages(hWnd);
}
