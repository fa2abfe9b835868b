#include <gtest/gtest.h>

#include <cstring>

#include "engine/kind_tables.h"
#include "engine/look_templates.h"
#include "engine/sine_tables.h"
#include "kind_test_helpers.h"

namespace {

TEST(KindGrowing, KindsWithoutARuleTakeTheDefault) {
    auto e = SpawnEngine(4);
    for (BallKind kind : {BallKind::Ordinary, BallKind::Glass, BallKind::SettingUp}) {
        BallNode* b = KindBall(e.get(), kind, 21, 14);
        ApplyGrowingRule(e.get(), b);
        EXPECT_EQ(b->look.ellipseWidth, 21);
        EXPECT_EQ(b->look.ellipseHeight, 14);
        EXPECT_EQ(b->look.normalRadius, 17);
    }
}

TEST(KindGrowing, Kind4SwaysOnOneAxis) {
    auto e = SpawnEngine(3);
    BallNode* b = KindBall(e.get(), BallKind::Swinger, 20, 16, FlagAxisB);
    b->look.normalRadius = 16;
    b->moveFrames = 20;  // index 10: 373 >> 7 = 2
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->vy, SIN32[10] >> 7);
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(b->look.normalRadius, 16);  // unchanged
    EXPECT_EQ(b->look.ellipseWidth, 20);
    BallNode* a = KindBall(e.get(), BallKind::Swinger, 20, 16, FlagAxisA);
    a->moveFrames = 48;  // index 24: -403 >> 7 = -4
    ApplyGrowingRule(e.get(), a);
    EXPECT_EQ(a->vx, -4);
    BallNode* n = KindBall(e.get(), BallKind::Swinger, 20, 16);
    n->vx = 7;
    n->moveFrames = 48;
    ApplyGrowingRule(e.get(), n);
    EXPECT_EQ(n->vx, 7);
}

TEST(KindGrowing, Kind5KeepsItsLongSideBelowFullSize) {
    auto e = SpawnEngine(2);
    BallNode* a = KindBall(e.get(), BallKind::Oval, 80, 80, FlagAxisA, 76);
    ApplyGrowingRule(e.get(), a);
    EXPECT_EQ(a->look.spriteWidth, 75);
    EXPECT_EQ(a->look.spriteHeight, 80);
    BallNode* b = KindBall(e.get(), BallKind::Oval, 80, 76, 0, 76);
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteHeight, 75);
    EXPECT_EQ(b->look.normalRadius, (80 + 75) >> 1);
}

TEST(KindGrowing, Kind6SquashesAndSways) {
    auto e = SpawnEngine(2);
    BallNode* a = KindBall(e.get(), BallKind::Bobber, 40, 40, FlagAxisA);
    a->moveFrames = 16;  // index 8: 403
    ApplyGrowingRule(e.get(), a);
    EXPECT_EQ(a->look.spriteHeight, 25);
    EXPECT_EQ(a->vy, (40 * 403) >> 13);
    EXPECT_EQ(a->look.normalRadius, (40 + 25) >> 1);
    BallNode* b = KindBall(e.get(), BallKind::Bobber, 40, 48);
    b->moveFrames = 48;  // index 24: -403
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 30);
    EXPECT_EQ(b->vx, (48 * -403) >> 13);  // arithmetic shift: -3
}

TEST(KindGrowing, Kind7SeeSaw) {
    auto e = SpawnEngine(4);
    BallNode* b = KindBall(e.get(), BallKind::SeeSaw, 30, 20, FlagAxisA);
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 31);
    EXPECT_EQ(b->look.spriteHeight, 19);
    EXPECT_FALSE(AxisA(b));
    EXPECT_EQ(b->look.normalRadius, 2 * 19 - 31);
    BallNode* c = KindBall(e.get(), BallKind::SeeSaw, 25, 21, FlagAxisA);
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 26);
    EXPECT_EQ(c->look.spriteHeight, 20);
    EXPECT_TRUE(AxisA(c));
    BallNode* d = KindBall(e.get(), BallKind::SeeSaw, 20, 26);
    ApplyGrowingRule(e.get(), d);
    EXPECT_TRUE(AxisA(d));  // 27 > 19 + 6
    EXPECT_EQ(d->look.normalRadius, 2 * 19 - 27);
    EXPECT_EQ(d->look.ellipseHeight, 27);
}

