#include "render/fade_planes.h"

#include "render/vector_paths.h"

#if QUORIX_HAS_SSE2_KERNELS
#include <emmintrin.h>
#endif

namespace {

inline uint32_t Faded(uint32_t p, bool strong) {
    uint32_t q = p - (strong ? 0x200u : 0x100u);
    if ((q & 0xF0u) != 0) q -= 1;
    if (strong && (q & 0xE00000u) != 0) q -= 0x10000;
    return q;
}

inline bool Fades(uint32_t p, bool strong) {
    return (p & 0xFF00u) > (strong ? 0x1F00u : 0x3F00u);
}

inline uint32_t Saw(uint32_t p) {
    const uint32_t g = p & 0xFF00u;
    return (g > 0x1F00u ? kFadeSawStrong : 0u) | (g > 0x3F00u ? kFadeSawWeak : 0u);
}

}  // namespace

uint32_t FadePlanesPlain(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    uint32_t saw = 0;
    for (int64_t i = 0; i < count; ++i) {
        const uint32_t p = background[i];
        saw |= Saw(p);
        if (!Fades(p, strong)) continue;
        const uint32_t q = Faded(p, strong);
        background[i] = q;
        front[i] = q;
    }
    return saw;
}

void FadeTileRunPlain(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                      uint8_t* saw) {
    for (int32_t k = 0; k < tiles; ++k) {
        const int64_t at = int64_t(k) * kFadeTileWidth;
        saw[k] =
            uint8_t(saw[k] | FadePlanesPlain(background + at, front + at, kFadeTileWidth, strong));
    }
}

#if QUORIX_HAS_SSE2_KERNELS

namespace {

// One pass's step on four words at once: green down by one or two levels, blue
// down by one where it is left above 0x0F, and red down in the strong pass.
struct FadeStepSse2 {
    __m128i step, blue, red, one, redStep, zero;
    explicit FadeStepSse2(bool strong)
        : step(_mm_set1_epi32(strong ? 0x200 : 0x100)),
          blue(_mm_set1_epi32(0xF0)),
          // The red test is against 0 in the weak pass, so it never subtracts there.
          red(_mm_set1_epi32(strong ? 0xE00000 : 0)),
          one(_mm_set1_epi32(1)),
          redStep(_mm_set1_epi32(0x10000)),
          zero(_mm_setzero_si128()) {}
    __m128i operator()(__m128i p) const {
        __m128i q = _mm_sub_epi32(p, step);
        q = _mm_sub_epi32(q, _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(q, blue), zero), one));
        return _mm_sub_epi32(
            q, _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(q, red), zero), redStep));
    }
};

}  // namespace

uint32_t FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    const __m128i green = _mm_set1_epi32(0xFF00);
    const __m128i limit = _mm_set1_epi32(strong ? 0x1F00 : 0x3F00);
    // The other pass's limit, for what the run saw.
    const __m128i otherLimit = _mm_set1_epi32(strong ? 0x3F00 : 0x1F00);
    const FadeStepSse2 faded(strong);
    __m128i sawOther = _mm_setzero_si128();
    int fadedAny = 0;
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* b = reinterpret_cast<__m128i*>(background + i);
        const __m128i p = _mm_loadu_si128(b);
        const __m128i g = _mm_and_si128(p, green);
        const __m128i fades = _mm_cmpgt_epi32(g, limit);
        sawOther = _mm_or_si128(sawOther, _mm_cmpgt_epi32(g, otherLimit));
        const int mask = _mm_movemask_epi8(fades);
        if (mask == 0) continue;
        fadedAny = 1;
        const __m128i q = faded(p);
        __m128i* f = reinterpret_cast<__m128i*>(front + i);
        const __m128i old = _mm_loadu_si128(f);
        _mm_storeu_si128(b, _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, p)));
        _mm_storeu_si128(f, _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, old)));
    }
    const uint32_t other = _mm_movemask_epi8(sawOther) != 0 ? 1u : 0u;
    const uint32_t saw = strong ? (fadedAny ? kFadeSawStrong : 0u) | (other ? kFadeSawWeak : 0u)
                                : (fadedAny ? kFadeSawWeak : 0u) | (other ? kFadeSawStrong : 0u);
    return saw | FadePlanesPlain(background + i, front + i, count - i, strong);
}

