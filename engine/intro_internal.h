// Pieces of the intro, exposed for the engine's tests.
#pragma once

#include "engine/ball_engine.h"

// The run's style from the Style setting: 0 Normal, 1 Green, -1 Squash. Setting 0
// draws one random number; Squash sets *subSteps to 20. Any other setting than
// 0..3 draws nothing and gives Normal.
int32_t ChooseStyle(int32_t styleSetting, int32_t* subSteps);

// Draws the intro ball at (trainHeadX, trainHeadY) (8.8) into the background and
// grows workRect to cover it.
void DrawIntroBall(BallEngine* e);
