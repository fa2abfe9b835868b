#include "render/vector_paths.h"

namespace {
VectorPath g_widest = VectorPath::kAvx512;
}

bool Avx2Available() {
#if QUORIX_HAS_AVX2_KERNELS
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
#else
    return false;
#endif
}

bool Avx512Available() {
#if QUORIX_HAS_AVX512_KERNELS
    // __builtin_cpu_supports reports the AVX-512 features only where the system saves
    // their registers (XCR0's opmask and upper ZMM state).
    static const bool available = [] {
        __builtin_cpu_init();
        return Avx2Available() && __builtin_cpu_supports("avx512f") != 0 &&
               __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512dq") != 0 &&
               __builtin_cpu_supports("avx512vl") != 0 && __builtin_cpu_supports("avx512cd") != 0;
    }();
    return available;
#else
    return false;
#endif
}

bool UseAvx2() {
    return g_widest >= VectorPath::kAvx2 && Avx2Available();
}

bool UseAvx512() {
    return g_widest >= VectorPath::kAvx512 && Avx512Available();
}

void AllowWidePaths(bool allow) {
    g_widest = allow ? VectorPath::kAvx512 : VectorPath::kPortable;
}

void LimitWidePaths(VectorPath widest) {
    g_widest = widest;
}
