// QuarterRowAvx2: QuarterPixel on eight columns at a time, with the same wrapping
// products; divisions and the root through double precision, exact for 32-bit operands.
#include "render/ball_maps_quarter.h"
#include "render/sprite_buffer.h"
#include "render/vector_paths.h"

#if QUORIX_HAS_AVX2_KERNELS

#include "render/avx2_lanes.h"

using namespace avx2;

AVX2 void QuarterRowAvx2(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                         int32_t* ySlope, int32_t count) {
    const V top = Set(0x3FFFFFFF);
    const V kxIn = Set(q.kxIn), kxOut = Set(q.kxOut);
    const V ii = Mul(Set(i), Set(i));
    const V rowOut = Mul(ii, Set(q.kyOut));
    const V rowIn = Mul(ii, Set(q.kyIn));
    const V ySlopeRaw = Mul(Set(i), Set(q.kyOut));
    const V limit = Set(0x3FFF);
    const V zero = _mm256_setzero_si256();
    V j = _mm256_add_epi32(_mm256_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14), Set(q.jOffset));
    int32_t m = 0;
    for (; m + 8 <= count; m += 8, j = Add(j, Set(16))) {
        const V jj = Mul(j, j);
        const V outer = Sub(Sub(top, Mul(jj, kxOut)), rowOut);
        const V inner = Sub(Sub(top, Mul(jj, kxIn)), rowIn);
        const V edge = Neg(Div(inner, Add(_mm256_srai_epi32(Sub(outer, inner), 8), Set(1))));
        const V t = _mm256_slli_epi32(And(Greater(zero, inner), edge), 24);
        const V xRaw = Mul(j, kxOut);
        V h, xs, ys;
        if (q.spherical) {
            const V z = Root(outer);
            const V d = Add(_mm256_srai_epi32(z, 1), Set(1));
            h = Or(t, z);
            xs = _mm256_min_epi32(Div(xRaw, d), limit);
            ys = _mm256_min_epi32(Div(ySlopeRaw, d), limit);
        } else {
            h = Or(t, _mm256_srai_epi32(outer, 15));
            xs = _mm256_min_epi32(_mm256_srai_epi32(xRaw, 13), limit);
            ys = _mm256_min_epi32(_mm256_srai_epi32(ySlopeRaw, 13), limit);
        }
        const V inside = Greater(outer, zero);
        _mm256_storeu_si256(reinterpret_cast<V*>(height + m),
                            Select(inside, h, Set(int32_t(kEmptyPixel))));
        _mm256_storeu_si256(reinterpret_cast<V*>(xSlope + m), And(inside, xs));
        _mm256_storeu_si256(reinterpret_cast<V*>(ySlope + m), And(inside, ys));
    }
    for (; m < count; ++m)
        QuarterPixel(q, i, 2 * m + q.jOffset, height + m, xSlope + m, ySlope + m);
}

#else

void QuarterRowAvx2(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                    int32_t* ySlope, int32_t count) {
    QuarterRowPortable(q, i, height, xSlope, ySlope, count);
}

#endif
