#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/memory_dc.h"
#include "platform/win32.h"

namespace {

struct Dc {
    HDC hdc;
    Dc(int w, int h) : hdc((CountMemoryDCTransfers(), CreateMemoryDC(w, h))) {}
    ~Dc() { DeleteMemoryDC(hdc); }
    std::vector<uint32_t> Pixels(int w, int h) const {
        std::vector<uint32_t> p(size_t(w) * h);
        ReadMemoryDCPixels(hdc, p.data(), p.size());
        return p;
    }
};

BITMAPINFO Info(LONG width, LONG height) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// A 3 x 3 DIB: memory row r, column c holds 0x10 * r + c + 1.
const std::vector<uint32_t> kBits = {0x01, 0x02, 0x03, 0x11, 0x12, 0x13, 0x21, 0x22, 0x23};

TEST(GdiDib, BottomUpRowsAreFlipped) {
    Dc dc(3, 3);
    const BITMAPINFO bi = Info(3, 3);
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 3, 3, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS),
              3);
    EXPECT_EQ(dc.Pixels(3, 3),
              (std::vector<uint32_t>{0x21, 0x22, 0x23, 0x11, 0x12, 0x13, 0x01, 0x02, 0x03}));
}

TEST(GdiDib, TopDownRowsKeepTheirOrder) {
    Dc dc(3, 3);
    const BITMAPINFO bi = Info(3, -3);
    SetDIBitsToDevice(dc.hdc, 0, 0, 3, 3, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(dc.Pixels(3, 3), kBits);
}

TEST(GdiDib, SourceRectangleCountsFromTheBottomLeft) {
    Dc dc(4, 4);
    const BITMAPINFO bi = Info(3, 3);
    // Source columns 1..2, rows 0..1 from the bottom, placed with its top-left at (2, 1).
    SetDIBitsToDevice(dc.hdc, 2, 1, 2, 2, 1, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 2, 1), 0x12u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 3, 1), 0x13u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 2, 2), 0x02u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 3, 2), 0x03u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 1, 1), 0u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 2, 3), 0u);
}

TEST(GdiDib, OnlyThePassedScanLinesAreDrawn) {
    Dc dc(3, 3);
    const BITMAPINFO bi = Info(3, 3);
    // Scan line 1 alone, its bits at the start of the buffer: it is the middle device row.
    const uint32_t line[3] = {7, 8, 9};
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 3, 3, 0, 0, 1, 1, line, &bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(dc.Pixels(3, 3), (std::vector<uint32_t>{0, 0, 0, 7, 8, 9, 0, 0, 0}));
    // Lines past the bitmap are not read; a start beyond it draws nothing.
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 3, 3, 0, 0, 2, 5, line, &bi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 0, 0), 7u);
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 3, 3, 0, 0, 3, 1, line, &bi, DIB_RGB_COLORS), 0);
}

TEST(GdiDib, ClipsToTheDevice) {
    Dc dc(2, 2);
    const BITMAPINFO bi = Info(3, 3);
    // Placed up and left by one: device (0, 0) shows DIB column 1 of the second top row.
    SetDIBitsToDevice(dc.hdc, -1, -1, 3, 3, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(dc.Pixels(2, 2), (std::vector<uint32_t>{0x12, 0x13, 0x02, 0x03}));
    Dc other(2, 2);
    SetDIBitsToDevice(other.hdc, 5, 0, 3, 3, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(GetMemoryDCTransferCount(other.hdc), 0);
    // A source rectangle wider than the DIB is cut to it.
    Dc big(5, 5);
    SetDIBitsToDevice(big.hdc, 0, 0, 0xFFFFFFFFu, 3, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(GetMemoryDCTransferCount(big.hdc), 1);
    EXPECT_EQ(GetMemoryDCPixel(big.hdc, 2, 0), 0x23u);
    EXPECT_EQ(GetMemoryDCPixel(big.hdc, 3, 0), 0u);
    // A taller one reaches above the DIB: its bottom rows land below the device.
    Dc tall(3, 3);
    SetDIBitsToDevice(tall.hdc, 0, 0, 3, 4, 0, 0, 0, 3, kBits.data(), &bi, DIB_RGB_COLORS);
    EXPECT_EQ(GetMemoryDCPixel(tall.hdc, 0, 0), 0u);
    EXPECT_EQ(GetMemoryDCPixel(tall.hdc, 0, 1), 0x21u);
}

TEST(GdiDib, TopByteIsIgnoredAndBadCallsFail) {
    Dc dc(1, 1);
    BITMAPINFO bi = Info(1, 1);
    const uint32_t pixel = 0xFF123456u;
    SetDIBitsToDevice(dc.hdc, 0, 0, 1, 1, 0, 0, 0, 1, &pixel, &bi, DIB_RGB_COLORS);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 0, 0), 0x123456u);
    EXPECT_EQ(SetDIBitsToDevice(nullptr, 0, 0, 1, 1, 0, 0, 0, 1, &pixel, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 1, 1, 0, 0, 0, 1, nullptr, &bi, DIB_RGB_COLORS), 0);
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 1, 1, 0, 0, 0, 0, &pixel, &bi, DIB_RGB_COLORS), 0);
    bi.bmiHeader.biBitCount = 24;
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 1, 1, 0, 0, 0, 1, &pixel, &bi, DIB_RGB_COLORS), 0);
    // A BITMAPV4HEADER passed as the info works like the plain header.
    BITMAPV4HEADER v4 = {};
    v4.bV4Size = sizeof(v4);
    v4.bV4Width = 1;
    v4.bV4Height = 1;
    v4.bV4Planes = 1;
    v4.bV4BitCount = 32;
    const uint32_t other = 0x00ABCDEFu;
    EXPECT_EQ(SetDIBitsToDevice(dc.hdc, 0, 0, 1, 1, 0, 0, 0, 1, &other,
                                reinterpret_cast<const BITMAPINFO*>(&v4), DIB_RGB_COLORS),
              1);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 0, 0), 0xABCDEFu);
    EXPECT_EQ(CreateMemoryDC(-1, 4), nullptr);
}

}  // namespace
