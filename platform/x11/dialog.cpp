// The dialog manager: dialogs from in-memory templates, dialog units, the
// default dialog procedure, the modal loop and the dialog-item calls.
#include <X11/Xatom.h>

#include <algorithm>

#include "platform/x11/controls.h"
#include "platform/x11/dialog_data.h"
#include "platform/x11/dialog_focus.h"
#include "platform/x11/dialog_template.h"
#include "platform/x11/display.h"
#include "platform/x11/drawing.h"
#include "platform/x11/icons.h"
#include "platform/x11/menu.h"
#include "platform/x11/message_loop.h"
#include "platform/x11/text.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"
#include "platform/x11/window_geometry.h"
#include "platform/x11/window_text.h"

namespace {

constexpr char kDialogClass[] = "#32770";
constexpr size_t kTemplateLimit = 65536;

// The dialog whose window is being created on this thread: its first
// message binds the data to the new window.
thread_local DialogData* t_pending = nullptr;

// MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t product = int64_t(a) * int64_t(b);
    const int64_t half = (c < 0 ? -int64_t(c) : int64_t(c)) / 2;
    const int64_t rounded = (product >= 0) == (c > 0) ? product + (c > 0 ? half : -half)
                                                      : product - (c > 0 ? half : -half);
    return static_cast<int>(rounded / c);
}

RECT MapUnits(const RECT& units, SIZE base) {
    return RECT{MulDiv(units.left, base.cx, 4), MulDiv(units.top, base.cy, 8),
                MulDiv(units.right, base.cx, 4), MulDiv(units.bottom, base.cy, 8)};
}

DialogData* Bind(HWND hDlg) {
    DialogData* data = X11Dialog(hDlg);
    if (data == nullptr && t_pending != nullptr) {
        WindowExtra* extra = X11Extra(hDlg, true);
        if (extra == nullptr) return nullptr;
        extra->dialog = t_pending;
        data = t_pending;
        t_pending = nullptr;
    }
    return data;
}

bool IsInput(UINT message) {
    return (message >= WM_KEYDOWN && message <= 0x0109) ||
           (message >= WM_MOUSEMOVE && message <= WM_MOUSEHWHEEL) || message == WM_CLOSE ||
           message == WM_SYSCOMMAND;
}

HWND TopLevelOf(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    while (record != nullptr && (record->style & WS_CHILD) != 0 && !record->foreignParent) {
        hWnd = record->parent;
        record = X11FindWindow(hWnd);
    }
    return hWnd;
}

// Input for a disabled window (the owner of a modal dialog) is dropped.
bool Blocked(const MSG& msg) {
    if (msg.hwnd == nullptr || !IsInput(msg.message)) return false;
    X11WindowRecord* top = X11FindWindow(TopLevelOf(msg.hwnd));
    return top != nullptr && (top->style & WS_DISABLED) != 0;
}

void DescribeTopLevel(HWND hDlg, HWND owner) {
    Display* display = X11Display();
    X11WindowRecord* record = X11FindWindow(hDlg);
    if (display == nullptr || record == nullptr) return;
    // The owner may be another program's window (the configuration dialog
    // owned by a settings program): the window manager keeps us above it.
    if (owner != nullptr)
        XSetTransientForHint(display, record->xid, X11WindowId(TopLevelOf(owner)));
    const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, record->xid, type, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&dialog), 1);
    XClassHint hint;
    char name[] = "quorix";
    char cls[] = "Quorix";
    hint.res_name = name;
    hint.res_class = cls;
    XSetClassHint(display, record->xid, &hint);
    X11StoreWindowText(hDlg, record->title.c_str());
    X11FixSizeHints(hDlg);
}

SIZE DialogBaseUnits(HFONT font) {
    font = X11FontOrDefault(font);
    return SIZE{font->aveCharWidth, font->ascent + font->descent};
}

void RegisterBuiltinClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    struct Entry {
        const char* name;
        WNDPROC proc;
    };
    const Entry entries[] = {{WC_BUTTONA, X11ButtonProc},
                             {WC_STATICA, X11StaticProc},
                             {TRACKBAR_CLASSA, X11TrackbarProc},
                             {kDialogClass, DefDlgProcA}};
    for (const Entry& entry : entries) {
        WNDCLASSA wc = {};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = entry.proc;
        wc.lpszClassName = entry.name;
        RegisterClassA(&wc);
    }
}

