#include <gtest/gtest.h>

#include <cstring>

#include "engine/look_templates.h"
#include "spawner_test_helpers.h"

namespace {

// A seed whose second draw makes a special ball and whose third selects row s,
// with (r3 & mask) == bits.
uint32_t SpecialSeed(int32_t s, int32_t mask = 0, int32_t bits = 0, int32_t r1Mask = 0,
                     int32_t r1Bits = 0) {
    return FindSeed([&](const int32_t* r) {
        return (r[1] & 0xFF) == 0 && ((r[2] >> 8) & 15) == s && (r[2] & mask) == bits &&
               (r[0] & r1Mask) == r1Bits;
    });
}

int32_t R(uint32_t seed, int i) {
    DrawReplay g{seed};
    int32_t v = 0;
    for (int k = 0; k <= i; ++k)
        v = g.Next();
    return v;
}

void AllSingletons(BallEngine* e) {
    e->hubBall = SpareNode(e, 91);
    e->launcherBall = SpareNode(e, 92);
    e->dropperBall = SpareNode(e, 93);
    e->chaserBall = SpareNode(e, 94);
    e->rollerBall = SpareNode(e, 95);
    e->pulsarBall = SpareNode(e, 96);
}

TEST(SpecialRows, EachSelectorAndItsFallback) {
    const int32_t kinds[16] = {18, 6, 5, 15, 4, 14, 7, 10, 8, 13, 9, 12, 19, 11, 16, 3};
    const int32_t fallbacks[16] = {18, 6, 5, 4, 4, 7, 7, 10, 8, 9, 9, 19, 19, 11, 16, 3};
    for (int32_t s = 0; s < 16; ++s) {
        const uint32_t seed = SpecialSeed(s, 0x4000, 0x4000);
        auto e = SpawnEngine(1, 40);
        BallNode* b = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(static_cast<int32_t>(b->kind), kinds[s]) << "row " << s;
        EXPECT_EQ(b->fullSize, 80) << s;
        EXPECT_GE(b->x, 256 - 61 * 4) << s;
        EXPECT_LT(b->x, 768 + 61 * 4) << s;
        EXPECT_EQ(e->lookBall, kinds[s] == 12 ? nullptr : b) << s;

        auto busy = SpawnEngine(1, 40);
        AllSingletons(busy.get());
        BallNode* f = SpawnWithSeed(busy.get(), seed);
        EXPECT_EQ(static_cast<int32_t>(f->kind), fallbacks[s]) << "fallback of row " << s;
        EXPECT_EQ(busy->lookBall, f) << s;
    }
}

TEST(SpecialRows, MiddleHalfStartAndChaserToggle) {
    const uint32_t seed = SpecialSeed(0);
    auto e = SpawnEngine();
    BallNode* chaser = SpareNode(e.get());
    chaser->flags = FlagToggle | 3;
    e->chaserBall = chaser;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    const int32_t r1 = R(seed, 0);
    EXPECT_EQ(b->x, (((r1 & 0x7F) * 1024) >> 8) + 256);
    EXPECT_EQ(b->y, ((((r1 >> 7) & 0x7F) * 768) >> 8) + 192);
    EXPECT_EQ(chaser->flags, 3u);
}

TEST(SpecialRows, ShrinkCountdownOrRemoveWhenGrown) {
    // Row 0 keeps the flags of the common special step (it only adds A).
    const uint32_t countdown = SpecialSeed(0, 0x201E, 0x000C);
    auto e = SpawnEngine();
    EXPECT_EQ(SpawnWithSeed(e.get(), countdown)->flags, 0x5u);
    const uint32_t remove = SpecialSeed(0, 0x2018, 0x0018);
    auto r = SpawnEngine();
    EXPECT_EQ(SpawnWithSeed(r.get(), remove)->flags, FlagRemoveWhenGrown);
    const uint32_t none = SpecialSeed(0, 0x2008, 0x2000);
    auto n = SpawnEngine();
    EXPECT_EQ(SpawnWithSeed(n.get(), none)->flags, FlagAxisA);
}

TEST(SpecialRows, HubRebuildsItsGrownLookAndTheFallbackLeavesIt) {
    int32_t saved[kLookWords];
    std::memcpy(saved, kLookTemplates[kHubGrownRow], sizeof saved);
    for (int32_t red : {0, 0x4000}) {
        const uint32_t seed = SpecialSeed(3, 0x7000, red | 0x1000);
        const int32_t t = R(seed, 2) & 0x4F;
        auto e = SpawnEngine();
        e->hubChildren[3] = SpareNode(e.get());
        BallNode* hub = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(e->hubBall, hub);
        EXPECT_EQ(hub->flags, FlagAxisA);
        EXPECT_EQ(hub->vx, 0);
        EXPECT_EQ(hub->moveFrames, 0);
        EXPECT_EQ(e->hubChildren[3], nullptr);
        const int32_t* row = kLookTemplates[kHubGrownRow];
        const int32_t* pristine = kLookTemplates[kHubPristineRow];
        const int c = red ? 0 : 2;
        for (int i = 0; i < kLookWords; ++i) {
            const bool tinted = i == c || i == 6 + c || i == 9 + c;
            EXPECT_EQ(row[i], pristine[i] + (tinted ? t : 0)) << i;
        }
    }
    kLookTemplates[kHubGrownRow][0] = 1;
    auto e = SpawnEngine();
    e->hubBall = SpareNode(e.get());
    EXPECT_EQ(SpawnWithSeed(e.get(), SpecialSeed(3))->kind, BallKind::Swinger);
    EXPECT_EQ(kLookTemplates[kHubGrownRow][0], 1);
    std::memcpy(kLookTemplates[kHubGrownRow], saved, sizeof saved);
}

TEST(SpecialRows, LauncherHeadsForTheMiddle) {
    struct Case {
        bool right, high;
        int32_t r3Bits, vx, vy;
    } cases[] = {{false, false, 0x0, 2, 2},
                 {true, false, 0x1000, -3, 2},
                 {true, true, 0x3000, -3, -2},
                 {false, true, 0x2000, 3, -2}};
    for (const Case& c : cases) {
        const uint32_t seed = FindSeed([&](const int32_t* r) {
            const int32_t px = r[0] & 0x7F, py = (r[0] >> 7) & 0x7F;
            return (r[1] & 0xFF) == 0 && ((r[2] >> 8) & 15) == 5 && (r[2] & 0x3000) == c.r3Bits &&
                   (px > 64) == c.right && (py > 64) == c.high;
        });
        auto e = SpawnEngine();
        e->launchAX = 5;
        e->launchBX = 6;
        BallNode* b = SpawnWithSeed(e.get(), seed);
        EXPECT_EQ(b->kind, BallKind::Launcher);
        EXPECT_EQ(b->vx, c.vx) << c.right << c.high;
        EXPECT_EQ(b->vy, c.vy) << c.right << c.high;
        EXPECT_EQ(e->launchAX, 0);
        EXPECT_EQ(e->launchBX, 0);
        EXPECT_EQ(b->moveFrames, 10000);
    }
    // The boundary: px 64 heads right, py 64 heads up.
    const uint32_t edge = FindSeed([](const int32_t* r) {
        return (r[1] & 0xFF) == 0 && ((r[2] >> 8) & 15) == 5 && (r[0] & 0x7F) == 64 &&
               ((r[0] >> 7) & 0x7F) == 64;
    });
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), edge);
    EXPECT_GT(b->vx, 0);
    EXPECT_EQ(b->vy, 2);
}

