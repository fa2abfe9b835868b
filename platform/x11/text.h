// Fonts and text on X11: HFONT objects over Xft and fontconfig, measurement
// and drawing. The dialog font "MS Sans Serif" (and the other Windows sans
// faces) maps to DejaVu Sans; heights follow Windows at 96 dots per inch.
#pragma once

#include <string>

#include "platform/win32.h"
#include "platform/x11/gdi_objects.h"
#include "platform/x11/xlib.h"

struct _XftFont;

struct HFONT__ {
    GdiKind kind = GdiKind::Font;
    _XftFont* xft = nullptr;  // null without a display (measurements are then estimates)
    LOGFONTA logFont = {};
    int pixelSize = 0;
    int ascent = 0;
    int descent = 0;
    int aveCharWidth = 0;  // Windows' dialog average: letters' width / 26, rounded
};

// The font for a face and a point size, as a dialog template names it.
HFONT X11DialogFont(const std::string& face, int pointSize, int weight, bool italic);
// DEFAULT_GUI_FONT: "MS Sans Serif" 8 pt.
HFONT X11DefaultFont();
// The font a window drew with: its WM_SETFONT font, else the default.
HFONT X11FontOrDefault(HFONT font);

// Text extent of the first `length` bytes (Windows-1252) of text.
SIZE X11TextExtent(HFONT font, const char* text, int length);
int X11FontHeight(HFONT font);

// Draws text with its top-left corner at (x, y) in one colour.
void X11DrawText(Window xid, HFONT font, int x, int y, const char* text, int length,
                 COLORREF color);

// A label with '&' prefixes: the text to show and the index of the character
// to underline (-1 for none). "&&" shows one '&'.
std::string X11StripPrefix(const std::string& text, int* underline);

// Draws a label inside rect: horizontal alignment 0 left, 1 centre, 2 right;
// vCentre centres one line vertically; wrap breaks lines at blanks to the
// width; prefixes are handled unless noPrefix. Disabled text is embossed.
void X11DrawLabel(Window xid, HFONT font, const RECT& rect, const std::string& text, int align,
                  bool vCentre, bool wrap, bool noPrefix, bool disabled, COLORREF color);

// Mnemonics: the letter after a single '&' (upper case), 0 for none.
char X11Mnemonic(const std::string& text);

bool X11IsLiveFont(HFONT font);

// Drops what was selected into a device context that is being released.
void X11ForgetDcState(HDC hdc);
