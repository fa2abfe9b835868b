// quorix-ball-grid OUT.png: a picture of many ball looks over the saver's dark violet
// background: sizes, squashed and stretched shapes, lights from different sides,
// transparent bodies and second highlights.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/default_look.h"
#include "render/shade_ball.h"
#include "tools/common/png_write.h"

namespace {

constexpr int32_t kCell = 132;
constexpr int32_t kColumns = 7;
constexpr int32_t kRows = 4;
constexpr uint32_t kBackground = 0x001C0A2Cu;  // dark violet, 0x00RRGGBB

int32_t Angles(int32_t azimuth, int32_t polar) {
    return int32_t((uint32_t(polar) << 16) | (uint32_t(azimuth) & 0xFFFF));
}

ShadeParams Ball(int32_t width, int32_t height, int32_t ellipseWidth, int32_t ellipseHeight) {
    ShadeParams look = DefaultLook();
    look.topColour = {30, 150, 40};
    look.rimColour = {0, 50, 10};
    look.diffuseColour = {70, 210, 80};
    look.specularColour = {225, 255, 225};
    look.spriteWidth = width;
    look.spriteHeight = height;
    look.ellipseWidth = ellipseWidth;
    look.ellipseHeight = ellipseHeight;
    look.normalRadius = (ellipseWidth < ellipseHeight ? ellipseWidth : ellipseHeight) / 2;
    return look;
}

ShadeParams Round(int32_t size) {
    return Ball(size, size, size, size);
}

std::vector<ShadeParams> Looks() {
    std::vector<ShadeParams> looks;
    // Sizes.
    for (int32_t size : {16, 30, 46, 64, 84, 104, 124})
        looks.push_back(Round(size));
    // Squashed and stretched: rounded rectangles of caps and flat bands.
    looks.push_back(Ball(124, 62, 62, 62));
    looks.push_back(Ball(62, 124, 62, 62));
    looks.push_back(Ball(110, 80, 48, 48));
    looks.push_back(Ball(76, 112, 40, 56));
    looks.push_back(Ball(124, 36, 36, 36));
    looks.push_back(Ball(96, 96, 28, 28));
    looks.push_back(Ball(100, 70, 100, 70));  // an ellipse, no bands
    // Light from different sides, and from behind.
    int32_t k = 0;
    for (int32_t azimuth : {0, 128, 256, -384, 512, -256, -128}) {
        ShadeParams look = Round(100);
        look.lightDirection = Angles(azimuth, k == 6 ? 0x150 : 0x90);
        look.backLight = k == 6 ? -2 : 0;
        look.diffuseColour = k % 2 ? ShadeColour{120, 220, 60} : ShadeColour{60, 200, 150};
        looks.push_back(look);
        ++k;
    }
    // Transparent bodies, second highlights, a flattened peak, the simple path.
    for (int32_t kind = 0; kind < 7; ++kind) {
        ShadeParams look = Round(104);
        switch (kind) {
            case 0:
                look.opacityControl = 120;
                break;
            case 1:
                look.opacityControl = -1;
                break;
            case 2:
                look.opacityControl = -90;
                break;
            case 3:
                look.secondSpecularIndex = 4;
                look.secondLight = Angles(384, 0x100);
                break;
            case 4:
                look.secondSpecularIndex = 4;
                look.opacityControl = 60;
                look.specularColour = {255, 255, 160};
                break;
            case 5:
                look.sharpenShift = 12;
                look.specularIndex = 6;
                break;
            case 6:
                look.shadingFlags = kShadeSpherical | kShadeSimple;
                look.topColour = {90, 200, 60};
                break;
        }
        looks.push_back(look);
    }
    return looks;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorix-ball-grid OUT.png\n");
        return 2;
    }
    const int32_t width = kColumns * kCell, height = kRows * kCell;
    std::vector<uint32_t> plane(size_t(width) * height, kBackground);
    SpriteBuffer maps[5];
    const std::vector<ShadeParams> looks = Looks();
    for (size_t k = 0; k < looks.size(); ++k) {
        const ShadeParams& look = looks[k];
        BuildBallMaps(maps, look);
        ShadeBall(maps, look);
        // The plane is bottom-up: grid row 0 is the top row of cells.
        const int32_t column = int32_t(k) % kColumns, row = int32_t(k) / kColumns;
        const int32_t x = column * kCell + (kCell - look.spriteWidth) / 2;
        const int32_t y = (kRows - 1 - row) * kCell + (kCell - look.spriteHeight) / 2;
        BlendSprite(maps[0], plane.data(), x, y, width, height, 64);
    }

    std::vector<uint8_t> rgba(plane.size() * 4);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t p = plane[size_t(height - 1 - y) * width + x];
            uint8_t* out = &rgba[(size_t(y) * width + x) * 4];
            out[0] = uint8_t(p >> 16);
            out[1] = uint8_t(p >> 8);
            out[2] = uint8_t(p);
            out[3] = 255;
        }
    std::string error;
    if (!WritePngRgba(argv[1], width, height, rgba.data(), &error)) {
        std::fprintf(stderr, "quorix-ball-grid: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
