// ShadePixelsAvx2: the shading of ShadePixel on eight pixels at a time. Every step is the
// same 32-bit wrapping integer operation lane by lane; the divisions go through double
// precision, which is exact for 32-bit operands (the rounding error of the quotient stays
// below the distance 1/|divisor| to the next integer), and square roots likewise.
#include "render/shade_ball.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"

#if QUORIX_HAS_AVX2_KERNELS

#include "render/avx2_lanes.h"

namespace {

using namespace avx2;

// wrap::Shr for counts 0..33 and wrap::Shl for negative counts down to -16: right by e,
// or left by -e.
AVX2 inline V ShiftBy(V q, V e) {
    const V right = _mm256_srav_epi32(q, e);
    const V left = _mm256_sllv_epi32(q, Neg(e));
    return Select(IsNegative(e), left, right);
}

// The shift ladders of Sq16 and Sq15: the first mask (from the top) that meets v. Each
// mask starts at a bit 15 + 4k (Sq16) or 15 + 2k (Sq15) and reaches at least up to the
// next mask's start, so the first one met is the one where v's highest bit below bit 31
// lies: the shift counts the starts at or below that bit.
AVX2 inline V Ladder16(V v) {
    const V x = And(v, Set(0x7FFFFFFF));
    V count = _mm256_setzero_si256();  // minus the starts passed
    for (int k = 0; k < 4; ++k)
        count = Add(count, Greater(x, Set((int32_t(1) << (15 + 4 * k)) - 1)));
    return _mm256_slli_epi32(Neg(count), 2);
}
AVX2 inline V Ladder15(V v) {
    const V x = And(v, Set(0x7FFFFFFF));
    V count = _mm256_setzero_si256();
    for (int k = 0; k < 8; ++k)
        count = Add(count, Greater(x, Set((int32_t(1) << (15 + 2 * k)) - 1)));
    return _mm256_slli_epi32(Neg(count), 1);
}

AVX2 inline V ScaledSquare(V v, V len2, V s, V s2, int32_t bias) {
    const V root = _mm256_srav_epi32(v, s);
    const V q = Div(Mul(root, root), _mm256_srav_epi32(len2, s2));
    const V e = Add(Sub(Set(bias), Add(s, s)), s2);
    return ShiftBy(q, e);
}
AVX2 inline V Sq16(V v, V len2) {
    return ScaledSquare(v, len2, Ladder16(v), Ladder16(len2), 16);
}
AVX2 inline V Sq15(V v, V len2) {
    return ScaledSquare(v, len2, Ladder15(v), Ladder15(len2), 17);
}

struct Rgb {
    V r, g, b;
};

AVX2 inline Rgb Splat(const ShadeColour& c) {
    return {Set(c.r), Set(c.g), Set(c.b)};
}
AVX2 inline Rgb SelectRgb(V mask, const Rgb& a, const Rgb& b) {
    return {Select(mask, a.r, b.r), Select(mask, a.g, b.g), Select(mask, a.b, b.b)};
}
// c + (((target - c) * weight) >> shift) per channel.
template <int Shift>
AVX2 inline V PullChannel(V c, V target, V weight) {
    return Add(c, _mm256_srai_epi32(Mul(Sub(target, c), weight), Shift));
}
template <int Shift>
AVX2 inline Rgb Pull(const Rgb& c, const Rgb& target, V weight) {
    return {PullChannel<Shift>(c.r, target.r, weight), PullChannel<Shift>(c.g, target.g, weight),
            PullChannel<Shift>(c.b, target.b, weight)};
}

// V^(2^(count-1)) where count is each lane's table index, up to maxCount.
AVX2 inline V Raise(V v, V count, int32_t maxCount) {
    for (int32_t k = 1; k < maxCount; ++k)
        v = Select(Greater(count, Set(k)), _mm256_srai_epi32(Mul(v, v), 15), v);
    return v;
}

// The highlight over colour c: specular where v reaches 0x7FFF, pulled toward it where v
// passes the threshold, only where q > 0.
AVX2 inline Rgb Highlight(const Rgb& c, const Rgb& specular, V q, V v, V threshold, V count,
                          int32_t maxCount) {
    const V positive = Greater(q, _mm256_setzero_si256());
    const V full = And(positive, Greater(v, Set(0x7FFE)));
    const V partial = _mm256_andnot_si256(full, And(positive, Greater(v, threshold)));
    if (None(Or(full, partial))) return c;
    const Rgb pulled = Pull<15>(c, specular, Raise(v, count, maxCount));
    return SelectRgb(full, specular, SelectRgb(partial, pulled, c));
}

}  // namespace

