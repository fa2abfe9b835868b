#include "render/shade_ball.h"

#include <algorithm>
#include <cstdlib>

#include "render/ball_maps.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"
#include "render/wrap_math.h"

using wrap::Add;
using wrap::Mul;
using wrap::Sub;

// round(65536 * sin(k * pi / 512)) for k = 0 .. 256.
const int32_t kSineQuarter[257] = {
    0,     402,   804,   1206,  1608,  2010,  2412,  2814,  3216,  3617,  4019,  4420,  4821,
    5222,  5623,  6023,  6424,  6824,  7224,  7623,  8022,  8421,  8820,  9218,  9616,  10014,
    10411, 10808, 11204, 11600, 11996, 12391, 12785, 13180, 13573, 13966, 14359, 14751, 15143,
    15534, 15924, 16314, 16703, 17091, 17479, 17867, 18253, 18639, 19024, 19409, 19792, 20175,
    20557, 20939, 21320, 21699, 22078, 22457, 22834, 23210, 23586, 23961, 24335, 24708, 25080,
    25451, 25821, 26190, 26558, 26925, 27291, 27656, 28020, 28383, 28745, 29106, 29466, 29824,
    30182, 30538, 30893, 31248, 31600, 31952, 32303, 32652, 33000, 33347, 33692, 34037, 34380,
    34721, 35062, 35401, 35738, 36075, 36410, 36744, 37076, 37407, 37736, 38064, 38391, 38716,
    39040, 39362, 39683, 40002, 40320, 40636, 40951, 41264, 41576, 41886, 42194, 42501, 42806,
    43110, 43412, 43713, 44011, 44308, 44604, 44898, 45190, 45480, 45769, 46056, 46341, 46624,
    46906, 47186, 47464, 47741, 48015, 48288, 48559, 48828, 49095, 49361, 49624, 49886, 50146,
    50404, 50660, 50914, 51166, 51417, 51665, 51911, 52156, 52398, 52639, 52878, 53114, 53349,
    53581, 53812, 54040, 54267, 54491, 54714, 54934, 55152, 55368, 55582, 55794, 56004, 56212,
    56418, 56621, 56823, 57022, 57219, 57414, 57607, 57798, 57986, 58172, 58356, 58538, 58718,
    58896, 59071, 59244, 59415, 59583, 59750, 59914, 60075, 60235, 60392, 60547, 60700, 60851,
    60999, 61145, 61288, 61429, 61568, 61705, 61839, 61971, 62101, 62228, 62353, 62476, 62596,
    62714, 62830, 62943, 63054, 63162, 63268, 63372, 63473, 63572, 63668, 63763, 63854, 63944,
    64031, 64115, 64197, 64277, 64354, 64429, 64501, 64571, 64639, 64704, 64766, 64827, 64884,
    64940, 64993, 65043, 65091, 65137, 65180, 65220, 65259, 65294, 65328, 65358, 65387, 65413,
    65436, 65457, 65476, 65492, 65505, 65516, 65525, 65531, 65535, 65536,
};

// A highlight value at or below the threshold would fall below 1/256 once raised to the
// power of its index, and is skipped.
const int32_t kHighlightThreshold[9] = {0, 126, 2046, 8190, 16382, 23169, 27553, 30047, 31378};

