// The dialog manager's data of a dialog window, and finding the dialog a
// control belongs to.
#pragma once

#include "platform/win32.h"
#include "platform/x11/window_extra.h"

// A dialog's data; its window words come first (GetWindowLongPtrA reads them).
struct DialogData : DialogWords {
    LPARAM initParam = 0;
    HFONT font = nullptr;
    int baseX = 0;  // dialog base units of the font
    int baseY = 0;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    WORD defId = IDOK;
    HWND focus = nullptr;  // the control with the keyboard focus
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
};

// The data of a dialog window, null for other windows.
DialogData* X11Dialog(HWND hDlg);
// The dialog a control belongs to (its nearest dialog ancestor), or null.
HWND X11DialogOf(HWND hWnd);
