// The tracked background fade: the tile kernels against the plain loop, what a pass
// reports having seen, and the map against a pass over the whole plane while the plane
// is written and marked in pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "render/fade_map.h"
#include "render/fade_planes.h"

namespace {

class Words {
  public:
    explicit Words(uint32_t seed) : m_gen(seed) {}
    uint32_t Any() { return uint32_t(m_gen()); }
    int32_t In(int32_t low, int32_t high) {
        return std::uniform_int_distribution<int32_t>(low, high)(m_gen);
    }
    bool OneIn(int32_t n) { return In(0, n - 1) == 0; }
    // Mostly the dark words that never fade, with fading greens and arbitrary words.
    uint32_t Pixel() {
        if (OneIn(8)) return Any();
        const uint32_t green = uint32_t(OneIn(2) ? In(0, 0x1F) : In(0x1E, 0x42));
        return (uint32_t(In(0, 255)) << 16) | (green << 8) | uint32_t(In(0, 255));
    }

  private:
    std::mt19937 m_gen;
};

// One pass over every word, the reference for the map.
void WholePass(std::vector<uint32_t>& back, std::vector<uint32_t>& front, bool strong) {
    FadePlanesPlain(back.data(), front.data(), int64_t(back.size()), strong);
}

TEST(FadePlanes, ReportsTheGreensItSaw) {
    struct Case {
        uint32_t word;
        uint32_t saw;
    };
    const Case cases[] = {{0x00001F00, 0},
                          {0xFFFF1FFF, 0},
                          {0x00002000, kFadeSawStrong},
                          {0x00003F00, kFadeSawStrong},
                          {0x00004000, kFadeSawStrong | kFadeSawWeak},
                          {0x0000FF00, kFadeSawStrong | kFadeSawWeak}};
    for (const Case& c : cases) {
        for (bool strong : {false, true}) {
            // Seven dark words around the tested one: the vector loop and its tail.
            for (int at = 0; at < 7; ++at) {
                std::vector<uint32_t> back(7, 0x2A003F), front(7, 0);
                back[size_t(at)] = c.word;
                EXPECT_EQ(FadePlanesPlain(back.data(), front.data(), 7, strong), c.saw) << at;
                back[size_t(at)] = c.word;
                EXPECT_EQ(FadePlanesSse2(back.data(), front.data(), 7, strong), c.saw) << at;
            }
        }
    }
}

TEST(FadeTileRun, KernelsAgreeWithThePlainPass) {
    Words r(3);
    for (int round = 0; round < 3000; ++round) {
        const int32_t tiles = r.In(0, 6);
        const size_t n = size_t(tiles) * kFadeTileWidth;
        std::vector<uint32_t> back(n), front(n);
        for (size_t k = 0; k < n; ++k) {
            back[k] = r.Pixel();
            front[k] = r.OneIn(2) ? back[k] : r.Any();
        }
        const bool strong = r.OneIn(2);
        std::vector<uint8_t> seed(static_cast<size_t>(tiles));
        for (uint8_t& s : seed)
            s = uint8_t(r.In(0, 3));

        std::vector<uint32_t> plainBack = back, plainFront = front, sseBack = back,
                              sseFront = front;
        std::vector<uint8_t> plainSaw = seed, sseSaw = seed;
        FadeTileRunPlain(plainBack.data(), plainFront.data(), tiles, strong, plainSaw.data());
        FadeTileRunSse2(sseBack.data(), sseFront.data(), tiles, strong, sseSaw.data());
        ASSERT_EQ(sseBack, plainBack) << round;
        ASSERT_EQ(sseFront, plainFront) << round;
        ASSERT_EQ(sseSaw, plainSaw) << round;

        // Each tile reports the greens it held before the pass, ORed into what was there.
        for (int32_t t = 0; t < tiles; ++t) {
            uint32_t expected = seed[size_t(t)];
            for (int32_t k = 0; k < kFadeTileWidth; ++k) {
                const uint32_t g = back[size_t(t * kFadeTileWidth + k)] & 0xFF00u;
                if (g > 0x1F00u) expected |= kFadeSawStrong;
                if (g > 0x3F00u) expected |= kFadeSawWeak;
            }
            ASSERT_EQ(plainSaw[size_t(t)], expected) << round << " tile " << t;
        }
        WholePass(back, front, strong);
        ASSERT_EQ(plainBack, back) << round;
        ASSERT_EQ(plainFront, front) << round;
    }
}

// Planes written in rectangles between passes, each write marked; the map's passes give
// the planes of whole-plane passes at every step, and settled tiles are skipped.
TEST(FadeMap, MarkedWritesFadeLikeTheWholePlane) {
    const int32_t sizes[][2] = {{1, 1}, {2, 2}, {17, 3}, {16, 8}, {61, 37}, {152, 112}, {33, 1}};
    Words r(11);
    for (const auto& size : sizes) {
        const int32_t w = size[0], h = size[1];
        const size_t n = size_t(w) * size_t(h);
        std::vector<uint32_t> back(n), front(n);
        for (size_t k = 0; k < n; ++k) {
            back[k] = r.Pixel();
            front[k] = r.Any();
        }
        std::vector<uint32_t> refBack = back, refFront = front;
        FadeMap map;
        map.Cover(w, h);
        EXPECT_EQ(map.MarkedTiles(), map.Tiles());
        bool skipped = false;
        // Writes in the first half; in the second everything settles.
        for (int pass = 0; pass < 400; ++pass) {
            if (pass < 200 && r.OneIn(6)) {
                // A bright rectangle, partly outside the plane at times.
                const int32_t left = r.In(-8, w), top = r.In(-8, h);
                const RECT rect{left, top, left + r.In(0, 24), top + r.In(0, 24)};
                const uint32_t colour = (uint32_t(r.In(0, 255)) << 16) |
                                        (uint32_t(r.In(0x20, 0xFF)) << 8) | uint32_t(r.In(0, 255));
                for (int32_t y = std::max<int32_t>(rect.top, 0);
                     y < std::min<int32_t>(rect.bottom, h); ++y) {
                    for (int32_t x = std::max<int32_t>(rect.left, 0);
                         x < std::min<int32_t>(rect.right, w); ++x) {
                        back[size_t(y) * size_t(w) + size_t(x)] = colour;
                        refBack[size_t(y) * size_t(w) + size_t(x)] = colour;
                    }
                }
                map.Mark(rect);
            }
            const bool strong = (pass & 1) != 0;
            map.Fade(back.data(), front.data(), strong);
            WholePass(refBack, refFront, strong);
            ASSERT_EQ(back, refBack) << w << "x" << h << " pass " << pass;
            ASSERT_EQ(front, refFront) << w << "x" << h << " pass " << pass;
            skipped = skipped || map.MarkedTiles() < map.Tiles();
        }
        EXPECT_EQ(map.MarkedTiles(), 0) << w << "x" << h;
        EXPECT_TRUE(skipped) << w << "x" << h;
    }
}

TEST(FadeMap, SettledPlaneIsLeftAloneUntilMarked) {
    const int32_t w = 100, h = 50;
    std::vector<uint32_t> back(size_t(w) * h, 0x2A003F), front(size_t(w) * h, 0x123456);
    FadeMap map;
    map.Cover(w, h);
    map.Fade(back.data(), front.data(), true);  // nothing to fade anywhere
    EXPECT_EQ(map.MarkedTiles(), 0);

    // Unmarked writes are not seen: the map trusts its writers.
    back[0] = 0x0000C800;
    map.Fade(back.data(), front.data(), true);
    EXPECT_EQ(back[0], 0x0000C800u);

    // A marked one is, and only its tiles are visited again.
    map.Mark(RECT{0, 0, 1, 1});
    EXPECT_EQ(map.MarkedTiles(), 1);
    map.Fade(back.data(), front.data(), true);
    EXPECT_EQ(back[0], 0x0000C600u);
    EXPECT_EQ(front[0], 0x0000C600u);
    EXPECT_EQ(front[1], 0x123456u);

    // Until green is below 32; then the tile settles again.
    for (int pass = 0; pass < 200; ++pass)
        map.Fade(back.data(), front.data(), (pass & 1) != 0);
    EXPECT_LE(back[0], 0x00001F00u);
    EXPECT_GE(back[0], 0x00001E00u);
    EXPECT_EQ(map.MarkedTiles(), 0);

    // MarkAll after writing the plane in any other way.
    back.assign(back.size(), 0x00004000);
    map.MarkAll();
    EXPECT_EQ(map.MarkedTiles(), map.Tiles());
    map.Fade(back.data(), front.data(), false);
    EXPECT_EQ(back[size_t(w) * h - 1], 0x00003F00u);
}

TEST(FadeMap, MarksAreClippedToThePlane) {
    // Two and a half tiles across, two and a half up.
    constexpr int32_t w = FadeMap::kTileWidth * 5 / 2, h = FadeMap::kTileHeight * 5 / 2;
    FadeMap map;
    map.Cover(w, h);
    ASSERT_EQ(map.Tiles(), 9);
    std::vector<uint32_t> back(w * h, 0), front(w * h, 0);
    map.Fade(back.data(), front.data(), true);
    ASSERT_EQ(map.MarkedTiles(), 0);
    const RECT outside[] = {{-100, -100, 0, 0},
                            {w, 0, w + 100, h},
                            {0, h, w, h + 10},
                            {10, 1, 10, h},
                            {w - 1, h - 1, 5, 1},
                            {INT32_MIN, 0, -1, h},
                            {INT32_MAX - 1, 0, INT32_MAX, h}};
    for (const RECT& rect : outside)
        map.Mark(rect);
    EXPECT_EQ(map.MarkedTiles(), 0);
    map.Mark(RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    EXPECT_EQ(map.MarkedTiles(), 9);
    map.Fade(back.data(), front.data(), true);
    map.Mark(RECT{w - 1, h - 1, w + 1, h + 1});  // the top right corner tile only
    EXPECT_EQ(map.MarkedTiles(), 1);
}

TEST(FadeMap, WithoutAMapEveryPassVisitsThePlane) {
    // Before Cover there is no plane to visit; an empty plane has no tiles.
    FadeMap none;
    uint32_t word = 0x0000FF00, other = 0;
    none.Fade(&word, &other, true);
    none.Mark(RECT{0, 0, 1, 1});
    EXPECT_EQ(word, 0x0000FF00u);
    EXPECT_EQ(none.Tiles(), 0);
    FadeMap empty;
    empty.Cover(0, 7);
    empty.Fade(&word, &other, true);
    EXPECT_EQ(word, 0x0000FF00u);
    EXPECT_EQ(empty.Tiles(), 0);
}

}  // namespace
