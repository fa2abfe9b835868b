// STUB: placeholder definitions until the per-kind animation rules land.
#include "engine/ball_engine.h"

void ApplyGrowingRule(BallEngine*, BallNode*) {}  // stub

void ApplyShrinkingRule(BallEngine*, BallNode*) {}  // stub