// Phase of a two-bit squash: 0 (clear, clear), 1 (A), 2 (B), 3 (A, B).
int Phase(const BallNode* b) {
    return (AxisA(b) ? 1 : 0) | (AxisB(b) ? 2 : 0);
}

TEST(KindGrowing, Kind8RunsItsFourPhasesInOrder) {
    auto e = SpawnEngine();
    BallNode* b = KindBall(e.get(), BallKind::Squasher, 30, 30);
    std::vector<int> phases{Phase(b)};
    for (int frame = 0; frame < 200 && phases.size() < 5; ++frame) {
        // The common update grows both sides by 2 (not moving).
        b->look.spriteWidth += 2;
        b->look.spriteHeight += 2;
        const int32_t hBefore = b->look.spriteHeight;
        const int32_t wBefore = b->look.spriteWidth;
        const int before = Phase(b);
        ApplyGrowingRule(e.get(), b);
        if (before == 0) {
            EXPECT_EQ(b->look.spriteHeight, hBefore - 1);
        }
        if (before == 3) {
            EXPECT_EQ(b->look.spriteWidth, wBefore - 1);
        }
        if (before == 3) {
            EXPECT_EQ(b->look.ellipseWidth, b->look.spriteHeight);
        }
        if (before == 0) {
            EXPECT_EQ(b->look.ellipseHeight, b->look.spriteWidth);
        }
        EXPECT_EQ(b->look.normalRadius, (b->look.spriteWidth + b->look.spriteHeight) >> 1);
        if (Phase(b) != phases.back()) phases.push_back(Phase(b));
    }
    EXPECT_EQ(phases, (std::vector<int>{0, 1, 3, 2, 0}));
}

TEST(KindGrowing, Kind8PhaseConditions) {
    auto e = SpawnEngine(4);
    BallNode* a = KindBall(e.get(), BallKind::Squasher, 30, 22, FlagAxisA);  // h 21: 30 > 29
    ApplyGrowingRule(e.get(), a);
    EXPECT_TRUE(AxisB(a));
    EXPECT_EQ(a->look.ellipseHeight, 21);
    BallNode* ab = KindBall(e.get(), BallKind::Squasher, 23, 22, FlagAxisA | FlagAxisB);
    ApplyGrowingRule(e.get(), ab);
    EXPECT_FALSE(AxisA(ab));  // w 22 <= h 22
    BallNode* bo = KindBall(e.get(), BallKind::Squasher, 14, 22, FlagAxisB);
    ApplyGrowingRule(e.get(), bo);
    EXPECT_FALSE(AxisB(bo));  // 22 > 13 + 8
    EXPECT_EQ(bo->look.ellipseWidth, 13);
}

TEST(KindGrowing, Kind9LoopsWithItsTables) {
    auto e = SpawnEngine(2);
    e->frameCount = 21;
    BallNode* b = KindBall(e.get(), BallKind::Looper, 20, 20, FlagAxisB);
    b->look.diffuseColour.r = 100;
    b->look.secondLight = 0xA00180;
    ApplyGrowingRule(e.get(), b);
    const int32_t k = (100 + 21) & 15;
    EXPECT_EQ(b->vx, LOOP16X[k]);
    EXPECT_EQ(b->vy, -LOOP16Y[k]);
    EXPECT_EQ(b->look.secondLight, 0xA00180 ^ 0x40004);
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.secondLight, 0xA00180);
}

