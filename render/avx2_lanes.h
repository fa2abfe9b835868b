// 32-bit lane operations for the AVX2 kernels, with the renderer's wrapping arithmetic
// lane by lane. Included only by files that build the AVX2 kernels (under
// QUORIX_HAS_AVX2_KERNELS); every function carries the AVX2 target itself, so nothing
// else in those files is compiled for AVX2.
#pragma once

#include <immintrin.h>

#include <cstdint>

#define AVX2 __attribute__((target("avx2")))

namespace avx2 {

using V = __m256i;

AVX2 inline V Set(int32_t x) {
    return _mm256_set1_epi32(x);
}
AVX2 inline V Add(V a, V b) {
    return _mm256_add_epi32(a, b);
}
AVX2 inline V Sub(V a, V b) {
    return _mm256_sub_epi32(a, b);
}
AVX2 inline V Mul(V a, V b) {
    return _mm256_mullo_epi32(a, b);
}
AVX2 inline V And(V a, V b) {
    return _mm256_and_si256(a, b);
}
AVX2 inline V Or(V a, V b) {
    return _mm256_or_si256(a, b);
}
// mask ? a : b, lane by lane (mask lanes are all ones or all zeros).
AVX2 inline V Select(V mask, V a, V b) {
    return _mm256_blendv_epi8(b, a, mask);
}
AVX2 inline V Greater(V a, V b) {
    return _mm256_cmpgt_epi32(a, b);
}
AVX2 inline V IsZero(V a) {
    return _mm256_cmpeq_epi32(a, _mm256_setzero_si256());
}
AVX2 inline V IsNegative(V a) {
    return _mm256_srai_epi32(a, 31);
}
AVX2 inline V Neg(V a) {
    return _mm256_sub_epi32(_mm256_setzero_si256(), a);
}
AVX2 inline bool None(V mask) {
    return _mm256_testz_si256(mask, mask) != 0;
}

// Truncating division with wrap::Div's results: x / 0 is 0, INT32_MIN / -1 is INT32_MIN
// (the conversion of 2^31 gives exactly that).
AVX2 inline V Div(V a, V b) {
    const __m256d alo = _mm256_cvtepi32_pd(_mm256_castsi256_si128(a));
    const __m256d ahi = _mm256_cvtepi32_pd(_mm256_extracti128_si256(a, 1));
    const __m256d blo = _mm256_cvtepi32_pd(_mm256_castsi256_si128(b));
    const __m256d bhi = _mm256_cvtepi32_pd(_mm256_extracti128_si256(b, 1));
    const __m128i qlo = _mm256_cvttpd_epi32(_mm256_div_pd(alo, blo));
    const __m128i qhi = _mm256_cvttpd_epi32(_mm256_div_pd(ahi, bhi));
    return _mm256_andnot_si256(IsZero(b), _mm256_set_m128i(qhi, qlo));
}

// BitRoot: floor(sqrt(v)) limited to 0x7FFF, 0 for v < 0.
AVX2 inline V Root(V v) {
    const __m128i lo =
        _mm256_cvttpd_epi32(_mm256_sqrt_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(v))));
    const __m128i hi =
        _mm256_cvttpd_epi32(_mm256_sqrt_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(v, 1))));
    const V r = _mm256_min_epi32(_mm256_set_m128i(hi, lo), Set(0x7FFF));
    return _mm256_andnot_si256(IsNegative(v), r);
}

}  // namespace avx2
