#include <gtest/gtest.h>

#include <cstring>

#include "engine/look_templates.h"
#include "kind_test_helpers.h"

namespace {

// A chaser with plenty of life left; moveFrames' low half is the life.
BallNode* Chaser(BallEngine* e, uint32_t flags = 3) {
    BallNode* c = KindBall(e, BallKind::Chaser, 30, 30, flags, 76);
    c->moveFrames = (0x1234 << 16) | 0x0100;
    e->chaserBall = c;
    return c;
}

// A followed ball of a special kind at (x, y) with the given size.
BallNode* Target(BallEngine* e, BallKind kind, int32_t x, int32_t y, int32_t w, int32_t h) {
    BallNode* t = SpareNode(e);
    t->kind = kind;
    t->x = x;
    t->y = y;
    t->vx = 0;
    t->vy = 0;
    t->look.spriteWidth = w;
    t->look.spriteHeight = h;
    t->look.normalRadius = 20;
    t->opacityBoost = 0;
    e->lookBall = t;
    return t;
}

TEST(ChaserRule, EndsWhenItsLifeRunsOut) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get());
    c->moveFrames = 0x70000;
    c->stamp = 40;
    c->look.ellipseWidth = 3;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->state, BallState::Shrinking);
    EXPECT_EQ(c->stamp, 0);
    EXPECT_EQ(e->chaserBall, nullptr);
    EXPECT_EQ(c->look.ellipseWidth, 3);  // nothing more this frame
}

TEST(ChaserRule, WithoutALookBallItBlendsTowardItsRowOnOddFrames) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get());
    e->lookBall = nullptr;
    std::memset(&c->look.topColour, 0, 48);
    c->look.normalRadius = 3;
    e->frameCount = 2;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.topColour.r, 0);
    EXPECT_EQ(c->look.normalRadius, 8);  // at least 8
    e->frameCount = 3;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.topColour.r, (kLookTemplates[12][0] + 16) >> 5);
    EXPECT_EQ(c->look.specularColour.g, (kLookTemplates[12][10] + 16) >> 5);
}

TEST(ChaserRule, FollowsASpecialBallsSizeLookAndOpacity) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get());
    BallNode* t = Target(e.get(), BallKind::SeeSaw, 900, 400, 60, 20);
    t->opacityBoost = 33;
    t->look.topColour.r = 250;
    c->look.topColour.r = 10;
    c->stamp = 5;
    e->frameCount = 1;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->opacityBoost, 33);
    EXPECT_EQ(c->stamp, 3);
    EXPECT_EQ(c->look.opacityControl, 3);
    EXPECT_EQ(c->look.spriteWidth, (60 + 3 * 30) >> 2);
    EXPECT_EQ(c->look.spriteHeight, (20 + 30 * 30 + 16) >> 5);
    EXPECT_EQ(c->look.normalRadius, (((30 + 30 + 10) >> 1) + 20) >> 1);
    EXPECT_EQ(c->look.topColour.r, (250 + 31 * 10 + 16) >> 5);
    EXPECT_EQ(c->look.ellipseWidth, c->look.spriteWidth);

    // Sizes stay below fullSize.
    t->look.spriteWidth = 200;
    c->look.spriteWidth = 90;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 75);
}