TEST(KindGrowing, Kind10LopsidedSquash) {
    auto e = SpawnEngine(2);
    BallNode* a = KindBall(e.get(), BallKind::Lopsided, 30, 26, FlagAxisA);
    ApplyGrowingRule(e.get(), a);
    EXPECT_EQ(a->look.spriteWidth, 31);
    EXPECT_EQ(a->look.spriteHeight, 24);
    EXPECT_EQ(a->look.ellipseWidth, 12);
    EXPECT_TRUE(AxisA(a));  // 31 is not > 32
    ApplyGrowingRule(e.get(), a);
    EXPECT_FALSE(AxisA(a));  // 32 > 30
    BallNode* b = KindBall(e.get(), BallKind::Lopsided, 12, 30);
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 10);
    EXPECT_EQ(b->look.ellipseHeight, 8);  // max(10 >> 1, 8)
    EXPECT_TRUE(AxisA(b));                // 31 > 18
}

// The coin's light angle, bits 16 and up of lightDirection.
int32_t Angle(const BallNode* b) {
    return b->look.lightDirection >> 16;
}

TEST(KindGrowing, Kind11FlipsAndHoldsItsAngle) {
    for (uint32_t axis : {0u, FlagAxisA}) {
        auto e = SpawnEngine();
        BallNode* b = KindBall(e.get(), BallKind::Coin, 8, 8, axis | FlagAxisB, 120);
        b->vx = 1;
        int flips = 0;
        bool wasT = false;
        for (int frame = 0; frame < 55; ++frame) {
            b->look.spriteWidth += 2;
            b->look.spriteHeight += 2;
            ApplyGrowingRule(e.get(), b);
            const int32_t flip = axis ? b->look.spriteHeight : b->look.spriteWidth;
            const int32_t keep = axis ? b->look.spriteWidth : b->look.spriteHeight;
            if (keep >= 7) {
                EXPECT_GE(Angle(b), 0);
                EXPECT_LE(Angle(b), 120);
                EXPECT_GE(flip, 5);
                EXPECT_LE(flip, keep);
                EXPECT_EQ(b->look.lightDirection, b->look.secondLight);
                EXPECT_EQ(b->look.normalRadius, keep >> 3);
            }
            const bool t = (b->flags & FlagToggle) != 0;
            if (t != wasT) ++flips;
            wasT = t;
        }
        EXPECT_GE(flips, 4) << axis;
        // The coin drifts along its turning axis by vx each frame.
        EXPECT_EQ(axis ? b->y : b->x, (axis ? 400 : 500) + 55);
    }
}

TEST(KindGrowing, Kind11ClosingFlipIsHeldAtFive) {
    auto e = SpawnEngine(4);
    BallNode* b = KindBall(e.get(), BallKind::Coin, 41, 9, FlagAxisA | FlagAxisB, 120);
    ApplyGrowingRule(e.get(), b);  // 40 x 8, s 5: 3 becomes 5
    EXPECT_EQ(b->look.spriteWidth, 40);
    EXPECT_EQ(b->look.spriteHeight, 5);
    EXPECT_FALSE(AxisB(b));
    EXPECT_NE(b->flags & FlagToggle, 0u);
    EXPECT_EQ(b->look.lightDirection, (120 << 16) | 0x0100);
    BallNode* v = KindBall(e.get(), BallKind::Coin, 9, 41, FlagAxisB | FlagToggle, 120);
    ApplyGrowingRule(e.get(), v);
    EXPECT_EQ(v->look.spriteWidth, 5);
    EXPECT_EQ(v->flags & FlagToggle, 0u);
    EXPECT_EQ(v->look.lightDirection, 120 << 16);
    // Opening fully: the flip side equals the other, angle 0.
    BallNode* o = KindBall(e.get(), BallKind::Coin, 33, 31, FlagAxisA, 120);
    ApplyGrowingRule(e.get(), o);
    EXPECT_EQ(o->look.spriteHeight, 32);
    EXPECT_TRUE(AxisB(o));
    EXPECT_EQ(o->look.lightDirection, 0x0100);
    // A coin too small to turn only drifts.
    BallNode* s = KindBall(e.get(), BallKind::Coin, 7, 20, FlagAxisA, 120);
    s->vx = 3;
    s->look.lightDirection = 77;
    ApplyGrowingRule(e.get(), s);
    EXPECT_EQ(s->y, 403);
    EXPECT_EQ(s->look.lightDirection, 77);
}

