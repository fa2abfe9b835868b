// ShadePixelsAvx512: the shading of ShadePixel on sixteen pixels at a time, the same
// 32-bit wrapping integer steps lane by lane as ShadePixelsAvx2, with the lane choices in
// mask registers. The divisions and square roots go through double precision, exact for
// 32-bit operands as in the AVX2 kernel. A run's last few pixels take a masked pass of
// the same body: the lanes past the end are loaded as empty words and never stored.
#include "render/shade_ball.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"

#if QUORIX_HAS_AVX512_KERNELS

#include "render/avx512_lanes.h"

namespace {

using namespace avx512;

// wrap::Shr for counts 0..33 and wrap::Shl for negative counts down to -16: right by e,
// or left by -e.
AVX512 inline V ShiftBy(V q, V e) {
    const V right = _mm512_srav_epi32(q, e);
    return _mm512_mask_sllv_epi32(right, IsNegative(e), q, Neg(e));
}

// The shift ladders of Sq16 and Sq15 from the highest set bit h of v's low 31 bits:
// Sq16 steps by 4 at bits 15, 19, 23 and 27, Sq15 by 2 at every odd bit from 15 to 29.
// With l = 31 - h leading zeros, that is (20 - l) and (18 - l) rounded down to the step,
// and 0 below bit 15.
AVX512 inline V Ladder16(V v) {
    const V l = LeadingZeros(And(v, Set(0x7FFFFFFF)));
    return And(_mm512_max_epi32(Sub(Set(20), l), Zero()), Set(~3));
}
AVX512 inline V Ladder15(V v) {
    const V l = LeadingZeros(And(v, Set(0x7FFFFFFF)));
    return And(_mm512_max_epi32(Sub(Set(18), l), Zero()), Set(~1));
}

AVX512 inline V ScaledSquare(V v, V len2, V s, V s2, int32_t bias) {
    const V root = _mm512_srav_epi32(v, s);
    const V q = Div(Mul(root, root), _mm512_srav_epi32(len2, s2));
    const V e = Add(Sub(Set(bias), Add(s, s)), s2);
    return ShiftBy(q, e);
}
AVX512 inline V Sq16(V v, V len2) {
    return ScaledSquare(v, len2, Ladder16(v), Ladder16(len2), 16);
}
AVX512 inline V Sq15(V v, V len2) {
    return ScaledSquare(v, len2, Ladder15(v), Ladder15(len2), 17);
}

struct Rgb {
    V r, g, b;
};

AVX512 inline Rgb Splat(const ShadeColour& c) {
    return {Set(c.r), Set(c.g), Set(c.b)};
}
// mask ? a : c, per channel.
AVX512 inline Rgb Take(const Rgb& c, M mask, const Rgb& a) {
    return {Select(mask, a.r, c.r), Select(mask, a.g, c.g), Select(mask, a.b, c.b)};
}
// c + (((target - c) * weight) >> shift) per channel.
template <int Shift>
AVX512 inline V PullChannel(V c, V target, V weight) {
    return Add(c, Sra(Mul(Sub(target, c), weight), Shift));
}
template <int Shift>
AVX512 inline Rgb Pull(const Rgb& c, const Rgb& target, V weight) {
    return {PullChannel<Shift>(c.r, target.r, weight), PullChannel<Shift>(c.g, target.g, weight),
            PullChannel<Shift>(c.b, target.b, weight)};
}

// V^(2^(count-1)) where count is each lane's table index, up to maxCount.
AVX512 inline V Raise(V v, V count, int32_t maxCount) {
    for (int32_t k = 1; k < maxCount; ++k)
        v = _mm512_mask_srai_epi32(v, Greater(count, Set(k)), Mul(v, v), 15);
    return v;
}

// The highlight over colour c: specular where v reaches 0x7FFF, pulled toward it where v
// passes the threshold, only where q > 0.
AVX512 inline Rgb Highlight(const Rgb& c, const Rgb& specular, V q, V v, V threshold, V count,
                            int32_t maxCount) {
    const M positive = Greater(q, Zero());
    const M full = _mm512_mask_cmpgt_epi32_mask(positive, v, Set(0x7FFE));
    const M partial = static_cast<M>(_mm512_mask_cmpgt_epi32_mask(positive, v, threshold) & ~full);
    if ((full | partial) == 0) return c;
    const Rgb pulled = Pull<15>(c, specular, Raise(v, count, maxCount));
    return Take(Take(c, partial, pulled), full, specular);
}

}  // namespace

