#include <gtest/gtest.h>

#include "kind_test_helpers.h"

namespace {

// A large coin whose closing side passes below 0 while it shrinks is drawn and
// retired without touching memory outside the planes and sprites.
TEST(KindNegativeSide, ShrinkingCoinWithAClosedSideIsDrawnSafely) {
    for (uint32_t axis : {0u, FlagAxisA}) {
        Scene s = MakeScene(320, 240, 1, 20, 60);
        BallEngine* e = s.engine.get();
        e->introState.store(0);
        e->frameCount = 1000;
        BallNode* b = KindBall(e, BallKind::Coin, 100, 100, axis | FlagAxisB, 120);
        int32_t& flip = axis ? b->look.spriteHeight : b->look.spriteWidth;
        flip = 7;
        b->state = BallState::Shrinking;
        b->x = 160;
        b->y = 120;
        bool sawNegative = false;
        for (int frame = 0; frame < 40 && b->state != BallState::Retiring; ++frame) {
            StepFrame(e);
            if (b->kind != BallKind::Coin) break;  // retired and reused
            if (flip < 0) sawNegative = true;
        }
        EXPECT_TRUE(sawNegative) << axis;
    }
}

}  // namespace
