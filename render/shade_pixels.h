// The per-pixel part of ShadeBall: everything it needs from a look, worked out once per
// ball, and the kernels that light a run of pixels with it.
#pragma once

#include <cstdint>

#include "render/shade_params.h"

struct ShadeSetup {
    ShadeColour rim;
    ShadeColour topMinusRim;  // top - rim per channel, wrapped
    ShadeColour diffuse;
    ShadeColour specular;
    int32_t lx, ly, lightZ;  // light vector, lz already times nz
    int32_t hx, hy, highZ;   // highlight vector, hz already times nz
    int32_t nz2;
    int32_t opacity;  // clamped and mapped as ShadeBall describes, 0 = keep t
    int32_t backLight;
    int32_t specularIndex;  // as in the look; 0 = no highlight
    int32_t secondSpecularIndex;
    int32_t sharpenShift;
    // For the vector kernels: the specular indices limited to the tables (0..8) and the
    // larger of the two; sharpening flattens v above sharpenAbove (every v when
    // sharpenAll), shifting by sharpenCount (at most 32).
    int32_t firstTable, secondTable, maxTable;
    int32_t sharpenAbove;
    int32_t sharpenCount;
    bool sharpenAll;
    bool simple;  // the simple shading path
    bool divide;  // diffuse divided by the normal's length
};

ShadeSetup MakeShadeSetup(const ShadeParams& look);

// The lit word of one height-map word with its two slopes; empty pixels (top byte 0xFF)
// keep their word.
uint32_t ShadePixel(const ShadeSetup& s, uint32_t word, int32_t sx, int32_t sy);

// Lights count pixels in place: height[k] becomes the lit word of height[k], xSlope[k],
// ySlope[k]. The portable kernel calls ShadePixel for each; the AVX2 and AVX-512 ones give
// the same words eight and sixteen at a time.
void ShadePixelsPortable(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                         const int32_t* ySlope, int32_t count);
void ShadePixelsAvx2(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                     const int32_t* ySlope, int32_t count);
void ShadePixelsAvx512(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                       const int32_t* ySlope, int32_t count);
