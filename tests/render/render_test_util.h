// Helpers shared by the render tests.
#pragma once

#include <cstdint>

#include "render/default_look.h"
#include "render/shade_params.h"
#include "render/sprite_buffer.h"

// A look with the given sprite and ellipse sizes, the defaults of a new ordinary ball
// otherwise.
inline ShadeParams TestLook(int32_t width, int32_t height, int32_t ellipseWidth,
                            int32_t ellipseHeight) {
    ShadeParams look = DefaultLook(8);
    look.spriteWidth = width;
    look.spriteHeight = height;
    look.ellipseWidth = ellipseWidth;
    look.ellipseHeight = ellipseHeight;
    return look;
}

inline uint32_t At(const SpriteBuffer& b, int32_t row, int32_t col) {
    return b.pixels[row * b.Width() + col];
}
inline int32_t SignedAt(const SpriteBuffer& b, int32_t row, int32_t col) {
    return int32_t(At(b, row, col));
}

// Sets a buffer to width x height words of value with the given kind.
inline void Fill(SpriteBuffer& b, int32_t width, int32_t height, uint32_t kind, uint32_t value) {
    b.Resize(width, height);
    b.SetKind(kind);
    for (int32_t k = 0; k < width * height; ++k)
        b.pixels[k] = value;
}
