// The common controls' trackbar ("msctls_trackbar32"): a range, a position,
// automatic tick marks (on top with TBS_TOP), dragging the thumb, paging by
// clicks beside it, and the keyboard (arrows, Page Up/Down, Home, End).
// Every change is reported to the parent with WM_HSCROLL (WM_VSCROLL for
// TBS_VERT) and the trackbar's handle in lParam.
#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/x11/controls.h"
#include "platform/x11/dialog_focus.h"
#include "platform/x11/drawing.h"
#include "platform/x11/window.h"

namespace {

constexpr int kThumbWidth = 11;  // across the channel
constexpr int kEndMargin = 5;    // between the control's edge and the thumb at an end
constexpr int kTickLength = 3;
constexpr int kMaxTicks = 512;

struct TrackState {
    LONG min = 0;
    LONG max = 100;
    LONG pos = 0;
    LONG ticFreq = 1;
    LONG lineSize = 1;
    LONG pageSize = 20;
    bool pageSet = false;  // TBM_SETPAGESIZE was used: no default page size any more
    bool dragging = false;
    int dragOffset = 0;
    bool paging = false;
    int pageDirection = 0;  // -1 towards the minimum, +1 towards the maximum
    int pointerX = 0;       // where the paging press is held
};

constexpr UINT_PTR kPageTimer = 1;
constexpr UINT kPageDelayMs = 400;  // before a held press repeats
constexpr UINT kPageRepeatMs = 100;

std::unordered_map<HWND, TrackState>& States() {
    static auto* states = new std::unordered_map<HWND, TrackState>;
    return *states;
}

struct Geometry {
    int first;  // thumb centre at min
    int last;   // thumb centre at max
    int thumbTop;
    int thumbBottom;  // exclusive
    int pointDepth;   // the pointed end's length (towards the ticks)
    RECT channel;
};

Geometry Layout(const X11WindowRecord* record) {
    Geometry g;
    const int w = record->width;
    const int h = record->height;
    const bool top = (record->style & TBS_TOP) != 0 && (record->style & TBS_BOTH) == 0;
    const bool ticks = (record->style & TBS_NOTICKS) == 0;
    g.first = kEndMargin + kThumbWidth / 2;
    g.last = std::max(g.first, w - 1 - kEndMargin - kThumbWidth / 2);
    const int tickSpace = ticks ? kTickLength + 3 : 2;
    g.thumbTop = top ? tickSpace : 2;
    g.thumbBottom = top ? std::min(h - 2, g.thumbTop + 21) : std::min(h - tickSpace, 2 + 21);
    if (g.thumbBottom - g.thumbTop < 8) g.thumbBottom = std::min(h, g.thumbTop + 8);
    g.pointDepth = ticks ? kThumbWidth / 2 : 0;
    const int bodyTop = top ? g.thumbTop + g.pointDepth : g.thumbTop;
    const int bodyBottom = top ? g.thumbBottom : g.thumbBottom - g.pointDepth;
    const int middle = (bodyTop + bodyBottom) / 2;
    g.channel = {g.first - kThumbWidth / 2 - 2, middle - 2, g.last + kThumbWidth / 2 + 3,
                 middle + 2};
    return g;
}

int ValueX(const TrackState& s, const Geometry& g, LONG value) {
    if (s.max <= s.min) return g.first;
    const int64_t span = g.last - g.first;
    return g.first + static_cast<int>((int64_t(value) - s.min) * span / (int64_t(s.max) - s.min));
}

LONG ValueAt(const TrackState& s, const Geometry& g, int x) {
    if (s.max <= s.min || g.last <= g.first) return s.min;
    const int64_t span = g.last - g.first;
    const int64_t offset = std::clamp<int64_t>(x - g.first, 0, span);
    const int64_t range = int64_t(s.max) - s.min;
    return static_cast<LONG>(s.min + (offset * range + span / 2) / span);
}

LONG Clamp(const TrackState& s, LONG value) {
    if (s.max < s.min) return s.min;
    return std::clamp(value, s.min, s.max);
}

RECT ThumbRect(const TrackState& s, const Geometry& g) {
    const int centre = ValueX(s, g, s.pos);
    return RECT{centre - kThumbWidth / 2, g.thumbTop, centre - kThumbWidth / 2 + kThumbWidth,
                g.thumbBottom};
}

std::vector<LONG> Ticks(const TrackState& s) {
    std::vector<LONG> ticks;
    if (s.max < s.min) return ticks;
    LONG freq = std::max<LONG>(1, s.ticFreq);
    const int64_t range = int64_t(s.max) - s.min;
    if (range / freq > kMaxTicks) freq = static_cast<LONG>(range / kMaxTicks + 1);
    for (int64_t v = s.min; v < s.max; v += freq)
        ticks.push_back(static_cast<LONG>(v));
    ticks.push_back(s.max);
    return ticks;
}

// The classic thumb pointing up: highlight on the left and the left slope,
// dark shadow and shadow on the right, the right slope and the bottom.
void PaintThumb(Window xid, const RECT& r, int pointDepth, bool pointUp) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    const int left = r.left, right = r.right - 1, top = r.top, bottom = r.bottom - 1;
    const int centre = (left + right) / 2;
    if (pointDepth == 0 || !pointUp) {
        const int bodyBottom = pointDepth == 0 ? bottom : bottom - pointDepth;
        X11FillRect(xid, left, top, right - left + 1, bodyBottom - top + 1, face);
        X11Line(xid, left, top, right - 1, top, light);
        X11Line(xid, left, top, left, bodyBottom, light);
        X11Line(xid, right, top, right, bodyBottom, dark);
        X11Line(xid, right - 1, top + 1, right - 1, bodyBottom, shadow);
        if (pointDepth == 0) {
            X11Line(xid, left, bottom, right, bottom, dark);
            X11Line(xid, left + 1, bottom - 1, right - 1, bottom - 1, shadow);
        } else {
            for (int i = 1; i <= pointDepth; ++i)
                X11Line(xid, left + i, bodyBottom + i, right - i, bodyBottom + i, face);
            X11Line(xid, left, bodyBottom, centre, bottom, light);
            X11Line(xid, centre, bottom, right, bodyBottom, dark);
            X11Line(xid, centre, bottom - 1, right - 1, bodyBottom, shadow);
        }
        return;
    }
    const int bodyTop = top + pointDepth;
    X11FillRect(xid, left, bodyTop, right - left + 1, bottom - bodyTop + 1, face);
    for (int i = 0; i < pointDepth; ++i)
        X11Line(xid, centre - i, top + i, centre + i, top + i, face);
    X11Line(xid, left, bodyTop, centre, top, light);
    X11Line(xid, left, bodyTop, left, bottom, light);
    X11Line(xid, centre, top, right, bodyTop, dark);
    X11Line(xid, centre, top + 1, right - 1, bodyTop, shadow);
    X11Line(xid, right, bodyTop, right, bottom, dark);
    X11Line(xid, right - 1, bodyTop, right - 1, bottom - 1, shadow);
    X11Line(xid, left, bottom, right, bottom, dark);
    X11Line(xid, left + 1, bottom - 1, right - 1, bottom - 1, shadow);
}

