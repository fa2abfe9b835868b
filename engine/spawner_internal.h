// Helpers shared by the spawner, the special-ball set-up and the kind rules.
#pragma once

#include <cstdint>
#include <cstring>

#include "engine/ball_engine.h"
#include "engine/look_templates.h"
#include "render/wrap_math.h"

// The ball's 12 colour words (top, rim, diffuse, specular; R, G, B each) as a block.
inline void CopyLookRow(BallNode* ball, const int32_t* row) {
    std::memcpy(&ball->look.topColour, row, kLookWords * sizeof(int32_t));
}
inline void SetLookRow(BallNode* ball, int32_t row) {
    CopyLookRow(ball, kLookTemplates[row]);
}
inline void CopyColours(BallNode* to, const BallNode* from) {
    std::memcpy(&to->look.topColour, &from->look.topColour, kLookWords * sizeof(int32_t));
}

// Replaces each colour word c by (t + (2^shift - 1) c + 2^(shift-1)) >> shift,
// t the matching word of target: weight 1/32 for shift 5, 1/16 for shift 4.
void BlendColoursToward(BallNode* ball, const int32_t* target, int32_t shift);

// Special-ball set-up: everything after the common part (defaults, r1, r2);
// px and py are the ball's 7-bit position fractions.
void SetUpSpecialBall(BallEngine* e, BallNode* ball, int32_t px, int32_t py);
