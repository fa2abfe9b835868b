#include "platform/x11/pixel_kernels.h"

#if defined(__SSE2__)

#include <emmintrin.h>

namespace {

struct V {
    using R = __m128i;
    static constexpr int kLanes = 4;
    static R Load(const void* p) { return _mm_loadu_si128(static_cast<const R*>(p)); }
    static void Store(void* p, R v) { _mm_storeu_si128(static_cast<R*>(p), v); }
    static R Set32(uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static R Set16(uint16_t x) { return _mm_set1_epi16(static_cast<short>(x)); }
    static R And(R a, R b) { return _mm_and_si128(a, b); }
    static R Or(R a, R b) { return _mm_or_si128(a, b); }
    static R Xor(R a, R b) { return _mm_xor_si128(a, b); }
    static R Sub32(R a, R b) { return _mm_sub_epi32(a, b); }
    static R Srl32(R v, __m128i count) { return _mm_srl_epi32(v, count); }
    static R Sll32(R v, __m128i count) { return _mm_sll_epi32(v, count); }
    static R Srli32(R v, int count) { return _mm_srli_epi32(v, count); }
    static R Packs32(R a, R b) { return _mm_packs_epi32(a, b); }
    static R Add16(R a, R b) { return _mm_add_epi16(a, b); }
    static R Mullo16(R a, R b) { return _mm_mullo_epi16(a, b); }
    static R Mulhi16(R a, R b) { return _mm_mulhi_epu16(a, b); }
    static R Srli16(R v, int count) { return _mm_srli_epi16(v, count); }
    // Two groups of eight 16-bit indexes into a table of bytes.
    struct Lookup {
        const uint8_t* table;
        Lookup(const uint8_t* t, int) : table(t) {}
        void operator()(R a, R b, uint8_t* dst) const {
            alignas(16) uint16_t lanes[16];
            Store(lanes, a);
            Store(lanes + 8, b);
            for (int k = 0; k < 16; ++k)
                dst[k] = table[lanes[k]];
        }
    };
};

#include "platform/x11/pixel_kernels.inc"

}  // namespace

int ConvertRowSse2(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst) {
    return ConvertRowWith<V>(kernel, src, count, dst);
}

bool HaveSse2Kernels() {
    return true;
}

bool HaveAvx2Kernels() {
#if defined(__GNUC__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

#else

int ConvertRowSse2(const RowKernel&, const uint32_t*, int, uint8_t*) {
    return 0;
}

bool HaveSse2Kernels() {
    return false;
}

bool HaveAvx2Kernels() {
    return false;
}

#endif
