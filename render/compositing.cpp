#include "render/compositing.h"

#include "render/blend_rows.h"
#include "render/pixel_copy.h"

namespace {

constexpr uint32_t kColourMask = 0x00FFFFFFu;

// The part of a sprite at (x, y) that lies inside a plane.
struct Clip {
    int32_t spriteCol, spriteRow;  // first sprite pixel drawn
    int32_t x, y;                  // its plane position
    int32_t cols, rows;
};

bool ClipSprite(const SpriteBuffer& sprite, const void* plane, int32_t x, int32_t y,
                int32_t planeWidth, int32_t planeHeight, Clip* clip) {
    const int64_t w = sprite.Width();
    const int64_t h = sprite.Height();
    if (x >= planeWidth || y >= planeHeight || -int64_t(x) >= w || -int64_t(y) >= h ||
        sprite.Kind() != kKindColour || w <= 0 || h <= 0 || !plane || !sprite.pixels)
        return false;
    int64_t cols = w, rows = h, px = x, py = y;
    clip->spriteCol = 0;
    clip->spriteRow = 0;
    if (px < 0) {
        clip->spriteCol = int32_t(-px);
        cols = w + px;
        px = 0;
    }
    if (px + cols > planeWidth) cols = planeWidth - px;
    if (py < 0) {
        clip->spriteRow = int32_t(-py);
        rows = h + py;
        py = 0;
    }
    if (py + rows > planeHeight) rows = planeHeight - py;
    clip->x = int32_t(px);
    clip->y = int32_t(py);
    clip->cols = int32_t(cols);
    clip->rows = int32_t(rows);
    return cols > 0 && rows > 0;
}

inline int32_t Byte(uint32_t word, int shift) {
    return int32_t((word >> shift) & 0xFF);
}

inline uint32_t PackClear(int32_t r, int32_t g, int32_t b) {
    return ((uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b)) & kColourMask;
}

}  // namespace

void BlendSprite(const SpriteBuffer& sprite, uint32_t* plane, int32_t x, int32_t y,
                 int32_t planeWidth, int32_t planeHeight, int32_t opacityBoost) {
    Clip c;
    if (!ClipSprite(sprite, plane, x, y, planeWidth, planeHeight, &c)) return;
    const int32_t w = sprite.Width();
    for (int32_t r = 0; r < c.rows; ++r) {
        const uint32_t* s = sprite.pixels + ptrdiff_t(c.spriteRow + r) * w + c.spriteCol;
        uint32_t* d = plane + ptrdiff_t(c.y + r) * planeWidth + c.x;
        BlendRow(s, d, c.cols, opacityBoost);
    }
}

