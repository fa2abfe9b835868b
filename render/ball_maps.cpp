#include "render/ball_maps.h"

#include <algorithm>
#include <cmath>

#include "render/ball_maps_quarter.h"
#include "render/pixel_copy.h"
#include "render/vector_paths.h"
#include "render/wrap_math.h"

using wrap::Add;
using wrap::Div;
using wrap::Mul;
using wrap::Sub;

int32_t BitRoot(int32_t value) {
    // The bit-by-bit root is floor(sqrt(value)) while that fits the 15 bits it tries, and
    // 0x7FFF above. The double square root is correctly rounded, and for a 31-bit value
    // it never rounds up to the next integer (sqrt(k^2 - 1) lies more than 1/(2k) below
    // k), so its truncation is the same root at a fraction of the cost.
    if (value < 0) return 0;
    const int32_t root = int32_t(std::sqrt(double(value)));
    return root < 0x7FFF ? root : 0x7FFF;
}

int32_t FitDiameter(int32_t d, int32_t side) {
    if (d < 2) d = 2;
    if (d > side) {
        d = side;
    } else if (d < side) {
        d &= ~1;
        if (side - d < 2) d = side;
    }
    return d;
}

void QuarterPixel(const QuarterSetup& q, int32_t i, int32_t j, uint32_t* height, int32_t* xSlope,
                  int32_t* ySlope) {
    const int32_t outer = Sub(Sub(0x3FFFFFFF, Mul(Mul(j, j), q.kxOut)), Mul(Mul(i, i), q.kyOut));
    if (outer <= 0) {
        *height = kEmptyPixel;
        *xSlope = 0;
        *ySlope = 0;
        return;
    }
    const int32_t inner = Sub(Sub(0x3FFFFFFF, Mul(Mul(j, j), q.kxIn)), Mul(Mul(i, i), q.kyIn));
    const uint32_t t =
        inner >= 0 ? 0 : uint32_t(wrap::Neg(Div(inner, Add(Sub(outer, inner) >> 8, 1))));
    if (q.spherical) {
        const int32_t z = BitRoot(outer);
        const int32_t d = (z >> 1) + 1;
        *height = (t << 24) | uint32_t(z);
        *xSlope = std::min(Mul(j, q.kxOut) / d, 0x3FFF);
        *ySlope = std::min(Mul(i, q.kyOut) / d, 0x3FFF);
    } else {
        *height = (t << 24) | uint32_t(outer >> 15);
        *xSlope = std::min(Mul(j, q.kxOut) >> 13, 0x3FFF);
        *ySlope = std::min(Mul(i, q.kyOut) >> 13, 0x3FFF);
    }
}

void QuarterRowPortable(const QuarterSetup& q, int32_t i, uint32_t* height, int32_t* xSlope,
                        int32_t* ySlope, int32_t count) {
    for (int32_t m = 0; m < count; ++m)
        QuarterPixel(q, i, 2 * m + q.jOffset, height + m, xSlope + m, ySlope + m);
}

namespace {

struct Maps {
    uint32_t* height;
    int32_t* xSlope;
    int32_t* ySlope;
    int32_t width;
    int32_t At(int32_t row, int32_t col) const { return row * width + col; }
};

}  // namespace

