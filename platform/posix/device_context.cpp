// SetDIBitsToDevice: validates a call with Win32 semantics and hands the clipped transfer
// to the device context.
//
// Source coordinates follow the DIB's orientation: for a bottom-up DIB (positive
// biHeight) scan line 0 and source row 0 are the bottom line and the source rectangle
// extends upward from ySrc; for a top-down DIB both count from the top. lpvBits holds
// cLines scan lines from StartScan on; only those lines can be drawn.
#include "platform/posix/device_context.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

namespace {

// The devices that batch their transfers; GdiFlush asks each to send the caller's on.
std::mutex g_batchingLock;
std::vector<HDC__*>& Batching() {
    static std::vector<HDC__*> devices;
    return devices;
}

// Half-open range intersection on 64-bit values.
struct Span {
    int64_t begin, end;
    bool Empty() const { return end <= begin; }
};
Span Intersect(Span a, Span b) {
    return {std::max(a.begin, b.begin), std::min(a.end, b.end)};
}

}  // namespace

int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                             UINT StartScan, UINT cLines, const void* lpvBits,
                             const BITMAPINFO* lpbmi, UINT ColorUse) {
    if (!hdc || !lpvBits || !lpbmi || ColorUse > 1) return 0;
    const BITMAPINFOHEADER& bi = lpbmi->bmiHeader;
    if (bi.biSize < sizeof(BITMAPINFOHEADER) || bi.biWidth <= 0 || bi.biHeight == 0 ||
        bi.biPlanes != 1 || bi.biBitCount != 32 || bi.biCompression != BI_RGB)
        return 0;
    const int64_t dibWidth = bi.biWidth;
    const int64_t dibHeight = bi.biHeight < 0 ? -int64_t(bi.biHeight) : int64_t(bi.biHeight);
    const bool bottomUp = bi.biHeight > 0;
    if (cLines == 0 || StartScan >= dibHeight) return 0;
    const int64_t lines = std::min<int64_t>(cLines, dibHeight - StartScan);

    // The source rectangle, limited to the DIB and to the scan lines passed.
    const Span cols = Intersect({xSrc, int64_t(xSrc) + int64_t(w)}, {0, dibWidth});
    const Span rows = Intersect({ySrc, int64_t(ySrc) + int64_t(h)},
                                {int64_t(StartScan), int64_t(StartScan) + lines});
    if (cols.Empty() || rows.Empty()) return int(lines);

    // Device rows: bottom-up source row sy lands on yDest + (ySrc + h - 1 - sy), top-down
    // row sy on yDest + (sy - ySrc).
    Span destX = {xDest + (cols.begin - xSrc), xDest + (cols.end - xSrc)};
    Span destY = bottomUp ? Span{yDest + (int64_t(ySrc) + int64_t(h) - rows.end),
                                 yDest + (int64_t(ySrc) + int64_t(h) - rows.begin)}
                          : Span{yDest + (rows.begin - ySrc), yDest + (rows.end - ySrc)};
    const RECT bounds = hdc->DeviceBounds();
    destX = Intersect(destX, {bounds.left, bounds.right});
    destY = Intersect(destY, {bounds.top, bounds.bottom});
    if (destX.Empty() || destY.Empty()) return int(lines);

    DibTransfer transfer;
    transfer.dest = {LONG(destX.begin), LONG(destY.begin), LONG(destX.end), LONG(destY.end)};
    transfer.header = &bi;
    transfer.bits = static_cast<const uint8_t*>(lpvBits);
    transfer.startScan = StartScan;
    transfer.lines = UINT(lines);
    transfer.sourceX = LONG(destX.begin - xDest + xSrc);
    const int64_t topSourceRow = bottomUp ? int64_t(ySrc) + int64_t(h) - 1 - (destY.begin - yDest)
                                          : int64_t(ySrc) + (destY.begin - yDest);
    transfer.sourceTopRow = LONG(topSourceRow - StartScan);
    transfer.rowStep = bottomUp ? -int32_t(dibWidth) : int32_t(dibWidth);
    hdc->TransferDib(transfer);
    return int(lines);
}

void JoinGdiFlush(HDC__* device) {
    std::lock_guard<std::mutex> hold(g_batchingLock);
    Batching().push_back(device);
}

void LeaveGdiFlush(HDC__* device) {
    std::lock_guard<std::mutex> hold(g_batchingLock);
    std::vector<HDC__*>& devices = Batching();
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
}

BOOL WINAPI GdiFlush(void) {
    std::lock_guard<std::mutex> hold(g_batchingLock);
    for (HDC__* device : Batching())
        device->FlushBatch();
    return TRUE;
}
