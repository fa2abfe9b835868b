// The window calls of the user subset that dialogs need and X2's window
// record does not cover: window words, texts, enabled state, rectangles in
// screen coordinates, SetWindowPos, the work area and mouse capture.
#include <X11/Xatom.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/x11/dialog_manager.h"
#include "platform/x11/display.h"
#include "platform/x11/window.h"

namespace {

std::unordered_map<HWND, WindowExtra>& Extras() {
    static auto* extras = new std::unordered_map<HWND, WindowExtra>;
    return *extras;
}

HWND g_capture = nullptr;

std::string Latin1ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

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

WindowExtra* X11Extra(HWND hWnd, bool create) {
    if (X11FindWindow(hWnd) == nullptr) return nullptr;
    auto& extras = Extras();
    auto found = extras.find(hWnd);
    if (found != extras.end()) return &found->second;
    if (!create) return nullptr;
    return &extras[hWnd];
}

void X11ForgetExtra(HWND hWnd) {
    auto& extras = Extras();
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record != nullptr && record->parent != nullptr) {
        auto parent = extras.find(record->parent);
        if (parent != extras.end()) {
            auto& list = parent->second.children;
            list.erase(std::remove(list.begin(), list.end(), hWnd), list.end());
        }
    }
    extras.erase(hWnd);
}

std::vector<HWND> X11Children(HWND hWnd) {
    std::vector<HWND> live;
    WindowExtra* extra = X11Extra(hWnd, false);
    if (extra == nullptr) return live;
    for (HWND child : extra->children)
        if (X11FindWindow(child) != nullptr) live.push_back(child);
    return live;
}

void X11StoreWindowText(HWND hWnd, LPCSTR text) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    record->title = text != nullptr ? text : "";
    Display* display = X11Display();
    // Children carry their text as their name too, so that tools find them.
    XStoreName(display, record->xid, record->title.c_str());
    if (!IsTopLevel(record)) return;
    const std::string utf8 = Latin1ToUtf8(record->title);
    XChangeProperty(display, record->xid, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()),
                    static_cast<int>(utf8.size()));
    XFlush(display);
}

std::string X11WindowText(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    return record != nullptr ? record->title : std::string();
}

DWORD X11Style(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    return record != nullptr ? record->style : 0;
}

void X11SetStyle(HWND hWnd, DWORD style) {
    if (X11WindowRecord* record = X11FindWindow(hWnd))
        record->style = (style & ~static_cast<DWORD>(WS_VISIBLE)) | (record->style & WS_VISIBLE);
}

void X11FixSizeHints(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    Display* display = X11Display();
    if (record == nullptr || display == nullptr || !IsTopLevel(record) ||
        (record->style & WS_THICKFRAME) != 0 || X11Dialog(hWnd) == nullptr)
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

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return 0;
    WindowExtra* extra = X11Extra(hWnd, false);
    DialogData* dialog = extra != nullptr ? extra->dialog : nullptr;
    switch (nIndex) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(record->proc);
        case GWL_STYLE:
            return static_cast<LONG_PTR>(record->style);
        case GWL_EXSTYLE:
            return static_cast<LONG_PTR>(record->exStyle);
        case GWLP_ID:
            return static_cast<LONG_PTR>(record->id);
        case GWLP_USERDATA:
            return extra != nullptr ? extra->userData : 0;
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(record->parent != nullptr
                                                  ? record->parent
                                                  : (extra != nullptr ? extra->owner : nullptr));
        case DWLP_MSGRESULT:
            return dialog != nullptr ? dialog->msgResult : 0;
        case DWLP_DLGPROC:
            return dialog != nullptr ? reinterpret_cast<LONG_PTR>(dialog->proc) : 0;
        case DWLP_USER:
            return dialog != nullptr ? dialog->user : 0;
        default:
            return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return 0;
    const LONG_PTR previous = GetWindowLongPtrA(hWnd, nIndex);
    WindowExtra* extra = X11Extra(hWnd, true);
    DialogData* dialog = extra->dialog;
    switch (nIndex) {
        case GWLP_WNDPROC:
            if (dwNewLong == 0) return 0;
            record->proc = reinterpret_cast<WNDPROC>(dwNewLong);
            break;
        case GWL_STYLE:
            X11SetStyle(hWnd, static_cast<DWORD>(dwNewLong));
            break;
        case GWL_EXSTYLE:
            record->exStyle = static_cast<DWORD>(dwNewLong);
            break;
        case GWLP_ID:
            record->id = static_cast<UINT_PTR>(dwNewLong);
            break;
        case GWLP_USERDATA:
            extra->userData = dwNewLong;
            break;
        case DWLP_MSGRESULT:
            if (dialog != nullptr) dialog->msgResult = dwNewLong;
            break;
        case DWLP_DLGPROC:
            if (dialog != nullptr) dialog->proc = reinterpret_cast<DLGPROC>(dwNewLong);
            break;
        case DWLP_USER:
            if (dialog != nullptr) dialog->user = dwNewLong;
            break;
        default:
            return 0;
    }
    return previous;
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (X11FindWindow(hWnd) == nullptr) return FALSE;
    // The built-in classes store the text on WM_SETTEXT; other windows get it stored here.
    if (SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) == 0)
        X11StoreWindowText(hWnd, lpString);
    return TRUE;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    const std::string text = X11WindowText(hWnd);
    const int n = std::min(static_cast<int>(text.size()), nMaxCount - 1);
    text.copy(lpString, static_cast<size_t>(n));
    lpString[n] = '\0';
    return n;
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    return static_cast<int>(X11WindowText(hWnd).size());
}

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

static bool ForeignRect(HWND hWnd, RECT* rect, bool* viewable);

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) {
        bool viewable = false;
        return ForeignRect(hWnd, nullptr, &viewable) && viewable ? TRUE : FALSE;
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

// Another program's window: its attributes and position from the server.
static bool ForeignRect(HWND hWnd, RECT* rect, bool* viewable) {
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
    if (record == nullptr) return ForeignRect(hWnd, lpRect, nullptr) ? TRUE : FALSE;
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

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return nullptr;
    switch (uCmd) {
        case GW_OWNER: {
            if (!IsTopLevel(record)) return nullptr;
            WindowExtra* extra = X11Extra(hWnd, false);
            return extra != nullptr ? extra->owner : nullptr;
        }
        case GW_CHILD: {
            const std::vector<HWND> children = X11Children(hWnd);
            return children.empty() ? nullptr : children.front();
        }
        case GW_HWNDNEXT:
        case GW_HWNDPREV: {
            const std::vector<HWND> siblings = X11Children(record->parent);
            auto at = std::find(siblings.begin(), siblings.end(), hWnd);
            if (at == siblings.end()) return nullptr;
            if (uCmd == GW_HWNDNEXT) return at + 1 != siblings.end() ? *(at + 1) : nullptr;
            return at != siblings.begin() ? *(at - 1) : nullptr;
        }
        default:
            return nullptr;
    }
}

HWND WINAPI GetActiveWindow(void) {
    return GetFocus();
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    return SetFocus(hWnd);
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
