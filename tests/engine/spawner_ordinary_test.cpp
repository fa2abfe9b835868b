#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/look_templates.h"
#include "spawner_test_helpers.h"

namespace {

// Hands check(ball) each new ordinary ball of `seeds` spread seeds but those
// that start a converge burst (they are the burst's first ball).
template <class Check>
void ForEachOrdinaryBall(uint32_t seeds, Check check) {
    SpawnWithEachSeed(
        seeds, [](BallEngine*) {},
        [&](BallEngine* e, BallNode* b) {
            if (b->kind == BallKind::Ordinary && e->convergeLeft == 0) check(b);
        });
}

TEST(OrdinaryBall, StartsSmallGreenAndInsideTheFrame) {
    // Every new ordinary ball, whatever the seed: where it starts, its size,
    // life and look; and the seeds between them reach every part of the frame
    // and every bounce and wobble.
    const uint32_t kMotionFlags = FlagBounceX | FlagBounceY | FlagWobble | FlagWobbleAlt;
    int32_t minX = 1024, maxX = -1, minY = 768, maxY = -1;
    int balls = 0;
    uint32_t flagsSeen = 0;
    ForEachOrdinaryBall(3000, [&](const BallNode* b) {
        ++balls;
        EXPECT_EQ(b->state, BallState::Growing);
        EXPECT_EQ(b->opacityBoost, 64);  // Normal style
        EXPECT_EQ(b->look.spriteWidth, 8);
        EXPECT_GE(b->fullSize, 15);
        EXPECT_LE(b->fullSize, 38);
        EXPECT_TRUE(b->moveFrames == 0 ||
                    (b->moveFrames >= b->fullSize && b->moveFrames < b->fullSize + 32))
            << b->moveFrames << " frames for size " << b->fullSize;
        EXPECT_GE(b->x, 0);
        EXPECT_LT(b->x, 1024);
        EXPECT_GE(b->y, 0);
        EXPECT_LT(b->y, 768);
        EXPECT_EQ(b->flags & ~kMotionFlags, 0u);
        EXPECT_NE(b->flags & (FlagBounceX | FlagBounceY), FlagBounceX | FlagBounceY);
        const ShadeParams& l = b->look;
        EXPECT_GE(l.diffuseColour.g, 128);
        EXPECT_LE(l.diffuseColour.g, 255);
        EXPECT_LT(l.diffuseColour.r, 128);
        EXPECT_LT(l.diffuseColour.b, 128);
        minX = std::min(minX, b->x);
        maxX = std::max(maxX, b->x);
        minY = std::min(minY, b->y);
        maxY = std::max(maxY, b->y);
        flagsSeen |= b->flags;
    });
    EXPECT_GT(balls, 2900);
    EXPECT_LT(minX, 64);
    EXPECT_GT(maxX, 960);
    EXPECT_LT(minY, 48);
    EXPECT_GT(maxY, 720);
    EXPECT_EQ(flagsSeen, kMotionFlags);
}

TEST(OrdinaryBall, SlowOrStillAndFastOnlyInTheMiddleBand) {
    // At most five pixels a frame on each axis; five only for a ball that
    // starts in the middle half of that axis. Some balls stand still.
    int still = 0, fastX = 0, fastY = 0;
    ForEachOrdinaryBall(3000, [&](const BallNode* b) {
        EXPECT_LE(std::abs(b->vx), 5);
        EXPECT_LE(std::abs(b->vy), 5);
        EXPECT_TRUE(std::abs(b->vx) != 5 || (b->x > 256 && b->x < 768)) << b->x;
        EXPECT_TRUE(std::abs(b->vy) != 5 || (b->y > 192 && b->y < 576)) << b->y;
        still += b->vx == 0 && b->vy == 0;
        fastX += std::abs(b->vx) == 5;
        fastY += std::abs(b->vy) == 5;
    });
    EXPECT_GT(still, 0);
    EXPECT_GT(fastX, 0);
    EXPECT_GT(fastY, 0);
}

TEST(OrdinaryBall, BounceYReplacesBounceXAndStillBallsDoNotMove) {
    const uint32_t seed = FindSeed([](const int32_t* r) {
        return PlainR2(r[1]) && (r[1] & 0xC00) == 0 && (r[1] & 0x3000) == 0 && (r[1] & 0x40) &&
               (r[1] & 0x100) && (r[2] & 0xF) == 0 && (r[3] & 3) == 0;
    });
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->flags, FlagBounceY);
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(b->vy, 0);
    EXPECT_EQ(b->moveFrames, 0);
}

