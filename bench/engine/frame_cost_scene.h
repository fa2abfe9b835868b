// The scene a frame-cost run measures, behind three calls, so that the measuring
// program builds against any revision of the engine's set-up API.
#pragma once

#include <cstdint>

struct FrameCostScene;

// An engine on a memory DC of width x height, style setting 1..3, `balls` balls of
// size 60, a fixed seed, released as if the window had been painted.
FrameCostScene* OpenScene(int32_t width, int32_t height, int32_t style, int32_t balls);
void StepScene(FrameCostScene* scene);
void CloseScene(FrameCostScene* scene);
