#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "render/ball_maps.h"
#include "render_test_util.h"

namespace {

TEST(BitRoot, IsTheFloorOfTheSquareRoot) {
    // Around every perfect square up to the largest value the maps produce, and across
    // the preset bit's boundary at 0x10000000.
    for (int64_t r = 0; r <= 0x7FFF; r += (r < 300 ? 1 : 97)) {
        const int32_t sq = int32_t(r * r);
        EXPECT_EQ(BitRoot(sq), r) << sq;
        if (sq > 0) {
            EXPECT_EQ(BitRoot(sq - 1), r - 1) << sq - 1;
        }
    }
    EXPECT_EQ(BitRoot(0x0FFFFFFF), 0x3FFF);
    EXPECT_EQ(BitRoot(0x10000000), 0x4000);
    EXPECT_EQ(BitRoot(0x3FFFFFFF), 0x7FFF);
    // Beyond the square of 0x7FFF the root stays at 0x7FFF; negative values give 0.
    EXPECT_EQ(BitRoot(0x7FFFFFFF), 0x7FFF);
    EXPECT_EQ(BitRoot(-5), 0);
}

// The root as the bit-by-bit method defines it: 0x4000 preset from 0x10000000 on, then
// bits 0x2000 down to 1 tried.
int32_t BitByBitRoot(int32_t value) {
    int32_t root = value >= 0x10000000 ? 0x4000 : 0;
    for (int32_t bit = 0x2000; bit != 0; bit >>= 1) {
        root |= bit;
        if (root * root > value) root &= ~bit;
    }
    return root;
}

TEST(BitRoot, MatchesTheBitByBitRootAroundEverySquare) {
    for (int64_t k = 0; k * k <= INT32_MAX + int64_t(1); ++k)
        for (int64_t v = k * k - 1; v <= k * k + 1; ++v) {
            if (v >= INT32_MIN && v <= INT32_MAX) {
                ASSERT_EQ(BitRoot(int32_t(v)), BitByBitRoot(int32_t(v))) << v;
            }
        }
    for (int64_t v = INT32_MAX; v > INT32_MAX - 100000; --v)
        ASSERT_EQ(BitRoot(int32_t(v)), BitByBitRoot(int32_t(v))) << v;
    for (int32_t v : {INT32_MIN, -1, 0x3FFF0001, 0x3FFF0000, 0x40000000})
        EXPECT_EQ(BitRoot(v), BitByBitRoot(v)) << v;
}

TEST(BallMaps, FitsDiametersToTheSide) {
    EXPECT_EQ(FitDiameter(0, 20), 2);
    EXPECT_EQ(FitDiameter(1, 20), 2);
    EXPECT_EQ(FitDiameter(1, 1), 1);     // the side is smaller than 2
    EXPECT_EQ(FitDiameter(50, 30), 30);  // cut to the side
    EXPECT_EQ(FitDiameter(31, 31), 31);  // the whole side stays odd
    EXPECT_EQ(FitDiameter(5, 20), 4);    // rounded down to even
    EXPECT_EQ(FitDiameter(18, 20), 18);
    EXPECT_EQ(FitDiameter(19, 20), 18);
    EXPECT_EQ(FitDiameter(10, 11), 11);  // 11 - 10 < 2: the whole side
    EXPECT_EQ(FitDiameter(19, 21), 18);
    EXPECT_EQ(FitDiameter(4, 11), 4);
}

TEST(BallMaps, ZeroSizeOnlySetsKinds) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(0, 7, 8, 8));
    for (const SpriteBuffer& b : maps)
        EXPECT_EQ(b.Width() * b.Height(), 0);
    EXPECT_EQ(maps[0].Kind(), kKindHeight);
    EXPECT_EQ(maps[1].Kind(), kKindSlope);
    EXPECT_EQ(maps[2].Kind(), kKindSlope);
    // A negative size is an empty sprite, not a crash.
    BuildBallMaps(maps, TestLook(-3, 5, 8, 8));
    EXPECT_EQ(maps[0].Width(), 0);
}