TEST(KindGrowing, Kind14FillsTheLaunchSlotsEveryEightFrames) {
    auto e = SpawnEngine(2);
    BallNode* b = KindBall(e.get(), BallKind::Launcher, 40, 40);
    b->look.normalRadius = 20;
    b->vx = 2;
    b->vy = -2;
    b->moveFrames = 16;
    ApplyGrowingRule(e.get(), b);
    const int32_t v = ((6 * 20) >> 4) + 4;
    EXPECT_EQ(e->launchAX, 500 + v);
    EXPECT_EQ(e->launchAVx, 1);
    EXPECT_EQ(e->launchBX, 500 - v);
    EXPECT_EQ(e->launchBVx, -1);
    EXPECT_EQ(e->launchAY, 400 + v);
    EXPECT_EQ(e->launchAVy, 1);
    EXPECT_EQ(e->launchBY, 400 - v);
    EXPECT_EQ(e->launchBVy, -1);
    EXPECT_EQ(b->look.normalRadius, 40);  // then the default
    b->vy = 2;
    b->moveFrames = 8;
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(e->launchAY, 400 - (((6 * 40) >> 4) + 4));
    EXPECT_EQ(e->launchAVy, -1);
    e->launchAX = 0;
    b->moveFrames = 9;
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(e->launchAX, 0);
}

TEST(KindGrowing, Kind15HubTakesItsGrownLookOnce) {
    auto e = SpawnEngine(2);
    BallNode* hub = KindBall(e.get(), BallKind::Hub, 73, 73, 0, 76);
    ApplyGrowingRule(e.get(), hub);
    EXPECT_EQ(hub->look.spriteWidth, 73);
    EXPECT_EQ(e->hubChildrenToPlace, 0);
    EXPECT_EQ(hub->look.normalRadius, 146 >> 2);
    hub->look.spriteWidth = 75;  // > 76 - 2
    ApplyGrowingRule(e.get(), hub);
    EXPECT_EQ(hub->look.spriteWidth, 76);
    EXPECT_EQ(hub->look.spriteHeight, 76);
    EXPECT_EQ(hub->look.specularIndex, 4);
    EXPECT_EQ(e->hubChildrenToPlace, 8);
    EXPECT_EQ(std::memcmp(&hub->look.topColour, kLookTemplates[kHubGrownRow], 48), 0);
    EXPECT_EQ(hub->look.normalRadius, 38);
}

TEST(KindGrowing, Kind16BounceSquashLight) {
    auto e = SpawnEngine(4);
    BallNode* b = KindBall(e.get(), BallKind::Bouncer, 20, 10, FlagAxisA);
    b->vy = 2;
    ApplyGrowingRule(e.get(), b);
    // S = 256, G = 64 << 16, low word (-3 * 65536 >> 10) + 448 = 256.
    EXPECT_EQ(b->look.spriteWidth, 21);
    EXPECT_EQ(b->look.spriteHeight, 9);
    EXPECT_TRUE(AxisA(b) && AxisB(b));
    EXPECT_EQ(b->y, 398);
    EXPECT_EQ(b->look.lightDirection, 0x400100);
    EXPECT_EQ(b->look.ellipseWidth, 9);
    EXPECT_EQ(b->look.normalRadius, 9);

    BallNode* c =
        KindBall(e.get(), BallKind::Bouncer, 20, 30);  // clear, clear: S = (10 << 8) / 20 = 128
    c->vx = 3;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteHeight, 27);
    EXPECT_FALSE(AxisA(c));
    EXPECT_EQ(c->x, 497);
    EXPECT_EQ(c->look.lightDirection, ((128 - 16) << 16) | (48 + 320));
    EXPECT_EQ(c->look.ellipseHeight, 20);

    // (clear, set) with a negative low word: wraps into 16 bits.
    BallNode* d = KindBall(e.get(), BallKind::Bouncer, 10, 19, FlagAxisB);
    ApplyGrowingRule(e.get(), d);
    const int32_t s = (9 << 8) / 10, g = (128 - ((s * s) >> 10)) * 65536;
    EXPECT_EQ(d->look.lightDirection, g | ((((-3 * s * s) >> 10) - 320) & 0xFFFF));
    EXPECT_FALSE(AxisB(d));  // 20 >= 2 x 9
    // A side of 0 gives a flat light instead of a fault.
    BallNode* z = KindBall(e.get(), BallKind::Bouncer, 0, 0);
    ApplyGrowingRule(e.get(), z);
    EXPECT_EQ(z->look.lightDirection >> 16, 128);
}

