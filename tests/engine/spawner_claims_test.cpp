#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/look_templates.h"
#include "spawner_test_helpers.h"

namespace {

// A plain ordinary ball without formation candidacy.
uint32_t PlainSeed(int32_t r4Mask = 0, int32_t r4Bits = 0) {
    return FindSeed([&](const int32_t* r) {
        return PlainR2(r[1]) && (r[2] & 0x80) == 0 && (r[3] & r4Mask) == r4Bits;
    });
}

// Events in claim order, each with the test that shows it took the ball.
enum Claim { Follower, Dropped, Launched, HubChild, Implosion, Converge, Leader, Ring, Count };

void Enable(BallEngine* e, Claim c) {
    BallNode* spare = SpareNode(e, 90 + c);
    switch (c) {
        case Follower:
            spare->look.spriteWidth = 10;
            e->trainLeader = spare;
            e->trainCount = 5;
            break;
        case Dropped:
            e->dropX = 300;
            e->dropY = 200;
            break;
        case Launched:
            e->launcherBall = spare;
            e->launchBX = 400;
            break;
        case HubChild:
            e->hubBall = spare;
            e->hubChildrenToPlace = 8;
            break;
        case Implosion:
            e->implosionLeft = 8;
            e->implosionFrame = e->frameCount + 48;
            break;
        case Converge:
            e->convergeLeft = 20;
            break;
        case Leader:
            e->trainCount = 256;
            break;
        case Ring:
            e->ringCounter = 51;
            break;
        default:
            break;
    }
}

bool Took(const BallEngine* e, const BallNode* b, Claim c) {
    switch (c) {
        case Follower:
            return e->trainCount == 4 && e->trainLeader == b;
        case Dropped:
            return e->dropX == 0 && b->x == 300 && b->flags == FlagDropped;
        case Launched:
            return e->launchBX == 0 && b->x == 400;
        case HubChild:
            return e->hubChildrenToPlace == 7 && e->hubChildren[7] == b;
        case Implosion:
            return e->implosionLeft == 7;
        case Converge:
            return e->convergeLeft == 19;
        case Leader:
            return e->trainLeader == b && e->trainCount == 256;
        case Ring:
            return e->ringCounter == 50;
        default:
            return false;
    }
}

TEST(Claims, EachEventTakesTheBallBeforeTheOnesAfterIt) {
    const uint32_t seed = PlainSeed();
    for (int first = 0; first < Count; ++first) {
        auto e = SpawnEngine();
        // The leader claim needs no train leader, so the follower is left out from then on.
        for (int c = first; c < Count; ++c) {
            if (c == Leader && first == Follower) continue;
            Enable(e.get(), static_cast<Claim>(c));
        }
        BallNode* b = SpawnWithSeed(e.get(), seed);
        EXPECT_TRUE(Took(e.get(), b, static_cast<Claim>(first))) << "claim " << first;
        for (int c = first + 1; c < Count; ++c) {
            if (c == Leader && first == Follower) continue;
            EXPECT_FALSE(Took(e.get(), b, static_cast<Claim>(c))) << first << " then " << c;
        }
    }
}

TEST(Claims, StampedBallsSkipConvergeAndRing) {
    const uint32_t seed = FindSeed([](const int32_t* r) { return PlainR2(r[1]) && (r[2] & 0x80); });
    auto e = SpawnEngine();
    e->convergeLeft = 20;
    e->ringCounter = 51;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->stamp, 1);
    EXPECT_EQ(e->convergeLeft, 20);
    EXPECT_EQ(e->ringCounter, 51);
}