TEST(BallMaps, SinglePixelIsTheTopOfTheBall) {
    for (int32_t flags : {kShadeSpherical, 0}) {
        SpriteBuffer maps[3];
        ShadeParams look = TestLook(1, 1, 1, 1);
        look.shadingFlags = flags;
        BuildBallMaps(maps, look);
        EXPECT_EQ(maps[0].pixels[0], 0x7FFFu) << flags;
        EXPECT_EQ(maps[1].pixels[0], 0u);
        EXPECT_EQ(maps[2].pixels[0], 0u);
    }
}

// A 2 x 2 ball: i = j = 1, kOut = 0x3FFFFFFF / 9 = 119304647, kIn = 0x3FFFFFFF,
// outer = 835132529, inner = -1073741823, t = -(inner / (((outer - inner) >> 8) + 1))
// = 1073741823 / 7456541 = 143.
TEST(BallMaps, TwoByTwoSphericalAndParabolic) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(2, 2, 2, 2));
    // z = floor(sqrt(835132529)) = 28898; d = 14450; slope = 119304647 / 14450 = 8256.
    for (int32_t r = 0; r < 2; ++r)
        for (int32_t c = 0; c < 2; ++c) {
            EXPECT_EQ(At(maps[0], r, c), (143u << 24) | 28898u);
            EXPECT_EQ(SignedAt(maps[1], r, c), c == 1 ? 8256 : -8256);
            EXPECT_EQ(SignedAt(maps[2], r, c), r == 1 ? 8256 : -8256);
        }

    ShadeParams flat = TestLook(2, 2, 2, 2);
    flat.shadingFlags = 0;
    BuildBallMaps(maps, flat);
    // height = outer >> 15 = 25486; slope = 119304647 >> 13 = 14563.
    EXPECT_EQ(At(maps[0], 0, 0), (143u << 24) | 25486u);
    EXPECT_EQ(SignedAt(maps[1], 0, 1), 14563);
    EXPECT_EQ(SignedAt(maps[2], 0, 1), -14563);
}

TEST(BallMaps, SlopesAreCappedAndOutsideIsEmpty) {
    SpriteBuffer maps[3];
    const int32_t d = 39;
    ShadeParams look = TestLook(d, d, d, d);
    // Spherical: near the rim the height, and with it the divisor, is small, so the
    // slopes reach the cap of 0x3FFF.
    BuildBallMaps(maps, look);
    int32_t steepest = 0;
    const double centre = (d - 1) / 2.0, radius = (d + 1) / 2.0;
    for (int32_t r = 0; r < d; ++r)
        for (int32_t c = 0; c < d; ++c) {
            const uint32_t h = At(maps[0], r, c);
            const double dx = (c - centre) / radius, dy = (r - centre) / radius;
            if (dx * dx + dy * dy > 1.0) {
                // Outside the outer ellipse of diameter d + 1: exactly empty, slopes 0.
                EXPECT_EQ(h, kEmptyPixel) << r << "," << c;
                EXPECT_EQ(At(maps[1], r, c), 0u);
                EXPECT_EQ(At(maps[2], r, c), 0u);
            } else if (dx * dx + dy * dy < 0.8) {
                EXPECT_EQ(h >> 24, 0u) << "opaque well inside " << r << "," << c;
            }
            steepest = std::max(steepest, std::abs(SignedAt(maps[1], r, c)));
        }
    EXPECT_EQ(steepest, 0x3FFF);
}

