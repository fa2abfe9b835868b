#include <gtest/gtest.h>

#include "spawner_test_helpers.h"

namespace {

int ActiveCount(const BallEngine& e) {
    int n = 0;
    for (const BallNode* b = e.head; b != nullptr && n <= kBallPoolSize; b = b->older)
        ++n;
    return n;
}

TEST(SpawnPacing, FourBallsAFrameBelowFrame201) {
    auto e = SpawnEngine(52);
    SeedRandom(7);
    e->frameCount = 1;
    SpawnBalls(e.get());
    EXPECT_EQ(ActiveCount(*e), 4);
    EXPECT_EQ(e->frameCount, 4);
    e->frameCount = 5;
    SpawnBalls(e.get());
    EXPECT_EQ(ActiveCount(*e), 8);
    EXPECT_EQ(e->frameCount, 8);
}

TEST(SpawnPacing, OneBallOnAMultipleOfFourAndAllFromFrame201) {
    auto e = SpawnEngine(52);
    SeedRandom(3);
    e->frameCount = 200;
    SpawnBalls(e.get());
    EXPECT_EQ(ActiveCount(*e), 1);
    EXPECT_EQ(e->frameCount, 200);
    e->frameCount = 201;
    SpawnBalls(e.get());
    EXPECT_EQ(ActiveCount(*e), 52);
    EXPECT_EQ(e->frameCount, 201);
    // A full pool ends the loop at once and draws nothing.
    SeedRandom(11);
    SpawnBalls(e.get());
    const int32_t next = NextRandom();
    SeedRandom(11);
    EXPECT_EQ(NextRandom(), next);
}

TEST(SpawnPacing, FrameCountJustBelowAMultipleOfFour) {
    auto e = SpawnEngine(52);
    SeedRandom(5);
    e->frameCount = 199;
    SpawnBalls(e.get());  // 199 and 200
    EXPECT_EQ(ActiveCount(*e), 2);
    EXPECT_EQ(e->frameCount, 200);
}

TEST(SpawnPacing, RingCounterTurnsOddOncePerCall) {
    auto e = SpawnEngine(1);
    TakeBall(e.get());  // pool empty: only the counter step runs
    e->ringCounter = 100;
    SpawnBalls(e.get());
    EXPECT_EQ(e->ringCounter, 99);
    SpawnBalls(e.get());
    EXPECT_EQ(e->ringCounter, 99);
    e->ringCounter = 0;
    SpawnBalls(e.get());
    EXPECT_EQ(e->ringCounter, 0);
}

TEST(SpawnPacing, LookBallIsCachedOnlyWhenNoneIsSet) {
    auto e = SpawnEngine(2);
    e->lookBall = nullptr;
    const uint32_t seed = FindSeed([](const int32_t* r) { return PlainR2(r[1]); });
    BallNode* b = SpawnWithSeed(e.get(), seed);
    ASSERT_EQ(b->kind, BallKind::Ordinary);
    EXPECT_EQ(e->lookBall, b);
    EXPECT_EQ(e->lookCache[0], b->moveFrames);
    EXPECT_EQ(e->lookCache[1], b->opacityBoost);
    EXPECT_EQ(e->lookCache[2], b->stamp);
    EXPECT_EQ(e->lookCache[3], b->look.topColour.r);
    EXPECT_EQ(e->lookCache[14], b->look.specularColour.b);
    BallNode* next = SpawnWithSeed(e.get(), seed + 1);
    EXPECT_NE(next, b);
    EXPECT_EQ(e->lookBall, b);  // unchanged while set
}

}  // namespace
