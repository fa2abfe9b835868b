#include <gtest/gtest.h>

#include "engine/kind_tables.h"
#include "engine/sine_tables.h"
#include "kind_test_helpers.h"

namespace {

int Phase(const BallNode* b) {
    return (AxisA(b) ? 1 : 0) | (AxisB(b) ? 2 : 0);
}

TEST(KindShrinking, DefaultAndKind4) {
    auto e = SpawnEngine(8);
    for (BallKind kind : {BallKind::Ordinary, BallKind::Glass, BallKind::Lopsided, BallKind::Chaser,
                          BallKind::Dropper, BallKind::Pulsar}) {
        BallNode* b = KindBall(e.get(), kind, 30, 20);
        ApplyShrinkingRule(e.get(), b);
        EXPECT_EQ(b->look.ellipseWidth, 30) << kind;
        EXPECT_EQ(b->look.normalRadius, 25) << kind;
    }
    BallNode* four = KindBall(e.get(), BallKind::Swinger, 30, 20);
    four->look.normalRadius = 16;
    ApplyShrinkingRule(e.get(), four);
    EXPECT_EQ(four->look.ellipseHeight, 20);
    EXPECT_EQ(four->look.normalRadius, 16);
}

TEST(KindShrinking, Kind5NotBelowEight) {
    auto e = SpawnEngine(3);
    BallNode* a = KindBall(e.get(), BallKind::Oval, 30, 20, FlagAxisA);
    ApplyShrinkingRule(e.get(), a);
    EXPECT_EQ(a->look.spriteWidth, 29);
    EXPECT_EQ(a->look.spriteHeight, 20);
    BallNode* b = KindBall(e.get(), BallKind::Oval, 30, 8);
    ApplyShrinkingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteHeight, 8);
    BallNode* c = KindBall(e.get(), BallKind::Oval, 30, 5);
    ApplyShrinkingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteHeight, 8);
}

TEST(KindShrinking, Kind6HalvesTheOtherSide) {
    auto e = SpawnEngine(2);
    BallNode* a = KindBall(e.get(), BallKind::Bobber, 40, 40, FlagAxisA);
    a->moveFrames = 16;
    ApplyShrinkingRule(e.get(), a);
    EXPECT_EQ(a->look.spriteHeight, 20);
    EXPECT_EQ(a->look.ellipseWidth, 20);
    EXPECT_EQ(a->vy, (40 * 403) >> 13);
    EXPECT_EQ(a->look.normalRadius, 30);
    BallNode* b = KindBall(e.get(), BallKind::Bobber, 40, 30);
    ApplyShrinkingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 15);
    EXPECT_EQ(b->look.ellipseHeight, 15);
}

TEST(KindShrinking, Kind7FlipsWithAMarginOfEight) {
    auto e = SpawnEngine(2);
    BallNode* a = KindBall(e.get(), BallKind::SeeSaw, 26, 20, FlagAxisA);
    ApplyShrinkingRule(e.get(), a);  // 27 x 19: 27 is not > 27
    EXPECT_TRUE(AxisA(a));
    ApplyShrinkingRule(e.get(), a);  // 28 x 18
    EXPECT_FALSE(AxisA(a));
    EXPECT_EQ(a->look.normalRadius, 2 * 18 - 28);
}

TEST(KindShrinking, Kind8RunsItsPhasesBackward) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Squasher, 40, 40);
    std::vector<int> phases{Phase(b)};
    for (int frame = 0; frame < 200 && phases.size() < 5; ++frame) {
        b->look.spriteWidth -= 2;
        b->look.spriteHeight -= 2;
        ApplyShrinkingRule(e.get(), b);
        EXPECT_EQ(b->look.normalRadius, (b->look.spriteWidth + b->look.spriteHeight) >> 1);
        if (Phase(b) != phases.back()) phases.push_back(Phase(b));
    }
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 3, 2, 0}));
}

