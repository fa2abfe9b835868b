#include <gtest/gtest.h>

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
    DrawReplay g{42};
    EXPECT_EQ(FormationVariant(e.get()), g.Next() & 1);
    EXPECT_EQ(e->formationPhase.load(), 2);
    EXPECT_EQ(e->formationFull, 0);
    for (int32_t t : e->formationSlotTaken)
        EXPECT_EQ(t, 0);
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

TEST(FormationCapture, TakesTheSlotAfterR4ModN) {
    const uint32_t seed = CandidateSeed();
    DrawReplay g{seed};
    g.Next();
    g.Next();
    g.Next();
    const int32_t r4 = g.Next();
    for (int variant = 0; variant < 2; ++variant) {
        auto e = SpawnEngine();
        e->formationPhase.store(65);
        FormationVariant(e.get()) = variant;
        const int32_t n = e->pathCount;
        const int32_t want = (r4 % n + 1) % n;
        BallNode* b = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(b->flags, static_cast<uint32_t>(want) | FlagFormation);
        EXPECT_EQ(e->formationSlotTaken[want], 1);
        EXPECT_EQ(b->stamp, 1);
        EXPECT_EQ(b->fullSize, e->unit);
        EXPECT_EQ(b->moveFrames, 1000000);
        EXPECT_EQ(b->x, 512);
        EXPECT_EQ(b->y, 384);
        EXPECT_EQ(b->vx, (e->pathX[want] - 512) >> 3);
        EXPECT_EQ(b->vy, (e->pathY[want] - 384) >> 3);
        EXPECT_EQ(b->look.lightDirection, 0xA00180);
        EXPECT_EQ(b->look.topColour.g, variant == 0 ? 224 : 128);
        EXPECT_EQ(b->look.specularIndex, variant == 0 ? 6 : 3);
    }
}

TEST(FormationCapture, SkipsTakenSlotsAndWraps) {
    const uint32_t seed = CandidateSeed();
    DrawReplay g{seed};
    g.Next();
    g.Next();
    g.Next();
    const int32_t r4 = g.Next();
    auto e = SpawnEngine();
    e->formationPhase.store(65);
    const int32_t n = e->pathCount;
    const int32_t start = r4 % n;
    // Everything taken except the slot just before the first one examined.
    for (int i = 0; i < n; ++i)
        e->formationSlotTaken[i] = 1;
    e->formationSlotTaken[start] = 0;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->flags & 0xFF, static_cast<uint32_t>(start));
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
