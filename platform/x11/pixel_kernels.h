// The vector kernels of RowConverter, built twice from one source
// (pixel_kernels.inc): for SSE2, which every x86-64 has, and for AVX2, used
// when the processor has it; 8-bit colour cubes and grey ramps have an
// AVX-512 kernel of their own (pixel_kernels_avx512.cpp). All give the bits of the plain loops.
#pragma once

#include <cstdint>

struct RowKernel {
    enum Kind : uint8_t { NoKernel, Copy32, Copy16, Shifts32, Shifts16, Gray8, Cube8 };
    Kind kind = NoKernel;
    bool shiftsLeft = false;  // Shifts: some channel moves to higher bits
    uint32_t keep = 0;        // Copy: the pixel's bits that stay
    uint32_t alpha = 0;       // bits set in every pixel
    uint32_t right[3] = {}, left[3] = {}, mask[3] = {};  // Shifts: per channel
    int levels = 0;                                      // Cube8: levels per channel
    const uint8_t* table = nullptr;           // Gray8, Cube8: the pixel bytes, tableSize of them
    int tableSize = 0;                        // whole 16-byte parts (zeros after the end)
    const uint8_t* cubeLevelBytes = nullptr;  // Cube8: the level of each channel value, 256
};

// Convert the leading pixels of a row (whole groups of 4 or 8 pixels, 8 or
// 16 with AVX2) and return how many; the caller converts the rest.
int ConvertRowSse2(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst);
int ConvertRowAvx2(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst);
// Converts the whole row for 8-bit cubes and grey ramps of up to 256 pixels;
// other kinds go to ConvertRowAvx2.
int ConvertRowAvx512(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst);

// Whether the SSE2 kernels were built (x86) and whether this processor and
// its operating system can run the AVX2 and the AVX-512 ones.
bool HaveSse2Kernels();
bool HaveAvx2Kernels();
bool HaveAvx512Kernels();