TEST(OrdinaryBall, FormationCandidateOnlyAfterTheIntroAndGreenHasNoBoost) {
    const uint32_t seed = FindSeed([](const int32_t* r) { return PlainR2(r[1]) && (r[2] & 0x80); });
    auto e = SpawnEngine();
    EXPECT_EQ(SpawnWithSeed(e.get(), seed)->stamp, 1);
    auto during = SpawnEngine();
    during->introState.store(5);
    during->style = 1;
    BallNode* b = SpawnWithSeed(during.get(), seed);
    EXPECT_EQ(b->stamp, 0);
    EXPECT_EQ(b->opacityBoost, 0);
}

TEST(OrdinaryBall, SizeAndColoursStayInRangeForEverySize) {
    for (int32_t size : {30, 38, 60}) {
        auto e = SpawnEngine(100, size);
        SeedRandom(12345);
        for (int round = 0; round < 40; ++round) {
            e->frameCount = 300;
            SpawnBalls(e.get());
            for (BallNode* b = e->head; b != nullptr; b = b->older) {
                if (b->kind != BallKind::Ordinary || (b->flags & FlagFormation)) continue;
                EXPECT_GE(b->fullSize, 15);
                EXPECT_LE(b->fullSize, size);
                const int32_t* c = &b->look.topColour.r;
                for (int i = 0; i < 12; ++i)
                    EXPECT_LE(c[i], 255);
            }
            while (e->head != nullptr)
                ReleaseBall(e.get(), e->head);
            e->dropX = 0;
        }
    }
}

// Velocity of an ordinary ball before wind: -5 on x.
uint32_t FastLeftSeed() {
    return FindSeed([](const int32_t* r) {
        const int32_t px = r[0] & 0x7F;
        return PlainR2(r[1]) && (r[1] & 0xC0) == 0 && (r[2] & 0x300) == 0 && px > 32 && px < 96;
    });
}

TEST(Wind, DirectionZeroPushesLeftButKeepsFasterBalls) {
    auto e = SpawnEngine(2);
    e->wind = 400;
    BallNode* fast = SpawnWithSeed(e.get(), FastLeftSeed());
    EXPECT_EQ(fast->vx, -5);
    EXPECT_EQ(e->wind, 399);
    for (int32_t want : {-1, 0, 1}) {
        const uint32_t seed = FindSeed([&](const int32_t* r) {
            const int32_t vx = (r[1] & 0x40) ? 0 : ((r[1] & 0x80) ? 1 : -1);
            return PlainR2(r[1]) && vx == want && (r[2] & 0x300) != 0;
        });
        auto w = SpawnEngine();
        w->wind = 400;
        EXPECT_EQ(SpawnWithSeed(w.get(), seed)->vx, -3) << want;
    }
}

