// QuarterRowAvx2: QuarterPixel on eight columns at a time, with the same wrapping
// products; divisions and the root through double precision, exact for 32-bit operands.
#include "render/ball_maps_quarter.h"

#include <cstring>

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
    // The last, partial group of eight is worked out whole into scratch words and only
    // its first lanes are kept; every lane operation is defined for any operands.
    alignas(32) int32_t rest[3][8];
    for (int32_t m = 0; m < count; m += 8, j = Add(j, Set(16))) {
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
        const V words[3] = {Select(inside, h, Set(int32_t(kEmptyPixel))), And(inside, xs),
                            And(inside, ys)};
        if (m + 8 <= count) {
            _mm256_storeu_si256(reinterpret_cast<V*>(height + m), words[0]);
            _mm256_storeu_si256(reinterpret_cast<V*>(xSlope + m), words[1]);
            _mm256_storeu_si256(reinterpret_cast<V*>(ySlope + m), words[2]);
            continue;
        }
        for (int k = 0; k < 3; ++k)
            _mm256_store_si256(reinterpret_cast<V*>(rest[k]), words[k]);
        const size_t bytes = size_t(count - m) * sizeof(int32_t);
        std::memcpy(height + m, rest[0], bytes);
        std::memcpy(xSlope + m, rest[1], bytes);
        std::memcpy(ySlope + m, rest[2], bytes);
    }
}

#else

void QuarterRowAvx2(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                    int32_t* ySlope, int32_t count) {
    QuarterRowPortable(q, i, height, xSlope, ySlope, count);
}

#endif
