#include <gtest/gtest.h>

#include "engine/look_templates.h"
#include "spawner_test_helpers.h"

namespace {

TEST(OrdinaryBall, FieldsFollowTheDraws) {
    // r2: vx from 0x80 (+1), vy from 0x200 (+1), bounce X (0xC00 clear), 0x3000 set.
    const uint32_t seed = FindSeed([](const int32_t* r) {
        const int32_t r2 = r[1], r3 = r[2];
        return PlainR2(r2) && (r2 & 0x40) == 0 && (r2 & 0x80) && (r2 & 0x100) == 0 &&
               (r2 & 0x200) && (r2 & 0xC00) == 0 && (r2 & 0x3000) == 0x1000 && (r3 & 0xF) &&
               (r3 & 0x80) == 0 && (r3 & 0x300) && (r3 & 0xC00);
    });
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), seed);
    DrawReplay g{seed};
    const int32_t r1 = g.Next(), r2 = g.Next(), r3 = g.Next(), r4 = g.Next();
    const int32_t px = r1 & 0x7F, py = (r1 >> 7) & 0x7F;
    EXPECT_EQ(b->kind, BallKind::Ordinary);
    EXPECT_EQ(b->state, BallState::Growing);
    EXPECT_EQ(b->opacityBoost, 64);  // Normal style
    EXPECT_EQ(b->fullSize, 15 + (((r2 & 0x17) * e->sizeScale) >> 16));
    EXPECT_EQ(b->vx, 1);
    EXPECT_EQ(b->vy, 1);
    EXPECT_EQ(b->moveFrames, (r3 & 0x1F) + b->fullSize);
    EXPECT_EQ(b->stamp, 0);
    EXPECT_EQ(b->x, (px * 1024) >> 7);
    EXPECT_EQ(b->y, (py * 768) >> 7);
    uint32_t flags = FlagBounceX;
    if (r4 & 1) flags |= FlagWobble;
    if (r4 & 2) flags |= FlagWobbleAlt;
    EXPECT_EQ(b->flags, flags);
    const int32_t a = r4 & 0x7F, red = (r4 >> 4) & 0x7F, c = (r4 >> 8) & 0x7F;
    EXPECT_EQ(b->look.diffuseColour.g, 128 + a);
    EXPECT_EQ(b->look.topColour.g, 64 + (a >> 1));
    EXPECT_EQ(b->look.rimColour.g, 64 + (a >> 2));
    EXPECT_EQ(b->look.specularColour.g, 192 + (a >> 1));
    EXPECT_EQ(b->look.diffuseColour.r, red);
    EXPECT_EQ(b->look.specularColour.r, 128 + (red >> 2));
    EXPECT_EQ(b->look.topColour.b, c >> 1);
    EXPECT_EQ(b->look.specularColour.b, 128 + (c >> 2));
    EXPECT_EQ(b->look.spriteWidth, 8);
    EXPECT_EQ(b->look.ellipseHeight, 8);
    EXPECT_EQ(b->look.secondLight, -1);
    EXPECT_EQ(b->look.shadingFlags, 16);
    if (r4 & 0x4000) {
        EXPECT_EQ(b->look.specularIndex, 6);
        EXPECT_EQ(b->look.lightDirection, 0x980180);
        EXPECT_EQ(b->look.backLight, 8);
    } else {
        EXPECT_EQ(b->look.specularIndex, 4);
        EXPECT_EQ(b->look.lightDirection, 0x880180);
        EXPECT_EQ(b->look.backLight, (r4 & 0x2000) ? 14 : -16);
    }
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

TEST(OrdinaryBall, FastInTheMiddleBandOnly) {
    auto inBand = [](int32_t p) { return p > 32 && p < 96; };
    const uint32_t seed = FindSeed([&](const int32_t* r) {
        const int32_t px = r[0] & 0x7F, py = (r[0] >> 7) & 0x7F;
        return PlainR2(r[1]) && (r[1] & 0xC0) == 0 && (r[1] & 0x300) == 0x200 &&
               (r[2] & 0xF00) == 0 && inBand(px) && !inBand(py);
    });
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->vx, -5);
    EXPECT_EQ(b->vy, 1);  // py outside 33..95
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

TEST(GroupEvents, R2NineStartsAConvergeBurstAndAWind) {
    const uint32_t seed = FindSeed([](const int32_t* r) { return r[1] == 9 && !(r[2] & 0x80); });
    auto e = SpawnEngine();
    e->frameCount = 100;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    DrawReplay g{seed};
    const int32_t r1 = g.Next();
    EXPECT_EQ(e->convergeFrame, 128);
    EXPECT_EQ(e->convergeX, (1024 * (r1 & 0x7F)) >> 7);
    EXPECT_EQ(e->convergeY, (768 * ((r1 >> 7) & 0x7F)) >> 7);
    EXPECT_EQ(e->convergeLeft, 27);  // the ball itself is the first of the burst
    EXPECT_EQ(b->fullSize, 34);
    EXPECT_EQ(e->wind, 399);  // the new wind, direction 0, already pushed this ball
    EXPECT_EQ(e->ringCounter, 0);
}

TEST(GroupEvents, RingStartsWhenNoConvergeBurstStarts) {
    const uint32_t even = FindSeed([](const int32_t* r) {
        return (r[1] & 0xFF) && (r[1] & 0x7FF0) == 0 && !(r[1] & 1) && !(r[1] & 8);
    });
    auto e = SpawnEngine();
    SpawnWithSeed(e.get(), even);
    DrawReplay g{even};
    const int32_t r1 = g.Next();
    EXPECT_EQ(e->ringCounter, 100);  // even: no ring ball in this call
    EXPECT_EQ(e->ringX, (1024 * (r1 & 0x7F)) >> 7);
    EXPECT_EQ(e->convergeLeft, 0);
    EXPECT_EQ(e->wind, 0);

    // An odd r2 while a burst runs starts a ring instead; a running ring blocks it.
    const uint32_t odd = FindSeed([](const int32_t* r) {
        return (r[1] & 0xFF) && (r[1] & 0x7FF0) == 0 && (r[1] & 1) && !(r[1] & 8);
    });
    auto busy = SpawnEngine();
    busy->convergeLeft = 5;
    SpawnWithSeed(busy.get(), odd);
    EXPECT_EQ(busy->ringCounter, 100);
    auto ringing = SpawnEngine();
    ringing->convergeLeft = 5;
    ringing->ringCounter = 41;
    SpawnWithSeed(ringing.get(), odd);
    EXPECT_NE(ringing->ringCounter, 100);
}

}  // namespace
