// What Win32 keeps per window beyond our window record: the owner, the user
// data, the WM_SETFONT font of the built-in classes, the system menu, the
// children in creation order (the tab order) and the dialog's window words.
#pragma once

#include <vector>

#include "platform/win32.h"

// The window words of a dialog (DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER): on
// Windows the extra bytes of the dialog class. The dialog manager's data for a
// dialog window starts with them.
struct DialogWords {
    LRESULT msgResult = 0;
    DLGPROC proc = nullptr;
    LONG_PTR user = 0;
};

struct WindowExtra {
    HWND owner = nullptr;   // owner of a top-level window
    LONG_PTR userData = 0;  // GWLP_USERDATA
    HFONT font = nullptr;   // WM_SETFONT of the built-in classes
    HMENU systemMenu = nullptr;
    std::vector<HWND> children;     // our children in creation order (the tab order)
    DialogWords* dialog = nullptr;  // set for a dialog window (its data, see dialog.h)
};

// The extras of hWnd, created on first use when `create`; null for unknown windows.
WindowExtra* X11Extra(HWND hWnd, bool create);
// Drops the extras of hWnd and takes it off its parent's child list.
void X11ForgetExtra(HWND hWnd);
// Our children of hWnd in creation order (children not created by us are left out).
std::vector<HWND> X11Children(HWND hWnd);
