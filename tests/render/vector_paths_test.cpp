// The AVX2 and AVX-512 kernels against the portable ones: the same words for random looks
// and inputs, from the values the shape maps produce to arbitrary 32-bit words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "render/ball_maps.h"
#include "render/ball_maps_quarter.h"
#include "render/blend_rows.h"
#include "render/fade_planes.h"
#include "render/shade_ball.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"
#include "render_test_util.h"

namespace {

// Restores the wide paths after a test that switched them off.
struct PortableOnly {
    PortableOnly() { AllowWidePaths(false); }
    ~PortableOnly() { AllowWidePaths(true); }
};

// Limits the paths to one width for a test, and restores them all after it.
struct WidestPath {
    explicit WidestPath(VectorPath widest) { LimitWidePaths(widest); }
    ~WidestPath() { AllowWidePaths(true); }
};

using ShadeKernel = void (*)(const ShadeSetup&, uint32_t*, const int32_t*, const int32_t*, int32_t);

class Random {
  public:
    explicit Random(uint32_t seed) : m_gen(seed) {}
    int32_t Any() { return int32_t(m_gen()); }
    int32_t In(int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(m_gen);
    }
    bool OneIn(int32_t n) { return In(0, n - 1) == 0; }
    // Mostly ordinary values, now and then an edge or an arbitrary word.
    int32_t Pick(int32_t lo, int32_t hi) {
        static const int32_t kEdges[] = {0,          1,       -1,     2,      255,        256,
                                         -255,       -256,    0x7FFF, 0x8000, 0x7FFFFFFF, INT32_MIN,
                                         0x10000000, 0x40000, 62,     31,     32,         33};
        if (OneIn(16)) return kEdges[In(0, int32_t(std::size(kEdges)) - 1)];
        if (OneIn(32)) return Any();
        return In(lo, hi);
    }

