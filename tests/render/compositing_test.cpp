#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/compositing.h"
#include "render_test_util.h"

namespace {

// A 4 x 3 opaque colour sprite whose pixel (row r, column c) is 0x00000100 * r + c + 1.
void NumberedSprite(SpriteBuffer& s) {
    Fill(s, 4, 3, kKindColour, 0);
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t c = 0; c < 4; ++c)
            s.pixels[r * 4 + c] = uint32_t(0x100 * r + c + 1);
}

constexpr uint32_t kBackground = 0x00777777u;
constexpr int32_t kPlaneW = 6, kPlaneH = 5;

// The plane after blending the numbered sprite at (x, y), as rows of text for messages.
std::vector<uint32_t> BlendAt(int32_t x, int32_t y) {
    SpriteBuffer s;
    NumberedSprite(s);
    std::vector<uint32_t> plane(kPlaneW * kPlaneH, kBackground);
    BlendSprite(s, plane.data(), x, y, kPlaneW, kPlaneH, 0);
    return plane;
}

// What the plane must hold: sprite pixel (r - y, c - x) where it lies inside.
void ExpectPlacedAt(const std::vector<uint32_t>& plane, int32_t x, int32_t y) {
    for (int32_t r = 0; r < kPlaneH; ++r)
        for (int32_t c = 0; c < kPlaneW; ++c) {
            const int32_t sr = r - y, sc = c - x;
            const bool inside = sr >= 0 && sr < 3 && sc >= 0 && sc < 4;
            EXPECT_EQ(plane[r * kPlaneW + c], inside ? uint32_t(0x100 * sr + sc + 1) : kBackground)
                << "sprite at " << x << "," << y << ", plane pixel " << c << "," << r;
        }
}

TEST(BlendSprite, ClipsOnAllFourSides) {
    for (int32_t x : {-3, -2, -1, 0, 1, 2, 3, 4, 5})
        for (int32_t y : {-2, -1, 0, 2, 3, 4})
            ExpectPlacedAt(BlendAt(x, y), x, y);
}

TEST(BlendSprite, WhollyOutsideDrawsNothing) {
    const std::vector<uint32_t> untouched(kPlaneW * kPlaneH, kBackground);
    EXPECT_EQ(BlendAt(-4, 0), untouched);  // x <= -w
    EXPECT_EQ(BlendAt(0, -3), untouched);  // y <= -h
    EXPECT_EQ(BlendAt(kPlaneW, 0), untouched);
    EXPECT_EQ(BlendAt(0, kPlaneH), untouched);
    EXPECT_EQ(BlendAt(INT32_MIN, INT32_MIN), untouched);
    EXPECT_EQ(BlendAt(INT32_MAX, 0), untouched);
}

TEST(BlendSprite, OnlyColourSpritesAreDrawn) {
    SpriteBuffer s;
    NumberedSprite(s);
    s.SetKind(kKindHeight);
    std::vector<uint32_t> plane(kPlaneW * kPlaneH, kBackground);
    BlendSprite(s, plane.data(), 0, 0, kPlaneW, kPlaneH, 0);
    EXPECT_EQ(plane, std::vector<uint32_t>(kPlaneW * kPlaneH, kBackground));
    s.kind = 0x12340000u | kKindColour;  // only bits 0-14 tell the kind
    BlendSprite(s, plane.data(), 0, 0, kPlaneW, kPlaneH, 0);
    EXPECT_EQ(plane[0], 1u);
}

uint32_t BlendOne(uint32_t sprite, uint32_t below, int32_t boost) {
    SpriteBuffer s;
    Fill(s, 1, 1, kKindColour, sprite);
    uint32_t plane = below;
    BlendSprite(s, &plane, 0, 0, 1, 1, boost);
    return plane;
}

TEST(BlendSprite, TransparencyArithmetic) {
    EXPECT_EQ(BlendOne(0x00123456u, 0x00ABCDEFu, 0), 0x00123456u);  // opaque
    EXPECT_EQ(BlendOne(0xFF123456u, 0x00ABCDEFu, 0), 0x00ABCDEFu);  // empty
    // t = 128: (255 * 128 >> 8) + (1 * 128 >> 8) = 127, the products truncated apart.
    EXPECT_EQ(BlendOne(0x80FFFFFFu, 0x00010101u, 0), 0x007F7F7Fu);
    // t = 64: red (200 * 192 >> 8) + (100 * 64 >> 8) = 150 + 25.
    EXPECT_EQ(BlendOne(0x40C80000u, 0x00640000u, 0), 0x00AF0000u);
}

