// The display connection as a message source: X events become the window
// messages that Win32 code expects.
#include "platform/x11/events.h"

#include <chrono>
#include <mutex>

#include "platform/x11/display.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/message_loop.h"
#include "platform/x11/window.h"
#include "platform/x11/window_input.h"

namespace {

std::mutex& PumpLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

int DisplayFd(void*) {
    Display* display = X11Display();
    return display != nullptr ? ConnectionNumber(display) : -1;
}

// When this thread's latest wait found the connection's socket empty (it woke for a
// timer or a posted message): the loop looks into the queue several times after such a
// wait, and each look would otherwise try a read that fails. For a moment the socket is
// left alone (events Xlib holds are still taken); input that arrives meanwhile makes the
// next wait return at once, and a loop that never waits reads again after the moment.
thread_local bool t_quiet = false;
thread_local std::chrono::steady_clock::time_point t_quietSince;
constexpr auto kQuietRead = std::chrono::milliseconds(1);

void Polled(void*, bool readable) {
    t_quiet = !readable;
    if (t_quiet) t_quietSince = std::chrono::steady_clock::now();
}

bool Pump(void*) {
    Display* display = X11Display();
    if (display == nullptr) return false;
    std::unique_lock<std::mutex> guard(PumpLock(), std::try_to_lock);
    if (!guard.owns_lock()) return false;
    if (t_quiet && std::chrono::steady_clock::now() - t_quietSince >= kQuietRead) t_quiet = false;
    const bool read = !t_quiet;
    // The request number after the latest flush (under the pump lock): XFlush tries a
    // read of its own even with nothing to send, so it is called only for new requests.
    static unsigned long flushedNext = 0;
    bool any = false;
    for (;;) {
        int queued;
        if (read) {
            queued = XPending(display);  // flushes, then reads
            flushedNext = NextRequest(display);
        } else {
            queued = XEventsQueued(display, QueuedAlready);
        }
        if (queued <= 0) break;
        XEvent event;
        XNextEvent(display, &event);
        X11TranslateEvent(event);
        any = true;
    }
    if (NextRequest(display) != flushedNext) {
        XFlush(display);
        flushedNext = NextRequest(display);
    }
    return any;
}

LRESULT Dispatch(const MSG* msg) {
    X11WindowRecord* record = X11FindWindow(msg->hwnd);
    if (record == nullptr || record->proc == nullptr) return 0;       // the window is gone
    if (msg->message == WM_PAINT && !record->paintPending) return 0;  // validated since
    // SetCursor acts on the window under the pointer, the one being asked.
    if (msg->message == WM_SETCURSOR) X11SetCursorWindow(msg->hwnd);
    return record->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

WPARAM MouseKeys(unsigned int state) {
    WPARAM keys = 0;
    if (state & Button1Mask) keys |= MK_LBUTTON;
    if (state & Button2Mask) keys |= MK_MBUTTON;
    if (state & Button3Mask) keys |= MK_RBUTTON;
    if (state & ShiftMask) keys |= MK_SHIFT;
    if (state & ControlMask) keys |= MK_CONTROL;
    return keys;
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

bool IsTopLevel(const X11WindowRecord* record) {
    return (record->style & WS_CHILD) == 0;
}

void PostMouseMove(HWND hWnd, int x, int y, unsigned int state) {
    PostWindowMessage(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                      MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PostWindowMessage(hWnd, WM_MOUSEMOVE, MouseKeys(state), Point(x, y));
}

void Activate(HWND hWnd, X11WindowRecord* record) {
    if (record->active) return;
    record->active = true;
    const HWND previous = X11FocusWindow();
    X11SetFocusWindow(hWnd);
    if (!X11AppActive()) {
        X11SetAppActive(true);
        PostWindowMessage(hWnd, WM_ACTIVATEAPP, TRUE, 0);
    }
    PostWindowMessage(hWnd, WM_NCACTIVATE, TRUE, 0);
    PostWindowMessage(hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
    PostWindowMessage(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
}

void Deactivate(HWND hWnd, X11WindowRecord* record) {
    if (!record->active) return;
    record->active = false;
    if (X11FocusWindow() == hWnd) X11SetFocusWindow(nullptr);
    PostWindowMessage(hWnd, WM_NCACTIVATE, FALSE, 0);
    PostWindowMessage(hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    // The application loses activation unless the focus went to another of
    // our windows.
    Display* display = X11Display();
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (X11FindWindow(X11Handle(focus)) == nullptr && X11AppActive()) {
        X11SetAppActive(false);
        PostWindowMessage(hWnd, WM_ACTIVATEAPP, FALSE, 0);
    }
    PostWindowMessage(hWnd, WM_KILLFOCUS, 0, 0);
}

void Key(HWND hWnd, const XKeyEvent& event, bool down) {
    XKeyEvent copy = event;
    KeySym keysym = 0;
    char text[8];
    XLookupString(&copy, text, sizeof text, &keysym, nullptr);
    UINT vk = X11VirtualKey(keysym);
    if (vk == 0) vk = 0xFF;  // a key without a code of its own still is a key
    const bool system = X11IsSystemKey(vk, event.state);
    LPARAM lParam = 1 | (static_cast<LPARAM>((event.keycode - 8) & 0xFF) << 16);
    if ((event.state & Mod1Mask) != 0 || (vk == VK_MENU && down)) lParam |= 1L << 29;
    if (!down) lParam |= (1L << 30) | (1L << 31);
    const UINT message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    PostWindowMessage(hWnd, message, vk, lParam);
}

}  // namespace

void X11StartEvents() {
    static std::once_flag once;
    std::call_once(once, [] {
        SetWindowThreadResolver(X11WindowThread);
        SetWindowDispatcher(Dispatch);
        AddMessageSource({DisplayFd, Pump, nullptr, Polled});
    });
}

void X11TranslateEvent(const XEvent& event) {
    const HWND hWnd = X11Handle(event.xany.window);
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->destroying) return;
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) X11QueuePaint(hWnd, X11FindWindow(hWnd));
            break;
        case ConfigureNotify:
            if (event.xconfigure.width != record->width ||
                event.xconfigure.height != record->height) {
                record->width = event.xconfigure.width;
                record->height = event.xconfigure.height;
                PostWindowMessage(hWnd, WM_SIZE, 0, Point(record->width, record->height));
            }
            break;
        case MapNotify:
            record->mapped = true;
            if (IsTopLevel(record)) {
                // A shown top-level window becomes the active one, as on Windows.
                X11ErrorTrap trap(X11Display());
                XSetInputFocus(X11Display(), record->xid, RevertToParent, CurrentTime);
                trap.Sync();
            }
            break;
        case UnmapNotify:
            record->mapped = false;
            break;
        case DestroyNotify:
            // Destroyed by the server, e.g. with its foreign parent.
            X11DestroyWindowTree(hWnd, true);
            break;
        case FocusIn:
            if (IsTopLevel(record) && event.xfocus.mode != NotifyGrab &&
                event.xfocus.mode != NotifyUngrab && event.xfocus.detail != NotifyInferior &&
                event.xfocus.detail != NotifyPointer)
                Activate(hWnd, record);
            break;
        case FocusOut:
            if (IsTopLevel(record) && event.xfocus.mode != NotifyGrab &&
                event.xfocus.mode != NotifyUngrab && event.xfocus.detail != NotifyInferior &&
                event.xfocus.detail != NotifyPointer)
                Deactivate(hWnd, record);
            break;
        case EnterNotify:
            // The window came up under the cursor or the cursor entered it.
            if (event.xcrossing.mode == NotifyNormal)
                PostMouseMove(hWnd, event.xcrossing.x, event.xcrossing.y, event.xcrossing.state);
            break;
        case MotionNotify:
            PostMouseMove(hWnd, event.xmotion.x, event.xmotion.y, event.xmotion.state);
            break;
        case ButtonPress:
        case ButtonRelease: {
            const XButtonEvent& b = event.xbutton;
            const bool down = event.type == ButtonPress;
            const X11ScreenArea area = X11PrimaryArea();
            switch (b.button) {
                case Button1:
                    PostWindowMessage(hWnd, down ? WM_LBUTTONDOWN : WM_LBUTTONUP,
                                      MouseKeys(b.state), Point(b.x, b.y));
                    break;
                case Button2:
                    PostWindowMessage(hWnd, down ? WM_MBUTTONDOWN : WM_MBUTTONUP,
                                      MouseKeys(b.state), Point(b.x, b.y));
                    break;
                case Button3:
                    PostWindowMessage(hWnd, down ? WM_RBUTTONDOWN : WM_RBUTTONUP,
                                      MouseKeys(b.state), Point(b.x, b.y));
                    break;
                case Button4:
                case Button5:
                case 6:
                case 7:
                    if (down) {
                        // One wheel notch; the wheel reports screen coordinates.
                        const short delta =
                            (b.button == Button4 || b.button == 7) ? WHEEL_DELTA : -WHEEL_DELTA;
                        const UINT message = b.button <= Button5 ? WM_MOUSEWHEEL : WM_MOUSEHWHEEL;
                        PostWindowMessage(hWnd, message,
                                          MAKEWPARAM(MouseKeys(b.state), static_cast<WORD>(delta)),
                                          Point(b.x_root - area.x, b.y_root - area.y));
                    }
                    break;
                default:
                    break;
            }
            break;
        }
        case KeyPress:
        case KeyRelease:
            Key(hWnd, event.xkey, event.type == KeyPress);
            break;
        case ClientMessage:
            if (X11IsCloseRequest(event.xclient)) PostWindowMessage(hWnd, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return PostWindowMessage(hWnd, Msg, wParam, lParam);
}
