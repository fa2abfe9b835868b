// QuarterRowAvx512: QuarterPixel on sixteen columns at a time, with the same wrapping
// products as QuarterRowAvx2; divisions and the root through double precision, exact for
// 32-bit operands. The last, partial group is worked out whole (every lane operation is
// defined for any operands) and stored through a mask of its first lanes.
#include "render/ball_maps_quarter.h"

#include "render/sprite_buffer.h"
#include "render/vector_paths.h"

#if QUORIX_HAS_AVX512_KERNELS

#include "render/avx512_lanes.h"

using namespace avx512;

AVX512 void QuarterRowAvx512(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                             int32_t* ySlope, int32_t count) {
    const V top = Set(0x3FFFFFFF);
    const V kxIn = Set(q.kxIn), kxOut = Set(q.kxOut);
    const V ii = Mul(Set(i), Set(i));
    const V rowOut = Mul(ii, Set(q.kyOut));
    const V rowIn = Mul(ii, Set(q.kyIn));
    const V ySlopeRaw = Mul(Set(i), Set(q.kyOut));
    const V limit = Set(0x3FFF);
    V j = Add(_mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30),
              Set(q.jOffset));
    for (int32_t m = 0; m < count; m += 16, j = Add(j, Set(32))) {
        const int32_t left = count - m;
        const M active = left >= 16 ? kAll : static_cast<M>((1u << left) - 1);
        const V jj = Mul(j, j);
        const V outer = Sub(Sub(top, Mul(jj, kxOut)), rowOut);
        const M inside = Greater(outer, Zero());
        // Groups wholly outside the ellipse (the ends of the rows near its top) are empty.
        if (inside == 0) {
            _mm512_mask_storeu_epi32(height + m, active, Set(int32_t(kEmptyPixel)));
            _mm512_mask_storeu_epi32(xSlope + m, active, Zero());
            _mm512_mask_storeu_epi32(ySlope + m, active, Zero());
            continue;
        }
        const V inner = Sub(Sub(top, Mul(jj, kxIn)), rowIn);
        const V edge = Neg(Div(inner, Add(Sra(Sub(outer, inner), 8), Set(1))));
        const V t = _mm512_slli_epi32(_mm512_maskz_mov_epi32(IsNegative(inner), edge), 24);
        const V xRaw = Mul(j, kxOut);
        V h, xs, ys;
        if (q.spherical) {
            const V z = Root(outer);
            const V d = Add(Sra(z, 1), Set(1));
            h = Or(t, z);
            xs = _mm512_min_epi32(Div(xRaw, d), limit);
            ys = _mm512_min_epi32(Div(ySlopeRaw, d), limit);
        } else {
            h = Or(t, Sra(outer, 15));
            xs = _mm512_min_epi32(Sra(xRaw, 13), limit);
            ys = _mm512_min_epi32(Sra(ySlopeRaw, 13), limit);
        }
        _mm512_mask_storeu_epi32(height + m, active, Select(inside, h, Set(int32_t(kEmptyPixel))));
        _mm512_mask_storeu_epi32(xSlope + m, active, _mm512_maskz_mov_epi32(inside, xs));
        _mm512_mask_storeu_epi32(ySlope + m, active, _mm512_maskz_mov_epi32(inside, ys));
    }
}

#else

void QuarterRowAvx512(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                      int32_t* ySlope, int32_t count) {
    QuarterRowPortable(q, i, height, xSlope, ySlope, count);
}

#endif