TEST(BlendSprite, OpacityBoost) {
    // Boost 64: t = 200 -> 168, 64 -> 32, 10 -> 5. Red 255 over black shows 256 - u.
    EXPECT_EQ(BlendOne(0xC8FF0000u, 0, 64), uint32_t((255 * (256 - 168)) >> 8) << 16);
    EXPECT_EQ(BlendOne(0x40FF0000u, 0, 64), uint32_t((255 * (256 - 32)) >> 8) << 16);
    EXPECT_EQ(BlendOne(0x0AFF0000u, 0, 64), uint32_t((255 * (256 - 5)) >> 8) << 16);
    // A negative boost thins the edge: u = t + 32 for -64; the result's top byte is 0.
    EXPECT_EQ(BlendOne(0xC8FF0000u, 0x00FFFFFFu, -64) >> 24, 0u);
}

uint32_t FlattenOne(uint32_t sprite, COLORREF colour) {
    SpriteBuffer s;
    Fill(s, 1, 1, kKindColour, sprite);
    FlattenSprite(s, s.pixels, 0, 0, 1, 1, colour);
    return s.pixels[0];
}

TEST(FlattenSprite, LaysTheSpriteOntoAColour) {
    EXPECT_EQ(FlattenOne(0xFF123456u, 0x000000FFu), 0x00FF0000u);  // red COLORREF
    EXPECT_EQ(FlattenOne(0xFF000000u, 0x00336699u), 0x00996633u);
    EXPECT_EQ(FlattenOne(0x00123456u, 0x000000FFu), 0x00123456u);
    // t = 128 with 255 as the weight base: (255 * 127 >> 8) + (128 * 255 >> 8) = 126 + 127.
    EXPECT_EQ(FlattenOne(0x80FF0000u, 0x000000FFu), 0x00FD0000u);
}

TEST(FlattenSprite, ClipsAndWritesEveryCoveredPixel) {
    SpriteBuffer s;
    NumberedSprite(s);
    s.pixels[5] = 0xFF000000u;  // an empty pixel (row 1, column 1)
    std::vector<uint32_t> plane(kPlaneW * kPlaneH, 0xDEADBEEFu);
    FlattenSprite(s, plane.data(), 3, -1, kPlaneW, kPlaneH, 0x00010203u);
    // Columns 0..2 of rows 1..2 land at plane columns 3..5, rows 0..1.
    EXPECT_EQ(plane[0 * kPlaneW + 3], 0x101u);
    EXPECT_EQ(plane[0 * kPlaneW + 4], 0x00030201u);  // the empty pixel takes the colour
    EXPECT_EQ(plane[1 * kPlaneW + 5], 0x203u);
    EXPECT_EQ(plane[0 * kPlaneW + 2], 0xDEADBEEFu);
    EXPECT_EQ(plane[2 * kPlaneW + 3], 0xDEADBEEFu);
}

TEST(ShiftSprite, NoFractionIsAPlainCopy) {
    SpriteBuffer s, d;
    NumberedSprite(s);
    ShiftSprite(s, d, 0x300, 0x1200);  // only the low 8 bits count
    EXPECT_EQ(d.Width(), 4);
    EXPECT_EQ(d.Height(), 3);
    EXPECT_EQ(d.Kind(), kKindColour);
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(d.pixels[k], s.pixels[k]);
}

TEST(ShiftSprite, HalfAPixelAcross) {
    SpriteBuffer s, d;
    Fill(s, 1, 1, kKindColour, 0x00FF8040u);
    ShiftSprite(s, d, 0x180, 0);
    ASSERT_EQ(d.Width(), 2);
    ASSERT_EQ(d.Height(), 1);
    EXPECT_EQ(d.pixels[0], 0x80FF8040u);
    EXPECT_EQ(d.pixels[1], 0x80FF8040u);
}