HWND CreateFromTemplate(LPCDLGTEMPLATEA dialogTemplate, HWND owner, DLGPROC proc, LPARAM param,
                        bool modal) {
    if (X11Display() == nullptr) return nullptr;
    // Paint and notification messages are posted from the start: the thread
    // needs its queue before the first window exists.
    EnsureThreadQueue();
    RegisterBuiltinClasses();
    DialogLayout layout;
    if (!ParseDialogTemplate(dialogTemplate, kTemplateLimit, &layout)) return nullptr;
    HFONT font = X11DefaultFont();
    if (layout.hasFont && !layout.face.empty())
        font = X11DialogFont(layout.face, layout.pointSize, layout.weight, layout.italic);
    const SIZE base = DialogBaseUnits(font);

    auto* data = new DialogData;
    data->proc = proc;
    data->initParam = param;
    data->font = font;
    data->baseX = base.cx;
    data->baseY = base.cy;
    data->modal = modal;

    const bool child = (layout.style & WS_CHILD) != 0;
    RECT rect = MapUnits(layout.units, base);
    if (owner != nullptr && !child && (layout.style & DS_ABSALIGN) == 0) {
        // Positions count from the owner's client area.
        POINT origin = {0, 0};
        ClientToScreen(owner, &origin);
        OffsetRect(&rect, origin.x, origin.y);
    }
    if ((layout.style & DS_CENTER) != 0 && !child) {
        RECT area;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        OffsetRect(&rect, (area.left + area.right - rect.right - rect.left) / 2,
                   (area.top + area.bottom - rect.bottom - rect.top) / 2);
    }
    const std::string className = layout.className.empty() ? kDialogClass : layout.className;
    DialogData* const outer = t_pending;
    t_pending = data;
    HWND hDlg = CreateWindowExA(layout.exStyle, className.c_str(), layout.caption.c_str(),
                                layout.style & ~static_cast<DWORD>(WS_VISIBLE), rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                nullptr, nullptr);
    const bool bound = t_pending == nullptr;
    t_pending = outer;
    if (hDlg == nullptr || !bound) {
        if (!bound) delete data;
        if (hDlg != nullptr) DestroyWindow(hDlg);
        return nullptr;
    }
    if (!child) {
        X11Extra(hDlg, true)->owner = owner;
        DescribeTopLevel(hDlg, owner);
    }
    if ((layout.style & DS_SETFONT) != 0)
        SendMessageA(hDlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const DialogItemLayout& item : layout.items) {
        if (X11Dialog(hDlg) == nullptr) return nullptr;
        const RECT at = MapUnits(item.units, base);
        HWND control = CreateWindowExA(
            item.exStyle, item.className.c_str(), item.textOrdinal >= 0 ? "" : item.text.c_str(),
            item.style | WS_CHILD, at.left, at.top, at.right - at.left, at.bottom - at.top, hDlg,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(static_cast<WORD>(item.id))), nullptr,
            nullptr);
        if (control == nullptr) continue;  // a class we do not have: the dialog goes on without it
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (item.textOrdinal >= 0 && (item.style & SS_TYPEMASK) == SS_ICON &&
            item.className == "Static")
            SendMessageA(
                control, STM_SETICON,
                reinterpret_cast<WPARAM>(LoadIconA(nullptr, MAKEINTRESOURCEA(item.textOrdinal))),
                0);
        if (item.className == "Button" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            if (DialogData* d = X11Dialog(hDlg)) d->defId = static_cast<WORD>(item.id);
    }
    if (X11Dialog(hDlg) == nullptr) return nullptr;
    HWND first = GetNextDlgTabItem(hDlg, nullptr, FALSE);
    const LRESULT focusDefault =
        SendMessageA(hDlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    DialogData* d = X11Dialog(hDlg);
    if (d == nullptr) return nullptr;  // destroyed during its initialisation
    if (focusDefault != 0 || d->focus == nullptr) {
        first = GetNextDlgTabItem(hDlg, nullptr, FALSE);
        if (d->focus == nullptr || focusDefault != 0) X11DialogSetFocus(hDlg, first);
    }
    if (!modal && (layout.style & WS_VISIBLE) != 0 && !d->ended) ShowWindow(hDlg, SW_SHOW);
    return hDlg;
}

}  // namespace

