// Bitmaps (CreateDIBitmap) and single pixels (SetPixelV).
#include <algorithm>

#include "platform/x11/drawing.h"
#include "platform/x11/gdi_objects.h"

namespace {

constexpr int64_t kMaxBitmapPixels = 16 * 1024 * 1024;

}  // namespace

HBITMAP WINAPI CreateDIBitmap(HDC, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits,
                              const BITMAPINFO* pbmi, UINT iUsage) {
    if (pbmih == nullptr || pbmih->biSize < sizeof(BITMAPINFOHEADER)) return nullptr;
    const int64_t width = pbmih->biWidth;
    const int64_t height = pbmih->biHeight < 0 ? -int64_t(pbmih->biHeight) : pbmih->biHeight;
    if (width <= 0 || height <= 0 || width * height > kMaxBitmapPixels) return nullptr;
    auto* bitmap = new HBITMAP__;
    bitmap->width = static_cast<int>(width);
    bitmap->height = static_cast<int>(height);
    bitmap->pixels.assign(static_cast<size_t>(width * height), 0);
    if ((flInit & CBM_INIT) != 0 && pjBits != nullptr) {
        // The bits are laid out as the BITMAPINFO describes them.
        const BITMAPINFOHEADER& format = pbmi != nullptr ? pbmi->bmiHeader : *pbmih;
        const int bpp = format.biBitCount;
        const int64_t formatHeight =
            format.biHeight < 0 ? -int64_t(format.biHeight) : int64_t(format.biHeight);
        if (iUsage != DIB_RGB_COLORS || format.biCompression != BI_RGB ||
            (bpp != 24 && bpp != 32) || format.biWidth <= 0 ||
            int64_t(format.biWidth) * formatHeight > kMaxBitmapPixels) {
            delete bitmap;
            return nullptr;
        }
        const bool topDown = format.biHeight < 0;
        const size_t stride =
            (static_cast<size_t>(format.biWidth) * static_cast<size_t>(bpp) + 31) / 32 * 4;
        const auto* bits = static_cast<const uint8_t*>(pjBits);
        const int64_t rows = std::min(height, formatHeight);
        const int64_t cols = std::min<int64_t>(width, format.biWidth);
        for (int64_t y = 0; y < rows; ++y) {
            const int64_t sourceRow = topDown ? y : formatHeight - 1 - y;
            const uint8_t* row = bits + stride * static_cast<size_t>(sourceRow);
            for (int64_t x = 0; x < cols; ++x) {
                const uint8_t* p = row + x * (bpp / 8);
                bitmap->pixels[static_cast<size_t>(y * width + x)] =
                    uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
    }
    X11RegisterGdiObject(bitmap, GdiKind::Bitmap);
    return bitmap;
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
    const Window xid = X11DrawableOf(hdc);
    if (xid == 0) return FALSE;
    X11Point(xid, x, y, color & 0x00FFFFFF);
    return TRUE;
}
