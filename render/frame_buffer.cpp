#include "render/frame_buffer.h"

#include <cstring>

#include "render/pixel_copy.h"

int32_t FrameBuffer::Create(HDC targetDc, int32_t newWidth, int32_t newHeight) {
    if (byteSize != 0) return 0;
    // A negative size or one whose plane size does not fit the byte count fails like a
    // failed allocation, leaving the frame buffer uncreated.
    const int64_t bytes = int64_t(newWidth) * int64_t(newHeight) * 4;
    if (newWidth < 0 || newHeight < 0 || bytes > INT32_MAX) return -1;

    width = newWidth;
    height = newHeight;
    hdc = targetDc;
    wholeRect = {0, 0, width, height};
    workRect = wholeRect;
    std::memset(&header, 0, sizeof(header));
    header.bV4Size = sizeof(BITMAPV4HEADER);
    header.bV4Width = width;
    header.bV4Height = height;
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    header.bV4V4Compression = BI_RGB;
    byteSize = int32_t(bytes);

    frontPixels = static_cast<uint32_t*>(
        VirtualAlloc(nullptr, SIZE_T(byteSize), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    backgroundPixels = static_cast<uint32_t*>(
        VirtualAlloc(nullptr, SIZE_T(byteSize), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!frontPixels || !backgroundPixels) return -1;
    fadeMap.Cover(width, height);
    return 1;
}

void FrameBuffer::PresentRect(const RECT& rect) const {
    PresentRect(rect, frontPixels);
}

void FrameBuffer::PresentRect(const RECT& rect, const uint32_t* plane) const {
    // Clipping to the plane first changes nothing that would be drawn (rows outside the
    // plane have no pixels) and keeps the coordinates from overflowing.
    RECT r;
    if (!plane || !hdc || !IntersectRect(&r, &rect, &wholeRect)) return;
    // The plane is bottom-up: the rectangle's upper row bound becomes its top edge in the
    // window, and the whole plane is passed with the rectangle selecting the part drawn.
    SetDIBitsToDevice(hdc, r.left, height - r.bottom, DWORD(r.right - r.left),
                      DWORD(r.bottom - r.top), r.left, r.top, 0, UINT(header.bV4Height), plane,
                      reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS);
}

void FrameBuffer::PresentAll(const uint32_t* plane) const {
    if (!plane || !hdc) return;
    SetDIBitsToDevice(hdc, 0, 0, DWORD(header.bV4Width), DWORD(header.bV4Height), 0, 0, 0,
                      UINT(header.bV4Height), plane, reinterpret_cast<const BITMAPINFO*>(&header),
                      DIB_RGB_COLORS);
}

void FrameBuffer::EndPresent() const {
    if (hdc) GdiFlush();
}

void FrameBuffer::RestoreRect(const RECT& rect) {
    if (!frontPixels || !backgroundPixels) return;
    // Clipped to the planes, so a rectangle reaching past an edge cannot write outside.
    RECT r;
    if (!IntersectRect(&r, &rect, &wholeRect)) return;
    const ptrdiff_t first = ptrdiff_t(r.top) * width + r.left;
    CopyPixels(backgroundPixels + first, frontPixels + first, r.right - r.left, r.bottom - r.top,
               width, width);
}
