// An offscreen device context that owns a top-down 32-bit pixel area (row 0 is the top
// device row, pixels 0x00RRGGBB). It lets presentation be tested, and the animation run,
// without a display. On POSIX it is our own device (platform/posix); on Windows a GDI
// memory DC with a DIB section selected (platform/windows).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

// Creates a memory DC of width x height pixels, all 0. Returns NULL for a negative size
// or when the system cannot make the DC or its pixels.
HDC CreateMemoryDC(int width, int height);

// Destroys a DC made by CreateMemoryDC, with its pixels. NULL is ignored.
void DeleteMemoryDC(HDC hdc);

// Copies the DC's pixels, top row first, into out (room for width x height words).
// Returns the number of words copied, 0 if hdc is no memory DC or count is too small.
size_t ReadMemoryDCPixels(HDC hdc, uint32_t* out, size_t count);

// One pixel at device (x, y), y counted from the top; 0 outside the DC.
uint32_t GetMemoryDCPixel(HDC hdc, int x, int y);

// Number of SetDIBitsToDevice transfers that reached the DC (non-empty after clipping)
// since CountMemoryDCTransfers; -1 when transfers are not counted.
int GetMemoryDCTransferCount(HDC hdc);

// Lets the memory DCs count their transfers: the tests call it before they present.
// Windows' GDI keeps no such count: there the calling program's import of
// SetDIBitsToDevice is routed through a counter, which only tests ask for. The POSIX
// device always counts. Returns false when counting is not possible.
bool CountMemoryDCTransfers();
