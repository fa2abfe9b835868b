// Integer sine and cosine over 32 steps per turn, amplitude 403. The values are
// stored as given (a few differ from 403*sin rounded) and must not be recomputed.
#pragma once

#include <cstdint>

extern const int32_t SIN32[32];
extern const int32_t COS32[32];