namespace {

// Angles in 1/1024 of a turn folded into the quarter wave; 0 beyond half a turn.
int32_t Fold(int32_t x) {
    if (x > 512) return 0;
    if (x > 256) return 512 - x;
    return x;
}

// Specular indices index the tables within 0..8.
int32_t TableIndex(int32_t index) {
    return index < 0 ? 0 : (index > 8 ? 8 : index);
}

int32_t Ladder16(int32_t v) {
    const uint32_t u = uint32_t(v);
    if (u & 0x78000000u) return 16;
    if (u & 0x7F800000u) return 12;
    if (u & 0x780000u) return 8;
    if (u & 0x7F8000u) return 4;
    return 0;
}

int32_t Ladder15(int32_t v) {
    const uint32_t u = uint32_t(v);
    if (u & 0x60000000u) return 16;
    if (u & 0x78000000u) return 14;
    if (u & 0x6000000u) return 12;
    if (u & 0x7F800000u) return 10;
    if (u & 0x600000u) return 8;
    if (u & 0x780000u) return 6;
    if (u & 0x60000u) return 4;
    if (u & 0x7F8000u) return 2;
    return 0;
}

// ((v >> s)^2 / (len2 >> s')) shifted right by e, or left by -e.
int32_t ScaledSquare(int32_t v, int32_t len2, int32_t s, int32_t s2, int32_t e) {
    const int32_t root = v >> s;
    const int32_t q = wrap::Div(Mul(root, root), len2 >> s2);
    return e >= 0 ? wrap::Shr(q, e) : wrap::Shl(q, -e);
}

// A direction from a signed azimuth and a polar angle (already halved for the highlight).
void Direction(int32_t azimuth, int32_t polar, int32_t* x, int32_t* y, int32_t* z) {
    const int32_t fa = Fold(std::abs(azimuth));
    const int32_t sa = kSineQuarter[fa];
    const int32_t ca = kSineQuarter[256 - fa];
    const int32_t fb = Fold(polar);
    const int32_t sb = kSineQuarter[fb];
    int32_t cb = kSineQuarter[256 - fb];
    if (polar > 256) cb = -cb;
    *x = ((ca >> 1) * (sb >> 1)) >> 14;
    *y = ((sa >> 1) * (sb >> 1)) >> 14;
    *z = cb;
    if (azimuth < 0) {
        *y = -*y;
        if (azimuth < -256) *x = -*x;
    }
    if (azimuth > 256) *x = -*x;
}

// c += ((target - c) * weight) >> shift, per channel.
void PullToward(int32_t* c, const ShadeColour& target, int32_t weight, int shift) {
    c[0] = Add(c[0], Mul(Sub(target.r, c[0]), weight) >> shift);
    c[1] = Add(c[1], Mul(Sub(target.g, c[1]), weight) >> shift);
    c[2] = Add(c[2], Mul(Sub(target.b, c[2]), weight) >> shift);
}

void Take(int32_t* c, const ShadeColour& colour) {
    c[0] = colour.r;
    c[1] = colour.g;
    c[2] = colour.b;
}

uint32_t Pack(const int32_t* c, uint32_t transparency) {
    return (uint32_t(c[0]) << 16) | (uint32_t(c[1]) << 8) | uint32_t(c[2]) | (transparency << 24);
}

// Highlight flattening: widens the flat top of the highlight by s bits. Only positive
// shifts flatten; 2^s and shifts of 32 or more are taken mathematically.
int32_t Sharpen(int32_t v, int32_t s) {
    if (s <= 0) return v;
    const int64_t gap = int64_t(0x7FFF) - v;
    if (gap >= (s >= 62 ? INT64_MAX : (int64_t(1) << s))) return v;
    const int32_t g = int32_t(gap);
    return Sub(0x7FFF, wrap::Shr(Mul(g, g), s));
}

}  // namespace

int32_t Sq16(int32_t v, int32_t len2) {
    const int32_t s = Ladder16(v);
    const int32_t s2 = Ladder16(len2);
    return ScaledSquare(v, len2, s, s2, 16 - 2 * s + s2);
}

int32_t Sq15(int32_t v, int32_t len2) {
    const int32_t s = Ladder15(v);
    const int32_t s2 = Ladder15(len2);
    return ScaledSquare(v, len2, s, s2, 17 - 2 * s + s2);
}

int32_t RaiseHighlight(int32_t v, int32_t index) {
    for (int32_t k = 1; k < TableIndex(index); ++k)
        v = Mul(v, v) >> 15;
    return v;
}