TEST(KindGrowing, Kind17PulsarSizeFollowsATriangleWave) {
    auto e = SpawnEngine(2);
    for (int32_t m = 1; m < 300; ++m) {
        BallNode* b = KindBall(e.get(), BallKind::Pulsar, 200, 200, 0, 80);
        b->moveFrames = m;
        e->frameCount = 1;  // odd: no steering
        ApplyGrowingRule(e.get(), b);
        const int32_t tri = ((m & 0x40) ? ~m : m) & 0x3F;
        const int32_t d = std::max(80 - tri, 8);
        EXPECT_EQ(b->look.spriteWidth, std::min(d, 79)) << m;
        EXPECT_EQ(b->look.spriteHeight, std::min(d, 79)) << m;
        ReleaseBall(e.get(), b);
    }
    BallNode* end = KindBall(e.get(), BallKind::Pulsar, 10, 10, 0, 80);
    e->frameCount = 1;
    ApplyGrowingRule(e.get(), end);
    EXPECT_EQ(end->state, BallState::Shrinking);
    EXPECT_EQ(end->moveFrames, 30);
}

TEST(KindGrowing, Kind17SteersOnEvenFramesAndRetargets) {
    auto e = SpawnEngine(3);
    BallNode* p = KindBall(e.get(), BallKind::Pulsar, 20, 20, 0, 80);
    p->moveFrames = 100;
    BallNode* target = SpareNode(e.get());
    target->x = 900;  // dX 400: bX 12
    target->y = 380;  // dY -20: bY 0
    e->pulsarBall = target;
    e->frameCount = 2;
    p->vx = 6;
    p->vy = 0;
    ApplyGrowingRule(e.get(), p);
    // aimX = (128 * 12 + 512 - 500) >> 6 = 24: vx steps up; aimY = (384 - 400) >> 6 = -1.
    EXPECT_EQ(p->vx, 7);
    EXPECT_EQ(p->vy, -1);
    ApplyGrowingRule(e.get(), p);
    EXPECT_EQ(p->vx, 7);  // limited to 7
    e->frameCount = 3;
    p->vy = 5;
    ApplyGrowingRule(e.get(), p);
    EXPECT_EQ(p->vy, 5);  // odd frame: no steering
    target->x = 560;
    target->y = 420;
    e->frameCount = 4;
    ApplyGrowingRule(e.get(), p);
    EXPECT_EQ(e->pulsarBall, e->head);
}

TEST(KindGrowing, Kind18StretchCycle) {
    auto e = SpawnEngine(2);
    BallNode* b = KindBall(e.get(), BallKind::Stretcher, 24, 24);
    std::vector<int> phases{Phase(b)};
    for (int frame = 0; frame < 300 && phases.size() < 5; ++frame) {
        b->look.spriteWidth += 1;
        b->look.spriteHeight += 1;
        ApplyGrowingRule(e.get(), b);
        EXPECT_EQ(b->look.ellipseWidth, b->look.spriteWidth);
        if (Phase(b) != phases.back()) phases.push_back(Phase(b));
    }
    EXPECT_EQ(phases, (std::vector<int>{0, 2, 1, 3, 0}));
    BallNode* c = KindBall(e.get(), BallKind::Stretcher, 40, 30, FlagAxisA);
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 40 + (30 >> 3) + 3);
    EXPECT_EQ(c->look.spriteHeight, 29);
    EXPECT_EQ(c->look.normalRadius, 29);
}

