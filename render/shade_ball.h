// Ball shading: lights the shape maps and writes the ball's colour sprite over the
// height map in maps[0].
#pragma once

#include <cstdint>

#include "render/shade_params.h"
#include "render/sprite_buffer.h"

// Turns maps[0] (height, kind 2) with maps[1], maps[2] (slopes, kind 3) into a colour
// sprite (kind 1). Buffers of other kinds change nothing.
void ShadeBall(SpriteBuffer* maps, const ShadeParams& look);

// The light and highlight directions of a look, 16.16.
struct LightVectors {
    int32_t lx, ly, lz;
    int32_t hx, hy, hz;
};
LightVectors ComputeLightVectors(int32_t lightDirection, int32_t secondLight);

// Quarter-wave sine table, 16.16, k = 0..256 for angles 0..pi/2 (1024 units a turn).
extern const int32_t kSineQuarter[257];
// Highlight thresholds by specular index 0..8.
extern const int32_t kHighlightThreshold[9];

// v^2 / len2 / 65536 (v >= 0) and v^2 / len2 / 131072 (v > 0) by shift ladders, without
// 64-bit products. A division by zero gives 0.
int32_t Sq16(int32_t v, int32_t len2);
int32_t Sq15(int32_t v, int32_t len2);
// V^(2^(index-1)) in 0.15 fixed point by repeated squaring.
int32_t RaiseHighlight(int32_t v, int32_t index);
