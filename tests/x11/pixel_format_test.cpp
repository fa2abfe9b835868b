#include "platform/x11/pixel_format.h"

#include <gtest/gtest.h>

namespace {

PixelFormat Masks(int bpp, uint32_t r, uint32_t g, uint32_t b, bool msb = false) {
    PixelFormat f;
    f.kind = PixelFormat::Masks;
    f.bitsPerPixel = bpp;
    f.msbFirst = msb;
    f.redMask = r;
    f.greenMask = g;
    f.blueMask = b;
    return f;
}

TEST(PixelFormat, TrueColorMasksTakeTheTopBitsOfEachChannel) {
    const PixelFormat rgb565 = Masks(16, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(MapPixel(rgb565, 0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(MapPixel(rgb565, 0x000000), 0x0000u);
    EXPECT_EQ(MapPixel(rgb565, 0xFF0000), 0xF800u);
    EXPECT_EQ(MapPixel(rgb565, 0x00FF00), 0x07E0u);
    EXPECT_EQ(MapPixel(rgb565, 0x0000FF), 0x001Fu);
    // 0x84 = 1000 0100: five bits 10000, six bits 100001.
    EXPECT_EQ(MapPixel(rgb565, 0x848484), (0x10u << 11) | (0x21u << 5) | 0x10u);

    const PixelFormat rgb555 = Masks(16, 0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(MapPixel(rgb555, 0x2D0048), (0x05u << 10) | (0x00u << 5) | 0x09u);

    // A visual with blue in the high bits.
    const PixelFormat bgr = Masks(32, 0x0000FF, 0x00FF00, 0xFF0000);
    EXPECT_EQ(MapPixel(bgr, 0x123456), 0x563412u);

    // Channels wider than 8 bits repeat the value, so white stays white.
    const PixelFormat deep = Masks(32, 0x3FF00000, 0x000FFC00, 0x000003FF);
    EXPECT_EQ(MapPixel(deep, 0xFFFFFF), 0x3FFFFFFFu);
    EXPECT_EQ(MapPixel(deep, 0x800000), 0x202u << 20);
}

TEST(PixelFormat, RowsAreWrittenInTheImageByteOrder) {
    const uint32_t src[2] = {0x00123456, 0xAB654321};
    uint8_t out[8] = {};

    ConvertRow(Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, false), src, 2, out);
    EXPECT_EQ(out[0], 0x56);
    EXPECT_EQ(out[1], 0x34);
    EXPECT_EQ(out[2], 0x12);
    EXPECT_EQ(out[4], 0x21);
    EXPECT_EQ(out[6], 0x65);

    ConvertRow(Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, true), src, 2, out);
    EXPECT_EQ(out[0], 0x00);  // the padding byte of our pixel is not carried over
    EXPECT_EQ(out[1], 0x12);
    EXPECT_EQ(out[2], 0x34);
    EXPECT_EQ(out[3], 0x56);
    EXPECT_EQ(out[5], 0x65);

    uint8_t out16[4] = {};
    const uint32_t white[2] = {0xFFFFFF, 0xFF0000};
    ConvertRow(Masks(16, 0xF800, 0x07E0, 0x001F, false), white, 2, out16);
    EXPECT_EQ(out16[0], 0xFF);
    EXPECT_EQ(out16[1], 0xFF);
    EXPECT_EQ(out16[2], 0x00);
    EXPECT_EQ(out16[3], 0xF8);
    ConvertRow(Masks(16, 0xF800, 0x07E0, 0x001F, true), white, 2, out16);
    EXPECT_EQ(out16[2], 0xF8);
    EXPECT_EQ(out16[3], 0x00);

    uint8_t out24[6] = {};
    ConvertRow(Masks(24, 0xFF0000, 0x00FF00, 0x0000FF, false), src, 2, out24);
    EXPECT_EQ(out24[0], 0x56);
    EXPECT_EQ(out24[2], 0x12);
    EXPECT_EQ(out24[3], 0x21);
    EXPECT_EQ(out24[5], 0x65);
}

TEST(PixelFormat, ColourCubePicksTheNearestLevelOfEachChannel) {
    PixelFormat f;
    f.kind = PixelFormat::Cube;
    f.bitsPerPixel = 8;
    f.cubeLevels = 6;
    for (int i = 0; i < 216; ++i)
        f.cubePixels.push_back(static_cast<uint32_t>(16 + i));
    EXPECT_EQ(CubeLevel(0, 6), 0);
    EXPECT_EQ(CubeLevel(25, 6), 0);
    EXPECT_EQ(CubeLevel(26, 6), 1);  // 51 is level 1; 25.5 the midpoint
    EXPECT_EQ(CubeLevel(255, 6), 5);
    EXPECT_EQ(MapPixel(f, 0x000000), 16u);
    EXPECT_EQ(MapPixel(f, 0xFFFFFF), 16u + 215u);
    EXPECT_EQ(MapPixel(f, 0xFF0000), 16u + 5u * 36u);
    EXPECT_EQ(MapPixel(f, 0x0000FF), 16u + 5u);
    // The saver's dark violet lands on the darkest violet of the cube.
    EXPECT_EQ(MapPixel(f, 0x2D0048), 16u + 1u * 36u + 0u * 6u + 1u);

    uint8_t out[3] = {};
    const uint32_t src[3] = {0x000000, 0x00FF00, 0xFFFFFF};
    ConvertRow(f, src, 3, out);
    EXPECT_EQ(out[0], 16);
    EXPECT_EQ(out[1], 16 + 30);
    EXPECT_EQ(out[2], 16 + 215);

    // A cube without its pixels maps to 0 instead of reading past the table.
    f.cubePixels.resize(10);
    EXPECT_EQ(MapPixel(f, 0xFFFFFF), 0u);
}

TEST(PixelFormat, GreyRampUsesLuminance) {
    PixelFormat f;
    f.kind = PixelFormat::Gray;
    f.bitsPerPixel = 8;
    for (uint32_t i = 0; i < 256; ++i)
        f.grayPixels.push_back(255 - i);  // an inverted map
    EXPECT_EQ(Luminance(0xFFFFFF), 255u);
    EXPECT_EQ(Luminance(0x000000), 0u);
    EXPECT_GT(Luminance(0x00FF00), Luminance(0xFF0000));  // green looks brightest
    EXPECT_GT(Luminance(0xFF0000), Luminance(0x0000FF));
    EXPECT_EQ(MapPixel(f, 0xFFFFFF), 0u);
    EXPECT_EQ(MapPixel(f, 0x000000), 255u);
    f.grayPixels.clear();
    EXPECT_EQ(MapPixel(f, 0xFFFFFF), 0u);
}

TEST(PixelFormat, OnlyWholeBytePixelsAreConvertedRowByRow) {
    PixelFormat f;
    for (int bpp : {8, 16, 24, 32}) {
        f.bitsPerPixel = bpp;
        EXPECT_TRUE(CanConvertRows(f)) << bpp;
    }
    for (int bpp : {1, 4, 12}) {
        f.bitsPerPixel = bpp;
        EXPECT_FALSE(CanConvertRows(f)) << bpp;
    }
}

}  // namespace