  private:
    std::mt19937 m_gen;
};

ShadeParams RandomLook(Random& r) {
    ShadeParams look = {};
    const auto colour = [&] { return ShadeColour{r.Pick(0, 255), r.Pick(0, 255), r.Pick(0, 255)}; };
    look.topColour = colour();
    look.rimColour = colour();
    look.diffuseColour = colour();
    look.specularColour = colour();
    look.shadingFlags = r.In(0, 1) * kShadeSpherical | r.In(0, 1) * kShadeDivideByLength |
                        (r.OneIn(4) ? kShadeSimple : 0);
    look.opacityControl = r.OneIn(2) ? 0 : r.Pick(-300, 300);
    look.spriteWidth = r.In(0, 70);
    look.spriteHeight = r.In(0, 70);
    look.normalRadius = r.Pick(0, 80);
    look.ellipseWidth = r.In(0, 72);
    look.ellipseHeight = r.In(0, 72);
    look.lightDirection =
        int32_t((uint32_t(r.In(0, 1023)) << 16) | uint32_t(r.Pick(-700, 700) & 0xFFFF));
    look.backLight = r.OneIn(2) ? 0 : r.Pick(-8, 8);
    look.specularIndex = r.OneIn(5) ? 0 : r.Pick(0, 8);
    look.secondLight = r.OneIn(2) ? -1 : r.Any() & 0x7FFFFFFF;
    look.secondSpecularIndex = r.OneIn(2) ? 0 : r.Pick(0, 8);
    look.sharpenShift = r.OneIn(2) ? 0 : r.Pick(0, 14);
    look.slopeRamp = r.OneIn(3) ? r.Pick(-300, 300) : 0;
    return look;
}

// Runs of up to maxCount pixels (shorter than a vector, whole vectors and tails) lit by
// kernel and by the portable one, in buffers with guard words behind the run that the
// kernel must neither change nor let into the run's words.
void CheckShadingOnRandomWords(ShadeKernel kernel, uint32_t seed, int32_t maxCount) {
    Random r(seed);
    const int32_t kGuard = 16;
    for (int round = 0; round < 3000; ++round) {
        const ShadeSetup setup = MakeShadeSetup(RandomLook(r));
        const int32_t n = r.In(0, maxCount);
        std::vector<uint32_t> height(size_t(n + kGuard));
        std::vector<int32_t> xs(size_t(n + kGuard)), ys(size_t(n + kGuard));
        const bool wild = r.OneIn(3);
        for (int32_t k = 0; k < n + kGuard; ++k) {
            const uint32_t t = r.OneIn(4) ? 0xFF : (r.OneIn(2) ? 0 : uint32_t(r.In(1, 254)));
            height[size_t(k)] = wild ? uint32_t(r.Any()) : (t << 24) | uint32_t(r.Pick(0, 0x7FFF));
            xs[size_t(k)] = wild ? r.Any() : r.Pick(-0x4000, 0x4000);
            ys[size_t(k)] = wild ? r.Any() : r.Pick(-0x4000, 0x4000);
        }
        std::vector<uint32_t> portable = height, wide = height;
        ShadePixelsPortable(setup, portable.data(), xs.data(), ys.data(), n);
        kernel(setup, wide.data(), xs.data(), ys.data(), n);
        for (int32_t k = 0; k < n + kGuard; ++k)
            ASSERT_EQ(wide[size_t(k)], portable[size_t(k)])
                << "round " << round << " pixel " << k << " of " << n << " word " << std::hex
                << height[size_t(k)] << " slopes " << xs[size_t(k)] << " " << ys[size_t(k)];
    }
}

TEST(VectorPaths, ShadingKernelsAgreeOnRandomWords) {
    if (!Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor or in this build";
    CheckShadingOnRandomWords(ShadePixelsAvx2, 11, 45);
}

TEST(VectorPaths, Avx512ShadingAgreesOnRandomWords) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    CheckShadingOnRandomWords(ShadePixelsAvx512, 16, 70);
}

// Each limit turns on the paths up to its width that the processor has, and no wider.
TEST(VectorPaths, LimitsChooseThePaths) {
    EXPECT_TRUE(!Avx512Available() || Avx2Available());
    {
        WidestPath limit(VectorPath::kAvx2);
        EXPECT_EQ(UseAvx2(), Avx2Available());
        EXPECT_FALSE(UseAvx512());
    }
    EXPECT_EQ(UseAvx2(), Avx2Available());
    EXPECT_EQ(UseAvx512(), Avx512Available());
    {
        PortableOnly off;
        EXPECT_FALSE(UseAvx2());
        EXPECT_FALSE(UseAvx512());
    }
    WidestPath limit(VectorPath::kPortable);
    EXPECT_FALSE(UseAvx2());
    EXPECT_FALSE(UseAvx512());
}

using QuarterKernel = void (*)(const QuarterSetup&, int32_t, uint32_t*, int32_t*, int32_t*,
                               int32_t);

// Quarter rows of the shape maps for the constants of every diameter up to 300, and for
// arbitrary constants that wrap the products; guard words behind the row stay as they are.
void CheckQuarterRows(QuarterKernel kernel, uint32_t seed) {
    Random r(seed);
    const int32_t kGuard = 16;
    for (int round = 0; round < 5000; ++round) {
        const int32_t dx = r.In(2, 300), dy = r.In(2, 300);
        QuarterSetup q{0x3FFFFFFF / std::max(1, (dx - 1) * (dx - 1)),
                       0x3FFFFFFF / ((dx + 1) * (dx + 1)),
                       0x3FFFFFFF / std::max(1, (dy - 1) * (dy - 1)),
                       0x3FFFFFFF / ((dy + 1) * (dy + 1)),
                       r.In(0, 1),
                       r.OneIn(2)};
        if (r.OneIn(4)) q = {r.Any(), r.Any(), r.Any(), r.Any(), r.In(0, 1), r.OneIn(2)};
        const int32_t n = r.In(0, (dx + 1) / 2 + 9);
        const int32_t i = r.In(0, dy + 1);
        const uint32_t guard = uint32_t(r.Any());
        std::vector<uint32_t> h1(size_t(n + kGuard), guard), h2 = h1;
        std::vector<int32_t> x1(size_t(n + kGuard), int32_t(guard)), x2 = x1, y1 = x1, y2 = x1;
        QuarterRowPortable(q, i, h1.data(), x1.data(), y1.data(), n);
        kernel(q, i, h2.data(), x2.data(), y2.data(), n);
        ASSERT_EQ(h2, h1) << "round " << round;
        ASSERT_EQ(x2, x1) << "round " << round;
        ASSERT_EQ(y2, y1) << "round " << round;
    }
}

TEST(VectorPaths, QuarterRowsAgree) {
    if (!Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor or in this build";
    CheckQuarterRows(QuarterRowAvx2, 15);
}

TEST(VectorPaths, Avx512QuarterRowsAgree) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    CheckQuarterRows(QuarterRowAvx512, 18);
}

// Whole balls as the frame step draws them, through ShadeBall's own choice of path with
// the paths limited to widest.
void CheckShadedBalls(VectorPath widest, uint32_t seed) {
    Random r(seed);
    SpriteBuffer wide[3], portable[3];
    for (int round = 0; round < 600; ++round) {
        const ShadeParams look = RandomLook(r);
        {
            WidestPath limit(widest);
            BuildBallMaps(wide, look);
            ShadeBall(wide, look);
        }
        {
            PortableOnly off;
            BuildBallMaps(portable, look);
            ShadeBall(portable, look);
        }
        ASSERT_EQ(wide[0].Kind(), portable[0].Kind());
        ASSERT_EQ(wide[0].Width(), portable[0].Width());
        ASSERT_EQ(wide[0].Height(), portable[0].Height());
        const int32_t count = wide[0].Width() * wide[0].Height();
        for (int32_t k = 0; k < count; ++k)
            ASSERT_EQ(wide[0].pixels[k], portable[0].pixels[k])
                << "round " << round << " pixel " << k;
    }
}

TEST(VectorPaths, ShadedBallsAgreeOnRandomLooks) {
    if (!Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor or in this build";
    CheckShadedBalls(VectorPath::kAvx2, 12);
}

TEST(VectorPaths, Avx512ShadedBallsAgreeOnRandomLooks) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    CheckShadedBalls(VectorPath::kAvx512, 17);
}

// A sprite row of one kind (all opaque, all empty, mixed, arbitrary transparencies) and
// a plane row of n pixels.
void RandomRows(Random& r, int32_t n, std::vector<uint32_t>* sprite, std::vector<uint32_t>* plane) {
    sprite->resize(size_t(n));
    plane->resize(size_t(n));
    const int32_t kind = r.In(0, 3);
    for (int32_t k = 0; k < n; ++k) {
        const uint32_t t = kind == 0   ? 0
                           : kind == 1 ? 255
                           : kind == 2 ? uint32_t(r.OneIn(3)   ? 0
                                                  : r.OneIn(2) ? 255
                                                               : r.In(1, 254))
                                       : uint32_t(r.In(0, 255));
        (*sprite)[size_t(k)] = (t << 24) | (uint32_t(r.Any()) & 0xFFFFFF);
        (*plane)[size_t(k)] = r.OneIn(4) ? uint32_t(r.Any()) : uint32_t(r.Any()) & 0xFFFFFF;
    }
}

// Sprite rows over plane rows: every transparency, boosts across 0..255 (where the
// vector path runs) and beyond it, runs of every length up to a few vectors.
TEST(VectorPaths, BlendedRowsAgree) {
    Random r(13);
    std::vector<uint32_t> sprite, plane;
    for (int round = 0; round < 20000; ++round) {
        const int32_t n = r.In(0, 19);
        const int32_t boost = r.OneIn(8) ? r.Pick(-300, 300) : (r.OneIn(3) ? 0 : r.In(0, 255));
        RandomRows(r, n, &sprite, &plane);
        std::vector<uint32_t> plain = plane, sse2 = plane, chosen = plane;
        BlendRowPlain(sprite.data(), plain.data(), n, boost);
        BlendRow(sprite.data(), chosen.data(), n, boost);
        if (boost >= 0 && boost <= 255)
            BlendRowSse2(sprite.data(), sse2.data(), n, boost);
        else
            sse2 = plain;
        for (int32_t k = 0; k < n; ++k) {
            ASSERT_EQ(sse2[k], plain[k])
                << "round " << round << " pixel " << k << " boost " << boost;
            ASSERT_EQ(chosen[k], plain[k]) << "round " << round << " pixel " << k;
        }
    }
}

// The AVX-512 rows, longer than a vector or two, with guard words behind both rows: the
// sprite's must not count and the plane's must stay.
TEST(VectorPaths, Avx512BlendedRowsAgree) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    Random r(19);
    const int32_t kGuard = 16;
    std::vector<uint32_t> sprite, plane;
    for (int round = 0; round < 20000; ++round) {
        const int32_t n = r.In(0, 50);
        const int32_t boost = r.OneIn(3) ? 0 : (r.OneIn(8) ? 255 : r.In(1, 255));
        RandomRows(r, n + kGuard, &sprite, &plane);
        std::vector<uint32_t> plain = plane, wide = plane;
        BlendRowPlain(sprite.data(), plain.data(), n, boost);
        BlendRowAvx512(sprite.data(), wide.data(), n, boost);
        ASSERT_EQ(wide, plain) << "round " << round << " of " << n << " boost " << boost;
    }
}

