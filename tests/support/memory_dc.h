// The tests' offscreen device contexts: the POSIX layer's on Linux, a GDI memory DC with
// a DIB section on Windows. Both give CreateMemoryDC, DeleteMemoryDC, ReadMemoryDCPixels,
// GetMemoryDCPixel and GetMemoryDCTransferCount.
#pragma once

#ifdef _WIN32
#include "platform/windows/memory_dc.h"
#else
#include "platform/posix/memory_dc.h"
#endif