LightVectors ComputeLightVectors(int32_t lightDirection, int32_t secondLight) {
    LightVectors l;
    const int32_t a = int16_t(lightDirection & 0xFFFF);
    const int32_t b = (lightDirection >> 16) & 0x3FF;
    Direction(a, b, &l.lx, &l.ly, &l.lz);
    int32_t a2 = a, b2 = b;
    if (secondLight >= 0) {
        a2 = int16_t(secondLight & 0xFFFF);
        b2 = secondLight >> 16;
    }
    Direction(a2, b2 >> 1, &l.hx, &l.hy, &l.hz);
    return l;
}

ShadeSetup MakeShadeSetup(const ShadeParams& look) {
    ShadeSetup s;
    const LightVectors l = ComputeLightVectors(look.lightDirection, look.secondLight);
    int32_t nz = 0xFFFE / (look.normalRadius > 2 ? look.normalRadius : 2);
    if (nz > 0x6000) nz = 0x6000;
    s.rim = look.rimColour;
    s.topMinusRim = {Sub(look.topColour.r, look.rimColour.r),
                     Sub(look.topColour.g, look.rimColour.g),
                     Sub(look.topColour.b, look.rimColour.b)};
    s.diffuse = look.diffuseColour;
    s.specular = look.specularColour;
    s.lx = l.lx;
    s.ly = l.ly;
    s.lightZ = l.lz * nz;
    s.hx = l.hx;
    s.hy = l.hy;
    s.highZ = l.hz * nz;
    s.nz2 = nz * nz;

    int32_t opacity = look.opacityControl;
    if (opacity > 255) opacity = 255;
    if (opacity < 0) {
        if (opacity < -255) opacity = -255;
        opacity = -256 - opacity;
    }
    s.opacity = opacity;
    s.backLight = look.backLight;
    s.specularIndex = look.specularIndex;
    s.secondSpecularIndex = look.secondSpecularIndex;
    s.sharpenShift = look.sharpenShift;
    s.firstTable = TableIndex(look.specularIndex);
    s.secondTable = TableIndex(look.secondSpecularIndex);
    s.maxTable = std::max(s.firstTable, s.secondTable);
    const int32_t shift = look.sharpenShift;
    s.sharpenAll = shift >= 32;  // 0x7FFF - v is always below 2^32
    s.sharpenAbove = shift > 0 && shift < 32 ? int32_t(0x7FFF - (int64_t(1) << shift)) : 0;
    s.sharpenCount = shift > 32 ? 32 : shift;
    s.simple = (look.shadingFlags & kShadeSimple) != 0;
    s.divide = (look.shadingFlags & kShadeDivideByLength) != 0;
    return s;
}

