#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/ball_maps.h"
#include "render/shade_ball.h"
#include "render_test_util.h"

namespace {

int32_t Packed(int32_t azimuth, int32_t polar) {
    return int32_t((uint32_t(polar) << 16) | (uint32_t(azimuth) & 0xFFFF));
}

TEST(ShadeTables, SineAndThresholds) {
    EXPECT_EQ(kSineQuarter[0], 0);
    EXPECT_EQ(kSineQuarter[1], 402);
    EXPECT_EQ(kSineQuarter[128], 46341);
    EXPECT_EQ(kSineQuarter[256], 65536);
    EXPECT_EQ(kHighlightThreshold[0], 0);
    EXPECT_EQ(kHighlightThreshold[4], 16382);
    EXPECT_EQ(kHighlightThreshold[8], 31378);
}

// With the light at a right angle to the viewer (polar angle 256) the light vector lies in
// the picture plane; (ca >> 1) * (sb >> 1) >> 14 is 65536 on an axis and
// 23170 * 32768 >> 14 = 46340 on a diagonal.
TEST(LightVectors, AllFourAzimuthQuadrants) {
    struct Case {
        int32_t azimuth, lx, ly;
    } cases[] = {
        {0, 65536, 0},     {128, 46340, 46340},   {256, 0, 65536},   {384, -46340, 46340},
        {512, -65536, 0},  {-128, 46340, -46340}, {-256, 0, -65536}, {-384, -46340, -46340},
        {-512, -65536, 0}, {600, -65536, 0},  // beyond half a turn the fold gives 0, the sign rule
                                              // still applies
    };
    for (const Case& c : cases) {
        const LightVectors l = ComputeLightVectors(Packed(c.azimuth, 256), -1);
        EXPECT_EQ(l.lx, c.lx) << c.azimuth;
        EXPECT_EQ(l.ly, c.ly) << c.azimuth;
        EXPECT_EQ(l.lz, 0) << c.azimuth;
    }
}

TEST(LightVectors, PolarAngleAndViewerLight) {
    LightVectors l = ComputeLightVectors(0, -1);
    EXPECT_EQ(l.lx, 0);
    EXPECT_EQ(l.ly, 0);
    EXPECT_EQ(l.lz, 65536);
    EXPECT_EQ(l.hz, 65536);
    // Past the right angle the light comes from behind: lz is negated.
    l = ComputeLightVectors(Packed(0, 384), -1);
    EXPECT_EQ(l.lz, -46341);
    EXPECT_EQ(l.lx, 46340);
    l = ComputeLightVectors(Packed(0, 600), -1);
    EXPECT_EQ(l.lx, 0);
    EXPECT_EQ(l.lz, -65536);
    // Only bits 16-25 are the polar angle of the light.
    l = ComputeLightVectors(Packed(0, 0x400 | 256), -1);
    EXPECT_EQ(l.lx, 65536);
    EXPECT_EQ(l.lz, 0);
}

TEST(LightVectors, HighlightHalvesThePolarAngle) {
    // Without a second light the highlight uses the light's angles, polar angle halved:
    // c = 128, sc = cc = 46341.
    LightVectors l = ComputeLightVectors(Packed(0, 256), -1);
    EXPECT_EQ(l.hx, 46340);
    EXPECT_EQ(l.hy, 0);
    EXPECT_EQ(l.hz, 46341);
    // secondLight takes bits 16-31 as its polar angle: 0x400 halves to 512, which folds to 0
    // with the cosine negated.
    l = ComputeLightVectors(0, int32_t(0x04000000 | 256));
    EXPECT_EQ(l.hx, 0);
    EXPECT_EQ(l.hy, 0);
    EXPECT_EQ(l.hz, -65536);
    // Its azimuth is a signed 16-bit value: -128 gives hy < 0; 23170 * 23170 >> 14 = 32766.
    l = ComputeLightVectors(0, int32_t(0x01000000 | 0xFF80));
    EXPECT_EQ(l.hx, 32766);
    EXPECT_EQ(l.hy, -32766);
    EXPECT_EQ(l.hz, 46341);
}

// Values just below each step of the ladders: a wrong step changes how much precision
// the pre-shift throws away, and so the result.
TEST(ScaledSquares, Sq16LadderBoundaries) {
    EXPECT_EQ(Sq16(0x60000000, 0x24000000), 65536);    // both shifts 16, e = 0
    EXPECT_EQ(Sq16(0x7FFF, 1), 16383);                 // s = 0: 0x3FFF0001 >> 16
    EXPECT_EQ(Sq16(0xFFFF, 1), 65504);                 // s = 4: 0xFFF^2 >> 8
    EXPECT_EQ(Sq16(0x7FFFF, 1), 4194048);              // s = 4: 0x7FFF^2 >> 8
    EXPECT_EQ(Sq16(0xFFFFF, 1), 16769025);             // s = 8: 0xFFF^2, e = 0
    EXPECT_EQ(Sq16(0x7FFFFF, 1), 0x3FFF0001);          // s = 8: 0x7FFF^2
    EXPECT_EQ(Sq16(0xFFFFFF, 0x100), 16769024);        // s = 12: 0xFFF^2 / 0x100 << 8
    EXPECT_EQ(Sq16(0x7FFFFFF, 0x100), 0x3FFF0000);     // s = 12: 0x7FFF^2 / 0x100 << 8
    EXPECT_EQ(Sq16(0x7FFFFFFF, 0x10000), 0x3FFF0000);  // s = 16, s' = 4: / 0x1000 << 12
    EXPECT_EQ(Sq16(0x8000, 0x8000), 0);                // e = 12: 0x800 >> 12
    // e = 32: 0xFFFC shifted right by 32 is 0, not 0xFFFC.
    EXPECT_EQ(Sq16(0x7FFF, 0x40000000), 0);
    EXPECT_EQ(Sq16(5, 0), 0);  // division by zero
}

TEST(ScaledSquares, Sq15LadderBoundaries) {
    EXPECT_EQ(Sq15(0x7FFF, 1), 8191);                 // s = 0, e = 17
    EXPECT_EQ(Sq15(0xFFFF, 1), 32764);                // s = 2: 0x3FFF^2 >> 13
    EXPECT_EQ(Sq15(0x1FFFF, 1), 131064);              // s = 2: 0x7FFF^2 >> 13
    EXPECT_EQ(Sq15(0x7FFFF, 1), 2097024);             // s = 4: 0x7FFF^2 >> 9
    EXPECT_EQ(Sq15(0xFFFFF, 1), 8387584);             // s = 6: 0x3FFF^2 >> 5
    EXPECT_EQ(Sq15(0x7FFFFF, 1), 536838144);          // s = 8: 0x7FFF^2 >> 1
    EXPECT_EQ(Sq15(0xFFFFFF, 0x100), 0x7FFC00);       // s = 10: 0x3FFF^2 / 0x100 << 3
    EXPECT_EQ(Sq15(0x7FFFFFF, 0x100), 0x1FFF8000);    // s = 12: 0x7FFF^2 / 0x100 << 7
    EXPECT_EQ(Sq15(0xFFFFFFF, 0x100), 0x7FFC0000);    // s = 14: 0x3FFF^2 / 0x100 << 11
    EXPECT_EQ(Sq15(0x7FFFFFFF, 0x20000), 0xFFFC000);  // s = 16, s' = 4: / 0x2000 << 11
    EXPECT_EQ(Sq15(0x60000000, 0x24000000), 0x8000);  // s = s' = 16, e = 1
    // e = 33 for a small value over a long normal: 0, whatever the machine masks to.
    EXPECT_EQ(Sq15(0x7FFF, 0x20000000), 0);
}

TEST(ScaledSquares, RaiseSquaresIndexMinusOneTimes) {
    EXPECT_EQ(RaiseHighlight(0x4000, 1), 0x4000);  // 1/2
    EXPECT_EQ(RaiseHighlight(0x4000, 2), 0x2000);  // 1/4
    EXPECT_EQ(RaiseHighlight(0x4000, 3), 0x800);   // 1/16
    EXPECT_EQ(RaiseHighlight(0x4000, 4), 0x80);    // 1/256
}

// Maps of n pixels in one row with the given heights and slopes.
struct Maps {
    SpriteBuffer b[3];
    Maps(const std::vector<uint32_t>& height, int32_t sx = 0, int32_t sy = 0) {
        const int32_t n = int32_t(height.size());
        Fill(b[0], n, 1, kKindHeight, 0);
        Fill(b[1], n, 1, kKindSlope, uint32_t(sx));
        Fill(b[2], n, 1, kKindSlope, uint32_t(sy));
        for (int32_t k = 0; k < n; ++k)
            b[0].pixels[k] = height[k];
    }
    uint32_t operator[](int k) const { return b[0].pixels[k]; }
};

// A look lit exactly from the side (lz = 0) so that flat pixels get no diffuse light,
// without a highlight and with nz = 0 (a huge normalRadius): only the base colour shows.
ShadeParams Unlit() {
    ShadeParams look = TestLook(1, 1, 1, 1);
    look.lightDirection = Packed(0, 256);
    look.specularIndex = 0;
    look.normalRadius = 0x10000;
    return look;
}

TEST(ShadeBall, RefusesMapsOfOtherKinds) {
    Maps m({0x7FFF});
    const ShadeParams look = Unlit();
    ShadeBall(m.b, look);
    EXPECT_EQ(m.b[0].Kind(), kKindColour);
    const uint32_t once = m[0];
    ShadeBall(m.b, look);  // buffer 0 is a colour sprite now
    EXPECT_EQ(m[0], once);

    Maps wrong({0x7FFF});
    wrong.b[2].SetKind(kKindHeight);
    ShadeBall(wrong.b, look);
    EXPECT_EQ(wrong[0], 0x7FFFu);
    EXPECT_EQ(wrong.b[0].Kind(), kKindHeight);

    // Slope maps of another size than the height map are not read.
    Maps mismatched({0x7FFF, 0x7FFF});
    mismatched.b[1].Resize(1, 1);
    ShadeBall(mismatched.b, look);
    EXPECT_EQ(mismatched[0], 0x7FFFu);
}

TEST(ShadeBall, EmptySpriteOnlyChangesTheKind) {
    SpriteBuffer maps[5];
    const ShadeParams look = TestLook(0, 0, 8, 8);
    BuildBallMaps(maps, look);
    ShadeBall(maps, look);
    EXPECT_EQ(maps[0].Kind(), kKindColour);
    EXPECT_EQ(maps[0].Width(), 0);
}

TEST(ShadeBall, EmptyPixelsKeepTheirWord) {
    Maps m({0xFF000000u, 0xFF00ABCDu, 0x7FFF});
    ShadeBall(m.b, Unlit());
    EXPECT_EQ(m[0], 0xFF000000u);
    EXPECT_EQ(m[1], 0xFF00ABCDu);
    EXPECT_EQ(m[2], 0x00004000u);  // top = rim = (0, 64, 0)
}

TEST(ShadeBall, BaseColourRunsFromRimToTopByHeight) {
    ShadeParams look = Unlit();
    look.rimColour = {10, 200, 0};
    look.topColour = {110, 100, 10};
    // z = 0x4000 is half way; z = 0x3000 gives -100 * 0x3000 >> 15 = -38 (rounded down);
    // all 24 low bits are the height, so 0x18000 overshoots to 3 times the difference.
    Maps m({0x4000, 0x3000, 0x18000, 0x7F000000u | 0x4000});
    ShadeBall(m.b, look);
    EXPECT_EQ(m[0], 0x003C9605u);  // (60, 150, 5)
    EXPECT_EQ(m[1], 0x002FA203u);  // (10 + 37, 200 - 38, 3)
    EXPECT_EQ(m[2], (uint32_t(310) << 16) | (uint32_t(-100 & 0xFFFFFFFF) << 8) | 30u);
    EXPECT_EQ(m[3], 0x7F3C9605u);  // the transparency byte is kept
}

TEST(ShadeBall, ChannelsOutsideTheByteAreNotClamped) {
    ShadeParams look = Unlit();
    look.rimColour = look.topColour = {300, 0, 0};
    Maps m({0x7FFF});
    ShadeBall(m.b, look);
    EXPECT_EQ(m[0], 0x012C0000u);  // 300 << 16 reaches into the top byte
}

// lightDirection 0 with normalRadius 2: nz = 0x6000, P = 65536 * 0x6000 and
// len2 = 0x6000^2, so U is exactly 65536 and the pixel takes the diffuse colour.
TEST(ShadeBall, LightFromTheViewerGivesTheDiffuseColour) {
    ShadeParams look = Unlit();
    look.lightDirection = 0;
    look.normalRadius = 2;
    look.diffuseColour = {1, 2, 3};
    look.secondSpecularIndex = 5;  // no highlight without specularIndex
    for (int32_t flags : {0, kShadeSimple}) {
        look.shadingFlags = flags;
        Maps m({0x22007FFF});
        ShadeBall(m.b, look);
        EXPECT_EQ(m[0], 0x22010203u) << flags;
    }
    // With a highlight: hz = 65536 too, V = 0x8000 >= 0x7FFF takes the specular colour.
    look.specularIndex = 4;
    look.specularColour = {7, 8, 9};
    Maps m({0x7FFF});
    ShadeBall(m.b, look);
    EXPECT_EQ(m[0], 0x00070809u);
}

// Light from +x (lx = 65536, lz = 0), nz = 0, slope sx = -256: P = -0x1000000, so the
// pixel faces away from the light; len2 = 0x10000.
TEST(ShadeBall, BackLightFactor) {
    ShadeParams look = Unlit();
    look.diffuseColour = {200, 100, 40};
    look.rimColour = look.topColour = {0, 0, 0};
    const auto shade = [&](int32_t backLight, int32_t flags) {
        look.backLight = backLight;
        look.shadingFlags = flags;
        Maps m({0x4000}, -256, 0);
        ShadeBall(m.b, look);
        return m[0];
    };
    EXPECT_EQ(shade(0, 0), 0u);  // light from behind switched off
    // -8: P = (P >> 4) * -8 = 0x800000, U = Sq16(0x800000, 0x10000) = 0x4000: a quarter.
    EXPECT_EQ(shade(-8, 0), 0x0032190Au);
    // Divided by the length instead: U = 0x800000 / 256 = 0x8000: a half.
    EXPECT_EQ(shade(-8, kShadeDivideByLength), 0x00643214u);
    // -16: U reaches 65536, the diffuse colour itself.
    EXPECT_EQ(shade(-16, 0), 0x00C86428u);
}

TEST(ShadeBall, NegativeDiffusePushesAwayAndStopsAtZero) {
    ShadeParams look = Unlit();
    look.backLight = 8;  // P stays negative: U = -0x4000
    look.rimColour = look.topColour = {10, 100, 10};
    look.diffuseColour = {200, 0, 200};
    Maps m({0x4000}, -256, 0);
    ShadeBall(m.b, look);
    // 100 + ((0 - 100) * -0x4000 >> 16) = 125; 10 + (190 * -0x4000 >> 16) = -38 -> 0.
    EXPECT_EQ(m[0], 0x00007D00u);
}

TEST(ShadeBall, SimplePathFoldsBackLight) {
    ShadeParams look = Unlit();
    look.shadingFlags = kShadeSimple;
    look.diffuseColour = {160, 80, 32};
    look.rimColour = look.topColour = {0, 0, 0};
    // Facing away: d = 0x1000000 >> 2, U = Sq16(0x400000, 0x10000) = 4096, a 16th.
    Maps away({0x4000}, -256, 0);
    ShadeBall(away.b, look);
    EXPECT_EQ(away[0], 0x000A0502u);
    // Facing the light: U = Sq16(0x1000000, 0x10000) = 65536.
    Maps toward({0x4000}, 256, 0);
    ShadeBall(toward.b, look);
    EXPECT_EQ(toward[0], 0x00A05020u);
}

TEST(ShadeBall, DivisionByAZeroLengthGivesNoLight) {
    // sx = 0x10000 squares to 2^32, which wraps len2 to 0 (r = 0); U is 0, not a crash.
    ShadeParams look = Unlit();
    look.shadingFlags = kShadeDivideByLength;
    look.lightDirection = Packed(384, 256);
    look.rimColour = look.topColour = {5, 6, 7};
    Maps m({0x7FFF}, 0x10000, 0);
    ShadeBall(m.b, look);
    EXPECT_EQ(m[0], 0x00050607u);
}

// Highlight from secondLight (azimuth 0, polar 256: hx = 46340, hz = 46341) over flat
// pixels with nz = 0x6000: Q = 46341 * 0x6000, V = Sq15(Q, 0x24000000) = 16382; the
// light itself lies in the picture plane, so there is no diffuse term.
ShadeParams Highlighted(int32_t index) {
    ShadeParams look = Unlit();
    look.normalRadius = 2;
    look.secondLight = Packed(0, 256);
    look.specularIndex = index;
    look.rimColour = look.topColour = {0, 0, 0};
    look.specularColour = {0, 0, 255};
    return look;
}

uint32_t Shade(const ShadeParams& look, int32_t sx = 0) {
    Maps m({0x7FFF}, sx, 0);
    ShadeBall(m.b, look);
    return m[0];
}

TEST(ShadeBall, HighlightPowersAndThresholds) {
    EXPECT_EQ(Shade(Highlighted(1)), 127u);  // 255 * 16382 >> 15
    EXPECT_EQ(Shade(Highlighted(2)), 63u);   // V^2 = 8190
    EXPECT_EQ(Shade(Highlighted(8)), 0u);    // 16382 is below the threshold 31378
    EXPECT_EQ(Shade(Highlighted(0)), 0u);
    ShadeParams simple = Highlighted(1);
    simple.shadingFlags = kShadeSimple;
    simple.sharpenShift = 15;  // the simple path does not sharpen
    EXPECT_EQ(Shade(simple), 127u);
}

TEST(ShadeBall, SharpenShiftWidensThePeak) {
    ShadeParams look = Highlighted(1);
    // 0x7FFF - V = 16385 is not below 2^14: unchanged.
    look.sharpenShift = 14;
    EXPECT_EQ(Shade(look), 127u);
    // Below 2^15: V = 0x7FFF - (16385^2 >> 15) = 24574.
    look.sharpenShift = 15;
    EXPECT_EQ(Shade(look), 191u);
    // A shift of 32 or more leaves nothing to subtract: V = 0x7FFF, the specular colour.
    look.sharpenShift = 40;
    EXPECT_EQ(Shade(look), 255u);
}

// With sx = -256 the mirrored highlight Q2 = highZ - hx * sx is the stronger one:
// V = 16041 for the first, 16723 for the mirror.
TEST(ShadeBall, SecondHighlightTakesOverWhereStronger) {
    ShadeParams look = Highlighted(1);
    EXPECT_EQ(Shade(look, -256), 124u);
    look.secondSpecularIndex = 1;
    EXPECT_EQ(Shade(look, -256), 130u);
    look.secondSpecularIndex = 8;  // the mirror's own threshold applies
    EXPECT_EQ(Shade(look, -256), 0u);
    EXPECT_EQ(Shade(look, 0), 127u);    // a tie keeps the first
    EXPECT_EQ(Shade(look, 256), 130u);  // the first is the stronger one on this side
}

// Transparency from opacityControl over a pixel of height z and edge transparency t.
uint32_t Transparency(int32_t opacityControl, uint32_t z, uint32_t t = 0) {
    ShadeParams look = Unlit();
    look.opacityControl = opacityControl;
    Maps m({(t << 24) | z});
    ShadeBall(m.b, look);
    return m[0] >> 24;
}

TEST(ShadeBall, TransparencyProfiles) {
    EXPECT_EQ(Transparency(0, 0x7FFF, 77), 77u);  // no body transparency: the edge stays
    EXPECT_EQ(Transparency(128, 0x7FFF), 127u);
    EXPECT_EQ(Transparency(128, 0), 0u);
    EXPECT_EQ(Transparency(128, 0x7FFF, 100), 177u);  // 127 + 100 - (12700 >> 8) - 1
    EXPECT_EQ(Transparency(300, 0x7FFF), 254u);       // limited to 255
    EXPECT_EQ(Transparency(255, 0x7FFF), 254u);
    // Negative: -1 works as -255, transparency 1 at the top and 255 low down.
    EXPECT_EQ(Transparency(-1, 0x7FFF), 1u);
    EXPECT_EQ(Transparency(-1, 0x80), 255u);
    // -255 works as -1: empty wherever the height is above 0.
    EXPECT_EQ(Transparency(-255, 1), 255u);
    EXPECT_EQ(Transparency(-255, 0x7FFF), 255u);
    EXPECT_EQ(Transparency(-255, 0), 0u);
    EXPECT_EQ(Transparency(-400, 0x7FFF), 255u);
    // The simple path keeps the edge transparency.
    ShadeParams simple = Unlit();
    simple.shadingFlags = kShadeSimple;
    simple.opacityControl = 128;
    Maps m({(9u << 24) | 0x7FFF});
    ShadeBall(m.b, simple);
    EXPECT_EQ(m[0] >> 24, 9u);
}

// A whole ball: the lit side is brighter than the far side, the rim is soft and the
// outside stays empty.
TEST(ShadeBall, WholeBallIsLitFromItsLightSide) {
    SpriteBuffer maps[5];
    const ShadeParams look = TestLook(31, 31, 31, 31);  // light from the upper left
    BuildBallMaps(maps, look);
    ShadeBall(maps, look);
    const auto green = [&](int r, int c) { return (At(maps[0], r, c) >> 8) & 0xFF; };
    EXPECT_GT(green(22, 8), green(8, 22));
    EXPECT_EQ(At(maps[0], 0, 0), kEmptyPixel);
    EXPECT_EQ(At(maps[0], 15, 15) >> 24, 0u);
    int soft = 0;
    for (int k = 0; k < 31 * 31; ++k)
        soft += (maps[0].pixels[k] >> 24) % 255 != 0;
    EXPECT_GT(soft, 20);
}

}  // namespace
