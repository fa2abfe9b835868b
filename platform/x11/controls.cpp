// The default procedure of the built-in controls and what they share.
#include "platform/x11/controls.h"

#include "platform/x11/dialog_data.h"
#include "platform/x11/dialog_focus.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"
#include "platform/x11/window_geometry.h"
#include "platform/x11/window_text.h"

void X11RedrawControl(HWND hWnd) {
    InvalidateRect(hWnd, nullptr, TRUE);
}

HFONT X11ControlFont(HWND hWnd) {
    WindowExtra* extra = X11Extra(hWnd, false);
    return extra != nullptr ? extra->font : nullptr;
}

void X11TakeFocus(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record != nullptr && X11Dialog(record->parent) != nullptr)
        X11DialogSetFocus(record->parent, hWnd);
}

LRESULT X11ForwardMouse(HWND hCtl, UINT message, WPARAM wParam, LPARAM lParam) {
    X11WindowRecord* record = X11FindWindow(hCtl);
    if (record == nullptr || record->parent == nullptr || record->foreignParent) return 0;
    const POINT origin = X11ChildOrigin(hCtl);
    const int x = static_cast<short>(LOWORD(lParam)) + origin.x;
    const int y = static_cast<short>(HIWORD(lParam)) + origin.y;
    return SendMessageA(record->parent, message, wParam,
                        MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

LRESULT X11ControlDefProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                          ControlPaint paint) {
    switch (message) {
        case WM_NCCREATE:
            if (X11WindowRecord* record = X11FindWindow(hWnd))
                if (WindowExtra* parent = X11Extra(record->parent, true))
                    parent->children.push_back(hWnd);
            return TRUE;
        case WM_NCDESTROY:
            if (GetCapture() == hWnd) ReleaseCapture();
            X11ForgetExtra(hWnd);
            return DefWindowProcA(hWnd, message, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hWnd, &ps);
            paint(hWnd);
            EndPaint(hWnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;  // the paint function covers the whole control
        case WM_SETTEXT:
            X11StoreWindowText(hWnd, reinterpret_cast<LPCSTR>(lParam));
            X11RedrawControl(hWnd);
            return TRUE;
        case WM_SETFONT:
            if (WindowExtra* extra = X11Extra(hWnd, true))
                extra->font = reinterpret_cast<HFONT>(wParam);
            if (lParam != 0) X11RedrawControl(hWnd);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(X11ControlFont(hWnd));
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            X11RedrawControl(hWnd);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return X11ForwardMouse(hWnd, message, wParam, lParam);
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}
