// STUB: placeholder definitions until the spawner and the group events land.
#include "engine/ball_engine.h"

void SpawnBalls(BallEngine*) {}  // stub

void StepFormation(BallEngine*) {}  // stub
