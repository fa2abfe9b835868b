// FadeTileRunAvx512: the tile pass of the background fade with one 512-bit vector per
// tile of sixteen words. The words that fade are written to both planes through the
// lane mask, so neither plane is read or written elsewhere, as in the SSE2 pass.
#include "render/fade_planes.h"

#include "render/vector_paths.h"

#if QUORIX_HAS_AVX512_KERNELS

#include "render/avx512_lanes.h"

using namespace avx512;

namespace {

template <bool Strong>
AVX512 inline void FadeTiles(uint32_t* background, uint32_t* front, int32_t tiles, uint8_t* saw) {
    static_assert(kFadeTileWidth == 16, "a tile is one vector");
    const V green = Set(0xFF00);
    const V weakLimit = Set(0x3F00);
    const V strongLimit = Set(0x1F00);
    const V step = Set(Strong ? 0x200 : 0x100);
    const V blue = Set(0xF0);
    const V red = Set(0xE00000);
    for (int32_t k = 0; k < tiles; ++k) {
        uint32_t* b = background + int64_t(k) * kFadeTileWidth;
        const V p = _mm512_loadu_si512(b);
        const V g = And(p, green);
        const M overWeak = Greater(g, weakLimit);
        const M overStrong = Greater(g, strongLimit);
        saw[k] = uint8_t(saw[k] | (overStrong != 0 ? kFadeSawStrong : 0u) |
                         (overWeak != 0 ? kFadeSawWeak : 0u));
        const M fades = Strong ? overStrong : overWeak;
        if (fades == 0) continue;
        // Green down by one or two levels, blue down by one where it is left above 0x0F,
        // red down by one in the strong pass where it is left above 0x1F.
        V q = Sub(p, step);
        q = _mm512_mask_sub_epi32(q, _mm512_test_epi32_mask(q, blue), q, Set(1));
        if (Strong) q = _mm512_mask_sub_epi32(q, _mm512_test_epi32_mask(q, red), q, Set(0x10000));
        _mm512_mask_storeu_epi32(b, fades, q);
        _mm512_mask_storeu_epi32(front + int64_t(k) * kFadeTileWidth, fades, q);
    }
}

}  // namespace

AVX512 void FadeTileRunAvx512(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                              uint8_t* saw) {
    if (strong)
        FadeTiles<true>(background, front, tiles, saw);
    else
        FadeTiles<false>(background, front, tiles, saw);
}

#else

void FadeTileRunAvx512(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                       uint8_t* saw) {
    FadeTileRunSse2(background, front, tiles, strong, saw);
}

#endif