TEST(Claims, TrainFollower) {
    // 0x200 clear: the 0x800 bit has no effect on vx.
    const uint32_t plain = PlainSeed(0x2A07, 0x0800);
    auto e = SpawnEngine();
    BallNode* leader = SpareNode(e.get());
    leader->look.spriteWidth = 10;
    leader->vx = -1;
    leader->vy = 2;
    e->trainLeader = leader;
    e->trainCount = 1;
    e->trainHeadX = 500;
    e->trainHeadY = 300;
    e->frameCount = 5;
    BallNode* b = SpawnWithSeed(e.get(), plain);
    // The leader's directions at one of two speeds.
    const int32_t d = b->vy;
    EXPECT_TRUE(d == 3 || d == 5) << d;
    EXPECT_EQ(b->vx, -d);
    EXPECT_EQ(b->x, 500);
    EXPECT_EQ(b->y, 300);
    EXPECT_EQ(b->moveFrames, 10000);
    EXPECT_GE(b->fullSize, 19);  // at least ballSize / 2
    EXPECT_EQ(e->trainCount, 0);
    EXPECT_EQ(e->trainLeader, nullptr);  // the last follower ends the train

    // 0x200 and 0x800 set: vy -1 or +2, vx +1; a multiple of 64 turns x round.
    const uint32_t turn = PlainSeed(0x2E07, 0x2A00);
    auto t = SpawnEngine();
    BallNode* l2 = SpareNode(t.get());
    l2->look.spriteWidth = 12;
    l2->vx = 1;
    l2->vy = -1;
    t->trainLeader = l2;
    t->trainCount = 10;
    t->frameCount = 64;
    t->trainHeadX = 100;
    t->trainHeadY = 100;
    BallNode* f = SpawnWithSeed(t.get(), turn);
    const int32_t d2 = f->vy - 1;  // 0x2000 set: y turns too
    EXPECT_TRUE(d2 == 3 || d2 == 5) << d2;
    EXPECT_EQ(f->vx, -(d2 + 1));
    EXPECT_EQ(t->trainHeadX, 100);  // bits 0x1 and 0x2 clear
    EXPECT_EQ(t->trainLeader, f);
    EXPECT_EQ(t->trainCount, 9);
}

TEST(Claims, TrainFollowerNeedsAGrownLeaderAndNoFormation) {
    const uint32_t seed = PlainSeed();
    auto small = SpawnEngine();
    SpareNode(small.get())->look.spriteWidth = 9;
    small->trainLeader = SpareNode(small.get());
    small->trainCount = 3;
    SpawnWithSeed(small.get(), seed);
    EXPECT_EQ(small->trainCount, 3);
    auto forming = SpawnEngine();
    SpareNode(forming.get())->look.spriteWidth = 20;
    forming->trainLeader = SpareNode(forming.get());
    forming->trainCount = 3;
    forming->formationPhase.store(30);
    SpawnWithSeed(forming.get(), seed);
    EXPECT_EQ(forming->trainCount, 3);
}

TEST(Claims, TrainHeadMovesOnMultiplesOfFour) {
    const uint32_t seed = PlainSeed(0x3, 0x3);
    auto e = SpawnEngine();
    BallNode* leader = SpareNode(e.get());
    leader->look.spriteWidth = 20;
    e->trainLeader = leader;
    e->trainCount = 5;
    e->trainHeadX = 200;
    e->trainHeadY = 200;
    e->frameCount = 8;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(e->trainHeadX, 200 - b->vx);
    EXPECT_EQ(e->trainHeadY, 200 - b->vy);
}

TEST(Claims, TrainLeaderStartsInTheMiddleHalf) {
    // Over the seeds the leaders reach all of the middle half, and nothing
    // outside it; the train's head starts at its leader.
    int32_t minX = 1024, maxX = -1, minY = 768, maxY = -1;
    int leaders = 0;
    SpawnWithEachSeed(
        400, [](BallEngine* e) { e->trainCount = 256; },
        [&](BallEngine* e, BallNode* b) {
            if (e->trainLeader != b) return;  // a special ball or another claim's
            ++leaders;
            EXPECT_EQ(e->trainCount, 256);
            EXPECT_EQ(e->trainHeadX, b->x);
            EXPECT_EQ(e->trainHeadY, b->y);
            minX = std::min(minX, b->x);
            maxX = std::max(maxX, b->x);
            minY = std::min(minY, b->y);
            maxY = std::max(maxY, b->y);
        });
    EXPECT_GT(leaders, 390);
    EXPECT_GE(minX, 256);
    EXPECT_LT(maxX, 768);
    EXPECT_GE(minY, 192);
    EXPECT_LT(maxY, 576);
    EXPECT_LT(minX, 256 + 32);
    EXPECT_GT(maxX, 768 - 32);
    EXPECT_LT(minY, 192 + 24);
    EXPECT_GT(maxY, 576 - 24);
}

