// Shape maps of a ball: a height map with an anti-aliased edge and two slope maps, built
// from the shape part of its look.
#pragma once

#include <cstdint>

#include "render/shade_params.h"
#include "render/sprite_buffer.h"

// Resizes maps[0..2] to the sprite size and fills them: maps[0] the height map (kind 2),
// maps[1] the x slopes and maps[2] the y slopes (kind 3).
void BuildBallMaps(SpriteBuffer* maps, const ShadeParams& look);

// Fits an ellipse diameter to its sprite side: at least 2 (unless the side is smaller),
// then the whole side, or an even number at least 2 below it.
int32_t FitDiameter(int32_t diameter, int32_t side);

// floor(sqrt(value)) for value >= 0, computed bit by bit: 0x4000 preset when value >=
// 0x10000000, then bits 0x2000 down to 1 tried; at most 0x7FFF.
int32_t BitRoot(int32_t value);
