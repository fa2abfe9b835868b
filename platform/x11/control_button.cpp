// The built-in "Button" class: push and default push buttons, radio and
// check buttons (plain and automatic) and group boxes, drawn in the classic
// three-dimensional look.
#include <algorithm>
#include <unordered_map>

#include "platform/x11/controls.h"
#include "platform/x11/dialog_focus.h"
#include "platform/x11/drawing.h"
#include "platform/x11/text.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"

namespace {

struct ButtonState {
    int check = BST_UNCHECKED;
    bool pressed = false;   // drawn pushed in
    bool captured = false;  // a mouse press is being tracked
    bool spaceDown = false;
};

std::unordered_map<HWND, ButtonState>& States() {
    static auto* states = new std::unordered_map<HWND, ButtonState>;
    return *states;
}

ButtonState& StateOf(HWND hWnd) {
    return States()[hWnd];
}

UINT TypeOf(HWND hWnd) {
    return X11Style(hWnd) & BS_TYPEMASK;
}

bool IsRadio(UINT type) {
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}
bool IsCheck(UINT type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
           type == BS_AUTO3STATE;
}
bool IsPush(UINT type) {
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_USERBUTTON ||
           type == BS_OWNERDRAW;
}

// The classic radio button, 12 x 12: outer ring shadow (S) and highlight (H),
// inner ring dark shadow (D) and light (L), white inside (W), the dot (K).
constexpr const char* kRadio[12] = {"....SSSS....", "..SSDDDDSS..", ".SDDWWWWWWH.", ".SDWWWWWWWLH",
                                    "SDWWWWWWWWLH", "SDWWWWWWWWLH", "SDWWWWWWWWLH", "SDWWWWWWWWLH",
                                    ".SDWWWWWWWLH", ".HLLWWWWLLH.", "..HHLLLLHH..", "....HHHH...."};
constexpr const char* kDot[4] = {".KK.", "KKKK", "KKKK", ".KK."};

void PaintRadio(Window xid, int x, int y, bool checked, bool disabled) {
    const COLORREF face = disabled ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
    for (int row = 0; row < 12; ++row) {
        for (int col = 0; col < 12; ++col) {
            COLORREF color;
            switch (kRadio[row][col]) {
                case 'S':
                    color = GetSysColor(COLOR_BTNSHADOW);
                    break;
                case 'H':
                    color = GetSysColor(COLOR_BTNHIGHLIGHT);
                    break;
                case 'D':
                    color = GetSysColor(COLOR_3DDKSHADOW);
                    break;
                case 'L':
                    color = GetSysColor(COLOR_3DLIGHT);
                    break;
                case 'W':
                    color = face;
                    break;
                default:
                    continue;
            }
            X11Point(xid, x + col, y + row, color);
        }
    }
    if (!checked) return;
    const COLORREF ink = disabled ? GetSysColor(COLOR_GRAYTEXT) : GetSysColor(COLOR_BTNTEXT);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            if (kDot[row][col] == 'K') X11Point(xid, x + 4 + col, y + 4 + row, ink);
}

void PaintCheckBox(Window xid, int x, int y, int check, bool disabled) {
    const RECT box = {x, y, x + 13, y + 13};
    X11SunkenEdge(xid, box);
    X11FillRect(xid, x + 2, y + 2, 9, 9,
                disabled ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW));
    if (check == BST_UNCHECKED) return;
    const COLORREF ink = check == BST_INDETERMINATE || disabled ? GetSysColor(COLOR_GRAYTEXT)
                                                                : GetSysColor(COLOR_BTNTEXT);
    // The classic tick: three pixels thick, from (3, 5) down to (5, 7) and up to (9, 3).
    for (int i = 0; i < 7; ++i) {
        const int px = x + 3 + i;
        const int py = y + (i < 3 ? 5 + i : 9 - i);
        for (int t = 0; t < 3; ++t)
            X11Point(xid, px, py + t, ink);
    }
}

