// The built-in "Static" class: text (left, centred, right, word-wrapped,
// with or without '&' prefixes), icons and bitmaps, with SS_CENTERIMAGE and
// SS_SUNKEN. Statics are transparent to the mouse: their mouse messages go
// on to the parent, in its coordinates.
#include <unordered_map>

#include "platform/x11/controls.h"
#include "platform/x11/drawing.h"
#include "platform/x11/gdi_objects.h"
#include "platform/x11/icons.h"
#include "platform/x11/text.h"
#include "platform/x11/window.h"

namespace {

struct StaticState {
    HICON icon = nullptr;
    HBITMAP bitmap = nullptr;
};

std::unordered_map<HWND, StaticState>& States() {
    static auto* states = new std::unordered_map<HWND, StaticState>;
    return *states;
}

void Paint(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    const Window xid = record->xid;
    const DWORD style = record->style;
    const DWORD type = style & SS_TYPEMASK;
    const StaticState& state = States()[hWnd];
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT rect = {0, 0, record->width, record->height};
    COLORREF fill = face;
    if (type == SS_BITMAP && (style & SS_CENTERIMAGE) != 0 && X11IsLiveBitmap(state.bitmap) &&
        !state.bitmap->pixels.empty()) {
        // Around a centred bitmap the control takes the bitmap's top-left colour.
        const uint32_t p = state.bitmap->pixels[0];
        fill = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    if (type == SS_BLACKRECT) fill = GetSysColor(COLOR_3DDKSHADOW);
    if (type == SS_GRAYRECT) fill = GetSysColor(COLOR_BTNSHADOW);
    if (type == SS_WHITERECT) fill = GetSysColor(COLOR_BTNHIGHLIGHT);
    X11FillRect(xid, 0, 0, rect.right, rect.bottom, fill);
    if ((style & SS_SUNKEN) != 0) {
        X11Frame(xid, rect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        InflateRect(&rect, -1, -1);
    }
    if (type == SS_ETCHEDFRAME) {
        X11Frame(xid, RECT{0, 0, record->width - 1, record->height - 1},
                 GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
        X11Frame(xid, RECT{1, 1, record->width, record->height}, GetSysColor(COLOR_BTNHIGHLIGHT),
                 GetSysColor(COLOR_BTNHIGHLIGHT));
        return;
    }
    const bool centre = (style & SS_CENTERIMAGE) != 0;
    if (type == SS_ICON) {
        if (!X11IsLiveIcon(state.icon)) return;
        const int size = 32;
        int x = rect.left, y = rect.top;
        if (centre) {
            x = rect.left + (rect.right - rect.left - size) / 2;
            y = rect.top + (rect.bottom - rect.top - size) / 2;
        }
        X11DrawIconImage(xid, state.icon, x, y, size, fill);
        return;
    }
    if (type == SS_BITMAP) {
        if (!X11IsLiveBitmap(state.bitmap)) return;
        const HBITMAP bitmap = state.bitmap;
        int x = rect.left, y = rect.top;
        if (centre) {
            x = rect.left + (rect.right - rect.left - bitmap->width) / 2;
            y = rect.top + (rect.bottom - rect.top - bitmap->height) / 2;
        }
        std::vector<uint32_t> opaque(bitmap->pixels);
        for (uint32_t& p : opaque)
            p |= 0xFF000000u;
        X11PutPixels(xid, x, y, bitmap->width, bitmap->height, opaque.data(), fill);
        return;
    }
    if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) return;
    const int align = type == SS_CENTER ? 1 : type == SS_RIGHT ? 2 : 0;
    const bool wrap = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    X11DrawLabel(xid, X11ControlFont(hWnd), rect, record->title, align, centre, wrap && !centre,
                 (style & SS_NOPREFIX) != 0, (style & WS_DISABLED) != 0,
                 GetSysColor(COLOR_BTNTEXT));
}

}  // namespace

LRESULT CALLBACK X11StaticProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            States()[hWnd] = StaticState{};
            break;
        case WM_NCDESTROY:
            States().erase(hWnd);
            break;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case STM_SETICON: {
            StaticState& state = States()[hWnd];
            const HICON previous = state.icon;
            state.icon = reinterpret_cast<HICON>(wParam);
            X11RedrawControl(hWnd);
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(States()[hWnd].icon);
        case STM_SETIMAGE: {
            StaticState& state = States()[hWnd];
            LRESULT previous = 0;
            if (wParam == IMAGE_BITMAP) {
                previous = reinterpret_cast<LRESULT>(state.bitmap);
                state.bitmap = reinterpret_cast<HBITMAP>(lParam);
            } else if (wParam == IMAGE_ICON) {
                previous = reinterpret_cast<LRESULT>(state.icon);
                state.icon = reinterpret_cast<HICON>(lParam);
            } else {
                return 0;
            }
            X11RedrawControl(hWnd);
            return previous;
        }
        case STM_GETIMAGE:
            if (wParam == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(States()[hWnd].bitmap);
            if (wParam == IMAGE_ICON) return reinterpret_cast<LRESULT>(States()[hWnd].icon);
            return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return X11ForwardMouse(hWnd, message, wParam, lParam);
        default:
            break;
    }
    return X11ControlDefProc(hWnd, message, wParam, lParam, Paint);
}
