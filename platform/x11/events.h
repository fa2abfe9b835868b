// X events into window messages: the display connection as a message source
// of the message loop, focus and activation. What the windows themselves need
// of it is in window_input.h.
#pragma once

#include "platform/win32.h"
#include "platform/x11/xlib.h"

// Registers the display connection with the message loop and our window
// dispatcher and thread resolver (once, after the display is open; the
// session does it).
void X11StartEvents();

// Translates one event into messages; exposed for the tests.
void X11TranslateEvent(const XEvent& event);
