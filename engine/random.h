// The animation's 15-bit pseudo-random generator: a per-thread 32-bit state with
// the classic linear-congruential step, so that every platform draws the same
// sequence for the same seed. The C library's rand() is never used because its
// range and sequence differ between platforms.
#pragma once

#include <cstdint>

// Sets the calling thread's generator state.
void SeedRandom(uint32_t seed);

// state = state * 214013 + 2531011 (mod 2^32); returns (state >> 16) & 0x7FFF.
int32_t NextRandom();
