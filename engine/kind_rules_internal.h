// Helpers the kind families share.
#pragma once

#include <cstdint>

#include "engine/kind_rules.h"
#include "engine/spawner_internal.h"
#include "render/wrap_math.h"

inline bool Has(const BallNode* b, uint32_t flag) {
    return (b->flags & flag) != 0;
}
inline void SetFlag(BallNode* b, uint32_t flag, bool on) {
    if (on) {
        b->flags |= flag;
    } else {
        b->flags &= ~flag;
    }
}

inline void SetEllipse(BallNode* b, int32_t a, int32_t c) {
    b->look.ellipseWidth = a;
    b->look.ellipseHeight = c;
}

// The default rule: ellipse = (w, h), normalRadius = (w + h) >> 1.
inline void Default(BallNode* b) {
    SetEllipse(b, b->look.spriteWidth, b->look.spriteHeight);
    b->look.normalRadius = (b->look.spriteWidth + b->look.spriteHeight) >> 1;
}

// Keeps v below limit: a value >= limit becomes limit - 1.
inline void KeepBelow(int32_t& v, int32_t limit) {
    if (v >= limit) v = limit - 1;
}

// Set-up: doubles vy when yBit is set in r3, else vx.
inline void DoubleOneAxis(BallNode* b, int32_t r3, int32_t yBit) {
    if (r3 & yBit) {
        b->vy *= 2;
    } else {
        b->vx *= 2;
    }
}
