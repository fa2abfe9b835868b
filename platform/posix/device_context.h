// Device contexts on POSIX. HDC points to an HDC__, the abstract base of every kind of
// device context: SetDIBitsToDevice validates and clips a call with Win32 semantics and
// hands the result to the device as one DibTransfer. Memory DCs (platform/memory_dc.h) and window
// DCs (platform/x11) derive from it.
#pragma once

#include <cstdint>

#include "platform/win32/gdi.h"
#include "platform/win32/types.h"

// One validated SetDIBitsToDevice call: a non-empty device rectangle, already clipped to
// the DIB, to the scan lines passed and to the device bounds, and the 32-bit source pixels
// that belong in it.
struct DibTransfer {
    RECT dest;                       // device pixels to paint, right and bottom exclusive
    const BITMAPINFOHEADER* header;  // the caller's header (32 bpp, BI_RGB)
    const uint8_t* bits;             // the caller's lpvBits: first byte of scan line StartScan
    UINT startScan;                  // as passed
    UINT lines;                      // as passed
    LONG sourceX;                    // DIB column painted at dest.left
    LONG sourceTopRow;               // memory row index in bits of device row dest.top
    int32_t rowStep;                 // words from one device row's source to the next (+/- width)

    // The source pixels of device row y (dest.top <= y < dest.bottom), from column
    // dest.left on: dest.right - dest.left words of 0x00RRGGBB (the top byte is ignored).
    const uint32_t* SourceRow(LONG y) const {
        const int64_t row = int64_t(sourceTopRow) * int64_t(header->biWidth) +
                            int64_t(y - dest.top) * int64_t(rowStep) + sourceX;
        return reinterpret_cast<const uint32_t*>(bits) + row;
    }
};

struct HDC__ {
    virtual ~HDC__() = default;

    // The device's drawable area in device pixels; transfers are clipped to it.
    virtual RECT DeviceBounds() const = 0;

    // Paints one validated transfer. Called by SetDIBitsToDevice on the caller's thread,
    // which may be a worker thread: implementations guard their own state.
    virtual void TransferDib(const DibTransfer& transfer) = 0;

    // GdiFlush on the calling thread: sends on what this thread's transfers left batched.
    virtual void FlushBatch() {}
};

// Devices whose transfers are batched join GdiFlush's list while they live.
void JoinGdiFlush(HDC__* device);
void LeaveGdiFlush(HDC__* device);
