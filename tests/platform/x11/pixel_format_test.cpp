#include "platform/x11/pixel_format.h"

#include "platform/x11/pixel_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

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

    RowConverter(Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, false)).Convert(src, 2, out);
    EXPECT_EQ(out[0], 0x56);
    EXPECT_EQ(out[1], 0x34);
    EXPECT_EQ(out[2], 0x12);
    EXPECT_EQ(out[4], 0x21);
    EXPECT_EQ(out[6], 0x65);

    RowConverter(Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, true)).Convert(src, 2, out);
    EXPECT_EQ(out[0], 0x00);  // the padding byte of our pixel is not carried over
    EXPECT_EQ(out[1], 0x12);
    EXPECT_EQ(out[2], 0x34);
    EXPECT_EQ(out[3], 0x56);
    EXPECT_EQ(out[5], 0x65);

    uint8_t out16[4] = {};
    const uint32_t white[2] = {0xFFFFFF, 0xFF0000};
    RowConverter(Masks(16, 0xF800, 0x07E0, 0x001F, false)).Convert(white, 2, out16);
    EXPECT_EQ(out16[0], 0xFF);
    EXPECT_EQ(out16[1], 0xFF);
    EXPECT_EQ(out16[2], 0x00);
    EXPECT_EQ(out16[3], 0xF8);
    RowConverter(Masks(16, 0xF800, 0x07E0, 0x001F, true)).Convert(white, 2, out16);
    EXPECT_EQ(out16[2], 0xF8);
    EXPECT_EQ(out16[3], 0x00);

    uint8_t out24[6] = {};
    RowConverter(Masks(24, 0xFF0000, 0x00FF00, 0x0000FF, false)).Convert(src, 2, out24);
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
    RowConverter(f).Convert(src, 3, out);
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
        EXPECT_TRUE(RowConverter(f).WholeBytes()) << bpp;
    }
    for (int bpp : {1, 4, 12}) {
        f.bitsPerPixel = bpp;
        EXPECT_FALSE(RowConverter(f).WholeBytes()) << bpp;
    }
}

TEST(PixelFormat, AlphaOfAnArgbVisualIsOpaque) {
    PixelFormat argb = Masks(32, 0xFF0000, 0x00FF00, 0x0000FF);
    argb.alphaMask = 0xFF000000;
    EXPECT_EQ(MapPixel(argb, 0x00123456), 0xFF123456u);
    EXPECT_EQ(MapPixel(argb, 0x7F000000), 0xFF000000u);  // the caller's top byte is ignored
    const uint32_t src[9] = {0, 0x123456, 0xFFFFFF, 0xAB000000, 1, 2, 3, 4, 5};
    uint32_t out[9] = {};
    RowConverter(argb).Convert(src, 9, reinterpret_cast<uint8_t*>(out));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(out[i], (src[i] & 0xFFFFFF) | 0xFF000000u) << i;
}

// The bytes rows were written as before RowConverter: a copy for our own
// 32-bit layout, and the general mapping pixel by pixel for all others.
void ReferenceRow(const PixelFormat& f, const uint32_t* src, int count, uint8_t* dst) {
    const bool little = [] {
        const uint16_t probe = 1;
        uint8_t first;
        std::memcpy(&first, &probe, 1);
        return first == 1;
    }();
    if (f.kind == PixelFormat::Masks && f.bitsPerPixel == 32 && f.redMask == 0xFF0000 &&
        f.greenMask == 0xFF00 && f.blueMask == 0xFF && f.alphaMask == 0 && f.msbFirst != little) {
        std::memcpy(dst, src, size_t(count) * 4);
        return;
    }
    const int bytes = f.bitsPerPixel / 8;
    for (int i = 0; i < count; ++i, dst += bytes) {
        const uint32_t value = MapPixel(f, src[i]);
        for (int k = 0; k < bytes; ++k)
            dst[k] = uint8_t(value >> (f.msbFirst ? 8 * (bytes - 1 - k) : 8 * k));
    }
}