void BuildBallMaps(SpriteBuffer* maps, const ShadeParams& look) {
    // A negative size is taken as an empty sprite.
    const int32_t w = std::max(look.spriteWidth, 0);
    const int32_t h = std::max(look.spriteHeight, 0);
    for (int k = 0; k < 3; ++k)
        maps[k].Resize(w, h);
    maps[0].SetKind(kKindHeight);
    maps[1].SetKind(kKindSlope);
    maps[2].SetKind(kKindSlope);
    if (w == 0 || h == 0) return;

    const int32_t dy = FitDiameter(look.ellipseHeight, h);
    const int32_t dx = FitDiameter(look.ellipseWidth, w);
    const int32_t kyIn = Div(0x3FFFFFFF, std::max(1, Mul(dy - 1, dy - 1)));
    const int32_t kyOut = Div(0x3FFFFFFF, Mul(dy + 1, dy + 1));
    const int32_t kxIn = Div(0x3FFFFFFF, std::max(1, Mul(dx - 1, dx - 1)));
    const int32_t kxOut = Div(0x3FFFFFFF, Mul(dx + 1, dx + 1));
    const int32_t ny = (dy + 1) >> 1;
    const int32_t nx = (dx + 1) >> 1;
    const int32_t centreRow = h - ny;
    const int32_t centreCol = w - nx;
    const bool spherical = (look.shadingFlags & kShadeSpherical) != 0;
    const Maps m{maps[0].pixels, reinterpret_cast<int32_t*>(maps[1].pixels),
                 reinterpret_cast<int32_t*>(maps[2].pixels), w};

    // The upper right quarter of the cap, positions in half pixels from its centre.
    const QuarterSetup quarter{kxIn, kxOut, kyIn, kyOut, (dx & 1) == 0 ? 1 : 0, spherical};
    const auto quarterRow =
        UseAvx512() ? QuarterRowAvx512 : (UseAvx2() ? QuarterRowAvx2 : QuarterRowPortable);
    for (int32_t k = 0; k < ny; ++k) {
        const int32_t i = 2 * k + ((dy & 1) == 0 ? 1 : 0);
        const int32_t p = m.At(centreRow + k, centreCol);
        quarterRow(quarter, i, m.height + p, m.xSlope + p, m.ySlope + p, nx);
    }

    const int32_t centre = m.At(centreRow, centreCol);
    const int32_t zc = int32_t(m.height[centre] & 0x7FFF);
    const uint32_t lift = uint32_t((0x7FFF - zc) >> 1);
    const int32_t vm = (h - dy + 1) >> 1;
    const int32_t hm = (w - dx + 1) >> 1;

    // Vertical band below the cap's centre row: the row next to the cap keeps the edge
    // transparency, the rows beyond it are opaque and flat along y.
    if (vm != 0) {
        for (int32_t col = centreCol; col < w; ++col) {
            const int32_t from = m.At(centreRow, col);
            const int32_t edge = m.At(centreRow - 1, col);
            m.height[edge] = m.height[from] + lift;
            m.xSlope[edge] = m.xSlope[from];
            m.ySlope[edge] = m.ySlope[from] >> 1;
            for (int32_t row = centreRow - vm; row <= centreRow - 2; ++row) {
                const int32_t p = m.At(row, col);
                m.height[p] = (m.height[from] & 0x7FFF) + lift;
                m.xSlope[p] = m.xSlope[from];
                m.ySlope[p] = 0;
            }
        }
    }

    // Horizontal band left of the cap's centre column, over the quarter's rows.
    if (hm != 0) {
        for (int32_t row = centreRow; row < h; ++row) {
            const int32_t from = m.At(row, centreCol);
            const int32_t edge = m.At(row, centreCol - 1);
            m.height[edge] = (m.height[from] & 0x7FFF) + lift;
            m.xSlope[edge] = m.xSlope[from] >> 1;
            m.ySlope[edge] = m.ySlope[from];
            for (int32_t col = centreCol - hm; col <= centreCol - 2; ++col) {
                const int32_t p = m.At(row, col);
                m.height[p] = m.height[edge];
                m.ySlope[p] = m.ySlope[edge];
                m.xSlope[p] = 0;
            }
        }
    }

    // The corner where both bands meet.
    if (vm != 0 && hm != 0) {
        const uint32_t cornerZ = uint32_t((zc + 0x17FFD) >> 2);
        const int32_t sx = m.xSlope[centre];
        const int32_t sy = m.ySlope[centre];
        const auto set = [&](int32_t row, int32_t col, uint32_t z, int32_t x, int32_t y) {
            const int32_t p = m.At(row, col);
            m.height[p] = z;
            m.xSlope[p] = x;
            m.ySlope[p] = y;
        };
        set(centreRow - 1, centreCol - 1, cornerZ, sx >> 1, sy >> 1);
        for (int32_t col = centreCol - hm; col <= centreCol - 2; ++col)
            set(centreRow - 1, col, cornerZ, 0, sy >> 1);
        for (int32_t row = centreRow - vm; row <= centreRow - 2; ++row) {
            set(row, centreCol - 1, cornerZ, sx >> 1, 0);
            for (int32_t col = centreCol - hm; col <= centreCol - 2; ++col)
                set(row, col, 0x7FFF, 0, 0);
        }
    }

    const int32_t qy = (h + 1) >> 1;
    const int32_t qx = (w + 1) >> 1;

    // Extra slope growing with the distance from the sprite's centre.
    if (look.slopeRamp != 0) {
        const int32_t ramp = look.slopeRamp;
        for (int32_t k = 0; k < qy; ++k) {
            for (int32_t col = 0; col < qx; ++col) {
                const int32_t p = m.At(h - qy + k, w - qx + col);
                m.xSlope[p] = Add(m.xSlope[p], Mul(col, ramp));
                m.ySlope[p] = Add(m.ySlope[p], Mul(k, ramp));
            }
        }
    }

    // Mirror the upper right quarter into the whole sprite.
    const int32_t upper = h - qy;
    TransformPixels(6, maps[0].pixels + upper * w, w, qy, w);
    TransformPixels(8, maps[0].pixels, w, h, w);
    TransformPixels(14, maps[1].pixels + upper * w, w, qy, w);
    TransformPixels(8, maps[1].pixels, w, h, w);
    TransformPixels(6, maps[2].pixels + upper * w, w, qy, w);
    TransformPixels(16, maps[2].pixels, w, h, w);
}