// Planes of dark pixels (which never fade) with runs of green, blue and red ones and
// arbitrary words, both passes, lengths that leave tails.
TEST(VectorPaths, FadedPlanesAgree) {
    Random r(14);
    for (int round = 0; round < 4000; ++round) {
        const int32_t n = r.In(0, 40);
        std::vector<uint32_t> back(n), front(n);
        for (int32_t k = 0; k < n; ++k) {
            back[k] = r.OneIn(3) ? uint32_t(r.Any())
                                 : (uint32_t(r.In(0, 255)) << 16) |
                                       (uint32_t(r.OneIn(2) ? r.In(0, 0x40) : r.In(0, 255)) << 8) |
                                       uint32_t(r.In(0, 255));
            front[k] = r.OneIn(2) ? back[k] : uint32_t(r.Any());
        }
        const bool strong = r.OneIn(2);
        std::vector<uint32_t> plainBack = back, plainFront = front, sseBack = back,
                              sseFront = front;
        FadePlanesPlain(plainBack.data(), plainFront.data(), n, strong);
        FadePlanesSse2(sseBack.data(), sseFront.data(), n, strong);
        ASSERT_EQ(sseBack, plainBack) << "round " << round;
        ASSERT_EQ(sseFront, plainFront) << "round " << round;
    }
}

