// Drawing on our windows over the user-interface connection, for GDI calls,
// text and the controls: device pixels of colours, the shared GC, rectangles,
// lines and points, the classic edges and focus rectangle, and ARGB pixels.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "platform/x11/xlib.h"

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

// The X window a device context draws on, 0 for memory DCs.
Window X11DrawableOf(HDC hdc);