uint32_t ShadePixel(const ShadeSetup& s, uint32_t word, int32_t sx, int32_t sy) {
    const uint32_t t = word >> 24;
    if (t == 0xFF) return word;
    const int32_t z = int32_t(word & 0xFFFFFF);
    int32_t c[3] = {
        Add(s.rim.r, Mul(s.topMinusRim.r, z) >> 15),
        Add(s.rim.g, Mul(s.topMinusRim.g, z) >> 15),
        Add(s.rim.b, Mul(s.topMinusRim.b, z) >> 15),
    };
    const int32_t len2 = Add(Add(Mul(sx, sx), s.nz2), Mul(sy, sy));

    if (s.simple) {
        const int32_t pd = Add(Add(s.lightZ, Mul(s.lx, sx)), Mul(s.ly, sy));
        const int32_t d = pd >= 0 ? pd : wrap::Neg(pd) >> 2;
        if (d != 0) {
            const int32_t u = Sq16(d, len2);
            if (u >= 65536)
                Take(c, s.diffuse);
            else
                PullToward(c, s.diffuse, u, 16);
        }
        if (s.specularIndex != 0) {
            const int32_t q = Add(Add(s.highZ, Mul(s.hy, sy)), Mul(s.hx, sx));
            if (q > 0) {
                int32_t v = Sq15(q, len2);
                if (v >= 0x7FFF) {
                    Take(c, s.specular);
                } else if (v > kHighlightThreshold[TableIndex(s.specularIndex)]) {
                    v = RaiseHighlight(v, s.specularIndex);
                    PullToward(c, s.specular, v, 15);
                }
            }
        }
        return Pack(c, t);
    }

    // Body transparency from the height.
    uint32_t a = t;
    if (s.opacity != 0) {
        a = uint32_t(Mul(s.opacity, z) >> 15) & 0xFF;
        if (t != 0) a = (a + t - ((t * a) >> 8) - 1) & 0xFF;
    }

    // Diffuse light; light from behind is scaled by the back-light factor.
    int32_t pd = Add(Add(Mul(s.ly, sy), s.lightZ), Mul(s.lx, sx));
    if (pd < 0) pd = Mul(pd >> 4, s.backLight);
    if (pd != 0) {
        int32_t u;
        if (s.divide) {
            u = wrap::Div(pd, BitRoot(len2));
        } else {
            u = Sq16(pd < 0 ? wrap::Neg(pd) : pd, len2);
            if (pd < 0) u = wrap::Neg(u);
        }
        if (u >= 65536) {
            Take(c, s.diffuse);
        } else {
            PullToward(c, s.diffuse, u, 16);
            if (u < 0)
                for (int32_t& channel : c)
                    if (channel < 0) channel = 0;
        }
    }

    // Highlight, or its mirror through the ball's centre where that is stronger.
    if (s.specularIndex != 0) {
        int32_t q = Add(Add(Mul(s.hy, sy), Mul(s.hx, sx)), s.highZ);
        int32_t index = s.specularIndex;
        if (s.secondSpecularIndex != 0) {
            const int32_t q2 = Sub(Sub(s.highZ, Mul(s.hx, sx)), Mul(s.hy, sy));
            if (q2 > q) {
                q = q2;
                index = s.secondSpecularIndex;
            }
        }
        if (q > 0) {
            int32_t v = Sq15(q, len2);
            v = Sharpen(v, s.sharpenShift);
            if (v >= 0x7FFF) {
                Take(c, s.specular);
            } else if (v > kHighlightThreshold[TableIndex(index)]) {
                v = RaiseHighlight(v, index);
                PullToward(c, s.specular, v, 15);
            }
        }
    }
    return Pack(c, a);
}

void ShadePixelsPortable(const ShadeSetup& s, uint32_t* height, const int32_t* xSlope,
                         const int32_t* ySlope, int32_t count) {
    for (int32_t p = 0; p < count; ++p)
        height[p] = ShadePixel(s, height[p], xSlope[p], ySlope[p]);
}

void ShadeBall(SpriteBuffer* maps, const ShadeParams& look) {
    if (maps[0].Kind() != kKindHeight || maps[1].Kind() != kKindSlope ||
        maps[2].Kind() != kKindSlope)
        return;
    const int32_t w = maps[0].Width();
    const int32_t n = maps[0].Height();
    // Slope maps of another size than the height map (not built together) would be read
    // out of bounds: leave such a set alone.
    if (maps[1].Width() != w || maps[1].Height() != n || maps[2].Width() != w ||
        maps[2].Height() != n)
        return;
    maps[0].SetKind(kKindColour);

    const ShadeSetup setup = MakeShadeSetup(look);
    const int32_t count = w * n;
    const int32_t* xSlope = reinterpret_cast<const int32_t*>(maps[1].pixels);
    const int32_t* ySlope = reinterpret_cast<const int32_t*>(maps[2].pixels);
    if (UseAvx512())
        ShadePixelsAvx512(setup, maps[0].pixels, xSlope, ySlope, count);
    else if (UseAvx2())
        ShadePixelsAvx2(setup, maps[0].pixels, xSlope, ySlope, count);
    else
        ShadePixelsPortable(setup, maps[0].pixels, xSlope, ySlope, count);
}