AVX512 void ShadePixelsAvx512(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                              const int32_t* ySlope, int32_t count) {
    const Rgb rim = Splat(s.rim);
    const Rgb rise = Splat(s.topMinusRim);
    const Rgb diffuse = Splat(s.diffuse);
    const Rgb specular = Splat(s.specular);
    const V lx = Set(s.lx), ly = Set(s.ly), lightZ = Set(s.lightZ);
    const V hx = Set(s.hx), hy = Set(s.hy), highZ = Set(s.highZ);
    const V nz2 = Set(s.nz2);
    const V opacity = Set(s.opacity);
    const V backLight = Set(s.backLight);
    const V byte = Set(0xFF);
    const int32_t first = s.firstTable;
    const V firstCount = Set(first), secondCount = Set(s.secondTable);
    const V firstThreshold = Set(kHighlightThreshold[first]);
    const V secondThreshold = Set(kHighlightThreshold[s.secondTable]);
    const int32_t maxCount = s.maxTable;

    // Sharpening: where 0x7FFF - v < 2^shift, v = 0x7FFF - (((0x7FFF - v)^2) >> shift).
    const bool sharpen = s.sharpenShift > 0;
    const bool sharpenAll = s.sharpenAll;
    const V sharpenAbove = Set(s.sharpenAbove);
    const __m128i sharpenCount = _mm_cvtsi32_si128(s.sharpenCount);

    for (int32_t p = 0; p < count; p += 16) {
        const int32_t left = count - p;
        const M active = left >= 16 ? kAll : static_cast<M>((1u << left) - 1);
        // Lanes past the end read as empty words (top byte 0xFF).
        const V word = _mm512_mask_loadu_epi32(Set(-1), active, height + p);
        const V t = _mm512_srli_epi32(word, 24);
        const M live = _mm512_cmpneq_epi32_mask(t, byte);
        if (live == 0) continue;
        const V z = And(word, Set(0xFFFFFF));
        const V sx = _mm512_maskz_loadu_epi32(active, xSlope + p);
        const V sy = _mm512_maskz_loadu_epi32(active, ySlope + p);
        Rgb c = {Add(rim.r, Sra(Mul(rise.r, z), 15)), Add(rim.g, Sra(Mul(rise.g, z), 15)),
                 Add(rim.b, Sra(Mul(rise.b, z), 15))};
        const V len2 = Add(Add(Mul(sx, sx), nz2), Mul(sy, sy));
        V a = t;

        if (s.simple) {
            const V pd = Add(Add(lightZ, Mul(lx, sx)), Mul(ly, sy));
            const V d = Select(IsNegative(pd), Sra(Neg(pd), 2), pd);
            const V u = Sq16(d, len2);
            const M lit = NonZero(d);
            const M full = _mm512_mask_cmpgt_epi32_mask(lit, u, Set(65535));
            c = Take(Take(c, static_cast<M>(lit & ~full), Pull<16>(c, diffuse, u)), full, diffuse);
            if (s.specularIndex != 0) {
                const V q = Add(Add(highZ, Mul(hy, sy)), Mul(hx, sx));
                c = Highlight(c, specular, q, Sq15(q, len2), firstThreshold, firstCount, first);
            }
        } else {
            if (s.opacity != 0) {
                const V a0 = And(Sra(Mul(opacity, z), 15), byte);
                const V a1 =
                    And(Sub(Sub(Add(a0, t), _mm512_srli_epi32(Mul(t, a0), 8)), Set(1)), byte);
                a = Select(IsZero(t), a0, a1);
            }
            V pd = Add(Add(Mul(ly, sy), lightZ), Mul(lx, sx));
            pd = Select(IsNegative(pd), Mul(Sra(pd, 4), backLight), pd);
            const M negative = IsNegative(pd);
            V u;
            if (s.divide) {
                u = Div(pd, Root(len2));
            } else {
                u = Sq16(Select(negative, Neg(pd), pd), len2);
                u = Select(negative, Neg(u), u);
            }
            Rgb pulled = Pull<16>(c, diffuse, u);
            const M away = IsNegative(u);
            pulled = {_mm512_mask_max_epi32(pulled.r, away, pulled.r, Zero()),
                      _mm512_mask_max_epi32(pulled.g, away, pulled.g, Zero()),
                      _mm512_mask_max_epi32(pulled.b, away, pulled.b, Zero())};
            const M lit = NonZero(pd);
            const M full = _mm512_mask_cmpgt_epi32_mask(lit, u, Set(65535));
            c = Take(Take(c, static_cast<M>(lit & ~full), pulled), full, diffuse);

            if (s.specularIndex != 0) {
                V q = Add(Add(Mul(hy, sy), Mul(hx, sx)), highZ);
                V threshold = firstThreshold;
                V counts = firstCount;
                if (s.secondSpecularIndex != 0) {
                    const V q2 = Sub(Sub(highZ, Mul(hx, sx)), Mul(hy, sy));
                    const M mirrored = Greater(q2, q);
                    q = Select(mirrored, q2, q);
                    threshold = Select(mirrored, secondThreshold, firstThreshold);
                    counts = Select(mirrored, secondCount, firstCount);
                }
                V v = Sq15(q, len2);
                if (sharpen) {
                    const V gap = Sub(Set(0x7FFF), v);
                    const V flat = Sub(Set(0x7FFF), _mm512_sra_epi32(Mul(gap, gap), sharpenCount));
                    v = sharpenAll ? flat : Select(Greater(v, sharpenAbove), flat, v);
                }
                c = Highlight(c, specular, q, v, threshold, counts,
                              s.secondSpecularIndex != 0 ? maxCount : first);
            }
        }
        // r << 16 | g << 8 | b, then | a << 24 (0xFE: the OR of all three operands).
        const V rgb = _mm512_ternarylogic_epi32(_mm512_slli_epi32(c.r, 16),
                                                _mm512_slli_epi32(c.g, 8), c.b, 0xFE);
        _mm512_mask_storeu_epi32(height + p, live, Or(rgb, _mm512_slli_epi32(a, 24)));
    }
}

#else

void ShadePixelsAvx512(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                       const int32_t* ySlope, int32_t count) {
    ShadePixelsPortable(s, height, xSlope, ySlope, count);
}

#endif