void Paint(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    const TrackState& s = States()[hWnd];
    const Window xid = record->xid;
    const Geometry g = Layout(record);
    X11FillRect(xid, 0, 0, record->width, record->height, GetSysColor(COLOR_BTNFACE));
    X11SunkenEdge(xid, g.channel);
    X11FillRect(xid, g.channel.left + 2, g.channel.top + 2, g.channel.right - g.channel.left - 4,
                g.channel.bottom - g.channel.top - 4, GetSysColor(COLOR_BTNHIGHLIGHT));
    const bool top = (record->style & TBS_TOP) != 0 && (record->style & TBS_BOTH) == 0;
    if ((record->style & TBS_NOTICKS) == 0 && (record->style & TBS_AUTOTICKS) != 0) {
        const std::vector<LONG> ticks = Ticks(s);
        for (LONG value : ticks) {
            const int x = ValueX(s, g, value);
            const bool end = value == s.min || value == s.max;
            const int length = kTickLength + (end ? 1 : 0);
            if (top)
                X11Line(xid, x, g.thumbTop - 2 - length + 1, x, g.thumbTop - 2,
                        GetSysColor(COLOR_BTNTEXT));
            else
                X11Line(xid, x, g.thumbBottom + 1, x, g.thumbBottom + length,
                        GetSysColor(COLOR_BTNTEXT));
        }
    }
    PaintThumb(xid, ThumbRect(s, g), g.pointDepth, top);
    if (X11HasFocus(hWnd)) X11FocusRect(xid, RECT{0, 0, record->width, record->height});
}

