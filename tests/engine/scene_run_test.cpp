#include <gtest/gtest.h>

#include <vector>

#include "engine/ball_engine.h"
#include "engine_fixture.h"

namespace {

struct Planes {
    std::vector<uint32_t> front, back;
    bool operator==(const Planes&) const = default;
};

Planes RunScene(int32_t w, int32_t h, int32_t style, uint32_t seed, int frames) {
    Scene s = MakeScene(w, h, style, 100, 40, seed);
    for (int i = 0; i < frames; ++i)
        StepFrame(s.engine.get());
    const size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
    const BallEngine& e = *s.engine;
    return {std::vector<uint32_t>(e.frame.frontPixels, e.frame.frontPixels + n),
            std::vector<uint32_t>(e.frame.backgroundPixels, e.frame.backgroundPixels + n)};
}

TEST(SceneRun, SameSettingsAndSeedGiveTheSameFrames) {
    for (int32_t style : {0, 1, 2, 3}) {
        const Planes a = RunScene(140, 100, style, 9, 400);
        EXPECT_EQ(a, RunScene(140, 100, style, 9, 400)) << style;
        EXPECT_NE(a, RunScene(140, 100, style, 10, 400)) << style;
    }
}

TEST(SceneRun, LongRunKeepsThePoolAndTheListsSound) {
    Scene s = MakeScene(200, 160, 0, 40, 45, 3);
    BallEngine* e = s.engine.get();
    int pool = 0;
    for (BallNode* b = e->freeHead; b != nullptr && pool <= kBallPoolSize; b = b->newer)
        ++pool;
    ASSERT_EQ(pool, 40 * e->unit / 40);
    for (int i = 0; i < 3000; ++i) {
        StepFrame(e);
        if (i % 250 != 0) continue;
        int active = 0;
        for (BallNode* b = e->head; b != nullptr && active <= kBallPoolSize; b = b->older)
            ++active;
        int free = 0;
        for (BallNode* b = e->freeHead; b != nullptr && free <= kBallPoolSize; b = b->newer)
            ++free;
        ASSERT_EQ(active + free, pool) << "frame " << i;
        ASSERT_LE(e->dirtyRects.drawnCount, e->dirtyRects.capacity + 1);
        ASSERT_LE(e->dirtyRects.refreshCount, e->dirtyRects.capacity + 1);
    }
    EXPECT_EQ(e->introState.load(), 0);
}

}  // namespace
