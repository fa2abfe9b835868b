// The dialog data of dialog windows, kept in their window extras.
#include "platform/x11/dialog_data.h"

#include "platform/x11/window.h"

DialogData* X11Dialog(HWND hDlg) {
    WindowExtra* extra = X11Extra(hDlg, false);
    return extra != nullptr ? static_cast<DialogData*>(extra->dialog) : nullptr;
}

HWND X11DialogOf(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    while (record != nullptr) {
        if (X11Dialog(hWnd) != nullptr) return hWnd;
        if ((record->style & WS_CHILD) == 0 || record->foreignParent) return nullptr;
        hWnd = record->parent;
        record = X11FindWindow(hWnd);
    }
    return nullptr;
}
