// The tracked fade against a fade of the whole background: the same scene run once with
// an engine fading only the tiles its writers marked and once fading every tile gives
// the same planes frame by frame, from the intro on through stamps and formations.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/ball_engine.h"
#include "engine_fixture.h"

namespace {

// Both planes folded into one word (FNV-1a over the pixel words).
uint64_t PlanesHash(const BallEngine* e) {
    const size_t n = size_t(e->frame.width) * size_t(e->frame.height);
    uint64_t h = 14695981039346656037ull;
    for (const uint32_t* plane : {e->frame.backgroundPixels, e->frame.frontPixels}) {
        for (size_t i = 0; i < n; ++i)
            h = (h ^ plane[i]) * 1099511628211ull;
    }
    return h;
}

struct SceneRun {
    int32_t width, height, style, balls, size;
    uint32_t seed;
    int frames;
};

// What the tracked run saw, for checking that the test covers what it is about.
struct Seen {
    int fadeFrames = 0;
    int skippingFades = 0;  // fades with settled tiles left out
    int marks = 0;          // frames outside the fades that marked new tiles
    int32_t style = 0;
};

// The planes' hash after every frame. The engines run one after the other: the random
// generator is the thread's, so two interleaved engines would draw differently.
std::vector<uint64_t> Hashes(const SceneRun& run, bool whole, Seen* seen) {
    Scene s = MakeScene(run.width, run.height, run.style, run.balls, run.size, run.seed);
    BallEngine* e = s.engine.get();
    std::vector<uint64_t> hashes;
    for (int frame = 0; frame < run.frames; ++frame) {
        if (whole) e->frame.fadeMap.MarkAll();  // the next fade visits every tile
        const bool fades =
            e->introState.load() == 0 && e->displayMode == 0 && ((e->frameCount + 1) & 3) == 0;
        const int32_t before = e->frame.fadeMap.MarkedTiles();
        StepFrame(e);
        hashes.push_back(PlanesHash(e));
        if (fades) {
            seen->fadeFrames += 1;
            seen->skippingFades += before < e->frame.fadeMap.Tiles();
        } else {
            seen->marks += e->frame.fadeMap.MarkedTiles() > before;
        }
    }
    seen->style = e->style;
    return hashes;
}

TEST(FadeTracking, SamePlanesAsFadingTheWholeBackground) {
    // Normal scenes of odd sizes (partial tiles on two sides), and the random style,
    // whose seed 2 picks Normal too.
    const SceneRun runs[] = {{173, 131, 1, 100, 60, 1, 2600},
                             {97, 61, 1, 40, 30, 7, 1500},
                             {150, 100, 0, 52, 38, 2, 1500}};
    for (const SceneRun& run : runs) {
        Seen tracked, whole;
        const std::vector<uint64_t> a = Hashes(run, false, &tracked);
        const std::vector<uint64_t> b = Hashes(run, true, &whole);
        for (size_t frame = 0; frame < a.size(); ++frame)
            ASSERT_EQ(a[frame], b[frame]) << run.width << "x" << run.height << " frame " << frame;
        EXPECT_EQ(tracked.style, 0) << run.seed;
        EXPECT_GT(tracked.fadeFrames, 100) << run.seed;
        EXPECT_GT(tracked.skippingFades, tracked.fadeFrames / 2) << run.seed;
        EXPECT_GT(tracked.marks, 5) << run.seed;
    }
}

}  // namespace
