// Sprite buffers: small 32-bit images rebuilt for every ball each frame, holding a colour
// sprite, a height map or a slope map.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Content kinds, in bits 0-14 of SpriteBuffer::kind.
enum : uint32_t {
    kKindNone = 0,
    kKindColour = 1,  // 0xTTRRGGBB, TT the transparency (0 opaque, 255 empty)
    kKindHeight = 2,  // bits 0-14 height, bits 24-31 transparency, 0xFF000000 outside
    kKindSlope = 3,   // signed slope along one axis
};
constexpr uint32_t kKindMask = 0x7FFF;

// Marks a pixel outside the shape in a height map, and an empty colour sprite pixel.
constexpr uint32_t kEmptyPixel = 0xFF000000u;

struct SpriteBuffer {
    BITMAPV4HEADER header;
    uint32_t kind;
    uint32_t* pixels;
    int32_t capacity;  // bytes in the block behind pixels, 0 when there is none

    SpriteBuffer() { Clear(); }
    ~SpriteBuffer() { Release(); }
    SpriteBuffer(const SpriteBuffer&) = delete;
    SpriteBuffer& operator=(const SpriteBuffer&) = delete;

    // Sets every member to zero (does not free the block).
    void Clear();
    // Frees the block, if any.
    void Release();
    // Replaces the block by an uncleared one of count words, rounded up to 64 bytes.
    void Reserve(int32_t count);
    // Sets the size; grows the block when needed and never shrinks it. Keeps kind.
    void Resize(int32_t width, int32_t height);

    int32_t Width() const { return header.bV4Width; }
    // Rows, the absolute value of bV4Height.
    int32_t Height() const;
    uint32_t Kind() const { return kind & kKindMask; }
    // Sets bits 0-14 of kind and keeps bits 15-31.
    void SetKind(uint32_t newKind) { kind = (kind & ~kKindMask) | (newKind & kKindMask); }
};