std::vector<std::pair<std::string, PixelFormat>> EveryFormat() {
    std::vector<std::pair<std::string, PixelFormat>> formats;
    auto add = [&](std::string name, PixelFormat f) { formats.emplace_back(std::move(name), f); };
    for (bool msb : {false, true}) {
        const std::string order = msb ? " msb" : "";
        add("rgb32" + order, Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, msb));
        add("bgr32" + order, Masks(32, 0x0000FF, 0x00FF00, 0xFF0000, msb));
        PixelFormat argb = Masks(32, 0xFF0000, 0x00FF00, 0x0000FF, msb);
        argb.alphaMask = 0xFF000000;
        add("argb32" + order, argb);
        add("rgb565" + order, Masks(16, 0xF800, 0x07E0, 0x001F, msb));
        add("bgr565" + order, Masks(16, 0x001F, 0x07E0, 0xF800, msb));
        add("rgb555" + order, Masks(16, 0x7C00, 0x03E0, 0x001F, msb));
        add("rgb444" + order, Masks(16, 0x0F00, 0x00F0, 0x000F, msb));
        add("rgb24" + order, Masks(24, 0xFF0000, 0x00FF00, 0x0000FF, msb));
        add("rgb30" + order, Masks(32, 0x3FF00000, 0x000FFC00, 0x000003FF, msb));
    }
    add("rgb332", Masks(8, 0xE0, 0x1C, 0x03));
    add("rgb32 high", Masks(32, 0xFF000000, 0x00FF0000, 0x0000FF00));
    add("scattered", Masks(32, 0x00F00F00, 0x0000F0F0, 0x0F000000));
    add("no green", Masks(16, 0xF800, 0, 0x001F));
    add("too wide for 16", Masks(16, 0xFF0000, 0x00FF00, 0x0000FF));
    PixelFormat rgb565a = Masks(16, 0x7C00, 0x03E0, 0x001F);
    rgb565a.alphaMask = 0x8000;
    add("argb1555", rgb565a);
    add("rgb4 bits", Masks(4, 0x8, 0x6, 0x1));
    std::mt19937 random(11);
    for (int n : {2, 3, 5, 6, 40, 41}) {
        PixelFormat cube;
        cube.kind = PixelFormat::Cube;
        cube.cubeLevels = n;
        for (int i = 0; i < n * n * n; ++i)
            cube.cubePixels.push_back(random());
        for (int bpp : {8, 16, 32}) {
            cube.bitsPerPixel = bpp;
            add("cube " + std::to_string(n) + " in " + std::to_string(bpp), cube);
        }
    }
    PixelFormat gappy;
    gappy.kind = PixelFormat::Cube;
    gappy.bitsPerPixel = 8;
    gappy.cubeLevels = 6;
    gappy.cubePixels.assign(100, 7);  // too few pixels: maps to 0
    add("incomplete cube", gappy);
    PixelFormat gray;
    gray.kind = PixelFormat::Gray;
    for (int i = 0; i < 256; ++i)
        gray.grayPixels.push_back(random());
    for (int bpp : {8, 16}) {
        gray.bitsPerPixel = bpp;
        add("gray in " + std::to_string(bpp), gray);
    }
    gray.grayPixels.resize(17);
    add("incomplete gray", gray);
    return formats;
}

TEST(PixelFormat, RowsMatchTheGeneralMappingInEveryFormatWithBothKernels) {
    std::mt19937 random(5);
    std::vector<uint32_t> src(300);
    for (const auto& [name, format] : EveryFormat()) {
        for (auto kernels : {RowConverter::Kernels::Best, RowConverter::Kernels::Avx2,
                             RowConverter::Kernels::Sse2, RowConverter::Kernels::Portable}) {
            const RowConverter rows(format, kernels);
            const std::string what = name + " kernels " + std::to_string(int(kernels));
            for (int round = 0; round < 40; ++round) {
                for (uint32_t& p : src)
                    p = random();
                // Every length up to a few vector widths, then long rows at
                // odd offsets.
                const int count = round < 20 ? round : int(random() % 290);
                const int offset = int(random() % 4);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(rows.Pixel(src[offset + i]), MapPixel(format, src[offset + i]))
                        << what << " pixel " << std::hex << src[offset + i];
                if (!rows.WholeBytes()) continue;
                const size_t bytes = size_t(count) * size_t(format.bitsPerPixel / 8);
                // One byte of slack before and after: neither may be written.
                std::vector<uint8_t> expected(bytes + 2, 0xA5), actual(bytes + 2, 0xA5);
                ReferenceRow(format, src.data() + offset, count, expected.data() + 1);
                rows.Convert(src.data() + offset, count, actual.data() + 1);
                ASSERT_EQ(actual, expected) << what << ", " << count << " pixels";
            }
        }
    }
}

}  // namespace
