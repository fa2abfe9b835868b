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
    // Two groups of sixteen 16-bit indexes into a table of bytes. A table of
    // up to 256 bytes is held in registers, 16 bytes each, and every index
    // is looked up in each with a byte shuffle: the shuffle gives zero where
    // the index, less the part's start, is outside 0..15.
    struct Lookup {
        R part[16];
        int parts;
        const uint8_t* table;
        Lookup(const uint8_t* t, int size) : parts(size <= 256 ? (size + 15) / 16 : 0), table(t) {
            for (int c = 0; c < parts; ++c)
                part[c] = _mm256_broadcastsi128_si256(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + 16 * c)));
        }
        void operator()(R a, R b, uint8_t* dst) const {
            if (parts == 0) {
                alignas(32) uint16_t lanes[32];
                Store(lanes, a);
                Store(lanes + 16, b);
                for (int k = 0; k < 32; ++k)
                    dst[k] = table[lanes[k]];
                return;
            }
            R x = _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8);
            const R step = _mm256_set1_epi8(16);
            // 0..15 keep their low bits with bit 7 clear; 16..255 get bit 7.
            const R outside = _mm256_set1_epi8(0x70);
            R out = _mm256_setzero_si256();
            for (int c = 0; c < parts; ++c) {
                out = _mm256_or_si256(out,
                                      _mm256_shuffle_epi8(part[c], _mm256_adds_epu8(x, outside)));
                x = _mm256_sub_epi8(x, step);
            }
            Store(dst, out);
        }
    };
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
