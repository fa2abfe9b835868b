// The look every ball starts from: the ordinary ball's greens, a spherical
// profile of side x side px with an ellipse of the same size and a normal
// radius of side, lit from 0x880180 with highlight index 4, no second light,
// no transparency, back light, second highlight, sharpening or slope ramp.
// New balls, the ball tools, the icon and the benchmarks start from it and
// change what their look needs.
#pragma once

#include <cstdint>

#include "render/shade_params.h"

inline ShadeParams DefaultLook(int32_t side = 8) {
    ShadeParams look = {};
    look.topColour = {0, 64, 0};
    look.rimColour = {0, 64, 0};
    look.diffuseColour = {0, 128, 0};
    look.specularColour = {128, 192, 128};
    look.shadingFlags = kShadeSpherical;
    look.spriteWidth = look.spriteHeight = side;
    look.ellipseWidth = look.ellipseHeight = side;
    look.normalRadius = side;
    look.lightDirection = 0x880180;
    look.specularIndex = 4;
    look.secondLight = -1;
    return look;
}
