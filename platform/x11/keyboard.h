// X key symbols into virtual-key codes.
#pragma once

#include <X11/X.h>

#include "platform/win32.h"

// The virtual-key code of an X key symbol, 0 for none.
UINT X11VirtualKey(KeySym keysym);

// Whether a key press is a system key (WM_SYSKEYDOWN): the Alt key itself,
// any key with Alt held, or F10.
bool X11IsSystemKey(UINT virtualKey, unsigned int state);
