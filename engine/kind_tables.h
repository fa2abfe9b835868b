// Velocity tables of the special kinds: the looping flight of kind 9 and the
// pushes the hub gives its eight children while it shrinks.
#pragma once

#include <cstdint>

extern const int32_t LOOP16X[16];
extern const int32_t LOOP16Y[16];
extern const int32_t HUBPUSH1X[8];
extern const int32_t HUBPUSH1Y[8];
extern const int32_t HUBPUSH2X[8];
extern const int32_t HUBPUSH2Y[8];
extern const int32_t HUBPUSH3X[8];
extern const int32_t HUBPUSH3Y[8];
