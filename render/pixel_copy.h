// Rectangle copies and in-place mirrors, flips and transposes of 32-bit pixel blocks.
#pragma once

#include <cstdint>

// Copies rows x width words. Strides are in words: a sourceStride of 0 means width, a
// destinationStride of 0 means the effective sourceStride. Nothing is clipped.
void CopyPixels(const uint32_t* source, uint32_t* destination, int32_t width, int32_t rows,
                int32_t sourceStride, int32_t destinationStride);

// Rearranges a width x rows block in place; stride 0 means width.
//  1 horizontal flip, 2 vertical flip, 3 transpose, 4 transpose across the other diagonal;
//  5 right half := mirrored left half, 6 left := mirrored right, 7 upper rows := mirrored
//  lower rows, 8 lower := mirrored upper; 9-12 the four triangle copies of the square
//  (see pixel_copy.cpp); 13-20 as 5-12 storing negated words.
// Any other mode changes nothing.
void TransformPixels(int32_t mode, uint32_t* pixels, int32_t width, int32_t rows, int32_t stride);
