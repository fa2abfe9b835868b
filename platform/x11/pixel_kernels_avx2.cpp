// Built with -mavx2 on x86-64 (platform/CMakeLists.txt); called only where
// HaveAvx2Kernels().
#include "platform/x11/pixel_kernels.h"

#if defined(__AVX2__)

#include <immintrin.h>

namespace {

struct V {
    using R = __m256i;
    static constexpr int kLanes = 8;
    static R Load(const void* p) { return _mm256_loadu_si256(static_cast<const R*>(p)); }
    static void Store(void* p, R v) { _mm256_storeu_si256(static_cast<R*>(p), v); }
    static R Set32(uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static R Set16(uint16_t x) { return _mm256_set1_epi16(static_cast<short>(x)); }
    static R And(R a, R b) { return _mm256_and_si256(a, b); }
    static R Or(R a, R b) { return _mm256_or_si256(a, b); }
    static R Xor(R a, R b) { return _mm256_xor_si256(a, b); }
    static R Sub32(R a, R b) { return _mm256_sub_epi32(a, b); }
    static R Srl32(R v, __m128i count) { return _mm256_srl_epi32(v, count); }
    static R Sll32(R v, __m128i count) { return _mm256_sll_epi32(v, count); }
    static R Srli32(R v, int count) { return _mm256_srli_epi32(v, count); }
    // The pack works within each 128-bit half: put the halves back in order.
    static R Packs32(R a, R b) { return _mm256_permute4x64_epi64(_mm256_packs_epi32(a, b), 0xD8); }
    static R Add16(R a, R b) { return _mm256_add_epi16(a, b); }
    static R Mullo16(R a, R b) { return _mm256_mullo_epi16(a, b); }
    static R Mulhi16(R a, R b) { return _mm256_mulhi_epu16(a, b); }
    static R Srli16(R v, int count) { return _mm256_srli_epi16(v, count); }
};

#include "platform/x11/pixel_kernels.inc"

}  // namespace

int ConvertRowAvx2(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst) {
    return ConvertRowWith<V>(kernel, src, count, dst);
}

#else

int ConvertRowAvx2(const RowKernel&, const uint32_t*, int, uint8_t*) {
    return 0;
}

#endif
