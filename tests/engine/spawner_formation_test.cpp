#include <gtest/gtest.h>

#include <vector>

#include "spawner_test_helpers.h"

namespace {

// A formation candidate: plain r2 and bit 0x80 of r3.
uint32_t CandidateSeed() {
    return FindSeed([](const int32_t* r) { return PlainR2(r[1]) && (r[2] & 0x80); });
}

TEST(FormationClock, StartResetsTheSlotsAndChoosesAVariant) {
    auto e = SpawnEngine();
    e->formationPhase.store(1);
    e->formationFull = 1;
    for (int32_t& t : e->formationSlotTaken)
        t = 1;
    SeedRandom(42);
    StepFormation(e.get());
    EXPECT_EQ(e->formationPhase.load(), 2);
    EXPECT_EQ(e->formationFull, 0);
    for (int32_t t : e->formationSlotTaken)
        EXPECT_EQ(t, 0);
    // Either figure, and both over the seeds.
    bool seen[2] = {};
    for (uint32_t i = 1; i <= 64; ++i) {
        e->formationPhase.store(1);
        SeedRandom(SpreadSeed(i));
        StepFormation(e.get());
        const int32_t variant = FormationVariant(e.get());
        ASSERT_TRUE(variant == 0 || variant == 1) << variant;
        seen[variant] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

TEST(FormationClock, ClimbsHoldsAndEnds) {
    auto e = SpawnEngine();
    e->style = 1;
    e->displayMode = 0;
    e->formationPhase.store(2);
    for (int i = 0; i < 61; ++i)
        StepFormation(e.get());
    EXPECT_EQ(e->formationPhase.load(), 63);
    EXPECT_EQ(e->displayMode, 0);
    StepFormation(e.get());  // 64: the background stops fading, the phase holds at 65
    EXPECT_EQ(e->formationPhase.load(), 65);
    EXPECT_EQ(e->displayMode, 1);
    for (int i = 0; i < 500; ++i)
        StepFormation(e.get());
    EXPECT_EQ(e->formationPhase.load(), 65);

    e->formationFull = 1;
    e->displayMode = 1;
    for (int i = 0; i < 126; ++i)
        StepFormation(e.get());  // 66 .. 191
    EXPECT_EQ(e->formationPhase.load(), 191);
    e->displayMode = 0;
    StepFormation(e.get());
    EXPECT_EQ(e->displayMode, 1);  // back to the style (Green)
    e->style = -1;
    for (int i = 0; i < 128; ++i)
        StepFormation(e.get());  // 193 .. 320
    EXPECT_EQ(e->formationPhase.load(), 320);
    StepFormation(e.get());
    EXPECT_EQ(e->formationPhase.load(), 0);
}

TEST(FormationClock, Phase192RestoresTheStyleAndSquashIsLeftAlone) {
    auto e = SpawnEngine();
    e->style = -1;
    e->displayMode = 1;
    e->formationFull = 1;
    e->formationPhase.store(191);
    StepFormation(e.get());
    EXPECT_EQ(e->displayMode, -1);
    auto s = SpawnEngine();
    s->displayMode = -1;
    s->formationPhase.store(63);
    StepFormation(s.get());
    EXPECT_EQ(s->displayMode, -1);
    EXPECT_EQ(s->formationPhase.load(), 65);
}

// Spawns one ball with the i-th spread seed and frees its node again; returns
// the point of the figure it was captured for, or -1.
int32_t CaptureWith(BallEngine* e, uint32_t i) {
    BallNode* b = SpawnWithSeed(e, SpreadSeed(i));
    const int32_t point = (b->flags & FlagFormation) ? int32_t(b->flags & FlagPathIndex) : -1;
    ReleaseBall(e, b);
    return point;
}

TEST(FormationCapture, CandidatesFillEveryPointOfTheFigureOnce) {
    // While the formation holds, each candidate takes a free point of the
    // figure: it starts at the frame's centre, reaches its point in eight
    // frames and has the figure's look; when every point is taken the path
    // is full.
    for (int variant = 0; variant < 2; ++variant) {
        auto e = SpawnEngine();
        e->formationPhase.store(65);
        FormationVariant(e.get()) = variant;
        const int32_t n = e->pathCount;
        ASSERT_GT(n, 1);
        std::vector<int> takenBy(n, 0);
        int captured = 0;
        for (uint32_t i = 1; i <= 20000 && e->formationFull == 0; ++i) {
            BallNode* b = SpawnWithSeed(e.get(), SpreadSeed(i));
            if (b->flags & FlagFormation) {
                const int32_t point = b->flags & FlagPathIndex;
                ASSERT_LT(point, n);
                EXPECT_EQ(takenBy[point]++, 0) << "point " << point << " taken twice";
                EXPECT_EQ(e->formationSlotTaken[point], 1);
                EXPECT_EQ(b->stamp, 1);
                EXPECT_EQ(b->fullSize, e->unit);
                EXPECT_EQ(b->moveFrames, 1000000);
                EXPECT_EQ(b->x, 512);
                EXPECT_EQ(b->y, 384);
                EXPECT_NEAR(b->x + 8 * b->vx, e->pathX[point], 8);
                EXPECT_NEAR(b->y + 8 * b->vy, e->pathY[point], 8);
                EXPECT_EQ(b->look.topColour.g, variant == 0 ? 224 : 128);
                ++captured;
            }
            ReleaseBall(e.get(), b);
        }
        EXPECT_EQ(captured, n) << "variant " << variant;
        EXPECT_EQ(e->formationFull, 1);
    }
}

TEST(FormationCapture, TheLastFreePointIsFoundWhereverItIs) {
    auto probe = SpawnEngine();
    const int32_t n = probe->pathCount;
    ASSERT_GT(n, 2);
    for (int32_t free : {0, n / 2, n - 1}) {
        auto e = SpawnEngine();
        e->formationPhase.store(65);
        for (int32_t i = 0; i < n; ++i)
            e->formationSlotTaken[i] = i != free;
        uint32_t i = 1;
        int32_t point = -1;
        while (point < 0 && i < 1000)
            point = CaptureWith(e.get(), i++);
        EXPECT_EQ(point, free);
        EXPECT_EQ(e->formationFull, 0);
        // The next candidate finds the path full and stays an ordinary ball.
        while (e->formationFull == 0 && i < 2000)
            EXPECT_EQ(CaptureWith(e.get(), i++), -1);
        EXPECT_EQ(e->formationFull, 1) << free;
    }
}

TEST(FormationCapture, FullPathOrWrongPhaseLeavesAnOrdinaryBallWithoutStamp) {
    const uint32_t seed = CandidateSeed();
    auto full = SpawnEngine();
    full->formationPhase.store(65);
    for (int i = 0; i < full->pathCount; ++i)
        full->formationSlotTaken[i] = 1;
    BallNode* b = SpawnWithSeed(full.get(), seed);
    EXPECT_EQ(full->formationFull, 1);
    EXPECT_EQ(b->stamp, 0);
    EXPECT_EQ(b->flags & FlagFormation, 0u);

    for (int32_t phase : {2, 64, 66}) {
        auto e = SpawnEngine();
        e->formationPhase.store(phase);
        BallNode* c = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(c->stamp, 0) << phase;
        EXPECT_EQ(e->formationFull, 0) << phase;
    }
    auto done = SpawnEngine();
    done->formationPhase.store(65);
    done->formationFull = 1;
    EXPECT_EQ(SpawnWithSeed(done.get(), seed)->stamp, 0);

    // Not captured, it goes on to the other claims (but never the train).
    auto drop = SpawnEngine();
    drop->formationPhase.store(40);
    drop->dropX = 5;
    EXPECT_EQ(SpawnWithSeed(drop.get(), seed)->flags, FlagDropped);
}

TEST(FormationCapture, ACaptureBeatsTheOtherClaims) {
    const uint32_t seed = CandidateSeed();
    auto e = SpawnEngine();
    e->formationPhase.store(65);
    e->dropX = 5;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_NE(b->flags & FlagFormation, 0u);
    EXPECT_EQ(e->dropX, 5);
}

}  // namespace
