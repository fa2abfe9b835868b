// Internal interface of the dialog manager and the built-in controls on X11:
// GDI objects, painting helpers, per-window extras (owner, enabled state,
// window words, the dialog's own data) and keyboard focus inside dialogs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "platform/x11/xlib.h"

// ---------------------------------------------------------------------------
// GDI objects. Every object starts with its kind so that an HGDIOBJ can be told apart.
enum class GdiKind : uint32_t { Font = 0x464F4E54, Bitmap = 0x424D4150, Brush = 0x42525348 };

struct HBITMAP__ {
    GdiKind kind = GdiKind::Bitmap;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top-down rows of 0x00RRGGBB
};

struct HBRUSH__ {
    GdiKind kind = GdiKind::Brush;
    COLORREF color = 0;
};

// One image of an icon: 0xAARRGGBB, top-down, alpha 255 opaque.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};

struct HICON__ {
    std::vector<IconImage> images;
    bool shared = false;  // loaded from a resource: DestroyIcon leaves it
};

// Live GDI objects by address, so that a stale or foreign handle is never read.
void X11RegisterGdiObject(const void* object, GdiKind kind);
void X11ForgetGdiObject(const void* object);
GdiKind X11GdiKind(HGDIOBJ object);  // of a live object; GdiKind(0) for unknown handles
bool X11IsLiveBitmap(HBITMAP bitmap);
bool X11IsLiveIcon(HICON icon);

// ---------------------------------------------------------------------------
// Colours and painting on the user-interface connection.
// The device pixel of a colour (0x00BBGGRR) on the default visual.
unsigned long X11Pixel(COLORREF color);
GC X11PaintGC();
void X11FillRect(Window xid, int x, int y, int width, int height, COLORREF color);
void X11Line(Window xid, int x1, int y1, int x2, int y2, COLORREF color);
void X11Point(Window xid, int x, int y, COLORREF color);
// A one-pixel frame: top and left in topLeft, bottom and right in bottomRight.
void X11Frame(Window xid, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
// The classic two-pixel raised (button) and sunken (field) edges.
void X11RaisedEdge(Window xid, const RECT& rect);
void X11SunkenEdge(Window xid, const RECT& rect);
// A dotted focus rectangle.
void X11FocusRect(Window xid, const RECT& rect);
// Draws 0xAARRGGBB pixels (alpha blended over `background`) at (x, y).
void X11PutPixels(Window xid, int x, int y, int width, int height, const uint32_t* argb,
                  COLORREF background);
// Draws the icon image closest to size x size, scaled to it, at (x, y).
void X11DrawIconImage(Window xid, HICON icon, int x, int y, int size, COLORREF background);
// Sets _NET_WM_ICON of a top-level window from the big and small icons.
void X11SetNetWmIcon(Window xid, HICON big, HICON small);

// Drops what was selected into a device context that is being released.
void X11ForgetDcState(HDC hdc);

// The X window a device context draws on, 0 for memory DCs.
Window X11DrawableOf(HDC hdc);

// ---------------------------------------------------------------------------
// Per-window extras of the user subset that X2's window record does not hold.
struct DialogData;
struct WindowExtra {
    HWND owner = nullptr;   // owner of a top-level window
    LONG_PTR userData = 0;  // GWLP_USERDATA
    HFONT font = nullptr;   // WM_SETFONT of the built-in classes
    HMENU systemMenu = nullptr;
    std::vector<HWND> children;  // our children in creation order (the tab order)
    DialogData* dialog = nullptr;
};

// The extras of hWnd, created on first use when `create`; null for unknown windows.
WindowExtra* X11Extra(HWND hWnd, bool create);
void X11ForgetExtra(HWND hWnd);
// Our children of hWnd in creation order (children not created by us are left out).
std::vector<HWND> X11Children(HWND hWnd);
// Stores a window's text (the record's title) and names a top-level window.
void X11StoreWindowText(HWND hWnd, LPCSTR text);
std::string X11WindowText(HWND hWnd);
DWORD X11Style(HWND hWnd);
void X11SetStyle(HWND hWnd, DWORD style);
// A dialog without a sizing frame tells the window manager its one size.
void X11FixSizeHints(HWND hWnd);
// The position of a child in its parent's client area.
POINT X11ChildOrigin(HWND hWnd);

// ---------------------------------------------------------------------------
// Dialogs.
struct DialogData {
    DLGPROC proc = nullptr;
    LPARAM initParam = 0;
    LRESULT msgResult = 0;  // DWLP_MSGRESULT
    LONG_PTR user = 0;      // DWLP_USER
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

DialogData* X11Dialog(HWND hDlg);
// The dialog a control belongs to (its nearest dialog ancestor), or null.
HWND X11DialogOf(HWND hWnd);
// Moves the dialog's focus to a control (WM_KILLFOCUS / WM_SETFOCUS to the
// controls, the default push button follows a focused push button).
void X11DialogSetFocus(HWND hDlg, HWND hCtl);
// The control that has the focus in its dialog (for the controls' drawing).
bool X11HasFocus(HWND hCtl);
// Registers Button, Static, msctls_trackbar32, the dialog and the menu class (once).
void X11RegisterBuiltinClasses();
// Base units (average character width, height) of a font.
SIZE X11DialogBaseUnits(HFONT font);

LRESULT CALLBACK X11ButtonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK X11StaticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK X11TrackbarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK X11MenuProc(HWND, UINT, WPARAM, LPARAM);

// Forwards a mouse message of a control to its parent, in the parent's coordinates.
LRESULT X11ForwardMouse(HWND hCtl, UINT message, WPARAM wParam, LPARAM lParam);

// Opens the system menu of a top-level window at screen point (x, y), or
// under the top-left corner of its client area when fromKeyboard.
void X11TrackSystemMenu(HWND hWnd, int x, int y, bool fromKeyboard);

// Mnemonics: the letter after a single '&' (upper case), 0 for none.
char X11Mnemonic(const std::string& text);