TEST(Wind, OtherDirectionsAndTheLastBall) {
    const uint32_t seed = FindSeed([](const int32_t* r) {
        return PlainR2(r[1]) && (r[1] & 0x140) == 0x140 && (r[2] & 0x300);
    });  // vx 0, vy 0
    struct Case {
        int32_t wind, vx, vy, after;
    } cases[] = {{0x10000 | 5, 3, 0, 0x10000 | 4},
                 {0x20000 | 5, 0, 3, 0x20000 | 4},
                 {0x30000 | 5, 0, -3, 0x30000 | 4},
                 {0x10000, 3, 0, 0},  // direction bits keep the word alive one ball longer
                 {1, -3, 0, 0}};
    for (const Case& c : cases) {
        auto e = SpawnEngine();
        e->wind = c.wind;
        BallNode* b = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(b->vx, c.vx) << std::hex << c.wind;
        EXPECT_EQ(b->vy, c.vy) << std::hex << c.wind;
        EXPECT_EQ(e->wind, c.after) << std::hex << c.wind;
    }
}

// Whether pos + f * v == point for some f in [first, last].
bool PassesWithin(int32_t pos, int32_t v, int32_t point, int32_t first, int32_t last) {
    if (v == 0) return pos == point;
    for (int32_t f = first; f <= last; ++f)
        if (pos + f * v == point) return true;
    return false;
}

TEST(GroupEvents, ABurstStartsAroundTheBallThatStartsIt) {
    // Now and then a new ball starts a burst, either a converge burst whose
    // first ball it becomes (unless it is a formation candidate), heading
    // through the burst point 28 to 43 frames on, or a ring centred where the
    // ball sits, whose balls follow from the next frame. Either may bring a
    // wind, which pushes this ball already.
    int converges = 0, rings = 0, winds = 0;
    SpawnWithEachSeed(
        20000, [](BallEngine* e) { e->frameCount = 100; },
        [&](BallEngine* e, BallNode* b) {
            const bool converge = e->convergeLeft != 0, ring = e->ringCounter != 0;
            EXPECT_FALSE(converge && ring);
            if (e->wind != 0) {
                ++winds;
                EXPECT_TRUE(converge || ring);
                EXPECT_EQ(e->wind & 0xFFF, 399);
            }
            if (converge) {
                ++converges;
                EXPECT_EQ(e->convergeFrame, 128);
                EXPECT_TRUE(e->convergeX >= 0 && e->convergeX < 1024) << e->convergeX;
                EXPECT_TRUE(e->convergeY >= 0 && e->convergeY < 768) << e->convergeY;
                EXPECT_EQ(e->convergeLeft, b->stamp != 0 ? 28 : 27);
                if (b->stamp != 0) return;
                EXPECT_EQ(b->fullSize, 34);
                EXPECT_TRUE(PassesWithin(b->x, b->vx, e->convergeX, 28, 43))
                    << b->x << " " << b->vx;
                EXPECT_TRUE(PassesWithin(b->y, b->vy, e->convergeY, 28, 43))
                    << b->y << " " << b->vy;
            }
            if (ring) {
                ++rings;
                EXPECT_EQ(e->ringCounter, 100);
                EXPECT_EQ(b->x, e->ringX);
                EXPECT_EQ(b->y, e->ringY);
                EXPECT_EQ(b->flags & FlagVortex, 0u);
            }
        });
    EXPECT_GT(converges, 0);
    EXPECT_GT(rings, 0);
    EXPECT_GT(winds, 0);
}

TEST(GroupEvents, ARunningBurstTurnsTheNextIntoARingAndARingBlocksBoth) {
    // While a converge burst runs, a ball that would start one starts a ring;
    // while a ring runs too, no burst starts at all.
    int rings = 0;
    SpawnWithEachSeed(
        12000, [](BallEngine* e) { e->convergeLeft = 5; },
        [&](BallEngine* e, BallNode*) {
            EXPECT_EQ(e->convergeFrame, 0);  // no second converge burst
            rings += e->ringCounter == 100;
        });
    EXPECT_GT(rings, 0);
    SpawnWithEachSeed(
        12000,
        [](BallEngine* e) {
            e->convergeLeft = 5;
            e->ringCounter = 41;
        },
        [](BallEngine* e, BallNode*) {
            EXPECT_EQ(e->convergeFrame, 0);
            EXPECT_EQ(e->ringCounter, 41);
        });
}

}  // namespace