// The AVX-512 tile pass against the plain one: dark words, greens around both passes'
// limits and arbitrary words, what each tile saw ORed into its old bits, and a guard
// tile behind the run in both planes that stays as it is.
TEST(VectorPaths, Avx512FadedTilesAgree) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    Random r(20);
    for (int round = 0; round < 4000; ++round) {
        const int32_t tiles = r.In(0, 8);
        const size_t n = size_t(tiles + 1) * kFadeTileWidth;
        std::vector<uint32_t> back(n), front(n);
        const bool allFade = r.OneIn(4);
        for (size_t k = 0; k < n; ++k) {
            const uint32_t green = uint32_t(allFade      ? r.In(0x41, 0xFF)
                                            : r.OneIn(2) ? r.In(0, 0x1F)
                                                         : r.In(0x1E, 0x42));
            back[k] = r.OneIn(8)
                          ? uint32_t(r.Any())
                          : (uint32_t(r.In(0, 255)) << 16) | (green << 8) | uint32_t(r.In(0, 255));
            front[k] = r.OneIn(2) ? back[k] : uint32_t(r.Any());
        }
        const bool strong = r.OneIn(2);
        std::vector<uint8_t> saw(size_t(tiles) + 1);
        for (uint8_t& s : saw)
            s = uint8_t(r.In(0, 3));
        std::vector<uint32_t> plainBack = back, plainFront = front, wideBack = back,
                              wideFront = front;
        std::vector<uint8_t> plainSaw = saw, wideSaw = saw;
        FadeTileRunPlain(plainBack.data(), plainFront.data(), tiles, strong, plainSaw.data());
        FadeTileRunAvx512(wideBack.data(), wideFront.data(), tiles, strong, wideSaw.data());
        ASSERT_EQ(wideBack, plainBack) << "round " << round;
        ASSERT_EQ(wideFront, plainFront) << "round " << round;
        ASSERT_EQ(wideSaw, plainSaw) << "round " << round;
    }
}

}  // namespace