TEST(ChaserRule, OrdinaryLookBallRaisesOpacityOrCycles) {
    auto e = SpawnEngine(2);
    BallNode* c = Chaser(e.get());
    Target(e.get(), BallKind::Ordinary, 600, 400, 30, 30);
    c->stamp = 159;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->stamp, 160);
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->stamp, 160);
    EXPECT_EQ(c->look.opacityControl, 160);
    EXPECT_EQ(c->look.normalRadius, (30 + 30 + 10) >> 1);

    BallNode* cy = Chaser(e.get(), 3 | FlagCycle);
    Target(e.get(), BallKind::Ordinary, 600, 400, 30, 30);
    for (int i = 0; i < 12; ++i)
        e->lookCache[3 + i] = 240;
    std::memset(&cy->look.topColour, 0, 48);
    e->frameCount = 0x105;  // bit 0x80 clear: radius shrinks, colours from the cache
    ApplyGrowingRule(e.get(), cy);
    EXPECT_EQ(cy->look.normalRadius, std::max((30 + 30 + 10 - 5) >> 1, 8));
    EXPECT_EQ(cy->look.topColour.r, (240 + 16) >> 5);
    EXPECT_EQ(e->lookBall->kind, BallKind::Ordinary);
    e->frameCount = 0x185;
    ApplyGrowingRule(e.get(), cy);
    EXPECT_EQ(cy->look.normalRadius, 8);  // (70 + 5 - 127) >> 1 is negative
    e->frameCount = 0x200;
    ApplyGrowingRule(e.get(), cy);
    EXPECT_EQ(e->lookBall, nullptr);  // lets go every 256 frames
}

TEST(ChaserRule, CycleCopiesTheVariantOfAKindThreeBall) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get(), 3 | FlagCycle);
    BallNode* t = Target(e.get(), BallKind::Glass, 600, 400, 30, 30);
    t->flags = FlagVariant;
    ApplyGrowingRule(e.get(), c);
    EXPECT_NE(c->flags & FlagVariant, 0u);
    EXPECT_EQ(c->look.opacityControl, 48);
    t->flags = 0;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->flags & FlagVariant, 0u);
    EXPECT_EQ(c->look.opacityControl, 0);
}

// vx after one steering step toward a target dx away on x (dy 0, zero-sized target).
int32_t SteerX(int32_t dx, int32_t vx, int32_t lv) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get());
    BallNode* t = Target(e.get(), BallKind::SeeSaw, 500 + dx, 400, 0, 0);
    t->vx = lv;
    c->vx = vx;
    c->moveFrames = 0x10;  // even
    ApplyGrowingRule(e.get(), c);
    return c->vx;
}

TEST(ChaserSteering, BandsAheadOfTheTarget) {
    // e = dx + (|dx| >> 2).
    EXPECT_EQ(SteerX(80, 0, 0), 1);  // e 100 > 84: speed up
    EXPECT_EQ(SteerX(80, 5, 0), 5);  // but not past lv + 5
    EXPECT_EQ(SteerX(64, 3, 0), 2);  // e 80: ease off toward lv + 1
    EXPECT_EQ(SteerX(64, 1, 0), 1);
    EXPECT_EQ(SteerX(56, 0, 0), 1);  // e 70: start moving
    EXPECT_EQ(SteerX(56, 0, -2), -1);
    EXPECT_EQ(SteerX(56, 3, 0), 3);
    EXPECT_EQ(SteerX(40, 3, 0), 2);  // e 50: too close
    EXPECT_EQ(SteerX(40, 3, -1), 4);
    EXPECT_EQ(SteerX(0, 0, 0), -1);
}

TEST(ChaserSteering, BandsBehindTheTarget) {
    EXPECT_EQ(SteerX(-80, 0, 0), -1);   // e -100
    EXPECT_EQ(SteerX(-80, -5, 0), -5);  // not below lv - 5
    EXPECT_EQ(SteerX(-64, -3, 0), -2);  // e -80: up toward lv - 1
    EXPECT_EQ(SteerX(-56, 0, 0), 1);    // e -70
    EXPECT_EQ(SteerX(-56, 0, -1), -1);
    EXPECT_EQ(SteerX(-40, 0, 0), -1);  // e -50
    EXPECT_EQ(SteerX(-40, 0, -3), 1);
}

TEST(ChaserSteering, ToggleHalvesTheSpacingArithmetically) {
    // Cycle: z = 152 - 201 = -49; halved with T: -25 (not -24). dx 57, dy 3:
    // U = (60 - 25) >> 2 = 8 and e = 65, just inside the "too close" band.
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get(), 3 | FlagCycle | FlagToggle);
    Target(e.get(), BallKind::SeeSaw, 557, 403, 100, 101);
    c->vx = 2;
    c->moveFrames = 0x20;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->vx, 1);
}

