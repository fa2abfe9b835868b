// The keyboard focus among a dialog's controls. The X input focus stays on the
// dialog's top-level window; the dialog manager keeps which control has the
// focus, and SetFocus on a control moves it there.
#pragma once

#include "platform/win32.h"

// Moves the dialog's focus to a control (WM_KILLFOCUS / WM_SETFOCUS to the
// controls, the default push button follows a focused push button).
void X11DialogSetFocus(HWND hDlg, HWND hCtl);
// The control that has the focus in its dialog (for the controls' drawing).
bool X11HasFocus(HWND hCtl);
// A control's WM_GETDLGCODE answer; 0 for no control.
LRESULT X11DialogCode(HWND hCtl, WPARAM key = 0, const MSG* msg = nullptr);
