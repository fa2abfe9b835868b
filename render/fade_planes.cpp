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

}  // namespace

void FadePlanesPlain(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    for (int64_t i = 0; i < count; ++i) {
        const uint32_t p = background[i];
        if (!Fades(p, strong)) continue;
        const uint32_t q = Faded(p, strong);
        background[i] = q;
        front[i] = q;
    }
}

#if QUORIX_HAS_SSE2_KERNELS

void FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    const __m128i green = _mm_set1_epi32(0xFF00);
    const __m128i limit = _mm_set1_epi32(strong ? 0x1F00 : 0x3F00);
    const __m128i step = _mm_set1_epi32(strong ? 0x200 : 0x100);
    const __m128i blue = _mm_set1_epi32(0xF0);
    const __m128i red = _mm_set1_epi32(strong ? 0xE00000 : 0);
    const __m128i one = _mm_set1_epi32(1);
    const __m128i redStep = _mm_set1_epi32(0x10000);
    const __m128i zero = _mm_setzero_si128();
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        __m128i* b = reinterpret_cast<__m128i*>(background + i);
        const __m128i p = _mm_loadu_si128(b);
        const __m128i fades = _mm_cmpgt_epi32(_mm_and_si128(p, green), limit);
        if (_mm_movemask_epi8(fades) == 0) continue;
        __m128i q = _mm_sub_epi32(p, step);
        q = _mm_sub_epi32(q, _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(q, blue), zero), one));
        // The red test is against 0 in the weak pass, so it never subtracts there.
        q = _mm_sub_epi32(q,
                          _mm_andnot_si128(_mm_cmpeq_epi32(_mm_and_si128(q, red), zero), redStep));
        __m128i* f = reinterpret_cast<__m128i*>(front + i);
        const __m128i old = _mm_loadu_si128(f);
        _mm_storeu_si128(b, _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, p)));
        _mm_storeu_si128(f, _mm_or_si128(_mm_and_si128(fades, q), _mm_andnot_si128(fades, old)));
    }
    FadePlanesPlain(background + i, front + i, count - i, strong);
}

#else

void FadePlanesSse2(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    FadePlanesPlain(background, front, count, strong);
}

#endif

void FadePlanes(uint32_t* background, uint32_t* front, int64_t count, bool strong) {
    if (QUORIX_HAS_SSE2_KERNELS)
        FadePlanesSse2(background, front, count, strong);
    else
        FadePlanesPlain(background, front, count, strong);
}
