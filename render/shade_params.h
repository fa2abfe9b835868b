// The look of a ball: everything BuildBallMaps and ShadeBall read. A plain record of
// 32-bit signed words in a fixed order; the engine copies leading words as a block.
#pragma once

#include <cstdint>
#include <type_traits>

struct ShadeColour {
    int32_t r;
    int32_t g;
    int32_t b;
};

struct ShadeParams {
    ShadeColour topColour;       // colour where the height is 0x7FFF
    ShadeColour rimColour;       // colour where the height is 0
    ShadeColour diffuseColour;   // surface turned toward the light
    ShadeColour specularColour;  // the highlight
    int32_t shadingFlags;        // kShadeSpherical, kShadeDivideByLength, kShadeSimple
    int32_t opacityControl;      // body transparency, -255..255 after clamping
    int32_t spriteWidth;
    int32_t spriteHeight;
    int32_t normalRadius;  // sets the z component of every surface normal
    int32_t ellipseWidth;  // diameters of the elliptic cap
    int32_t ellipseHeight;
    int32_t lightDirection;       // packed angles: bits 0-15 azimuth, 16-25 polar angle
    int32_t backLight;            // multiplier for light from behind
    int32_t specularIndex;        // highlight exponent index 0..8, 0 = none
    int32_t secondLight;          // packed highlight angles, negative = lightDirection
    int32_t secondSpecularIndex;  // mirrored second highlight, 0 = none
    int32_t sharpenShift;         // flattening of the highlight's peak, 0 = none
    int32_t slopeRamp;            // extra slope per pixel of distance from the centre
};

static_assert(std::is_standard_layout_v<ShadeParams> && std::is_trivially_copyable_v<ShadeParams>);
static_assert(sizeof(ShadeParams) == 26 * sizeof(int32_t), "ShadeParams is 26 plain words");

// shadingFlags bits.
constexpr int32_t kShadeDivideByLength = 0x2;  // diffuse term divided by the normal's length
constexpr int32_t kShadeSpherical = 0x10;      // spherical height profile (else parabolic)
constexpr int32_t kShadeSimple = 0x8000;       // simple shading path
