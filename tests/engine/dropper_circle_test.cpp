#include <gtest/gtest.h>

#include <cstdlib>

#include "kind_test_helpers.h"

namespace {

struct Flight {
    int frames = 0;
    int32_t sumX = 0, sumY = 0;
    int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    int32_t maxStep = 0;
    int drops = 0;
    int32_t stampAtQuarter[5] = {};
};

// Flies a dropper of circle size d as the frame step would: every frame the
// common update moves it by last frame's velocity, counts moveFrames down and
// grows it by 1, then the dropper rule runs.
Flight Fly(BallEngine* e, BallNode* b, int32_t d, int32_t fullSize = 80) {
    e->orbitB = 1;
    e->orbitError = 4 * d;
    e->orbitA = 4 * d + 1;
    e->dropperBall = b;
    b->stamp = 4;
    b->fullSize = fullSize;
    b->moveFrames = 10000;
    Flight f;
    int32_t x = 0, y = 0;
    int32_t lastStamp = 4;
    while (b->state != BallState::Retiring && f.frames < 5000) {
        x += b->vx;
        y += b->vy;
        b->x = 500 + x;
        b->y = 400 + y;
        b->moveFrames -= 1;
        b->look.spriteWidth += 1;
        b->look.spriteHeight += 1;
        e->dropX = 0;
        const int32_t w = b->look.spriteWidth;
        ApplyGrowingRule(e, b);
        ++f.frames;
        if (e->dropX != 0) ++f.drops;
        if (b->stamp < 3 && b->state != BallState::Retiring) {
            EXPECT_EQ(b->look.spriteWidth, std::max(w - 2, 11));
        } else if (b->state != BallState::Retiring) {
            EXPECT_LT(b->look.spriteWidth, fullSize);
        }
        if (b->stamp != lastStamp) {
            EXPECT_EQ(b->stamp, lastStamp - 1);
            lastStamp = b->stamp;
        }
        f.sumX = x;
        f.sumY = y;
        f.minX = std::min(f.minX, x);
        f.maxX = std::max(f.maxX, x);
        f.minY = std::min(f.minY, y);
        f.maxY = std::max(f.maxY, y);
        f.maxStep = std::max({f.maxStep, std::abs(b->vx), std::abs(b->vy)});
    }
    return f;
}

TEST(DropperCircle, FliesFourQuartersAndEnds) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Dropper, 8, 8);
    const Flight f = Fly(e.get(), b, 40);
    EXPECT_EQ(b->state, BallState::Retiring);
    EXPECT_EQ(b->stamp, 0);
    EXPECT_EQ(e->dropperBall, nullptr);
    EXPECT_EQ(b->look.spriteWidth, 11);  // shrunk during the last two quarters
    EXPECT_LE(f.maxStep, 4);
    // A closed loop of diameter about 2 x 4D / 4 steps per frame... back near the start.
    EXPECT_LE(std::abs(f.sumX), 8);
    EXPECT_LE(std::abs(f.sumY), 8);
    EXPECT_GT(f.maxX - f.minX, 40);
    EXPECT_GT(f.maxY - f.minY, 40);
    EXPECT_NEAR(f.maxX - f.minX, f.maxY - f.minY, 8);
    EXPECT_NEAR(f.drops, f.frames / 8, 1);  // every 8th frame of its life
}

TEST(DropperCircle, QuarterCounterWalksTheAxisBits) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Dropper, 8, 8);
    e->orbitB = 1;
    e->orbitError = 120;
    e->orbitA = 121;
    b->stamp = 4;
    b->moveFrames = 10000;
    std::vector<int> phases;
    int32_t stamp = 4;
    for (int frame = 0; frame < 2000 && b->state != BallState::Retiring; ++frame) {
        b->moveFrames -= 1;
        ApplyGrowingRule(e.get(), b);
        if (b->stamp != stamp) {
            stamp = b->stamp;
            phases.push_back((AxisA(b) ? 1 : 0) | (AxisB(b) ? 2 : 0));
        }
    }
    // clear/clear -> A -> B -> A and B -> clear/clear.
    EXPECT_EQ(phases, (std::vector<int>{1, 2, 3, 0}));
}

TEST(DropperCircle, DriftAndToggle) {
    for (uint32_t flags : {FlagWobble, FlagWobble | FlagDriftSign, FlagWobble | FlagWobbleAlt,
                           FlagToggle, FlagAxisB}) {
        auto e = SpawnEngine();
        BallNode* b = KindBall(e.get(), BallKind::Dropper, 8, 8, flags);
        const Flight f = Fly(e.get(), b, 35);
        EXPECT_LE(f.maxStep, 6) << std::hex << flags;
        if (flags == FlagWobble) {
            EXPECT_GT(f.sumX, f.frames);  // drifting right
        }
        if (flags == (FlagWobble | FlagDriftSign)) {
            EXPECT_LT(f.sumX, -f.frames);
        }
        if (flags == (FlagWobble | FlagWobbleAlt)) {
            EXPECT_GT(f.sumY, f.frames);
        }
        if (!(flags & FlagWobble)) {
            EXPECT_LE(std::abs(f.sumX), 8);
            EXPECT_LE(std::abs(f.sumY), 8);
        }
    }
}

TEST(DropperCircle, MarksTheDropOnMultiplesOfEight) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Dropper, 8, 8);
    e->orbitB = 1;
    e->orbitError = 160;
    e->orbitA = 161;
    b->stamp = 4;
    b->x = 321;
    b->y = 123;
    b->moveFrames = 9;
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(e->dropX, 0);
    b->moveFrames = 8;
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(e->dropX, 321);
    EXPECT_EQ(e->dropY, 123);
    EXPECT_EQ(b->look.normalRadius, (b->look.spriteWidth + b->look.spriteHeight) >> 1);
}

}  // namespace
