// Window classes, creation and destruction, painting, the default window
// procedure and the small window queries of the user subset.
#include "platform/x11/window.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/x11/display.h"
#include "platform/x11/window_input.h"

namespace {

struct WindowClass {
    WNDCLASSA wc;
    std::string name;
};

// Registered classes and our windows. Allocated once and never freed: the
// worker threads may post to windows while the process exits.
std::unordered_map<std::string, WindowClass>& Classes() {
    static auto* classes = new std::unordered_map<std::string, WindowClass>;
    return *classes;
}

// Class names compare without regard to letter case, as on Windows: the
// table is keyed by the name in lower case.
std::string ClassKey(const char* name) {
    std::string key = name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

std::mutex& TableLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::unordered_map<Window, X11WindowRecord*>& Table() {
    static auto* table = new std::unordered_map<Window, X11WindowRecord*>;
    return *table;
}

HWND g_cursorWindow = nullptr;
HCURSOR g_cursor = nullptr;
Cursor g_invisibleCursor = 0;

// X window ids have 29 significant bits; anything else is no window.
bool PlausibleId(HWND hWnd) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(hWnd);
    return value != 0 && value <= 0x1FFFFFFFu;
}

Cursor InvisibleCursor(Display* display) {
    if (g_invisibleCursor == 0) {
        static const char kEmpty[1] = {0};
        const Window root = DefaultRootWindow(display);
        Pixmap blank = XCreateBitmapFromData(display, root, kEmpty, 1, 1);
        XColor black = {};
        g_invisibleCursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
        XFreePixmap(display, blank);
    }
    return g_invisibleCursor;
}

void Forget(Window xid) {
    std::lock_guard<std::mutex> guard(TableLock());
    auto& table = Table();
    auto found = table.find(xid);
    if (found == table.end()) return;
    delete found->second;
    table.erase(found);
}

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    std::lock_guard<std::mutex> guard(TableLock());
    for (const auto& entry : Table()) {
        if (entry.second->parent == parent && (entry.second->style & WS_CHILD) != 0)
            children.push_back(X11Handle(entry.first));
    }
    return children;
}

void SendDestroy(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->destroying) return;
    record->destroying = true;
    SendMessageA(hWnd, WM_DESTROY, 0, 0);
    for (HWND child : ChildrenOf(hWnd))
        SendDestroy(child);
}

void SendNcDestroy(HWND hWnd, bool serverDestroyed) {
    for (HWND child : ChildrenOf(hWnd))
        SendNcDestroy(child, serverDestroyed);
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    SendMessageA(hWnd, WM_NCDESTROY, 0, 0);
    if (g_cursorWindow == hWnd) g_cursorWindow = nullptr;
    X11ForgetFocus(hWnd, X11FindWindow(hWnd));  // the handler may have changed the table
    Forget(X11WindowId(hWnd));
}

}  // namespace

X11WindowRecord* X11FindWindow(HWND hWnd) {
    if (!PlausibleId(hWnd)) return nullptr;
    std::lock_guard<std::mutex> guard(TableLock());
    auto& table = Table();
    auto found = table.find(X11WindowId(hWnd));
    return found == table.end() ? nullptr : found->second;
}

DWORD X11WindowThread(HWND hWnd) {
    if (!PlausibleId(hWnd)) return 0;
    std::lock_guard<std::mutex> guard(TableLock());
    auto& table = Table();
    auto found = table.find(X11WindowId(hWnd));
    return found == table.end() ? 0 : found->second->threadId;
}

DWORD X11Style(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    return record != nullptr ? record->style : 0;
}

void X11SetStyle(HWND hWnd, DWORD style) {
    if (X11WindowRecord* record = X11FindWindow(hWnd))
        record->style = (style & ~static_cast<DWORD>(WS_VISIBLE)) | (record->style & WS_VISIBLE);
}

void X11SetCursorWindow(HWND hWnd) {
    g_cursorWindow = hWnd;
}