void Notify(HWND hWnd, WORD code, LONG pos) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->parent == nullptr) return;
    const UINT message = (record->style & TBS_VERT) != 0 ? WM_VSCROLL : WM_HSCROLL;
    const WORD position =
        code == TB_THUMBTRACK || code == TB_THUMBPOSITION ? static_cast<WORD>(pos) : 0;
    SendMessageA(record->parent, message, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(hWnd));
}

void SetRange(HWND hWnd, LONG min, LONG max, bool redraw) {
    TrackState& s = States()[hWnd];
    s.min = min;
    s.max = max;
    if (!s.pageSet) s.pageSize = std::max<LONG>(1, static_cast<LONG>((int64_t(max) - min) / 5));
    s.pos = Clamp(s, s.pos);
    if (redraw) X11RedrawControl(hWnd);
}

// Moves by a key or a page click; reports the step and returns whether it moved.
void Step(HWND hWnd, WORD code, LONG target) {
    TrackState& s = States()[hWnd];
    const LONG value = Clamp(s, target);
    if (value != s.pos) {
        s.pos = value;
        X11RedrawControl(hWnd);
    }
    Notify(hWnd, code, s.pos);
}

}  // namespace

LRESULT CALLBACK X11TrackbarProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            States()[hWnd] = TrackState{};
            break;
        case WM_NCDESTROY:
            States().erase(hWnd);
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFONT:
            return 0;  // no text: the font is not kept
        case TBM_GETPOS:
            return States()[hWnd].pos;
        case TBM_GETRANGEMIN:
            return States()[hWnd].min;
        case TBM_GETRANGEMAX:
            return States()[hWnd].max;
        case TBM_SETPOS: {
            TrackState& s = States()[hWnd];
            s.pos = Clamp(s, static_cast<LONG>(lParam));
            if (wParam != 0) X11RedrawControl(hWnd);
            return 0;
        }
        case TBM_SETRANGE:
            SetRange(hWnd, static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)),
                     wParam != 0);
            return 0;
        case TBM_SETRANGEMIN:
            SetRange(hWnd, static_cast<LONG>(lParam), States()[hWnd].max, wParam != 0);
            return 0;
        case TBM_SETRANGEMAX:
            SetRange(hWnd, States()[hWnd].min, static_cast<LONG>(lParam), wParam != 0);
            return 0;
        case TBM_SETTICFREQ:
            States()[hWnd].ticFreq = std::max<LONG>(1, static_cast<LONG>(wParam));
            X11RedrawControl(hWnd);
            return 0;
        case TBM_CLEARTICS:
            return 0;
        case TBM_GETNUMTICS:
            return static_cast<LRESULT>(Ticks(States()[hWnd]).size());
        case TBM_SETPAGESIZE: {
            TrackState& s = States()[hWnd];
            const LONG previous = s.pageSize;
            s.pageSize = static_cast<LONG>(lParam);
            s.pageSet = true;
            return previous;
        }
        case TBM_GETPAGESIZE:
            return States()[hWnd].pageSize;
        case TBM_SETLINESIZE: {
            TrackState& s = States()[hWnd];
            const LONG previous = s.lineSize;
            s.lineSize = static_cast<LONG>(lParam);
            return previous;
        }
        case TBM_GETLINESIZE:
            return States()[hWnd].lineSize;
        case TBM_GETTHUMBRECT:
        case TBM_GETCHANNELRECT: {
            X11WindowRecord* record = X11FindWindow(hWnd);
            auto* out = reinterpret_cast<RECT*>(lParam);
            if (record == nullptr || out == nullptr) return 0;
            const Geometry g = Layout(record);
            *out = message == TBM_GETTHUMBRECT ? ThumbRect(States()[hWnd], g) : g.channel;
            return 0;
        }
        case WM_KEYDOWN: {
            const TrackState s = States()[hWnd];
            switch (wParam) {
                case VK_LEFT:
                case VK_UP:
                    Step(hWnd, TB_LINEUP, s.pos - s.lineSize);
                    return 0;
                case VK_RIGHT:
                case VK_DOWN:
                    Step(hWnd, TB_LINEDOWN, s.pos + s.lineSize);
                    return 0;
                case VK_PRIOR:
                    Step(hWnd, TB_PAGEUP, s.pos - s.pageSize);
                    return 0;
                case VK_NEXT:
                    Step(hWnd, TB_PAGEDOWN, s.pos + s.pageSize);
                    return 0;
                case VK_HOME:
                    Step(hWnd, TB_TOP, s.min);
                    return 0;
                case VK_END:
                    Step(hWnd, TB_BOTTOM, s.max);
                    return 0;
                default:
                    return 0;
            }
        }
        case WM_KEYUP:
            switch (wParam) {
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN:
                case VK_PRIOR:
                case VK_NEXT:
                case VK_HOME:
                case VK_END:
                    Notify(hWnd, TB_ENDTRACK, 0);
                    return 0;
                default:
                    return 0;
            }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            X11WindowRecord* record = X11FindWindow(hWnd);
            if (record == nullptr || !IsWindowEnabled(hWnd)) return 0;
            X11TakeFocus(hWnd);
            TrackState& s = States()[hWnd];
            const Geometry g = Layout(record);
            const RECT thumb = ThumbRect(s, g);
            const int x = static_cast<short>(LOWORD(lParam));
            const int y = static_cast<short>(HIWORD(lParam));
            SetCapture(hWnd);
            if (x >= thumb.left && x < thumb.right && y >= thumb.top && y < thumb.bottom) {
                s.dragging = true;
                s.dragOffset = x - ValueX(s, g, s.pos);
                X11RedrawControl(hWnd);
                return 0;
            }
            // A press beside the thumb pages towards it, and repeats while held
            // until the thumb reaches the pointer.
            s.paging = true;
            s.pointerX = x;
            s.pageDirection = x < ValueX(s, g, s.pos) ? -1 : 1;
            if (s.pageDirection < 0)
                Step(hWnd, TB_PAGEUP, s.pos - s.pageSize);
            else
                Step(hWnd, TB_PAGEDOWN, s.pos + s.pageSize);
            SetTimer(hWnd, kPageTimer, kPageDelayMs, nullptr);
            return 0;
        }
        case WM_TIMER: {
            X11WindowRecord* record = X11FindWindow(hWnd);
            auto found = States().find(hWnd);
            if (wParam != kPageTimer || record == nullptr || found == States().end()) return 0;
            TrackState& s = found->second;
            const Geometry g = Layout(record);
            const RECT thumb = ThumbRect(s, g);
            const bool beyond =
                s.pageDirection < 0 ? s.pointerX < thumb.left : s.pointerX >= thumb.right;
            const bool atEnd = s.pageDirection < 0 ? s.pos <= s.min : s.pos >= s.max;
            if (!s.paging || !beyond || atEnd) {
                KillTimer(hWnd, kPageTimer);
                return 0;
            }
            if (s.pageDirection < 0)
                Step(hWnd, TB_PAGEUP, s.pos - s.pageSize);
            else
                Step(hWnd, TB_PAGEDOWN, s.pos + s.pageSize);
            SetTimer(hWnd, kPageTimer, kPageRepeatMs, nullptr);
            return 0;
        }
        case WM_MOUSEMOVE: {
            X11WindowRecord* record = X11FindWindow(hWnd);
            TrackState& s = States()[hWnd];
            if (s.paging) s.pointerX = static_cast<short>(LOWORD(lParam));
            if (record == nullptr || !s.dragging) return 0;
            const Geometry g = Layout(record);
            const LONG value = ValueAt(s, g, static_cast<short>(LOWORD(lParam)) - s.dragOffset);
            if (value != s.pos) {
                s.pos = value;
                X11RedrawControl(hWnd);
                Notify(hWnd, TB_THUMBTRACK, value);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            TrackState& s = States()[hWnd];
            if (s.dragging) {
                s.dragging = false;
                ReleaseCapture();
                Notify(hWnd, TB_THUMBPOSITION, States()[hWnd].pos);
                Notify(hWnd, TB_ENDTRACK, 0);
                X11RedrawControl(hWnd);
            } else if (s.paging) {
                s.paging = false;
                KillTimer(hWnd, kPageTimer);
                ReleaseCapture();
                Notify(hWnd, TB_ENDTRACK, 0);
            }
            return 0;
        }
        case WM_CAPTURECHANGED: {
            auto found = States().find(hWnd);
            if (found != States().end() && reinterpret_cast<HWND>(lParam) != hWnd &&
                (found->second.dragging || found->second.paging)) {
                found->second.dragging = false;
                found->second.paging = false;
                X11RedrawControl(hWnd);
            }
            return 0;
        }
        default:
            break;
    }
    return X11ControlDefProc(hWnd, message, wParam, lParam, Paint);
}
