// An offscreen device context for tests on the real Win32: a memory DC with a 32-bit
// top-down DIB section selected (row 0 is the top device row, pixels 0x00RRGGBB), so that
// presentation can be tested without a window. The same functions as the POSIX layer's
// memory DCs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

// Creates a memory DC of width x height pixels, all 0. Returns NULL for a negative size
// or when GDI cannot make the DC or its bitmap.
HDC CreateMemoryDC(int width, int height);

// Destroys a DC made by CreateMemoryDC, with its bitmap. NULL is ignored.
void DeleteMemoryDC(HDC hdc);

// Copies the DC's pixels, top row first, into out (room for width x height words).
// Returns the number of words copied, 0 if hdc is no memory DC or count is too small.
size_t ReadMemoryDCPixels(HDC hdc, uint32_t* out, size_t count);

// One pixel at device (x, y), y counted from the top; 0 outside the DC.
uint32_t GetMemoryDCPixel(HDC hdc, int x, int y);

// Number of SetDIBitsToDevice transfers that reached the DC (non-empty after clipping).
// GDI keeps no such count: the program's import of SetDIBitsToDevice is routed through a
// counter when the first memory DC is made. -1 when that could not be done.
int GetMemoryDCTransferCount(HDC hdc);