// The four quarters come from the upper right one by mirrors: heights are symmetric,
// x slopes change sign across the middle column and y slopes across the middle row, and
// no pixel is left as it was before the build.
TEST(BallMaps, MirrorsCoverEveryPixelSymmetrically) {
    for (int32_t w = 1; w <= 23; w += 2)
        for (int32_t h = 1; h <= 20; h += 3)
            for (int32_t ew : {1, 4, 7, w})
                for (int32_t eh : {2, 5, h}) {
                    SpriteBuffer maps[3];
                    for (SpriteBuffer& b : maps)
                        Fill(b, w, h, 0, 0xDEADBEEFu);
                    ShadeParams look = TestLook(w, h, ew, eh);
                    look.slopeRamp = (w + h) % 3 == 0 ? 5 : 0;
                    BuildBallMaps(maps, look);
                    for (int32_t r = 0; r < h; ++r)
                        for (int32_t c = 0; c < w; ++c) {
                            for (const SpriteBuffer& b : maps)
                                ASSERT_NE(At(b, r, c), 0xDEADBEEFu)
                                    << w << "x" << h << " e" << ew << "x" << eh << " at " << r
                                    << "," << c;
                            const int32_t mc = w - 1 - c, mr = h - 1 - r;
                            EXPECT_EQ(At(maps[0], r, c), At(maps[0], mr, mc));
                            if (c != mc) {
                                EXPECT_EQ(SignedAt(maps[1], r, c), -SignedAt(maps[1], r, mc));
                            }
                            if (r != mr) {
                                EXPECT_EQ(SignedAt(maps[2], r, c), -SignedAt(maps[2], mr, c));
                            }
                        }
                }
}

// Sprite 11 wide, ellipse 4 wide: nx = 2, Hm = 4, the band fills columns 2 .. 8.
TEST(BallMaps, HorizontalBandBetweenTheCapHalves) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(11, 4, 4, 4));
    const int32_t row = 2;  // the quarter's first row (centre row H - ny)
    const uint32_t centre = At(maps[0], row, 9);
    const uint32_t zc = At(maps[0], 2, 9) & 0x7FFF;
    const uint32_t lift = (0x7FFF - zc) >> 1;
    EXPECT_EQ(At(maps[0], row, 8), (centre & 0x7FFF) + lift);
    for (int32_t c = 2; c <= 8; ++c) {
        EXPECT_EQ(At(maps[0], row, c), At(maps[0], row, 8)) << c;
        EXPECT_EQ(SignedAt(maps[2], row, c), SignedAt(maps[2], row, 9)) << c;
    }
    for (int32_t c = 3; c <= 7; ++c)
        EXPECT_EQ(SignedAt(maps[1], row, c), 0) << c;
    EXPECT_EQ(SignedAt(maps[1], row, 8), SignedAt(maps[1], row, 9) >> 1);
    EXPECT_EQ(SignedAt(maps[1], row, 2), -(SignedAt(maps[1], row, 9) >> 1));
    // The cap halves stand at columns 0, 1 and 9, 10.
    EXPECT_EQ(At(maps[0], row, 1), At(maps[0], row, 9));
}

// Sprite 4 wide, 9 high, ellipse 4 x 4: ny = 2, Vm = 3; the vertical band covers rows 2..6,
// its rows next to the cap keep the cap's edge transparency.
TEST(BallMaps, VerticalBandKeepsTheEdgeTransparency) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(4, 9, 4, 4));
    // Centre row 7, band edge row 6, opaque band rows 4, 5; row 4 is the middle row.
    const uint32_t zc = At(maps[0], 7, 2) & 0x7FFF;
    const uint32_t lift = (0x7FFF - zc) >> 1;
    for (int32_t c = 2; c < 4; ++c) {
        const uint32_t cap = At(maps[0], 7, c);
        EXPECT_EQ(At(maps[0], 6, c), cap + lift) << c;
        EXPECT_EQ(At(maps[0], 5, c), (cap & 0x7FFF) + lift) << c;
        EXPECT_EQ(At(maps[0], 4, c), (cap & 0x7FFF) + lift) << c;
        EXPECT_EQ(SignedAt(maps[2], 6, c), SignedAt(maps[2], 7, c) >> 1);
        EXPECT_EQ(SignedAt(maps[2], 5, c), 0);
        EXPECT_EQ(SignedAt(maps[1], 5, c), SignedAt(maps[1], 7, c));
        EXPECT_EQ(At(maps[0], 2, c), At(maps[0], 6, c));  // mirrored below
    }
    EXPECT_NE(At(maps[0], 6, 3) >> 24, 0u);  // the outer column's edge stays soft
}