void Paint(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    const Window xid = record->xid;
    const int w = record->width;
    const int h = record->height;
    const UINT type = record->style & BS_TYPEMASK;
    const ButtonState& state = StateOf(hWnd);
    const bool disabled = (record->style & WS_DISABLED) != 0;
    const bool focus = X11HasFocus(hWnd);
    HFONT font = X11ControlFont(hWnd);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    X11FillRect(xid, 0, 0, w, h, GetSysColor(COLOR_BTNFACE));

    if (type == BS_GROUPBOX) {
        const SIZE extent =
            X11TextExtent(font, record->title.data(), static_cast<int>(record->title.size()));
        const int top = extent.cy / 2;
        X11Frame(xid, RECT{0, top, w - 1, h - 1}, GetSysColor(COLOR_BTNSHADOW),
                 GetSysColor(COLOR_BTNSHADOW));
        X11Frame(xid, RECT{1, top + 1, w, h}, GetSysColor(COLOR_BTNHIGHLIGHT),
                 GetSysColor(COLOR_BTNHIGHLIGHT));
        if (!record->title.empty()) {
            int underline = -1;
            const std::string shown = X11StripPrefix(record->title, &underline);
            const SIZE label = X11TextExtent(font, shown.data(), static_cast<int>(shown.size()));
            X11FillRect(xid, 6, 0, label.cx + 4, label.cy, GetSysColor(COLOR_BTNFACE));
            X11DrawLabel(xid, font, RECT{8, 0, 8 + label.cx + 1, label.cy}, record->title, 0, false,
                         false, false, disabled, text);
        }
        return;
    }
    if (IsRadio(type) || IsCheck(type)) {
        const int box = IsRadio(type) ? 12 : 13;
        const int y = (h - box) / 2;
        if (IsRadio(type))
            PaintRadio(xid, 0, y, state.check == BST_CHECKED, disabled);
        else
            PaintCheckBox(xid, 0, y, state.check, disabled);
        const int left = box + 4;
        RECT label = {left, 0, w, h};
        X11DrawLabel(xid, font, label, record->title, 0, true, false, false, disabled, text);
        if (focus && !record->title.empty()) {
            const std::string shown = X11StripPrefix(record->title, nullptr);
            const SIZE extent = X11TextExtent(font, shown.data(), static_cast<int>(shown.size()));
            const int top = (h - extent.cy) / 2;
            X11FocusRect(xid,
                         RECT{left - 1, std::max(0, top - 1), std::min(w, left + extent.cx + 2),
                              std::min(h, top + extent.cy + 1)});
        }
        return;
    }
    // Push buttons.
    RECT frame = {0, 0, w, h};
    const bool isDefault = type == BS_DEFPUSHBUTTON;
    if (isDefault) {
        X11Frame(xid, frame, GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME));
        InflateRect(&frame, -1, -1);
    }
    if (state.pressed) {
        X11Frame(xid, frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
    } else {
        X11RaisedEdge(xid, frame);
    }
    RECT label = frame;
    InflateRect(&label, -2, -2);
    if (state.pressed) OffsetRect(&label, 1, 1);
    X11DrawLabel(xid, font, label, record->title, 1, true, false, false, disabled, text);
    if (focus) {
        RECT dots = frame;
        InflateRect(&dots, -3, -3);
        X11FocusRect(xid, dots);
    }
}

void Notify(HWND hWnd, WORD code) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr || record->parent == nullptr) return;
    SendMessageA(record->parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(record->id), code),
                 reinterpret_cast<LPARAM>(hWnd));
}

void SetCheck(HWND hWnd, int check) {
    ButtonState& state = StateOf(hWnd);
    if (state.check == check) return;
    state.check = check;
    InvalidateRect(hWnd, nullptr, TRUE);
}

// An automatic radio button checks itself and clears the other radio buttons
// of its group.
void CheckInGroup(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return;
    const std::vector<HWND> siblings = X11Children(record->parent);
    auto at = std::find(siblings.begin(), siblings.end(), hWnd);
    if (at == siblings.end()) {
        SetCheck(hWnd, BST_CHECKED);
        return;
    }
    size_t begin = static_cast<size_t>(at - siblings.begin());
    while (begin > 0 && (X11Style(siblings[begin]) & WS_GROUP) == 0)
        --begin;
    for (size_t i = begin; i < siblings.size(); ++i) {
        if (i > begin && (X11Style(siblings[i]) & WS_GROUP) != 0) break;
        X11WindowRecord* sibling = X11FindWindow(siblings[i]);
        if (sibling == nullptr || sibling->proc != X11ButtonProc) continue;
        if (IsRadio(sibling->style & BS_TYPEMASK))
            SetCheck(siblings[i], siblings[i] == hWnd ? BST_CHECKED : BST_UNCHECKED);
    }
}

void Click(HWND hWnd) {
    const UINT type = TypeOf(hWnd);
    if (type == BS_GROUPBOX) return;
    if (type == BS_AUTORADIOBUTTON) CheckInGroup(hWnd);
    if (type == BS_AUTOCHECKBOX)
        SetCheck(hWnd, StateOf(hWnd).check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    if (type == BS_AUTO3STATE) SetCheck(hWnd, (StateOf(hWnd).check + 1) % 3);
    Notify(hWnd, BN_CLICKED);
}

}  // namespace

