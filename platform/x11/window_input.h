// What our windows need of the input machinery, below both the windows and
// the event translation: the events a window selects, the close protocol of a
// top-level window, queued paints, and the focus and activation state.
#pragma once

#include "platform/win32.h"
#include "platform/x11/window_record.h"
#include "platform/x11/xlib.h"

// The events a window selects. A child of a foreign window takes no input:
// its keyboard and mouse events go on to the foreign parent.
unsigned long X11EventMask(bool foreignChild);

// WM_DELETE_WINDOW for a top-level window.
void X11SetWindowProtocols(Window xid);
// Whether a client message asks a top-level window to close.
bool X11IsCloseRequest(const XClientMessageEvent& message);

// Queues one WM_NCPAINT/WM_PAINT pair for hWnd (record its record, or null)
// unless a WM_PAINT is pending already.
void X11QueuePaint(HWND hWnd, X11WindowRecord* record);

// The window holding the input focus, and whether the application is active.
HWND X11FocusWindow();
void X11SetFocusWindow(HWND hWnd);
bool X11AppActive();
void X11SetAppActive(bool active);

// Forgets hWnd (record its record, or null) as focus window: it is being
// destroyed. The active window going away takes the activation along.
void X11ForgetFocus(HWND hWnd, X11WindowRecord* record);
