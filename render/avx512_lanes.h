// 32-bit lane operations for the AVX-512 kernels, sixteen lanes with the renderer's
// wrapping arithmetic, and lane masks in mask registers. Included only by files that build
// the AVX-512 kernels (under QUORIX_HAS_AVX512_KERNELS); every function carries the
// AVX-512 target itself, so nothing else in those files is compiled for AVX-512.
#pragma once

#include "platform/avx512_intrinsics.h"  // first: it quiets a false GCC warning

#include <cstdint>

#define AVX512 __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx512cd")))

namespace avx512 {

using V = __m512i;
using M = __mmask16;

constexpr M kAll = 0xFFFF;

AVX512 inline V Set(int32_t x) {
    return _mm512_set1_epi32(x);
}
AVX512 inline V Zero() {
    return _mm512_setzero_si512();
}
AVX512 inline V Add(V a, V b) {
    return _mm512_add_epi32(a, b);
}
AVX512 inline V Sub(V a, V b) {
    return _mm512_sub_epi32(a, b);
}
AVX512 inline V Mul(V a, V b) {
    return _mm512_mullo_epi32(a, b);
}
AVX512 inline V And(V a, V b) {
    return _mm512_and_si512(a, b);
}
AVX512 inline V Or(V a, V b) {
    return _mm512_or_si512(a, b);
}
AVX512 inline V Neg(V a) {
    return _mm512_sub_epi32(_mm512_setzero_si512(), a);
}
AVX512 inline V Sra(V a, int n) {
    return _mm512_srai_epi32(a, static_cast<unsigned>(n));
}
// mask ? a : b, lane by lane.
AVX512 inline V Select(M mask, V a, V b) {
    return _mm512_mask_blend_epi32(mask, b, a);
}
AVX512 inline M Greater(V a, V b) {
    return _mm512_cmpgt_epi32_mask(a, b);
}
AVX512 inline M IsZero(V a) {
    return _mm512_testn_epi32_mask(a, a);
}
AVX512 inline M NonZero(V a) {
    return _mm512_test_epi32_mask(a, a);
}
AVX512 inline M IsNegative(V a) {
    return _mm512_movepi32_mask(a);
}

// Truncating division with wrap::Div's results: x / 0 is 0, INT32_MIN / -1 is INT32_MIN
// (the conversion of 2^31 gives exactly that).
AVX512 inline V Div(V a, V b) {
    const __m512d alo = _mm512_cvtepi32_pd(_mm512_castsi512_si256(a));
    const __m512d ahi = _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(a, 1));
    const __m512d blo = _mm512_cvtepi32_pd(_mm512_castsi512_si256(b));
    const __m512d bhi = _mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(b, 1));
    const __m256i qlo = _mm512_cvttpd_epi32(_mm512_div_pd(alo, blo));
    const __m256i qhi = _mm512_cvttpd_epi32(_mm512_div_pd(ahi, bhi));
    return _mm512_maskz_mov_epi32(NonZero(b),
                                  _mm512_inserti64x4(_mm512_castsi256_si512(qlo), qhi, 1));
}

// BitRoot: floor(sqrt(v)) limited to 0x7FFF, 0 for v < 0.
AVX512 inline V Root(V v) {
    const __m256i lo =
        _mm512_cvttpd_epi32(_mm512_sqrt_pd(_mm512_cvtepi32_pd(_mm512_castsi512_si256(v))));
    const __m256i hi =
        _mm512_cvttpd_epi32(_mm512_sqrt_pd(_mm512_cvtepi32_pd(_mm512_extracti64x4_epi64(v, 1))));
    const V r =
        _mm512_min_epi32(_mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1), Set(0x7FFF));
    return _mm512_maskz_mov_epi32(static_cast<M>(~IsNegative(v)), r);
}

// The number of leading zero bits of each lane (32 for 0).
AVX512 inline V LeadingZeros(V a) {
    return _mm512_lzcnt_epi32(a);
}

}  // namespace avx512
