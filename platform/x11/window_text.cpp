// Window texts: SetWindowTextA and GetWindowTextA, and the names our X
// windows carry (_NET_WM_NAME in UTF-8 for top-level windows).
#include "platform/x11/window_text.h"

#include <X11/Xatom.h>

#include <algorithm>

#include "platform/x11/window.h"

namespace {

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

}  // namespace

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