TEST(ChaserSteering, OnlyOnEvenLife) {
    auto e = SpawnEngine();
    BallNode* c = Chaser(e.get());
    Target(e.get(), BallKind::SeeSaw, 580, 400, 0, 0);
    c->vx = 0;
    c->moveFrames = 0x11;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->vx, 0);
}

// Wander of a chaser at (x, y) in a frame whose life is a multiple of 32.
BallNode* Wandered(BallEngine* e, int32_t x, int32_t y, int32_t vx, int32_t vy, int32_t high = 0) {
    BallNode* c = Chaser(e);
    e->lookBall = nullptr;
    c->x = x;
    c->y = y;
    c->vx = vx;
    c->vy = vy;
    c->moveFrames = (high << 16) | 0x40;
    ApplyGrowingRule(e, c);
    return c;
}

TEST(ChaserWander, TurnsBackAtTheEdges) {
    auto e = SpawnEngine(8);
    EXPECT_EQ(Wandered(e.get(), 39, 400, -1, 0)->vx, 1);
    EXPECT_EQ(Wandered(e.get(), 985, 400, 1, 0)->vx, -1);
    EXPECT_EQ(Wandered(e.get(), 500, 39, 0, -1)->vy, 1);
    EXPECT_EQ(Wandered(e.get(), 500, 729, 0, 1)->vy, -1);
    BallNode* c = Wandered(e.get(), 40, 40, 0, 0);  // not near an edge: random word
    EXPECT_FALSE(c->vx == 0 && c->vy == 0);
}

TEST(ChaserWander, MakesANewWordFromItsLife) {
    auto e = SpawnEngine(2);
    e->frameCount = 5;
    BallNode* c = Wandered(e.get(), 500, 400, 3, 0, 0x0001);
    // n = (m >> 1) | (bit 16 of m) << 31, plus F << 15; the life stays.
    const uint32_t m = (1u << 16) | 0x40;
    const uint32_t n = ((m >> 1) | (1u << 31)) + (5u << 15);
    EXPECT_EQ(static_cast<uint32_t>(c->moveFrames), (n & 0xFFFF0000u) | 0x40);  // 0x80030040
    // 0x10000 and 0x20000: vx (eased from 3 to 2 first) stops; with both still,
    // none of 0x100000, 0x200000, 0x400000 is set: vx = -1.
    EXPECT_EQ(c->vx, -1);
    EXPECT_EQ(c->vy, 0);

    e->frameCount = 2;
    BallNode* d = Wandered(e.get(), 500, 400, 3, 0, 0);
    EXPECT_EQ(d->moveFrames, 0x10040);  // (0x20 + (2 << 15)): high half 1
    EXPECT_EQ(d->vy, 1);                // 0x20000 clear: vy starts, up (0x40000 clear)
    EXPECT_EQ(d->vx, 2);
}

TEST(ChaserWander, StillChaserPicksADirectionOnlyInWanderFrames) {
    auto e = SpawnEngine(4);
    // Near the left edge vx becomes 1 anyway; use a still chaser in the middle whose
    // new word leaves both velocities 0: 0x10000 clear.
    BallNode* c = Chaser(e.get());
    e->lookBall = nullptr;
    c->vx = 0;
    c->vy = 0;
    c->moveFrames = 0x48;  // a multiple of 8 but not of 32: no wander
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->vx, 0);
    EXPECT_EQ(c->vy, 0);
    c->moveFrames = 0x40;
    e->frameCount = 0;
    ApplyGrowingRule(e.get(), c);
    const int32_t m = c->moveFrames;
    if ((m & 0x10000) == 0) {
        const int32_t vx = (m & 0x100000) ? 1 : 0;
        const int32_t vy = (m & 0x100000) ? 0 : ((m & 0x200000) ? 1 : ((m & 0x400000) ? -1 : 0));
        EXPECT_EQ(c->vx, vx != 0 ? vx : (vy != 0 ? 0 : -1));
        EXPECT_EQ(c->vy, vy);
    }
    EXPECT_FALSE(c->vx == 0 && c->vy == 0);
}

}  // namespace