TEST(Claims, DroppedBallTakesTheDroppersColoursOrKeepsItsOwn) {
    const uint32_t seed = PlainSeed();
    auto e = SpawnEngine();
    BallNode* dropper = SpareNode(e.get());
    for (int i = 0; i < 12; ++i)
        (&dropper->look.topColour.r)[i] = 200 + i;
    e->dropperBall = dropper;
    e->dropX = 10;
    e->dropY = 20;
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(b->x, 10);
    EXPECT_EQ(b->y, 20);
    EXPECT_EQ(b->fullSize, 28);
    EXPECT_EQ(b->moveFrames, 0);
    EXPECT_EQ(b->look.secondLight, 0x900180);
    EXPECT_EQ(b->look.specularColour.b, 211);
    EXPECT_EQ(e->dropX, 0);

    auto orphan = SpawnEngine();
    orphan->dropX = 10;
    BallNode* o = SpawnWithSeed(orphan.get(), seed);
    EXPECT_EQ(o->flags, FlagDropped);
    EXPECT_GE(o->look.diffuseColour.g, 128);  // the jittered ordinary look
}

TEST(Claims, LaunchedBallsTakeSlotBFirst) {
    const uint32_t seed = PlainSeed();
    auto e = SpawnEngine(2);
    BallNode* launcher = SpareNode(e.get());
    launcher->look.diffuseColour.r = 77;
    e->launcherBall = launcher;
    e->launchAX = 100;
    e->launchAY = 110;
    e->launchAVx = 1;
    e->launchAVy = -1;
    e->launchBX = 200;
    e->launchBY = 210;
    e->launchBVx = -1;
    e->launchBVy = 1;
    BallNode* first = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(first->x, 200);
    EXPECT_EQ(first->y, 210);
    EXPECT_EQ(first->vx, -1);
    EXPECT_EQ(first->vy, 1);
    EXPECT_EQ(first->look.diffuseColour.r, 77);
    EXPECT_EQ(first->moveFrames, 1000);
    EXPECT_EQ(e->launchBX, 0);
    BallNode* second = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(second->x, 100);
    EXPECT_EQ(second->vy, -1);
    EXPECT_EQ(e->launchAX, 0);

    // Slots without a launcher are not used.
    auto none = SpawnEngine();
    none->launchAX = 100;
    SpawnWithSeed(none.get(), seed);
    EXPECT_EQ(none->launchAX, 100);
}

TEST(Claims, HubChildrenAndAMissingHub) {
    const uint32_t seed = PlainSeed();
    auto e = SpawnEngine(8);
    BallNode* hub = SpareNode(e.get());
    hub->x = 500;
    hub->y = 400;
    hub->look.rimColour.g = 99;
    e->hubBall = hub;
    e->hubChildrenToPlace = 8;
    for (int i = 0; i < 8; ++i)
        SpawnWithSeed(e.get(), seed);  // one ball per call
    EXPECT_EQ(e->hubChildrenToPlace, 0);
    for (int k = 0; k < 8; ++k) {
        const BallNode* c = e->hubChildren[k];
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->vx, kBurstDirections[k][0]);
        EXPECT_EQ(c->vy, kBurstDirections[k][1]);
        EXPECT_EQ(c->x, 500 + kBurstDirections[k][2]);
        EXPECT_EQ(c->y, 400 + kBurstDirections[k][3]);
        EXPECT_EQ(c->look.rimColour.g, 99);
        EXPECT_EQ(c->fullSize, 28);
    }
    EXPECT_EQ(e->tail, e->hubChildren[7]);  // the highest index comes first

    auto gone = SpawnEngine();
    gone->hubChildrenToPlace = 5;
    gone->implosionLeft = 3;
    SpawnWithSeed(gone.get(), seed);
    EXPECT_EQ(gone->hubChildrenToPlace, 0);
    EXPECT_EQ(gone->implosionLeft, 2);  // the claims went on
}

TEST(Claims, ImplosionBallsMeetInOneFrame) {
    auto e = SpawnEngine(8);
    e->frameCount = 4;
    e->implosionLeft = 8;
    e->implosionFrame = 52;
    e->implosionX = 512;
    e->implosionY = 384;
    const uint32_t seed = PlainSeed();
    for (int i = 0; i < 8; ++i) {
        SpawnWithSeed(e.get(), seed);  // one ball per call on a multiple of 4
    }
    int n = 0;
    for (BallNode* b = e->head; b != nullptr; b = b->older) {
        if (b->fullSize != 34 || b->moveFrames != 1000) continue;
        ++n;
        EXPECT_EQ(b->x + 48 * b->vx, 512);
        EXPECT_EQ(b->y + 48 * b->vy, 384);
    }
    EXPECT_EQ(n, 8);
    EXPECT_EQ(e->implosionLeft, 0);
}