// Sprite 8 x 8, ellipse 4 x 4: both bands are 2 wide and meet in a corner.
TEST(BallMaps, CornerWhereBothBandsMeet) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(8, 8, 4, 4));
    const uint32_t zc = At(maps[0], 6, 6) & 0x7FFF;
    const uint32_t cornerZ = (zc + 0x17FFD) >> 2;
    const int32_t sx = SignedAt(maps[1], 6, 6), sy = SignedAt(maps[2], 6, 6);
    EXPECT_EQ(At(maps[0], 5, 5), cornerZ);
    EXPECT_EQ(SignedAt(maps[1], 5, 5), sx >> 1);
    EXPECT_EQ(SignedAt(maps[2], 5, 5), sy >> 1);
    EXPECT_EQ(At(maps[0], 5, 4), cornerZ);
    EXPECT_EQ(SignedAt(maps[1], 5, 4), 0);
    EXPECT_EQ(SignedAt(maps[2], 5, 4), sy >> 1);
    EXPECT_EQ(At(maps[0], 4, 5), cornerZ);
    EXPECT_EQ(SignedAt(maps[1], 4, 5), sx >> 1);
    EXPECT_EQ(SignedAt(maps[2], 4, 5), 0);
    // The flat middle, mirrored into all four quarters.
    for (int32_t r = 3; r <= 4; ++r)
        for (int32_t c = 3; c <= 4; ++c) {
            EXPECT_EQ(At(maps[0], r, c), 0x7FFFu);
            EXPECT_EQ(At(maps[1], r, c), 0u);
            EXPECT_EQ(At(maps[2], r, c), 0u);
        }
}

// The ramp is measured from the sprite's centre: in a 5 x 5 sprite the upper right 3 x 3
// block gets m * R and k * R, the mirrors carry it over with the slopes' signs.
TEST(BallMaps, SlopeRampGrowsFromTheSpriteCentre) {
    SpriteBuffer plain[3], ramped[3];
    ShadeParams look = TestLook(5, 5, 5, 5);
    BuildBallMaps(plain, look);
    look.slopeRamp = 100;
    BuildBallMaps(ramped, look);
    for (int32_t r = 0; r < 5; ++r)
        for (int32_t c = 0; c < 5; ++c) {
            const int32_t m = c >= 2 ? c - 2 : 2 - c, k = r >= 2 ? r - 2 : 2 - r;
            const int32_t signX = c < 2 ? -1 : 1, signY = r < 2 ? -1 : 1;
            EXPECT_EQ(SignedAt(ramped[1], r, c), SignedAt(plain[1], r, c) + signX * m * 100);
            EXPECT_EQ(SignedAt(ramped[2], r, c), SignedAt(plain[2], r, c) + signY * k * 100);
            EXPECT_EQ(At(ramped[0], r, c), At(plain[0], r, c));
        }
}

TEST(BallMaps, ReusesTheBuffersWithoutGrowing) {
    SpriteBuffer maps[3];
    BuildBallMaps(maps, TestLook(40, 40, 40, 40));
    const uint32_t* block = maps[0].pixels;
    BuildBallMaps(maps, TestLook(30, 36, 20, 30));
    EXPECT_EQ(maps[0].pixels, block);
    EXPECT_EQ(maps[0].Width(), 30);
    EXPECT_EQ(maps[0].Height(), 36);
}

}  // namespace
