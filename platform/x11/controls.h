// The built-in controls on X11: the window procedures of the Button, Static
// and trackbar classes (control_button.cpp, control_static.cpp,
// control_trackbar.cpp) and the default procedure they share.
#pragma once

#include "platform/win32.h"

LRESULT CALLBACK X11ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK X11StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK X11TrackbarProc(HWND, UINT, WPARAM, LPARAM);

// Draws a whole control; the class's paint function.
using ControlPaint = void (*)(HWND hWnd);

// The default procedure of the built-in controls: the control joins its
// parent's child list on WM_NCCREATE and leaves it (and the mouse capture) on
// WM_NCDESTROY; WM_PAINT calls `paint`; the background is never erased apart
// from it; WM_SETTEXT stores the text and WM_SETFONT the font (redrawing when
// lParam asks); WM_GETFONT returns it; the focus coming or going and WM_ENABLE
// redraw; right-button messages go on to the parent. Everything else goes to
// DefWindowProcA.
LRESULT X11ControlDefProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                          ControlPaint paint);

// Forwards a mouse message of a control to its parent, in the parent's coordinates.
LRESULT X11ForwardMouse(HWND hCtl, UINT message, WPARAM wParam, LPARAM lParam);

// Asks for the control to be drawn again.
void X11RedrawControl(HWND hWnd);
// The font set with WM_SETFONT, null for none (the default font).
HFONT X11ControlFont(HWND hWnd);
// A control pressed with the mouse takes the focus in its dialog.
void X11TakeFocus(HWND hWnd);
