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
        ASSERT_GE(b->kind, BallKind::Ordinary) << frame;
        ASSERT_LE(b->kind, BallKind::Roller) << frame;
        // Removed balls are released in their frame.
        ASSERT_TRUE(b->state == BallState::Growing || b->state == BallState::Shrinking) << frame;
        if (b->kind == BallKind::Pulsar) ++pulsars;
    }
    int free = 0;
    for (const BallNode* b = e.freeHead; b != nullptr && free <= kBallPoolSize; b = b->newer)
        ++free;
    ASSERT_EQ(static_cast<int>(active.size()) + free, poolSize) << frame;
    const struct {
        const BallNode* ball;
        BallKind kind;
    } singles[] = {{e.chaserBall, BallKind::Chaser},
                   {e.dropperBall, BallKind::Dropper},
                   {e.launcherBall, BallKind::Launcher},
                   {e.hubBall, BallKind::Hub},
                   {e.rollerBall, BallKind::Roller}};
    for (const auto& s : singles) {
        if (s.ball == nullptr) continue;
        ASSERT_TRUE(active.count(s.ball)) << s.kind << " frame " << frame;
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
        std::set<BallKind> kinds;
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