void WINAPI InitCommonControls(void) {
    RegisterBuiltinClasses();
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    if (picce == nullptr || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
    RegisterBuiltinClasses();
    return TRUE;
}

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    DialogData* d = Bind(hDlg);
    if (d != nullptr && d->proc != nullptr) {
        d->msgResult = 0;
        const INT_PTR handled = d->proc(hDlg, Msg, wParam, lParam);
        d = X11Dialog(hDlg);
        if (handled != 0) {
            switch (Msg) {
                case WM_INITDIALOG:
                case WM_QUERYDRAGICON:
                case WM_CTLCOLORBTN:
                case WM_CTLCOLORDLG:
                case WM_CTLCOLORSTATIC:
                    return handled;
                default:
                    if (Msg != WM_NCDESTROY) return d != nullptr ? d->msgResult : 0;
            }
        }
    }
    if (d == nullptr) return DefWindowProcA(hDlg, Msg, wParam, lParam);
    X11WindowRecord* record = X11FindWindow(hDlg);
    switch (Msg) {
        case WM_ERASEBKGND:
            if (record != nullptr)
                X11FillRect(record->xid, 0, 0, record->width, record->height,
                            GetSysColor(COLOR_BTNFACE));
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hDlg, &ps);
            SendMessageA(hDlg, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps.hdc), 0);
            EndPaint(hDlg, &ps);
            return 0;
        }
        case WM_CLOSE:
            // The close box and Alt+F4 mean Cancel.
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDCANCEL)));
            return 0;
        case WM_SETFONT:
            d->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(d->font);
        case WM_SETTEXT:
            X11StoreWindowText(hDlg, reinterpret_cast<LPCSTR>(lParam));
            return TRUE;
        case WM_SETICON: {
            HICON& slot = wParam == ICON_BIG ? d->bigIcon : d->smallIcon;
            const HICON previous = slot;
            slot = reinterpret_cast<HICON>(lParam);
            if (record != nullptr && (record->style & WS_CHILD) == 0)
                X11SetNetWmIcon(record->xid, d->bigIcon != nullptr ? d->bigIcon : d->smallIcon,
                                d->smallIcon != nullptr ? d->smallIcon : d->bigIcon);
            return reinterpret_cast<LRESULT>(previous);
        }
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? d->bigIcon : d->smallIcon);
        case DM_GETDEFID:
            return MAKELONG(d->defId, DC_HASDEFID);
        case DM_SETDEFID: {
            const WORD old = d->defId;
            d->defId = static_cast<WORD>(wParam);
            HWND oldButton = GetDlgItem(hDlg, old);
            HWND newButton = GetDlgItem(hDlg, d->defId);
            if (oldButton != nullptr && oldButton != newButton &&
                (SendMessageA(oldButton, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
                SendMessageA(oldButton, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
            if (newButton != nullptr &&
                (SendMessageA(newButton, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
                SendMessageA(newButton, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
            return TRUE;
        }
        case WM_NEXTDLGCTL: {
            HWND target = LOWORD(lParam) != 0
                              ? reinterpret_cast<HWND>(wParam)
                              : GetNextDlgTabItem(hDlg, d->focus, wParam != 0 ? TRUE : FALSE);
            if (target != nullptr) X11DialogSetFocus(hDlg, target);
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == ' ') {
                X11TrackSystemMenu(hDlg, 0, 0, true);
                return 0;
            }
            return DefWindowProcA(hDlg, Msg, wParam, lParam);
        case WM_RBUTTONUP:
            if (record != nullptr && (record->style & WS_CHILD) == 0) {
                POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
                ClientToScreen(hDlg, &pt);
                X11TrackSystemMenu(hDlg, pt.x, pt.y, false);
                return 0;
            }
            return DefWindowProcA(hDlg, Msg, wParam, lParam);
        case WM_NCDESTROY: {
            DefWindowProcA(hDlg, Msg, wParam, lParam);
            WindowExtra* extra = X11Extra(hDlg, false);
            if (extra != nullptr) {
                if (extra->systemMenu != nullptr) DestroyMenu(extra->systemMenu);
                delete static_cast<DialogData*>(extra->dialog);
                extra->dialog = nullptr;
            }
            X11ForgetExtra(hDlg);
            return 0;
        }
        default:
            return DefWindowProcA(hDlg, Msg, wParam, lParam);
    }
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return CreateFromTemplate(lpTemplate, hWndParent, lpDialogFunc, dwInitParam, false);
}

INT_PTR WINAPI DialogBoxIndirectParamA(HINSTANCE, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    HWND owner = hWndParent != nullptr ? TopLevelOf(hWndParent) : nullptr;
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    HWND hDlg = CreateFromTemplate(hDialogTemplate, owner, lpDialogFunc, dwInitParam, true);
    if (hDlg == nullptr) return -1;
    // The owner takes no input while the dialog runs.
    // (A foreign owner is not ours to disable.)
    const bool disabledOwner = owner != nullptr && IsWindowEnabled(owner);
    if (disabledOwner) EnableWindow(owner, FALSE);
    INT_PTR result = -1;
    DialogData* d = X11Dialog(hDlg);
    if (d != nullptr && !d->ended) ShowWindow(hDlg, SW_SHOW);
    while ((d = X11Dialog(hDlg)) != nullptr && !d->ended) {
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            break;
        }
        if (got < 0) break;
        if (Blocked(msg)) continue;
        if (!IsDialogMessageA(hDlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (d != nullptr && d->ended) result = d->result;
    if (disabledOwner && X11FindWindow(owner) != nullptr) EnableWindow(owner, TRUE);
    if (X11FindWindow(hDlg) != nullptr) DestroyWindow(hDlg);
    if (owner != nullptr && X11FindWindow(owner) != nullptr && IsWindowVisible(owner))
        SetFocus(owner);
    return result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    DialogData* d = X11Dialog(hDlg);
    if (d == nullptr) return FALSE;
    d->ended = true;
    d->result = nResult;
    if (!d->modal) return TRUE;
    ShowWindow(hDlg, SW_HIDE);
    PostMessageA(hDlg, WM_NULL, 0, 0);  // wakes the modal loop
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    for (HWND child : X11Children(hDlg)) {
        X11WindowRecord* record = X11FindWindow(child);
        if (record != nullptr && static_cast<int>(static_cast<WORD>(record->id)) ==
                                     static_cast<int>(static_cast<WORD>(nIDDlgItem)))
            return child;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    return record != nullptr && (record->style & WS_CHILD) != 0 ? static_cast<int>(record->id) : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr ? SetWindowTextA(item, lpString) : FALSE;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (item == nullptr) return FALSE;
    SendMessageA(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    if (X11FindWindow(hDlg) == nullptr) return FALSE;
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        if (HWND item = GetDlgItem(hDlg, id))
            SendMessageA(item, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    return item != nullptr ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

namespace {

bool Reachable(HWND hWnd) {
    const DWORD style = X11Style(hWnd);
    return (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0;
}

}  // namespace

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    const std::vector<HWND> all = X11Children(hDlg);
    std::vector<HWND> stops;
    for (HWND child : all)
        if (Reachable(child) && (X11Style(child) & WS_TABSTOP) != 0) stops.push_back(child);
    if (stops.empty()) return nullptr;
    // Step through all controls from hCtl so that a control without a tab stop
    // still has a next one.
    auto at = std::find(all.begin(), all.end(), hCtl);
    if (at == all.end()) return bPrevious ? stops.back() : stops.front();
    const int n = static_cast<int>(all.size());
    int i = static_cast<int>(at - all.begin());
    for (int step = 0; step < n; ++step) {
        i = (i + (bPrevious ? n - 1 : 1)) % n;
        HWND candidate = all[static_cast<size_t>(i)];
        if (Reachable(candidate) && (X11Style(candidate) & WS_TABSTOP) != 0) return candidate;
    }
    return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    const std::vector<HWND> all = X11Children(hDlg);
    auto at = std::find(all.begin(), all.end(), hCtl);
    if (at == all.end()) return all.empty() ? nullptr : all.front();
    // The group: from the nearest WS_GROUP control at or before hCtl up to the next one.
    size_t begin = static_cast<size_t>(at - all.begin());
    while (begin > 0 && (X11Style(all[begin]) & WS_GROUP) == 0)
        --begin;
    size_t end = begin + 1;
    while (end < all.size() && (X11Style(all[end]) & WS_GROUP) == 0)
        ++end;
    const int n = static_cast<int>(end - begin);
    int i = static_cast<int>(static_cast<size_t>(at - all.begin()) - begin);
    for (int step = 0; step < n; ++step) {
        i = (i + (bPrevious ? n - 1 : 1)) % n;
        HWND candidate = all[begin + static_cast<size_t>(i)];
        if (Reachable(candidate)) return candidate;
    }
    return hCtl;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    DialogData* d = X11Dialog(hDlg);
    if (d == nullptr || lpRect == nullptr) return FALSE;
    *lpRect = MapUnits(*lpRect, SIZE{d->baseX, d->baseY});
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    const SIZE base = DialogBaseUnits(nullptr);
    return MAKELONG(base.cx, base.cy);
}