TEST(SpecialRows, ImplosionStartsWhateverKindRowElevenMakes) {
    const uint32_t seed = SpecialSeed(11, 0x4000, 0x4000);
    auto e = SpawnEngine();
    e->frameCount = 100;
    AllSingletons(e.get());
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->kind, BallKind::ColourCycler);
    EXPECT_EQ(e->implosionLeft, 8);
    EXPECT_EQ(e->implosionFrame, 148);
    EXPECT_EQ(e->implosionX, b->x);
    EXPECT_EQ(e->implosionY, b->y);

    auto running = SpawnEngine();
    running->implosionLeft = 3;
    running->implosionX = 7;
    SpawnWithSeed(running.get(), seed);
    EXPECT_EQ(running->implosionLeft, 3);
    EXPECT_EQ(running->implosionX, 7);
}

TEST(SpecialRows, ChaserOnlyWithBit4000) {
    const uint32_t noChaser = SpecialSeed(11, 0x4000, 0);
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), noChaser);
    EXPECT_EQ(b->kind, BallKind::Roller);
    EXPECT_EQ(e->chaserBall, nullptr);

    const uint32_t chaser = SpecialSeed(11, 0x5000, 0x5000);
    auto c = SpawnEngine(2);
    BallNode* ch = SpawnWithSeed(c.get(), chaser);
    EXPECT_EQ(ch->kind, BallKind::Chaser);
    EXPECT_EQ(c->chaserBall, ch);
    EXPECT_EQ(ch->moveFrames & 0xFFFF, 0x1800);
    EXPECT_EQ(ch->moveFrames >> 16, R(chaser, 2) & 0x7FFF);
    EXPECT_EQ(ch->flags, 3u | FlagCycle);
    EXPECT_EQ(ch->vx, 0);
    EXPECT_EQ(c->lookBall, nullptr);
    // The next ball that is not a chaser becomes the look ball.
    BallNode* next =
        SpawnWithSeed(c.get(), FindSeed([](const int32_t* r) { return PlainR2(r[1]); }));
    EXPECT_EQ(c->lookBall, next);
    EXPECT_EQ(c->lookCache[3], next->look.topColour.r);
}