void FadeTileRunSse2(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                     uint8_t* saw) {
    static_assert(kFadeTileWidth == 16, "a tile is four vectors");
    const __m128i green = _mm_set1_epi32(0xFF00);
    const __m128i weakLimit = _mm_set1_epi32(0x3F00);
    const __m128i strongLimit = _mm_set1_epi32(0x1F00);
    const FadeStepSse2 faded(strong);
    for (int32_t k = 0; k < tiles; ++k) {
        __m128i* b = reinterpret_cast<__m128i*>(background + int64_t(k) * kFadeTileWidth);
        __m128i* f = reinterpret_cast<__m128i*>(front + int64_t(k) * kFadeTileWidth);
        __m128i p[4], overWeak[4], overStrong[4];
        for (int v = 0; v < 4; ++v) {
            p[v] = _mm_loadu_si128(b + v);
            const __m128i g = _mm_and_si128(p[v], green);
            overWeak[v] = _mm_cmpgt_epi32(g, weakLimit);
            overStrong[v] = _mm_cmpgt_epi32(g, strongLimit);
        }
        const int weakMask = _mm_movemask_epi8(_mm_or_si128(
            _mm_or_si128(overWeak[0], overWeak[1]), _mm_or_si128(overWeak[2], overWeak[3])));
        const int strongMask =
            _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(overStrong[0], overStrong[1]),
                                           _mm_or_si128(overStrong[2], overStrong[3])));
        saw[k] = uint8_t(saw[k] | (strongMask != 0 ? kFadeSawStrong : 0u) |
                         (weakMask != 0 ? kFadeSawWeak : 0u));
        if ((strong ? strongMask : weakMask) == 0) continue;
        for (int v = 0; v < 4; ++v) {
            const __m128i fades = strong ? overStrong[v] : overWeak[v];
            const int lanes = _mm_movemask_epi8(fades);
            if (lanes == 0) continue;
            const __m128i q = faded(p[v]);
            if (lanes == 0xFFFF) {
                // Every lane fades: the front words are replaced without being read.
                _mm_storeu_si128(b + v, q);
                _mm_storeu_si128(f + v, q);
                continue;
            }
            const __m128i old = _mm_loadu_si128(f + v);
            _mm_storeu_si128(b + v,
                             _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, p[v])));
            _mm_storeu_si128(f + v,
                             _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, old)));
        }
    }
}

void PrefetchTileRun(const uint32_t* background, const uint32_t* front, int32_t tiles) {
    for (int32_t k = 0; k < tiles; ++k) {
        _mm_prefetch(reinterpret_cast<const char*>(background + int64_t(k) * kFadeTileWidth),
                     _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(front + int64_t(k) * kFadeTileWidth),
                     _MM_HINT_T0);
    }
}

#else

uint32_t FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    return FadePlanesPlain(background, front, count, strong);
}

void FadeTileRunSse2(uint32_t* background, uint32_t* front, int32_t tiles, bool strong,
                     uint8_t* saw) {
    FadeTileRunPlain(background, front, tiles, strong, saw);
}

void PrefetchTileRun(const uint32_t*, const uint32_t*, int32_t) {}

#endif

uint32_t FadePlanes(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    if (QUORIX_HAS_SSE2_KERNELS)
        return FadePlanesSse2(background, front, count, strong);
    else
        return FadePlanesPlain(background, front, count, strong);
}

void FadeTileRun(uint32_t* background, uint32_t* front, int32_t tiles, bool strong, uint8_t* saw) {
    if (UseAvx512())
        FadeTileRunAvx512(background, front, tiles, strong, saw);
    else if (QUORIX_HAS_SSE2_KERNELS)
        FadeTileRunSse2(background, front, tiles, strong, saw);
    else
        FadeTileRunPlain(background, front, tiles, strong, saw);
}
