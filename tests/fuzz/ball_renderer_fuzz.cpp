// The whole ball renderer over any look: 26 words of ShadeParams from the
// input, the sprite sides taken into 0..256. The maps are built, shaded,
// then optionally shifted by a sub-pixel fraction, and blended into a small plane
// at a position from the input. A second look, when the input holds one, is
// drawn with the same buffers, as the engine reuses them from ball to ball.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/shade_ball.h"
#include "render/shade_params.h"
#include "render/sprite_buffer.h"

namespace {

constexpr int32_t kPlaneWidth = 97;
constexpr int32_t kPlaneHeight = 61;
constexpr size_t kLookBytes = sizeof(ShadeParams);
// After each look: x, y, opacity boost, shift fractions and a shift flag.
constexpr size_t kExtraBytes = 8;

// A sprite side of 0..256. Most looks take a side of up to 32 (bit 9 clear),
// so that the small sides and the edges of shapes get most of the runs.
int32_t Side(int32_t word) {
    const uint32_t w = static_cast<uint32_t>(word);
    return static_cast<int32_t>((w & 0x200u) != 0 ? w % 257u : w % 33u);
}

void DrawOne(const uint8_t* data, SpriteBuffer* maps, SpriteBuffer& shifted,
             std::vector<uint32_t>& plane) {
    ShadeParams look;
    std::memcpy(&look, data, kLookBytes);
    look.spriteWidth = Side(look.spriteWidth);
    look.spriteHeight = Side(look.spriteHeight);
    const uint8_t* extra = data + kLookBytes;
    BuildBallMaps(maps, look);
    ShadeBall(maps, look);
    const SpriteBuffer* sprite = &maps[0];
    if ((extra[5] & 1) != 0) {
        ShiftSprite(maps[0], shifted, extra[3], extra[4]);
        sprite = &shifted;
    }
    // Positions from well outside the plane on one side to the other.
    const int32_t x = static_cast<int8_t>(extra[0]) * 3;
    const int32_t y = static_cast<int8_t>(extra[1]) * 3;
    BlendSprite(*sprite, plane.data(), x, y, kPlaneWidth, kPlaneHeight, extra[2]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kOne = kLookBytes + kExtraBytes;
    if (size < kOne) return 0;
    SpriteBuffer maps[3];
    SpriteBuffer shifted;
    std::vector<uint32_t> plane(static_cast<size_t>(kPlaneWidth) * kPlaneHeight, 0x00302040u);
    DrawOne(data, maps, shifted, plane);
    if (size >= 2 * kOne) DrawOne(data + kOne, maps, shifted, plane);
    // The frame planes hold no transparency byte.
    for (uint32_t pixel : plane) {
        if ((pixel & 0xFF000000u) != 0) std::abort();
    }
    return 0;
}