LRESULT CALLBACK X11ButtonProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            States()[hWnd] = ButtonState{};
            break;
        case WM_NCDESTROY:
            States().erase(hWnd);
            break;
        case WM_GETDLGCODE: {
            const UINT type = TypeOf(hWnd);
            if (type == BS_GROUPBOX) return DLGC_STATIC;
            if (IsRadio(type)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
            if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
            if (IsPush(type)) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
            return DLGC_BUTTON;
        }
        case WM_KILLFOCUS: {
            ButtonState& state = StateOf(hWnd);
            if (state.spaceDown) {
                state.spaceDown = false;
                state.pressed = false;
            }
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (TypeOf(hWnd) == BS_GROUPBOX) return X11ForwardMouse(hWnd, message, wParam, lParam);
            if (!IsWindowEnabled(hWnd)) return 0;
            X11TakeFocus(hWnd);
            ButtonState& state = StateOf(hWnd);
            state.captured = true;
            state.pressed = true;
            SetCapture(hWnd);
            X11RedrawControl(hWnd);
            return 0;
        }
        case WM_MOUSEMOVE: {
            ButtonState& state = StateOf(hWnd);
            if (!state.captured) return X11ForwardMouse(hWnd, message, wParam, lParam);
            RECT client;
            GetClientRect(hWnd, &client);
            const POINT pt = {static_cast<short>(LOWORD(lParam)),
                              static_cast<short>(HIWORD(lParam))};
            const bool inside = PtInRect(&client, pt) != 0;
            if (inside != state.pressed) {
                state.pressed = inside;
                X11RedrawControl(hWnd);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            ButtonState& state = StateOf(hWnd);
            if (!state.captured) return X11ForwardMouse(hWnd, message, wParam, lParam);
            const bool click = state.pressed;
            state.captured = false;
            state.pressed = false;
            ReleaseCapture();
            X11RedrawControl(hWnd);
            if (click) Click(hWnd);
            return 0;
        }
        case WM_CAPTURECHANGED: {
            if (States().count(hWnd) == 0) return 0;
            ButtonState& state = StateOf(hWnd);
            if (state.captured && reinterpret_cast<HWND>(lParam) != hWnd) {
                state.captured = false;
                state.pressed = false;
                X11RedrawControl(hWnd);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE && IsWindowEnabled(hWnd) && TypeOf(hWnd) != BS_GROUPBOX) {
                ButtonState& state = StateOf(hWnd);
                state.spaceDown = true;
                state.pressed = true;
                X11RedrawControl(hWnd);
            }
            return 0;
        case WM_KEYUP:
            if (wParam == VK_SPACE && StateOf(hWnd).spaceDown) {
                ButtonState& state = StateOf(hWnd);
                state.spaceDown = false;
                state.pressed = false;
                X11RedrawControl(hWnd);
                Click(hWnd);
            }
            return 0;
        case BM_GETCHECK:
            return IsRadio(TypeOf(hWnd)) || IsCheck(TypeOf(hWnd)) ? StateOf(hWnd).check : 0;
        case BM_SETCHECK:
            if (IsRadio(TypeOf(hWnd)) || IsCheck(TypeOf(hWnd)))
                SetCheck(hWnd, static_cast<int>(std::min<WPARAM>(wParam, BST_INDETERMINATE)));
            return 0;
        case BM_GETSTATE: {
            const ButtonState& state = StateOf(hWnd);
            return state.check | (state.pressed ? BST_PUSHED : 0) |
                   (X11HasFocus(hWnd) ? BST_FOCUS : 0);
        }
        case BM_SETSTATE: {
            ButtonState& state = StateOf(hWnd);
            if (state.pressed != (wParam != 0)) {
                state.pressed = wParam != 0;
                X11RedrawControl(hWnd);
            }
            return 0;
        }
        case BM_SETSTYLE:
            X11SetStyle(hWnd, (X11Style(hWnd) & ~0xFFFFu) | (static_cast<DWORD>(wParam) & 0xFFFF));
            if (lParam != 0) X11RedrawControl(hWnd);
            return 0;
        case BM_CLICK:
            if (IsWindowEnabled(hWnd)) Click(hWnd);
            return 0;
        default:
            break;
    }
    return X11ControlDefProc(hWnd, message, wParam, lParam, Paint);
}