TEST(KindShrinking, Kind9And14AsWhenGrowing) {
    auto e = SpawnEngine(2);
    e->frameCount = 3;
    BallNode* b = KindBall(e.get(), BallKind::Looper, 20, 20, FlagAxisA);
    b->look.diffuseColour.r = 0;
    ApplyShrinkingRule(e.get(), b);
    EXPECT_EQ(b->vx, -LOOP16X[3]);
    EXPECT_EQ(b->vy, LOOP16Y[3]);
    BallNode* l = KindBall(e.get(), BallKind::Launcher, 20, 20);
    l->look.normalRadius = 16;
    l->moveFrames = 0;
    ApplyShrinkingRule(e.get(), l);
    EXPECT_EQ(e->launchAX, 500 + ((6 * 16) >> 4) + 4);
}

TEST(KindShrinking, Kind11EndsAtTenAndNeverFaultsOnAClosedSide) {
    auto e = SpawnEngine(4);
    BallNode* a = KindBall(e.get(), BallKind::Coin, 9, 30, FlagAxisA | FlagAxisB);
    ApplyShrinkingRule(e.get(), a);
    EXPECT_EQ(a->state, BallState::Retiring);  // w 10
    EXPECT_EQ(a->look.spriteWidth, 10);

    // The flip side can pass below 0 while the coin is large.
    BallNode* n = KindBall(e.get(), BallKind::Coin, 100, 5, FlagAxisA | FlagAxisB);
    ApplyShrinkingRule(e.get(), n);  // 101 x 6, s 12: -6, then +2
    EXPECT_EQ(n->look.spriteHeight, -4);
    EXPECT_FALSE(AxisB(n));
    EXPECT_EQ(Phase(n) & 1, 1);
    EXPECT_EQ(n->look.lightDirection >> 16, 0);  // negative quotient clamps to 0
    EXPECT_EQ(n->state, BallState::Growing);

    BallNode* z = KindBall(e.get(), BallKind::Coin, 96, 9, FlagAxisA | FlagAxisB);
    ApplyShrinkingRule(e.get(), z);  // 97 x 10, s 12: -2, then 0
    EXPECT_EQ(z->look.spriteHeight, 0);
    EXPECT_EQ(z->look.lightDirection >> 16, 120);  // edge-on instead of a division by 0

    BallNode* v =
        KindBall(e.get(), BallKind::Coin, 20, 40, FlagToggle);  // turning about the vertical
    ApplyShrinkingRule(e.get(), v);                             // 21 x 41, s 5: 26
    EXPECT_EQ(v->look.spriteWidth, 26);
    EXPECT_EQ(v->look.lightDirection, (((41 - 26) * 160 / 26) << 16) | 0x200);
    EXPECT_EQ(v->look.normalRadius, 41 >> 3);
}

TEST(KindShrinking, Kind15PushesItsChildrenEveryFourthFrame) {
    auto e = SpawnEngine(10);
    BallNode* hub = KindBall(e.get(), BallKind::Hub, 70, 50, FlagAxisA, 76);
    BallNode* kids[8];
    for (int k = 0; k < 8; ++k) {
        kids[k] = KindBall(e.get(), BallKind::Ordinary, 20, 20);
        e->hubChildren[k] = k == 5 ? nullptr : kids[k];
    }
    e->frameCount = 8;
    ApplyShrinkingRule(e.get(), hub);
    EXPECT_EQ(hub->look.ellipseWidth, 38);
    EXPECT_EQ(hub->look.ellipseHeight, 38);
    EXPECT_EQ(hub->look.normalRadius, 60);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(kids[k]->vx, k == 5 ? 0 : HUBPUSH1X[k]) << k;
        EXPECT_EQ(kids[k]->vy, k == 5 ? 0 : HUBPUSH1Y[k]) << k;
    }
    e->frameCount = 9;
    ApplyShrinkingRule(e.get(), hub);
    EXPECT_EQ(kids[0]->vx, HUBPUSH1X[0]);
    hub->flags = FlagAxisA | FlagAxisB;
    e->frameCount = 12;
    ApplyShrinkingRule(e.get(), hub);
    EXPECT_EQ(kids[0]->vx, HUBPUSH1X[0] + HUBPUSH3X[0]);
    hub->flags = FlagAxisB;
    e->frameCount = 16;
    ApplyShrinkingRule(e.get(), hub);
    EXPECT_EQ(kids[7]->vy, HUBPUSH1Y[7] + HUBPUSH3Y[7] + HUBPUSH2Y[7]);
    hub->flags = 0;
    e->frameCount = 20;
    ApplyShrinkingRule(e.get(), hub);
    EXPECT_EQ(kids[7]->vy, HUBPUSH1Y[7] + HUBPUSH3Y[7] + HUBPUSH2Y[7]);
}

