// GetDC and ReleaseDC: a window's device context is made for the window's
// size, and releasing it also forgets the fonts and colours selected into it.
#include "platform/x11/text.h"
#include "platform/x11/window.h"
#include "platform/x11/window_dc.h"

HDC WINAPI GetDC(HWND hWnd) {
    X11WindowRecord* record = X11FindWindow(hWnd);
    Display* display = X11Display();
    if (record == nullptr || display == nullptr) return nullptr;
    return new X11WindowDC(record->xid, record->width, record->height, DisplayString(display));
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    auto* dc = dynamic_cast<X11WindowDC*>(hDC);
    if (dc == nullptr) return 0;
    X11ForgetDcState(hDC);  // the fonts and colours selected into it
    delete dc;
    return 1;
}
