// Pieces of the frame step, exposed for the engine's tests.
#pragma once

#include "engine/ball_engine.h"

// Motion and growth of a growing ball (before its kind's rule).
void GrowBall(BallEngine* e, BallNode* b);
// End of growth: state, bounce and velocity limits once a side reaches fullSize.
void FullSizeTest(BallEngine* e, BallNode* b);
// Shrinking update; false when the ball shrank out and goes straight to drawing.
bool ShrinkBall(BallEngine* e, BallNode* b);
// One fade pass over the background (strong or weak by frameCount & 4), mirrored
// into the front plane.
void FadeBackground(BallEngine* e);
// Draws the ball, adds its rectangle to both lists and retires it if its state is 2.
void DrawBall(BallEngine* e, BallNode* b);