void X11DestroyWindowTree(HWND hWnd, bool serverDestroyed) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    Display* display = X11Display();
    const Window xid = record->xid;
    if (!serverDestroyed && record->mapped) {
        XUnmapWindow(display, xid);
        SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
    }
    SendDestroy(hWnd);
    SendNcDestroy(hWnd, serverDestroyed);
    if (!serverDestroyed) {
        X11ErrorTrap trap(display);
        XDestroyWindow(display, xid);
        trap.Sync();
    }
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
    if (lpWndClass == nullptr || lpWndClass->lpszClassName == nullptr ||
        lpWndClass->lpfnWndProc == nullptr)
        return 0;
    auto& classes = Classes();
    const std::string name = lpWndClass->lpszClassName;
    const std::string key = ClassKey(name.c_str());
    if (classes.count(key) != 0) return 0;  // already registered
    WindowClass entry{*lpWndClass, name};
    auto inserted = classes.emplace(key, entry).first;
    inserted->second.wc.lpszClassName = inserted->second.name.c_str();
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL WINAPI GetClassInfoA(HINSTANCE, LPCSTR lpClassName, LPWNDCLASSA lpWndClass) {
    if (lpClassName == nullptr || lpWndClass == nullptr) return FALSE;
    auto& classes = Classes();
    auto found = classes.find(ClassKey(lpClassName));
    if (found == classes.end()) return FALSE;
    *lpWndClass = found->second.wc;
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle,
                            int X, int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                            HINSTANCE hInstance, LPVOID lpParam) {
    Display* display = X11Display();
    if (display == nullptr || lpClassName == nullptr) return nullptr;
    auto& classes = Classes();
    auto found = classes.find(ClassKey(lpClassName));
    if (found == classes.end()) return nullptr;
    const WNDCLASSA& wc = found->second.wc;

    const bool child = (dwStyle & WS_CHILD) != 0;
    if (child && hWndParent == nullptr) return nullptr;
    const int screen = DefaultScreen(display);
    Window parentId = RootWindow(display, screen);
    bool foreign = false;
    if (child) {
        if (!PlausibleId(hWndParent)) return nullptr;
        X11WindowRecord* parent = X11FindWindow(hWndParent);
        if (parent == nullptr) {
            // A foreign window: it must exist on this display.
            XWindowAttributes attributes;
            X11ErrorTrap trap(display);
            const Status ok = XGetWindowAttributes(display, X11WindowId(hWndParent), &attributes);
            if (trap.Sync() != 0 || ok == 0) return nullptr;
            foreign = true;
        }
        parentId = X11WindowId(hWndParent);
    } else {
        if (X == CW_USEDEFAULT) X = Y = 0;
        if (nWidth == CW_USEDEFAULT) nWidth = nHeight = 0;
        const X11ScreenArea area = X11PrimaryArea();  // screen coordinates start there
        X += area.x;
        Y += area.y;
    }
    const int width = std::max(nWidth, 1);
    const int height = std::max(nHeight, 1);

    XSetWindowAttributes attributes = {};
    unsigned long mask = CWBackPixmap | CWEventMask;
    attributes.background_pixmap = None;  // nothing is erased: the window paints itself
    attributes.event_mask = X11EventMask(foreign);
    if (!child && (dwStyle & WS_POPUP) != 0 && (dwExStyle & WS_EX_TOPMOST) != 0) {
        attributes.override_redirect = True;
        mask |= CWOverrideRedirect;
    }
    Window xid = 0;
    {
        X11ErrorTrap trap(display);
        xid = XCreateWindow(display, parentId, X, Y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                            CopyFromParent, mask, &attributes);
        if (trap.Sync() != 0 || xid == 0) {
            if (xid != 0) {
                X11ErrorTrap cleanup(display);
                XDestroyWindow(display, xid);
                cleanup.Sync();
            }
            return nullptr;
        }
    }

    auto* record = new X11WindowRecord;
    record->xid = xid;
    record->parent = child ? hWndParent : nullptr;
    record->foreignParent = foreign;
    record->proc = wc.lpfnWndProc;
    record->classStyle = wc.style;
    record->classCursor = wc.hCursor;
    record->style = dwStyle & ~static_cast<DWORD>(WS_VISIBLE);
    record->exStyle = dwExStyle;
    record->id = child ? reinterpret_cast<UINT_PTR>(hMenu) : 0;
    record->width = nWidth > 0 ? nWidth : 0;
    record->height = nHeight > 0 ? nHeight : 0;
    record->threadId = GetCurrentThreadId();
    record->title = lpWindowName != nullptr ? lpWindowName : "";
    {
        std::lock_guard<std::mutex> guard(TableLock());
        Table()[xid] = record;
    }
    HWND hWnd = X11Handle(xid);

    // Children carry their text as their name too, so that tools (and the
    // end-to-end tests) find controls by their text.
    if (!record->title.empty()) XStoreName(display, xid, record->title.c_str());
    if (!child) X11SetWindowProtocols(xid);
    if (wc.hCursor != nullptr)
        XDefineCursor(display, xid, static_cast<Cursor>(reinterpret_cast<uintptr_t>(wc.hCursor)));

    CREATESTRUCTA cs = {};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.x = X;
    cs.y = Y;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    if (SendMessageA(hWnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) == 0 ||
        SendMessageA(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        X11DestroyWindowTree(hWnd, false);
        return nullptr;
    }
    if (X11FindWindow(hWnd) == nullptr) return nullptr;  // destroyed while being created
    if ((dwStyle & WS_VISIBLE) != 0) ShowWindow(hWnd, SW_SHOW);
    XFlush(display);
    return hWnd;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->threadId != GetCurrentThreadId()) return FALSE;
    if (record->destroying) return TRUE;
    X11DestroyWindowTree(hWnd, false);
    XFlush(X11Display());
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) {
    if (!PlausibleId(hWnd)) return FALSE;
    if (X11WindowRecord* record = X11FindWindow(hWnd)) return record->destroying ? FALSE : TRUE;
    Display* display = X11Display();
    if (display == nullptr) return FALSE;
    XWindowAttributes attributes;
    X11ErrorTrap trap(display);
    const Status ok = XGetWindowAttributes(display, X11WindowId(hWnd), &attributes);
    return trap.Sync() == 0 && ok != 0 ? TRUE : FALSE;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return FALSE;
    const BOOL wasVisible = (record->style & WS_VISIBLE) != 0 ? TRUE : FALSE;
    Display* display = X11Display();
    if (nCmdShow == SW_HIDE) {
        if (wasVisible) {
            record->style &= ~static_cast<DWORD>(WS_VISIBLE);
            SendMessageA(hWnd, WM_SHOWWINDOW, FALSE, 0);
            if ((record = X11FindWindow(hWnd)) != nullptr) XUnmapWindow(display, record->xid);
        }
    } else if (!wasVisible) {
        record->style |= WS_VISIBLE;
        SendMessageA(hWnd, WM_SHOWWINDOW, TRUE, 0);
        if ((record = X11FindWindow(hWnd)) != nullptr) {
            if ((record->style & WS_CHILD) != 0)
                XMapWindow(display, record->xid);
            else
                XMapRaised(display, record->xid);
        }
    }
    XFlush(display);
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return FALSE;
    if (record->paintPending) SendMessageA(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

HWND WINAPI GetParent(HWND hWnd) {
    if (X11WindowRecord* record = X11FindWindow(hWnd)) return record->parent;
    return nullptr;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (lpRect == nullptr) return FALSE;
    *lpRect = {0, 0, 0, 0};
    if (X11WindowRecord* record = X11FindWindow(hWnd)) {
        lpRect->right = record->width;
        lpRect->bottom = record->height;
        return TRUE;
    }
    Display* display = X11Display();
    if (display == nullptr || !PlausibleId(hWnd)) return FALSE;
    XWindowAttributes attributes;
    X11ErrorTrap trap(display);
    const Status ok = XGetWindowAttributes(display, X11WindowId(hWnd), &attributes);
    if (trap.Sync() != 0 || ok == 0) return FALSE;
    lpRect->right = attributes.width;
    lpRect->bottom = attributes.height;
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return FALSE;
    X11QueuePaint(hWnd, record);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    if (lpPaint == nullptr) return nullptr;
    std::memset(lpPaint, 0, sizeof *lpPaint);
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return nullptr;
    record->paintPending = false;
    lpPaint->rcPaint = {0, 0, record->width, record->height};
    lpPaint->hdc = GetDC(hWnd);
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint != nullptr && lpPaint->hdc != nullptr) ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    return lpPrevWndFunc != nullptr ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->proc == nullptr) return 0;
    return record->proc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hWnd, &ps);
            EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_NCACTIVATE:
            return TRUE;
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the top-level window to close.
            if (wParam == VK_F4 && (lParam & (1L << 29)) != 0) {
                HWND top = hWnd;
                while (X11WindowRecord* r = X11FindWindow(top)) {
                    if ((r->style & WS_CHILD) == 0 || r->foreignParent) break;
                    top = r->parent;
                }
                SendMessageA(top, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(hWnd, WM_CLOSE, 0, 0);
            return 0;
        case WM_SETCURSOR:
            if (record != nullptr && (record->style & WS_CHILD) != 0 && !record->foreignParent &&
                SendMessageA(record->parent, WM_SETCURSOR, wParam, lParam) != 0)
                return TRUE;
            if (record != nullptr && LOWORD(lParam) == HTCLIENT && record->classCursor != nullptr) {
                SetCursor(record->classCursor);
                return TRUE;
            }
            return FALSE;
        case WM_MOUSEWHEEL:
            if (record != nullptr && (record->style & WS_CHILD) != 0 && !record->foreignParent)
                return SendMessageA(record->parent, Msg, wParam, lParam);
            return 0;
        default:
            return 0;
    }
}

int WINAPI GetSystemMetrics(int nIndex) {
    if (X11Display() == nullptr) return 0;
    switch (nIndex) {
        case SM_CXSCREEN:
            return X11PrimaryArea().width;
        case SM_CYSCREEN:
            return X11PrimaryArea().height;
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        default:
            return 0;
    }
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    const HCURSOR previous = g_cursor;
    g_cursor = hCursor;
    Display* display = X11Display();
    X11WindowRecord* record = X11FindWindow(g_cursorWindow);
    if (display != nullptr && record != nullptr) {
        const Cursor cursor = hCursor == nullptr
                                  ? InvisibleCursor(display)
                                  : static_cast<Cursor>(reinterpret_cast<uintptr_t>(hCursor));
        XDefineCursor(display, record->xid, cursor);
        XFlush(display);
    }
    return previous;
}