TEST(KindGrowing, Kind19CyclesColoursOrLights) {
    auto e = SpawnEngine(3);
    BallNode* c = KindBall(e.get(), BallKind::ColourCycler, 30, 30, FlagCycle);
    std::memset(&c->look.topColour, 0, 48);
    c->moveFrames = 0x30;
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.topColour.r, (kLookTemplates[23][0] + 8) >> 4);
    EXPECT_EQ(c->look.specularColour.b, (kLookTemplates[23][11] + 8) >> 4);
    c->moveFrames = 0x18;  // (m & 0x18) == 0x18: no shrink; row 24
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 30);
    c->moveFrames = 0x28;  // shrinks by 2; row 19
    ApplyGrowingRule(e.get(), c);
    EXPECT_EQ(c->look.spriteWidth, 28);

    BallNode* l = KindBall(e.get(), BallKind::ColourCycler, 30, 30);
    l->moveFrames = 0x13;
    ApplyGrowingRule(e.get(), l);
    EXPECT_EQ(l->look.lightDirection, 3 << 21);
    EXPECT_EQ(l->look.secondLight, (13 << 22) | 0x200);
    l->flags = FlagVortex;
    l->moveFrames = 0x23;
    ApplyGrowingRule(e.get(), l);
    EXPECT_EQ(l->look.lightDirection, 13 << 21);
    EXPECT_EQ(l->look.secondLight, (3 << 22) | 0x200);
}

TEST(KindGrowing, Kind20RollerCarriesSubPixels) {
    auto e = SpawnEngine(2);
    BallNode* b = KindBall(e.get(), BallKind::Roller, 80, 80, 0, 77);  // S = 76
    e->rollerBall = b;
    e->rollerX = 300;
    e->rollerY = 200;
    e->rollerSubX = 250;
    e->rollerSubY = 5;
    b->vx = 10;
    b->vy = -10;
    b->moveFrames = 50;
    ApplyGrowingRule(e.get(), b);
    EXPECT_EQ(b->look.spriteWidth, 76);
    EXPECT_EQ(e->rollerSubX, 4);
    EXPECT_EQ(e->rollerX, 301);
    EXPECT_EQ(e->rollerSubY, 251);
    EXPECT_EQ(e->rollerY, 199);
    EXPECT_EQ(b->x, 301);
    EXPECT_EQ(b->y, 199);
    EXPECT_EQ(b->look.normalRadius, 76);

    // Still growing: sub-positions follow the parity of the sides.
    BallNode* g = KindBall(e.get(), BallKind::Roller, 21, 30, 0, 77);
    e->rollerSubX = 0;
    e->rollerSubY = 0;
    ApplyGrowingRule(e.get(), g);
    EXPECT_EQ(e->rollerSubX, 128);
    EXPECT_EQ(e->rollerSubY, 0);
}

TEST(KindGrowing, Kind20RollerSlowsAndStops) {
    auto e = SpawnEngine(2);
    BallNode* b = KindBall(e.get(), BallKind::Roller, 78, 78, 0, 77);
    e->rollerBall = b;
    e->rollerSubX = 100;
    e->rollerSubY = 10;
    b->vx = 64;
    b->vy = 4;
    b->moveFrames = 1;
    ApplyGrowingRule(e.get(), b);
    // x: 164 > 17, vx limited to 16; y: 14 <= 17 stops.
    EXPECT_EQ(b->vx, 16);
    EXPECT_EQ(b->vy, 0);
    EXPECT_EQ(e->rollerSubY, 0);
    EXPECT_EQ(b->moveFrames, 2);
    EXPECT_EQ(b->state, BallState::Growing);

    e->rollerSubX = 2;
    b->vx = 8;
    b->moveFrames = 1;
    b->look.spriteWidth = b->look.spriteHeight = 80;  // grown: the roller rolls
    ApplyGrowingRule(e.get(), b);                     // 10 and 0: both stop
    EXPECT_EQ(b->vx, 0);
    EXPECT_EQ(b->moveFrames, 0);
    EXPECT_EQ(b->state, BallState::Shrinking);

    // A roller that never reached its size takes the size it has.
    BallNode* s = KindBall(e.get(), BallKind::Roller, 41, 50, 0, 77);
    s->moveFrames = 1;
    e->rollerSubX = e->rollerSubY = 0;
    ApplyGrowingRule(e.get(), s);
    EXPECT_EQ(s->fullSize, 42);
}

}  // namespace
