// The keyboard interface of dialogs (IsDialogMessageA): Tab and the arrow
// keys, Enter and Escape, F1, mnemonics and the system menu key. Keys reach
// the dialog's top-level window; the control with the focus (dialog_focus.cpp)
// gets the keys the dialog manager does not take.
#include <algorithm>
#include <cctype>

#include "platform/x11/controls.h"
#include "platform/x11/dialog_data.h"
#include "platform/x11/dialog_focus.h"
#include "platform/x11/menu.h"
#include "platform/x11/text.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"

namespace {

// Shift as the key messages have it, in their order (the server's state may
// be ahead of the queue).
thread_local bool t_shiftDown = false;

bool ShiftHeld() {
    return t_shiftDown;
}

bool Reachable(HWND hWnd) {
    const DWORD style = X11Style(hWnd);
    return (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0;
}

// Entering a group of radio buttons lands on its checked button.
HWND CheckedInGroup(HWND hDlg, HWND radio) {
    HWND at = radio;
    for (int guard = 0; guard < 256; ++guard) {
        if (SendMessageA(at, BM_GETCHECK, 0, 0) == BST_CHECKED) return at;
        at = GetNextDlgGroupItem(hDlg, at, FALSE);
        if (at == nullptr || at == radio) break;
    }
    return radio;
}

bool IsAutoRadio(HWND hCtl) {
    X11WindowRecord* record = X11FindWindow(hCtl);
    return record != nullptr && record->proc == X11ButtonProc &&
           (record->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

bool Mnemonic(HWND hDlg, UINT key) {
    const char wanted = static_cast<char>(std::toupper(static_cast<int>(key)));
    const std::vector<HWND> children = X11Children(hDlg);
    for (HWND child : children) {
        if (!Reachable(child)) continue;
        X11WindowRecord* record = X11FindWindow(child);
        if (record == nullptr) continue;
        if (record->proc == X11StaticProc &&
            ((record->style & SS_NOPREFIX) != 0 || (record->style & SS_TYPEMASK) > SS_RIGHT))
            continue;
        if (X11Mnemonic(record->title) != wanted) continue;
        const LRESULT code = X11DialogCode(child);
        if (code & DLGC_STATIC) {
            // A label or group box: on to the control after it.
            HWND next = GetNextDlgTabItem(hDlg, child, FALSE);
            if (next == nullptr) return true;
            if (X11DialogCode(next) & DLGC_RADIOBUTTON) next = CheckedInGroup(hDlg, next);
            X11DialogSetFocus(hDlg, next);
            return true;
        }
        X11DialogSetFocus(hDlg, child);
        if (code & DLGC_BUTTON) SendMessageA(child, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

bool Forward(HWND focus, MSG* msg) {
    if (focus == nullptr || focus == msg->hwnd) return false;
    MSG copy = *msg;
    copy.hwnd = focus;
    TranslateMessage(&copy);
    DispatchMessageA(&copy);
    return true;
}

}  // namespace

BOOL WINAPI IsDialogMessageA(HWND hDlg, LPMSG lpMsg) {
    if (lpMsg != nullptr && lpMsg->wParam == VK_SHIFT &&
        (lpMsg->message == WM_KEYDOWN || lpMsg->message == WM_KEYUP))
        t_shiftDown = lpMsg->message == WM_KEYDOWN;
    DialogData* d = X11Dialog(hDlg);
    if (d == nullptr || lpMsg == nullptr) return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
    HWND focus = d->focus != nullptr && X11FindWindow(d->focus) != nullptr ? d->focus : nullptr;
    const UINT key = static_cast<UINT>(lpMsg->wParam);
    switch (lpMsg->message) {
        case WM_KEYDOWN: {
            const LRESULT code = X11DialogCode(focus, key, lpMsg);
            if (code & DLGC_WANTALLKEYS) return Forward(focus, lpMsg) ? TRUE : FALSE;
            switch (key) {
                case VK_TAB: {
                    if (code & DLGC_WANTTAB) break;
                    HWND next = GetNextDlgTabItem(hDlg, focus, ShiftHeld() ? TRUE : FALSE);
                    if (next != nullptr && (X11DialogCode(next) & DLGC_RADIOBUTTON))
                        next = CheckedInGroup(hDlg, next);
                    if (next != nullptr) X11DialogSetFocus(hDlg, next);
                    return TRUE;
                }
                case VK_LEFT:
                case VK_UP:
                case VK_RIGHT:
                case VK_DOWN: {
                    if (code & DLGC_WANTARROWS) break;
                    if (focus == nullptr) return TRUE;
                    // Within the group; from a radio button to the group's radio
                    // buttons only, and never onto a label or group box.
                    const BOOL back = key == VK_LEFT || key == VK_UP ? TRUE : FALSE;
                    const bool fromRadio = (code & DLGC_RADIOBUTTON) != 0;
                    HWND next = focus;
                    for (int guard = 0; guard < 256; ++guard) {
                        next = GetNextDlgGroupItem(hDlg, next, back);
                        if (next == nullptr || next == focus) break;
                        const LRESULT nextCode = X11DialogCode(next);
                        if ((nextCode & DLGC_STATIC) != 0) continue;
                        if (fromRadio && (nextCode & DLGC_RADIOBUTTON) == 0) continue;
                        break;
                    }
                    if (next != nullptr && next != focus) {
                        X11DialogSetFocus(hDlg, next);
                        if (IsAutoRadio(next)) SendMessageA(next, BM_CLICK, 0, 0);
                    }
                    return TRUE;
                }
                case VK_RETURN: {
                    int id = IDOK;
                    if (code & DLGC_DEFPUSHBUTTON) {
                        id = GetDlgCtrlID(focus);
                    } else {
                        const LRESULT def = SendMessageA(hDlg, DM_GETDEFID, 0, 0);
                        if (HIWORD(def) == DC_HASDEFID) id = LOWORD(def);
                    }
                    HWND button = GetDlgItem(hDlg, id);
                    if (button != nullptr && !IsWindowEnabled(button)) return TRUE;
                    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
                    return TRUE;
                }
                case VK_ESCAPE: {
                    HWND cancel = GetDlgItem(hDlg, IDCANCEL);
                    if (cancel != nullptr && !IsWindowEnabled(cancel)) return TRUE;
                    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(cancel));
                    return TRUE;
                }
                case VK_F1: {
                    HELPINFO info = {};
                    info.cbSize = sizeof info;
                    info.iContextType = HELPINFO_WINDOW;
                    info.iCtrlId = focus != nullptr ? GetDlgCtrlID(focus) : 0;
                    info.hItemHandle = focus != nullptr ? focus : hDlg;
                    GetCursorPos(&info.MousePos);
                    SendMessageA(hDlg, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
                    return TRUE;
                }
                default:
                    if (((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) &&
                        (code & DLGC_WANTCHARS) == 0 && Mnemonic(hDlg, key))
                        return TRUE;
                    break;
            }
            return Forward(focus, lpMsg) ? TRUE : FALSE;
        }
        case WM_KEYUP:
        case WM_CHAR:
            return Forward(focus, lpMsg) ? TRUE : FALSE;
        case WM_SYSKEYDOWN:
            if (key == VK_SPACE) {
                if ((X11Style(hDlg) & WS_SYSMENU) != 0) X11TrackSystemMenu(hDlg, 0, 0, true);
                return TRUE;
            }
            if (((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) && Mnemonic(hDlg, key))
                return TRUE;
            return FALSE;
        default:
            return FALSE;
    }
}
