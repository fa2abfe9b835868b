#include "render/vector_paths.h"

namespace {
bool g_allowWide = true;
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

bool UseAvx2() {
    return g_allowWide && Avx2Available();
}

void AllowWidePaths(bool allow) {
    g_allowWide = allow;
}