TEST(SpecialRows, RollerSpeedAndLife) {
    for (int32_t fast : {0, 0x10}) {
        const uint32_t seed = SpecialSeed(11, 0x4016, fast | 0x6);
        auto e = SpawnEngine(1, 60);
        BallNode* b = SpawnWithSeed(e.get(), seed);
        ASSERT_EQ(b->kind, BallKind::Roller);
        EXPECT_EQ(e->rollerBall, b);
        EXPECT_EQ(b->moveFrames, 768);  // 8 x 120 capped at the height
        EXPECT_EQ(b->vx, fast ? 64 : 32);
        EXPECT_EQ(b->vy, fast ? 32 : 64);
        EXPECT_EQ(e->rollerX, b->x);
        EXPECT_EQ(e->rollerY, b->y);
        EXPECT_EQ(e->rollerSubX, 0);
        EXPECT_EQ(b->flags, 0u);
    }
    auto small = SpawnEngine(1, 38);
    EXPECT_EQ(SpawnWithSeed(small.get(), SpecialSeed(11, 0x4000, 0))->moveFrames, 608);
}

TEST(SpecialRows, PulsarWhenChaserAndRollerExist) {
    const uint32_t seed = SpecialSeed(11, 0x5000, 0x1000);
    auto e = SpawnEngine();
    e->rollerBall = SpareNode(e.get());
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->kind, BallKind::Pulsar);
    EXPECT_EQ(e->pulsarBall, b);
    EXPECT_EQ(b->moveFrames, 200);
    EXPECT_EQ(b->look.diffuseColour.b, kLookTemplates[17][8] + (R(seed, 2) & 0x1F));
}

TEST(SpecialRows, DropperStartsBesideItsCircle) {
    const uint32_t seed = SpecialSeed(9, 0x7001, 0x1000);
    const int32_t r3 = R(seed, 2);
    const int32_t d = (r3 & 0x1F) + 30;
    const int32_t r1 = R(seed, 0);
    auto e = SpawnEngine();
    e->dropX = 9;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->kind, BallKind::Dropper);
    EXPECT_EQ(e->dropperBall, b);
    EXPECT_EQ(e->dropX, 0);
    EXPECT_EQ(b->flags, FlagAxisB);
    EXPECT_EQ(b->x, ((((r1 & 0x7F) - d) * 1024) >> 8) + 256);
    EXPECT_EQ(b->stamp, 4);
    EXPECT_EQ(e->orbitB, 1);
    EXPECT_EQ(e->orbitError, 4 * d);
    EXPECT_EQ(e->orbitA, 4 * d + 1);

    // 0x3000 with the toggle: py += D; drift bits from 0x1, 0x2, 0x4.
    const uint32_t up = SpecialSeed(9, 0x7007, 0x7007);
    const int32_t d2 = (R(up, 2) & 0x1F) + 30;
    const int32_t py = (R(up, 0) >> 7) & 0x7F;
    auto u = SpawnEngine();
    BallNode* c = SpawnWithSeed(u.get(), up);
    EXPECT_EQ(c->flags,
              FlagAxisA | FlagAxisB | FlagToggle | FlagWobble | FlagWobbleAlt | FlagDriftSign);
    EXPECT_EQ(c->y, (((py + d2) * 768) >> 8) + 192);
}

