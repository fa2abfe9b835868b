// The keyboard focus in dialogs: which control has it, the default push
// button following it, and SetFocus, which hands a dialog's control to the
// dialog manager and keeps the X input focus on the dialog.
#include "platform/x11/dialog_focus.h"

#include "platform/x11/dialog_data.h"
#include "platform/x11/window.h"
#include "platform/x11/window_extra.h"
#include "platform/x11/window_input.h"

namespace {

void SetPushStyle(HWND button, bool asDefault) {
    const LRESULT code = X11DialogCode(button);
    if (asDefault && (code & DLGC_UNDEFPUSHBUTTON))
        SendMessageA(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    if (!asDefault && (code & DLGC_DEFPUSHBUTTON))
        SendMessageA(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
}

}  // namespace

LRESULT X11DialogCode(HWND hCtl, WPARAM key, const MSG* msg) {
    if (hCtl == nullptr || X11FindWindow(hCtl) == nullptr) return 0;
    return SendMessageA(hCtl, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(msg));
}

void X11DialogSetFocus(HWND hDlg, HWND hCtl) {
    DialogData* d = X11Dialog(hDlg);
    if (d == nullptr) return;
    if (hCtl != nullptr && X11FindWindow(hCtl) == nullptr) hCtl = nullptr;
    const HWND old = d->focus != nullptr && X11FindWindow(d->focus) != nullptr ? d->focus : nullptr;
    if (old == hCtl) return;
    d->focus = hCtl;
    if (old != nullptr) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hCtl), 0);
    // The default look follows a focused push button and otherwise sits on
    // the dialog's default button.
    const LRESULT code = X11DialogCode(hCtl);
    const bool pushFocused = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    HWND chosen = pushFocused ? hCtl : GetDlgItem(hDlg, d->defId);
    for (HWND child : X11Children(hDlg))
        if (child != chosen) SetPushStyle(child, false);
    if (chosen != nullptr) SetPushStyle(chosen, true);
    if (hCtl != nullptr && X11Dialog(hDlg) != nullptr)
        SendMessageA(hCtl, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

bool X11HasFocus(HWND hCtl) {
    X11WindowRecord* record = X11FindWindow(hCtl);
    if (record == nullptr || record->parent == nullptr) return false;
    DialogData* d = X11Dialog(record->parent);
    return d != nullptr && d->focus == hCtl;
}

HWND WINAPI SetFocus(HWND hWnd) {
    const HWND previous = X11FocusWindow();
    // A dialog's control: the dialog manager keeps the control's focus, the
    // X input focus stays with the dialog.
    if (const HWND dialog = X11DialogOf(hWnd); dialog != nullptr && dialog != hWnd) {
        X11DialogSetFocus(dialog, hWnd);
        hWnd = dialog;
    }
    X11WindowRecord* record = X11FindWindow(hWnd);
    if (record == nullptr) return nullptr;
    X11ErrorTrap trap(X11Display());
    XSetInputFocus(X11Display(), record->xid, RevertToParent, CurrentTime);
    trap.Sync();
    return previous;
}

HWND WINAPI GetFocus(void) {
    return X11FocusWindow();
}

HWND WINAPI GetActiveWindow(void) {
    return GetFocus();
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    return SetFocus(hWnd);
}