TEST(KindShrinking, Kind16MovesWhileItSquashes) {
    auto e = SpawnEngine(2);
    BallNode* ab = KindBall(e.get(), BallKind::Bouncer, 30, 20, FlagAxisA | FlagAxisB);
    ab->vx = 2;
    ab->vy = 3;
    ApplyShrinkingRule(e.get(), ab);
    EXPECT_EQ(ab->look.spriteWidth, 27);
    EXPECT_EQ(ab->x, 502);
    EXPECT_EQ(ab->y, 397);
    EXPECT_TRUE(AxisA(ab));
    const int32_t s = (10 << 8) / 20;
    EXPECT_EQ(ab->look.lightDirection,
              ((128 - ((s * s) >> 10)) << 16) | (((3 * s * s) >> 10) + 64));
    BallNode* n = KindBall(e.get(), BallKind::Bouncer, 20, 25);
    n->vx = 1;
    n->vy = 1;
    ApplyShrinkingRule(e.get(), n);
    EXPECT_EQ(n->look.spriteHeight, 22);
    EXPECT_EQ(n->y, 401);
    EXPECT_EQ(n->x, 499);
    EXPECT_FALSE(AxisA(n));
}

TEST(KindShrinking, Kind18ShrinkCycleFlipsBoth) {
    auto e = SpawnEngine(2);
    BallNode* b = KindBall(e.get(), BallKind::Stretcher, 20, 24, FlagAxisB);
    ApplyShrinkingRule(e.get(), b);  // h 24 - 3 = 21 > 20
    EXPECT_EQ(b->look.spriteHeight, 21);
    EXPECT_EQ(Phase(b), 2);
    ApplyShrinkingRule(e.get(), b);  // 18 <= 20: both flipped
    EXPECT_EQ(Phase(b), 1);
    EXPECT_EQ(b->look.normalRadius, 20);
    BallNode* c = KindBall(e.get(), BallKind::Stretcher, 20, 20);
    ApplyShrinkingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 21);
    EXPECT_EQ(c->look.spriteHeight, 25);
}

TEST(KindShrinking, Kind19HasNoExtraShrink) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::ColourCycler, 30, 30);
    b->moveFrames = 8;
    ApplyShrinkingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 30);
    EXPECT_EQ(b->look.lightDirection, (16 - 8) << 21 | 0x200);
}

TEST(KindShrinking, Kind20FadesOut) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Roller, 60, 60, 0, 77);  // S 76
    b->state = BallState::Shrinking;
    e->rollerX = 123;
    e->rollerY = 45;
    ApplyShrinkingRule(e.get(), b);
    const int32_t start = 76 + 38 + 256;
    EXPECT_EQ(b->moveFrames, start);
    EXPECT_EQ(b->look.spriteWidth, 76);
    EXPECT_EQ(b->look.normalRadius, 19 + ((start - 256) >> 1));
    EXPECT_EQ(b->x, 123);
    EXPECT_EQ(b->y, 45);
    // The frame step counts moveFrames down; the rule reads the result.
    for (int32_t m = start - 1; m >= 1; --m) {
        b->moveFrames = m;
        ApplyShrinkingRule(e.get(), b);
        if (m == 256) {
            EXPECT_EQ(b->look.lightDirection, 0);
            EXPECT_EQ(b->look.specularIndex, 1);
            EXPECT_EQ(b->look.normalRadius, 19);
        }
        if (m == 254) {
            EXPECT_EQ(b->look.lightDirection, 0x800180);
            EXPECT_EQ(b->look.specularIndex, 3);
        }
        if (m < 256) {
            EXPECT_EQ(b->look.opacityControl, m - 256);
        }
        EXPECT_EQ(b->state, m == 1 ? BallState::Retiring : BallState::Shrinking) << m;
    }
}

}  // namespace
