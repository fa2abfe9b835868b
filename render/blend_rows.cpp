#include "render/blend_rows.h"

#include "render/vector_paths.h"
#include "render/wrap_math.h"

#if QUORIX_HAS_SSE2_KERNELS
#include <emmintrin.h>
#endif

namespace {

inline int32_t Byte(uint32_t word, int shift) {
    return int32_t((word >> shift) & 0xFF);
}

inline int32_t Boosted(int32_t t, int32_t opacityBoost) {
    if (opacityBoost == 0) return t;
    return t > opacityBoost ? wrap::Sub(t, opacityBoost >> 1) : t >> 1;
}

}  // namespace

void BlendRowPlain(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    for (int32_t k = 0; k < count; ++k) {
        const uint32_t sp = s[k];
        const int32_t t = int32_t(sp >> 24);
        if (t == 0) {
            d[k] = sp;
        } else if (t != 255) {
            const int32_t u = Boosted(t, opacityBoost);
            const uint32_t dp = d[k];
            // Wrapping products: a boost far outside 0..255 (no ball has one) must not
            // overflow.
            const auto mix = [&](int shift) {
                return wrap::Add(wrap::Mul(Byte(sp, shift), wrap::Sub(256, u)) >> 8,
                                 wrap::Mul(Byte(dp, shift), u) >> 8);
            };
            d[k] = ((uint32_t(mix(16)) << 16) | (uint32_t(mix(8)) << 8) | uint32_t(mix(0))) &
                   0x00FFFFFFu;
        }
    }
}

#if QUORIX_HAS_SSE2_KERNELS

// Four pixels at a time in 16-bit channel lanes: a boost of 0..255 keeps u in 0..254,
// so s.c * (256 - u) and d.c * u stay below 65536 and each sum of the two shifted
// products below 256.
void BlendRowSse2(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi32(255);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    const __m128i boost = _mm_set1_epi32(opacityBoost);
    const __m128i halfBoost = _mm_set1_epi32(opacityBoost >> 1);
    const __m128i base = _mm_set1_epi32(256);
    int32_t k = 0;
    for (; k + 4 <= count; k += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k));
        const __m128i t = _mm_srli_epi32(sp, 24);
        const __m128i opaque = _mm_cmpeq_epi32(t, zero);
        const __m128i empty = _mm_cmpeq_epi32(t, full);
        const int opaqueBits = _mm_movemask_epi8(opaque);
        const int emptyBits = _mm_movemask_epi8(empty);
        if (emptyBits == 0xFFFF) continue;
        __m128i* out = reinterpret_cast<__m128i*>(d + k);
        if (opaqueBits == 0xFFFF) {
            _mm_storeu_si128(out, sp);
            continue;
        }
        const __m128i dp = _mm_loadu_si128(out);
        __m128i u = t;
        if (opacityBoost != 0) {
            const __m128i above = _mm_cmpgt_epi32(t, boost);
            u = _mm_or_si128(_mm_and_si128(above, _mm_sub_epi32(t, halfBoost)),
                             _mm_andnot_si128(above, _mm_srli_epi32(t, 1)));
        }
        const __m128i w = _mm_sub_epi32(base, u);
        // Each pixel's weight in all four of its 16-bit channel lanes.
        const __m128i u2 = _mm_or_si128(u, _mm_slli_epi32(u, 16));
        const __m128i w2 = _mm_or_si128(w, _mm_slli_epi32(w, 16));
        const auto mix = [&](__m128i sc, __m128i dc, __m128i sw, __m128i dw) {
            return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(sc, sw), 8),
                                 _mm_srli_epi16(_mm_mullo_epi16(dc, dw), 8));
        };
        const __m128i lo = mix(_mm_unpacklo_epi8(sp, zero), _mm_unpacklo_epi8(dp, zero),
                               _mm_unpacklo_epi32(w2, w2), _mm_unpacklo_epi32(u2, u2));
        const __m128i hi = mix(_mm_unpackhi_epi8(sp, zero), _mm_unpackhi_epi8(dp, zero),
                               _mm_unpackhi_epi32(w2, w2), _mm_unpackhi_epi32(u2, u2));
        const __m128i mixed = _mm_and_si128(_mm_packus_epi16(lo, hi), colour);
        const __m128i keep = _mm_or_si128(opaque, empty);
        const __m128i result =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(opaque, sp), _mm_and_si128(empty, dp)),
                         _mm_andnot_si128(keep, mixed));
        _mm_storeu_si128(out, result);
    }
    // The last one to three pixels as a whole vector in scratch words; the spare lanes
    // hold empty sprite pixels, which keep their plane word.
    if (k < count) {
        uint32_t sprite[4] = {0xFF000000u, 0xFF000000u, 0xFF000000u, 0xFF000000u};
        uint32_t plane[4] = {};
        for (int32_t j = 0; j < count - k; ++j) {
            sprite[j] = s[k + j];
            plane[j] = d[k + j];
        }
        BlendRowSse2(sprite, plane, 4, opacityBoost);
        for (int32_t j = 0; j < count - k; ++j)
            d[k + j] = plane[j];
    }
}

#else

void BlendRowSse2(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    BlendRowPlain(s, d, count, opacityBoost);
}

#endif

void BlendRow(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    const bool narrow = opacityBoost >= 0 && opacityBoost <= 255;
    if (narrow && UseAvx512())
        BlendRowAvx512(s, d, count, opacityBoost);
    else if (QUORIX_HAS_SSE2_KERNELS && narrow)
        BlendRowSse2(s, d, count, opacityBoost);
    else
        BlendRowPlain(s, d, count, opacityBoost);
}