TEST(SpecialRows, RowFourAddsLifeOnlyWithBitOne) {
    auto e = SpawnEngine(1, 40);
    BallNode* still = SpawnWithSeed(e.get(), SpecialSeed(4, 0x3037, 0x1036));
    EXPECT_EQ(still->moveFrames, 80);
    EXPECT_EQ(still->look.spriteWidth, 16);
    EXPECT_EQ(still->look.normalRadius, 16);
    const uint32_t seed = SpecialSeed(4, 0x7003, 0x7001);
    const int32_t r3 = R(seed, 2);
    auto m = SpawnEngine(1, 40);
    BallNode* moving = SpawnWithSeed(m.get(), seed);
    EXPECT_EQ(moving->moveFrames, 80 + (r3 & 0x37));
    EXPECT_EQ(moving->flags & (FlagAxisA | FlagAxisB), FlagAxisB);
    EXPECT_EQ(moving->vx, 2 * ((r3 & 2) ? 1 : -1));
    EXPECT_EQ(moving->look.spriteHeight, 16);
    EXPECT_EQ(moving->look.topColour.r, r3 & 0x4F);
    EXPECT_EQ(moving->look.diffuseColour.r, 3 * (r3 & 0x4F));
}

TEST(SpecialRows, RowSevenTopBlueIsIndependentOfBit10) {
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), SpecialSeed(7, 0x19, 0x08));
    EXPECT_EQ(b->look.topColour.b, 170);
    EXPECT_EQ(b->look.topColour.g, kLookTemplates[10][1]);
    EXPECT_EQ(b->look.rimColour.g, 230);
    auto t = SpawnEngine();
    BallNode* c = SpawnWithSeed(t.get(), SpecialSeed(7, 0x19, 0x10));
    EXPECT_EQ(c->look.topColour.g, 230);
    EXPECT_EQ(c->look.topColour.b, kLookTemplates[10][2]);
    EXPECT_EQ(c->look.rimColour.r, 170);
    auto n = SpawnEngine();
    BallNode* d = SpawnWithSeed(n.get(), SpecialSeed(7, 0x19, 0));
    EXPECT_EQ(d->look.rimColour.g, kLookTemplates[10][4]);
}

TEST(SpecialRows, WobbleStartsOnlyWhenNoRingRuns) {
    const uint32_t seed = SpecialSeed(10, 0xC, 0);
    auto e = SpawnEngine();
    SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(e->wobbleLeft, 30400);
    auto r = SpawnEngine();
    r->ringCounter = 7;
    SpawnWithSeed(r.get(), seed);
    EXPECT_EQ(r->wobbleLeft, 0);
}

TEST(SpecialRows, KindThreeVariant) {
    const uint32_t seed = SpecialSeed(15, 0x1000, 0x1000);
    auto e = SpawnEngine();
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_NE(b->flags & FlagVariant, 0u);
    EXPECT_EQ(b->look.opacityControl, 128);
    EXPECT_EQ(b->look.topColour.r, (b->look.diffuseColour.r * 3) >> 2);
    EXPECT_EQ(b->look.topColour.g, (224 * 3) >> 2);
    auto plain = SpawnEngine();
    BallNode* p = SpawnWithSeed(plain.get(), SpecialSeed(15, 0x1000, 0));
    EXPECT_EQ(p->look.rimColour.g, 256);
    EXPECT_EQ(p->look.backLight, -12);
}

}  // namespace
