// Position jitter of the wobble event: 8-step and 16-step closed paths.
#pragma once

#include <cstdint>

extern const int32_t WOB8X[8];
extern const int32_t WOB8Y1[8];
extern const int32_t WOB8Y2[8];
extern const int32_t WOB16X[16];
extern const int32_t WOB16Y1[16];
extern const int32_t WOB16Y2[16];
