// Window texts: the text a window keeps, which also names its X window.
#pragma once

#include <string>

#include "platform/win32.h"

// Stores a window's text (the record's title) and names a top-level window.
void X11StoreWindowText(HWND hWnd, LPCSTR text);
std::string X11WindowText(HWND hWnd);