void FlattenSprite(const SpriteBuffer& sprite, uint32_t* destination, int32_t x, int32_t y,
                   int32_t destinationWidth, int32_t destinationHeight, COLORREF colour) {
    Clip c;
    if (!ClipSprite(sprite, destination, x, y, destinationWidth, destinationHeight, &c)) return;
    const int32_t red = int32_t(colour & 0xFF);
    const int32_t green = int32_t((colour >> 8) & 0xFF);
    const int32_t blue = int32_t((colour >> 16) & 0xFF);
    const uint32_t solid = (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    const int32_t w = sprite.Width();
    for (int32_t r = 0; r < c.rows; ++r) {
        const uint32_t* s = sprite.pixels + ptrdiff_t(c.spriteRow + r) * w + c.spriteCol;
        uint32_t* d = destination + ptrdiff_t(c.y + r) * destinationWidth + c.x;
        for (int32_t k = 0; k < c.cols; ++k) {
            const uint32_t sp = s[k];
            const int32_t t = int32_t(sp >> 24);
            if (t == 0) {
                d[k] = sp;
            } else if (t == 255) {
                d[k] = solid;
            } else {
                const auto mix = [&](int shift, int32_t base) {
                    return ((Byte(sp, shift) * (255 - t)) >> 8) + ((t * base) >> 8);
                };
                d[k] = PackClear(mix(16, red), mix(8, green), mix(0, blue));
            }
        }
    }
}

namespace {

inline bool IsEmpty(uint32_t p) {
    return (p >> 24) == 255;
}
inline uint32_t WithT(uint32_t colour, uint32_t t) {
    return (colour & kColourMask) | (t << 24);
}

// Channels (a.c * wa + b.c * wb) >> 8 with transparency t.
inline uint32_t Mix(uint32_t a, uint32_t wa, uint32_t b, uint32_t wb, uint32_t t) {
    const auto ch = [&](int shift) {
        return ((((a >> shift) & 0xFF) * wa + ((b >> shift) & 0xFF) * wb) >> 8) << shift;
    };
    return ch(16) | ch(8) | ch(0) | (t << 24);
}

}  // namespace

void ShiftSprite(const SpriteBuffer& source, SpriteBuffer& destination, int32_t xFraction,
                 int32_t yFraction) {
    if (&source == &destination) {
        // Shifting a sprite onto itself works from a copy of it.
        SpriteBuffer copy;
        copy.Resize(source.Width(), source.header.bV4Height);
        copy.kind = source.kind;
        CopyPixels(source.pixels, copy.pixels, source.Width(), source.Height(), 0, 0);
        ShiftSprite(copy, destination, xFraction, yFraction);
        return;
    }
    const uint32_t fx = uint32_t(xFraction) & 0xFF;
    const uint32_t fy = uint32_t(yFraction) & 0xFF;
    const int32_t w = source.Width();
    const int32_t h = source.Height();
    destination.Resize(fx != 0 ? w + 1 : w, fy != 0 ? h + 1 : h);
    destination.SetKind(kKindColour);
    if (source.Kind() != kKindColour || w <= 0 || h <= 0 || !source.pixels) {
        destination.Resize(0, 0);
        return;
    }
    const int32_t wide = destination.Width();
    uint32_t* out = destination.pixels;
    if (fx == 0 && fy == 0) {
        CopyPixels(source.pixels, out, w, h, 0, 0);
        return;
    }

    // Horizontal pass: destination column j mixes source column j (weight e) with
    // column j - 1 (weight fx); an empty neighbour counts as transparency 256.
    if (fx != 0) {
        const uint32_t e = 256 - fx;
        for (int32_t r = 0; r < h; ++r) {
            const uint32_t* s = source.pixels + ptrdiff_t(r) * w;
            uint32_t* d = out + ptrdiff_t(r) * wide;
            uint32_t pt = 255, pc = 0;
            for (int32_t j = 0; j < w; ++j) {
                const uint32_t sp = s[j];
                const uint32_t st = sp >> 24;
                if (pt == 255 && st == 255) {
                    d[j] = sp;
                    pc = 0;
                } else if (pt == 255) {
                    d[j] = WithT(sp, (st * e + 256 * fx) >> 8);
                    pt = st;
                    pc = sp & kColourMask;
                } else if (st == 255) {
                    d[j] = WithT(pc, (pt * fx + 256 * e) >> 8);
                    pt = 255;
                    pc = 0;
                } else {
                    d[j] = Mix(sp, e, pc, fx, (st * e + pt * fx) >> 8);
                    pt = st;
                    pc = sp & kColourMask;
                }
            }
            d[w] = pt == 255 ? kEmptyPixel : WithT(pc, (pt * fx + 256 * e) >> 8);
        }
    }

    // Vertical pass, downward so that it can run in place: destination row r mixes input
    // row r (weight g) with row r - 1 (weight fy).
    if (fy != 0) {
        const uint32_t g = 256 - fy;
        const uint32_t* in = fx != 0 ? out : source.pixels;
        const auto row = [&](int32_t r) { return in + ptrdiff_t(r) * wide; };
        uint32_t* top = out + ptrdiff_t(h) * wide;
        const uint32_t* last = row(h - 1);
        for (int32_t k = 0; k < wide; ++k)
            top[k] =
                IsEmpty(last[k]) ? last[k] : WithT(last[k], ((last[k] >> 24) * fy + 256 * g) >> 8);
        for (int32_t r = h - 1; r >= 1; --r) {
            const uint32_t* upper = row(r);
            const uint32_t* lower = row(r - 1);
            uint32_t* d = out + ptrdiff_t(r) * wide;
            for (int32_t k = 0; k < wide; ++k) {
                const uint32_t u = upper[k], l = lower[k];
                const uint32_t ut = u >> 24, lt = l >> 24;
                if (IsEmpty(u) && IsEmpty(l))
                    d[k] = u;
                else if (IsEmpty(u))
                    d[k] = WithT(l, (lt * fy + 256 * g) >> 8);
                else if (IsEmpty(l))
                    d[k] = WithT(u, (ut * g + 256 * fy) >> 8);
                else
                    d[k] = Mix(u, g, l, fy, (ut * g + lt * fy) >> 8);
            }
        }
        const uint32_t* first = row(0);
        for (int32_t k = 0; k < wide; ++k)
            out[k] = IsEmpty(first[k]) ? first[k]
                                       : WithT(first[k], ((first[k] >> 24) * g + 256 * fy) >> 8);
    }
}
