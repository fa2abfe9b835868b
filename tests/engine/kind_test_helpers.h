// A lone ball of a given kind on a set-up engine, for the kind-rule tests.
#pragma once

#include "engine/kind_rules.h"
#include "spawner_test_helpers.h"

inline BallNode* KindBall(BallEngine* e, BallKind kind, int32_t w, int32_t h, uint32_t flags = 0,
                          int32_t fullSize = 76) {
    BallNode* b = TakeBall(e);
    if (b == nullptr) {
        ADD_FAILURE() << "the test engine's pool is too small";
        b = SpareNode(e, 99);
    }
    b->kind = kind;
    b->state = BallState::Growing;
    b->flags = flags;
    b->fullSize = fullSize;
    b->x = 500;
    b->y = 400;
    b->vx = 0;
    b->vy = 0;
    b->moveFrames = 0;
    b->stamp = 0;
    b->look.spriteWidth = w;
    b->look.spriteHeight = h;
    b->look.normalRadius = 0;
    b->look.ellipseWidth = 0;
    b->look.ellipseHeight = 0;
    return b;
}

inline bool AxisA(const BallNode* b) {
    return (b->flags & FlagAxisA) != 0;
}
inline bool AxisB(const BallNode* b) {
    return (b->flags & FlagAxisB) != 0;
}
