#include <gtest/gtest.h>

#include <set>

#include "spawner_test_helpers.h"

namespace {

// Every singleton pointer names an active ball of its kind; kinds and states stay
// in range; the pool never loses a node.
void CheckInvariants(const BallEngine& e, int32_t poolSize, int frame) {
    std::set<const BallNode*> active;
    int pulsars = 0;
    for (const BallNode* b = e.head; b != nullptr; b = b->older) {
        ASSERT_TRUE(active.insert(b).second) << "frame " << frame;
        ASSERT_GE(b->kind, 2) << frame;
        ASSERT_LE(b->kind, 20) << frame;
        ASSERT_GE(b->state, 0) << frame;
        ASSERT_LE(b->state, 1) << frame;  // removed balls are released in their frame
        if (b->kind == 17) ++pulsars;
    }
    int free = 0;
    for (const BallNode* b = e.freeHead; b != nullptr && free <= kBallPoolSize; b = b->newer)
        ++free;
    ASSERT_EQ(static_cast<int>(active.size()) + free, poolSize) << frame;
    const struct {
        const BallNode* ball;
        int32_t kind;
    } singles[] = {{e.chaserBall, 12},
                   {e.dropperBall, 13},
                   {e.launcherBall, 14},
                   {e.hubBall, 15},
                   {e.rollerBall, 20}};
    for (const auto& s : singles) {
        if (s.ball == nullptr) continue;
        ASSERT_TRUE(active.count(s.ball)) << "kind " << s.kind << " frame " << frame;
        ASSERT_EQ(s.ball->kind, s.kind) << frame;
    }
    ASSERT_LE(pulsars, 1) << frame;
    ASSERT_EQ(e.pulsarBall != nullptr, pulsars == 1) << frame;
    ASSERT_GE(e.ringCounter, 0);
    ASSERT_GE(e.convergeLeft, 0);
    ASSERT_GE(e.implosionLeft, 0);
    ASSERT_GE(e.hubChildrenToPlace, 0);
    ASSERT_GE(e.trainCount, 0);
}

TEST(SpawnerLongRun, SingletonsAndPoolStayConsistent) {
    for (int32_t style : {1, 3}) {
        // 200 x 150: 100 balls requested, 27 in the pool (the unit is 11).
        Scene s = MakeScene(200, 150, style, 100, 30, 17 + style);
        BallEngine* e = s.engine.get();
        int32_t poolSize = 0;
        for (const BallNode* b = e->freeHead; b != nullptr; b = b->newer)
            ++poolSize;
        std::set<int32_t> kinds;
        for (int frame = 1; frame <= 4000; ++frame) {
            StepFrame(e);
            if (e->introState.load() != 0) continue;
            CheckInvariants(*e, poolSize, frame);
            if (HasFatalFailure()) return;
            for (const BallNode* b = e->head; b != nullptr; b = b->older)
                kinds.insert(b->kind);
        }
        EXPECT_GE(kinds.size(), 6u) << "special kinds seen";
    }
}

}  // namespace
