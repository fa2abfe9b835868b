// BlendRowAvx512: BlendRowSse2's 16-bit channel arithmetic on sixteen pixels at a time.
// The unpacking and packing work within each 128-bit block, as the SSE2 code does on its
// one block, so each block's four pixels take exactly the SSE2 steps. A row's last few
// pixels are loaded as empty sprite pixels past the end, and only the pixels of the row
// that are not empty are stored.
#include "render/blend_rows.h"

#include "render/vector_paths.h"

#if QUORIX_HAS_AVX512_KERNELS

#include "render/avx512_lanes.h"

using namespace avx512;

namespace {

// ((sc * sw) >> 8) + ((dc * dw) >> 8) in 16-bit lanes.
AVX512 inline V Mix(V sc, V dc, V sw, V dw) {
    return _mm512_add_epi16(_mm512_srli_epi16(_mm512_mullo_epi16(sc, sw), 8),
                            _mm512_srli_epi16(_mm512_mullo_epi16(dc, dw), 8));
}

}  // namespace

AVX512 void BlendRowAvx512(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    const V zero = Zero();
    const V full = Set(255);
    const V boost = Set(opacityBoost);
    const V halfBoost = Set(opacityBoost >> 1);
    const V base = Set(256);
    for (int32_t k = 0; k < count; k += 16) {
        const int32_t left = count - k;
        const M active = left >= 16 ? kAll : static_cast<M>((1u << left) - 1);
        const V sp = _mm512_mask_loadu_epi32(Set(int32_t(0xFF000000u)), active, s + k);
        const V t = _mm512_srli_epi32(sp, 24);
        const M store = _mm512_cmpneq_epi32_mask(t, full);
        if (store == 0) continue;
        const M opaque = IsZero(t);
        if ((store & ~opaque) == 0) {
            _mm512_mask_storeu_epi32(d + k, store, sp);
            continue;
        }
        const V dp = _mm512_maskz_loadu_epi32(store, d + k);
        V u = t;
        if (opacityBoost != 0)
            u = _mm512_mask_sub_epi32(_mm512_srli_epi32(t, 1), Greater(t, boost), t, halfBoost);
        const V w = Sub(base, u);
        // Each pixel's weight in all four of its 16-bit channel lanes.
        const V u2 = Or(u, _mm512_slli_epi32(u, 16));
        const V w2 = Or(w, _mm512_slli_epi32(w, 16));
        const V lo = Mix(_mm512_unpacklo_epi8(sp, zero), _mm512_unpacklo_epi8(dp, zero),
                         _mm512_unpacklo_epi32(w2, w2), _mm512_unpacklo_epi32(u2, u2));
        const V hi = Mix(_mm512_unpackhi_epi8(sp, zero), _mm512_unpackhi_epi8(dp, zero),
                         _mm512_unpackhi_epi32(w2, w2), _mm512_unpackhi_epi32(u2, u2));
        const V mixed = And(_mm512_packus_epi16(lo, hi), Set(0x00FFFFFF));
        _mm512_mask_storeu_epi32(d + k, store, Select(opaque, sp, mixed));
    }
}

#else

void BlendRowAvx512(const uint32_t* s, uint32_t* d, int32_t count, int32_t opacityBoost) {
    BlendRowSse2(s, d, count, opacityBoost);
}

#endif