TEST(Claims, ConvergeBallsPassTheBurstPoint) {
    auto e = SpawnEngine(28);
    e->frameCount = 300;
    e->convergeLeft = 28;
    e->convergeFrame = 310;
    e->convergeX = 600;
    e->convergeY = 300;
    SeedRandom(99);
    SpawnBalls(e.get());
    for (BallNode* b = e->head; b != nullptr; b = b->older) {
        if (b->fullSize != 34 || b->moveFrames != 1000) continue;
        EXPECT_GE(b->vx, -3);
        EXPECT_LE(b->vx, 4);
        // Some frame f in 10..25 frames from now has the ball on the point's x.
        bool passes = b->vx == 0 ? b->x == 600 : false;
        for (int f = 10; f <= 25 && !passes; ++f)
            passes = b->x + f * b->vx == 600;
        EXPECT_TRUE(passes) << b->x << " " << b->vx;
    }
}

TEST(Claims, RingBallsSitOnTheRing) {
    const uint32_t seed = PlainSeed();
    auto e = SpawnEngine();
    e->ringCounter = 99;
    e->ringX = 500;
    e->ringY = 0x80;  // bit 0x80: turns without FlagWobbleAlt
    BallNode* b = SpawnWithSeed(e.get(), seed);
    EXPECT_EQ(e->ringCounter, 98);
    EXPECT_EQ(b->flags, FlagVortex);
    EXPECT_EQ(b->vx, 0);
    // With 98 ring balls to come the radius is 99 to 130 pixels, and the
    // ball's motion word carries it for the vortex step.
    const double dx = b->x - 500, dy = b->y - 0x80;
    const double rho = std::sqrt(dx * dx + dy * dy);
    EXPECT_GE(rho, 99 - 1.5);
    EXPECT_LE(rho, 130 + 1.5);
    EXPECT_NEAR(b->moveFrames >> 9, rho, 1.5);

    auto other = SpawnEngine();
    other->ringCounter = 99;
    other->ringY = 0x100;
    BallNode* o = SpawnWithSeed(other.get(), seed);
    EXPECT_EQ(o->flags, FlagVortex | FlagWobbleAlt);
    EXPECT_EQ(o->y - 0x100, -(b->y - 0x80));  // mirrored
}

}  // namespace

namespace {

TEST(GroupEventEnds, RingPlacesFiftyBallsOneAFrame) {
    const uint32_t seed = PlainSeed();
    auto e = SpawnEngine(3);
    e->ringCounter = 100;
    int ringBalls = 0, calls = 0;
    while (e->ringCounter != 0 && calls < 200) {
        e->frameCount = 300;  // every free node is filled
        SeedRandom(seed);
        SpawnBalls(e.get());
        ++calls;
        for (BallNode* b = e->head; b != nullptr;) {
            BallNode* older = b->older;
            if (b->flags & FlagVortex) ++ringBalls;
            ReleaseBall(e.get(), b);
            b = older;
        }
        e->dropX = 0;
        EXPECT_EQ(ringBalls, calls) << "one ring ball per call";
    }
    EXPECT_EQ(ringBalls, 50);
    EXPECT_EQ(e->ringCounter, 0);
}

TEST(GroupEventEnds, ConvergeBurstEndsWithItsTwentyEighthBall) {
    auto e = SpawnEngine(40);
    e->frameCount = 300;
    e->convergeLeft = 28;
    e->convergeFrame = 310;
    const uint32_t seed = PlainSeed();
    for (int i = 0; i < 28; ++i) {
        SeedRandom(seed);
        e->frameCount = 4;
        SpawnBalls(e.get());
    }
    EXPECT_EQ(e->convergeLeft, 0);
    SeedRandom(seed);
    BallNode* after = SpawnWithSeed(e.get(), seed);
    EXPECT_NE(after->moveFrames, 1000);  // a plain ordinary ball again
}

}  // namespace
