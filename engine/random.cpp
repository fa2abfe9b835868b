#include "engine/random.h"

namespace {
// Threads that never seed start from 1, as the standard generator does.
thread_local uint32_t t_randomState = 1;
}  // namespace

void SeedRandom(uint32_t seed) {
    t_randomState = seed;
}

int32_t NextRandom() {
    t_randomState = t_randomState * 214013u + 2531011u;
    return static_cast<int32_t>((t_randomState >> 16) & 0x7FFFu);
}
