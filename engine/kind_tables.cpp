#include "engine/kind_tables.h"

const int32_t LOOP16X[16] = {-5, -5, -5, -5, -5, -3, -1, 3, 5, 5, 3, 1, 1, -1, -3, -5};
const int32_t LOOP16Y[16] = {3, 1, 1, -1, -3, -5, -5, -3, 1, 3, 5, 5, 5, 5, 5, 5};
const int32_t HUBPUSH1X[8] = {-1, 1, 1, -1, 1, -1, 0, 0};
const int32_t HUBPUSH1Y[8] = {1, -1, 1, -1, 0, 0, -1, 1};
const int32_t HUBPUSH2X[8] = {1, -1, -1, 1, 1, -1, 0, 0};
const int32_t HUBPUSH2Y[8] = {-1, 1, -1, 1, 0, 0, -1, 1};
const int32_t HUBPUSH3X[8] = {-1, 1, 1, -1, -1, 1, 0, 0};
const int32_t HUBPUSH3Y[8] = {1, -1, 1, -1, 0, 0, 1, -1};
