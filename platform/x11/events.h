// X events into window messages: the display connection as a message source
// of the message loop, the event masks of our windows, focus and activation.
#pragma once

#include "platform/win32.h"
#include "platform/x11/xlib.h"

// Registers the display connection with the message loop and our window
// dispatcher and thread resolver (once, after the display is open).
void X11StartEvents();

// The events a window selects. A child of a foreign window takes no input:
// its keyboard and mouse events go on to the foreign parent.
unsigned long X11EventMask(bool foreignChild);

// WM_DELETE_WINDOW for a top-level window.
void X11SetWindowProtocols(Window xid);

// Queues one WM_NCPAINT/WM_PAINT pair unless a WM_PAINT is pending already.
void X11QueuePaint(HWND hWnd);

// Forgets hWnd as focus window (it is being destroyed).
void X11ForgetFocus(HWND hWnd);

// Translates one event into messages; exposed for the tests.
void X11TranslateEvent(const XEvent& event);