AVX2 void ShadePixelsAvx2(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
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

    int32_t p = 0;
    for (; p + 8 <= count; p += 8) {
        const V word = _mm256_loadu_si256(reinterpret_cast<const V*>(height + p));
        const V t = _mm256_srli_epi32(word, 24);
        const V empty = _mm256_cmpeq_epi32(t, byte);
        if (_mm256_movemask_epi8(empty) == -1) continue;
        const V z = And(word, Set(0xFFFFFF));
        const V sx = _mm256_loadu_si256(reinterpret_cast<const V*>(xSlope + p));
        const V sy = _mm256_loadu_si256(reinterpret_cast<const V*>(ySlope + p));
        Rgb c = {Add(rim.r, _mm256_srai_epi32(Mul(rise.r, z), 15)),
                 Add(rim.g, _mm256_srai_epi32(Mul(rise.g, z), 15)),
                 Add(rim.b, _mm256_srai_epi32(Mul(rise.b, z), 15))};
        const V len2 = Add(Add(Mul(sx, sx), nz2), Mul(sy, sy));
        V a = t;

        if (s.simple) {
            const V pd = Add(Add(lightZ, Mul(lx, sx)), Mul(ly, sy));
            const V d = Select(IsNegative(pd), _mm256_srai_epi32(Neg(pd), 2), pd);
            const V u = Sq16(d, len2);
            const Rgb lit = SelectRgb(Greater(u, Set(65535)), diffuse, Pull<16>(c, diffuse, u));
            c = SelectRgb(IsZero(d), c, lit);
            if (s.specularIndex != 0) {
                const V q = Add(Add(highZ, Mul(hy, sy)), Mul(hx, sx));
                c = Highlight(c, specular, q, Sq15(q, len2), firstThreshold, firstCount, first);
            }
        } else {
            if (s.opacity != 0) {
                const V a0 = And(_mm256_srai_epi32(Mul(opacity, z), 15), byte);
                const V a1 =
                    And(Sub(Sub(Add(a0, t), _mm256_srli_epi32(Mul(t, a0), 8)), Set(1)), byte);
                a = Select(IsZero(t), a0, a1);
            }
            V pd = Add(Add(Mul(ly, sy), lightZ), Mul(lx, sx));
            const V behind = IsNegative(pd);
            pd = Select(behind, Mul(_mm256_srai_epi32(pd, 4), backLight), pd);
            const V negative = IsNegative(pd);
            V u;
            if (s.divide) {
                u = Div(pd, Root(len2));
            } else {
                u = Sq16(Select(negative, Neg(pd), pd), len2);
                u = Select(negative, Neg(u), u);
            }
            Rgb pulled = Pull<16>(c, diffuse, u);
            const V away = IsNegative(u);
            const V zero = _mm256_setzero_si256();
            pulled =
                SelectRgb(away,
                          Rgb{_mm256_max_epi32(pulled.r, zero), _mm256_max_epi32(pulled.g, zero),
                              _mm256_max_epi32(pulled.b, zero)},
                          pulled);
            const Rgb lit = SelectRgb(Greater(u, Set(65535)), diffuse, pulled);
            c = SelectRgb(IsZero(pd), c, lit);

            if (s.specularIndex != 0) {
                V q = Add(Add(Mul(hy, sy), Mul(hx, sx)), highZ);
                V threshold = firstThreshold;
                V counts = firstCount;
                if (s.secondSpecularIndex != 0) {
                    const V q2 = Sub(Sub(highZ, Mul(hx, sx)), Mul(hy, sy));
                    const V mirrored = Greater(q2, q);
                    q = Select(mirrored, q2, q);
                    threshold = Select(mirrored, secondThreshold, firstThreshold);
                    counts = Select(mirrored, secondCount, firstCount);
                }
                V v = Sq15(q, len2);
                if (sharpen) {
                    const V gap = Sub(Set(0x7FFF), v);
                    const V flat = Sub(Set(0x7FFF), _mm256_sra_epi32(Mul(gap, gap), sharpenCount));
                    v = sharpenAll ? flat : Select(Greater(v, sharpenAbove), flat, v);
                }
                c = Highlight(c, specular, q, v, threshold, counts,
                              s.secondSpecularIndex != 0 ? maxCount : first);
            }
        }
        const V lit = Or(Or(_mm256_slli_epi32(c.r, 16), _mm256_slli_epi32(c.g, 8)),
                         Or(c.b, _mm256_slli_epi32(a, 24)));
        _mm256_storeu_si256(reinterpret_cast<V*>(height + p), Select(empty, word, lit));
    }
    for (; p < count; ++p)
        height[p] = ShadePixel(s, height[p], xSlope[p], ySlope[p]);
}

#else

void ShadePixelsAvx2(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                     const int32_t* ySlope, int32_t count) {
    ShadePixelsPortable(s, height, xSlope, ySlope, count);
}

#endif
