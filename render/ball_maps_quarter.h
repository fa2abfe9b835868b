// The upper right quarter of a ball's cap, one row at a time: what BuildBallMaps computes
// per pixel before the bands and mirrors.
#pragma once

#include <cstdint>

struct QuarterSetup {
    int32_t kxIn, kxOut, kyIn, kyOut;  // 0x3FFFFFFF over the squared diameters
    int32_t jOffset;                   // 1 for an even width diameter, else 0
    bool spherical;                    // spherical height profile, else parabolic
};

// Fills count pixels of one quarter row at half-pixel row position i: height words and
// both slopes for columns j = 2m + jOffset, m = 0 .. count - 1.
void QuarterRowPortable(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                        int32_t* ySlope, int32_t count);
// The same words, eight and sixteen columns at a time.
void QuarterRowAvx2(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                    int32_t* ySlope, int32_t count);
void QuarterRowAvx512(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                      int32_t* ySlope, int32_t count);

// One pixel of a quarter row, column position j.
void QuarterPixel(const QuarterSetup& q, int32_t i, int32_t j, uint32_t* height, int32_t* xSlope,
                  int32_t* ySlope);