TEST(ShiftSprite, HorizontalMixOfNeighbours) {
    SpriteBuffer s, d;
    Fill(s, 4, 1, kKindColour, 0);
    s.pixels[0] = 0xFF000000u;   // empty
    s.pixels[1] = 0x00C80000u;   // opaque red 200
    s.pixels[2] = 0x40006400u;   // green 100, t = 64
    s.pixels[3] = 0xFF00ABCDu;   // empty with stray colour bits
    ShiftSprite(s, d, 0x40, 0);  // fx = 64, e = 192
    ASSERT_EQ(d.Width(), 5);
    EXPECT_EQ(d.pixels[0], 0xFF000000u);  // empty after empty: written as it is
    EXPECT_EQ(d.pixels[1], 0x40C80000u);  // (0 * 192 + 256 * 64) >> 8 = 64
    // Both set: red (0 * 192 + 200 * 64) >> 8 = 50, green 100 * 192 >> 8 = 75,
    // t = (64 * 192 + 0 * 64) >> 8 = 48.
    EXPECT_EQ(d.pixels[2], 0x30324B00u);
    // Empty after a set pixel: the previous colour with (64 * 64 + 256 * 192) >> 8 = 208.
    EXPECT_EQ(d.pixels[3], 0xD0006400u);
    EXPECT_EQ(d.pixels[4], 0xFF000000u);  // the extra column after an empty pixel
}

TEST(ShiftSprite, VerticalMixOfNeighbours) {
    SpriteBuffer s, d;
    Fill(s, 1, 2, kKindColour, 0);
    s.pixels[0] = 0x00000040u;   // row 0: blue 64
    s.pixels[1] = 0x00000080u;   // row 1: blue 128
    ShiftSprite(s, d, 0, 0x40);  // fy = 64, g = 192
    ASSERT_EQ(d.Width(), 1);
    ASSERT_EQ(d.Height(), 3);
    EXPECT_EQ(d.pixels[0], 0x40000040u);  // (0 * 192 + 256 * 64) >> 8
    EXPECT_EQ(d.pixels[1], 0x00000070u);  // (128 * 192 + 64 * 64) >> 8 = 112
    EXPECT_EQ(d.pixels[2], 0xC0000080u);  // (0 * 64 + 256 * 192) >> 8
}

TEST(ShiftSprite, BothFractionsSpreadAPixelOverFour) {
    SpriteBuffer s, d;
    Fill(s, 1, 1, kKindColour, 0x00102030u);
    ShiftSprite(s, d, 0x80, 0x80);
    ASSERT_EQ(d.Width(), 2);
    ASSERT_EQ(d.Height(), 2);
    // Across: two pixels of t = 128; then up: (128 * 128 + 256 * 128) >> 8 = 192 each.
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(d.pixels[k], 0xC0102030u) << k;
}

TEST(ShiftSprite, VerticalPassKeepsEmptyPixels) {
    SpriteBuffer s, d;
    Fill(s, 2, 2, kKindColour, 0xFF000000u);
    s.pixels[0] = 0x00000010u;  // row 0, column 0 only
    ShiftSprite(s, d, 0x80, 0x80);
    // Row 1 upper empty, lower set: lower's colour with (128 * 128 + 256 * 128) >> 8.
    EXPECT_EQ(d.pixels[1 * 3 + 0], 0xC0000010u);
    EXPECT_EQ(d.pixels[2 * 3 + 0], 0xFF000000u);  // row 2 from an empty row 1
    EXPECT_EQ(d.pixels[2 * 3 + 2], 0xFF000000u);
}

TEST(ShiftSprite, FromANonColourSpriteLeavesAnEmptyColourSprite) {
    SpriteBuffer s, d;
    Fill(s, 3, 3, kKindHeight, 0);
    ShiftSprite(s, d, 0x80, 0x80);
    EXPECT_EQ(d.Kind(), kKindColour);
    EXPECT_EQ(d.Width(), 0);
    EXPECT_EQ(d.Height(), 0);
    SpriteBuffer empty;
    empty.SetKind(kKindColour);
    ShiftSprite(empty, d, 0x80, 0);
    EXPECT_EQ(d.Width(), 0);
}

TEST(ShiftSprite, OntoItselfWorksFromACopy) {
    SpriteBuffer s, expected;
    Fill(s, 3, 2, kKindColour, 0x00204060u);
    ShiftSprite(s, expected, 0x33, 0x77);
    ShiftSprite(s, s, 0x33, 0x77);
    ASSERT_EQ(s.Width(), expected.Width());
    ASSERT_EQ(s.Height(), expected.Height());
    for (int k = 0; k < s.Width() * s.Height(); ++k)
        EXPECT_EQ(s.pixels[k], expected.pixels[k]);
}

}  // namespace
