// Writes the program's icon, resource 128, as one of our own shaded balls,
// drawn by the renderer at 32 x 32 and 16 x 16: two RT_ICON images (32-bit
// DIBs with an alpha channel and the AND mask) and the RT_GROUP_ICON
// directory that lists them. With a second argument it also writes the two
// images as PAM pictures to look at, with a third the same images as an icon
// file (.ico) for the Windows resource script.
//
// Usage: quorix-icon-gen OUTPUT.cpp [PREVIEW-PREFIX [ICON.ico]]
#include <string>
#include <vector>

#include "render/ball_maps.h"
#include "render/default_look.h"
#include "render/shade_ball.h"
#include "render/shade_params.h"
#include "render/sprite_buffer.h"
#include "res/generators/resource_writer.h"

namespace {

using resgen::Bytes;

constexpr unsigned kRtIcon = 3;
constexpr unsigned kRtGroupIcon = 14;
constexpr unsigned kIconId = 128;

// An ordinary green ball lit from the upper left, filling the image.
ShadeParams IconLook(int32_t size) {
    ShadeParams look = DefaultLook(size);
    look.topColour = {16, 96, 16};
    look.rimColour = {0, 48, 0};
    look.diffuseColour = {40, 200, 40};
    look.specularColour = {200, 255, 200};
    return look;
}

// The ball's pixels as 0xAARRGGBB, bottom row first.
std::vector<uint32_t> BallImage(int32_t size) {
    SpriteBuffer maps[3];
    const ShadeParams look = IconLook(size);
    BuildBallMaps(maps, look);
    ShadeBall(maps, look);
    std::vector<uint32_t> image(static_cast<size_t>(size * size));
    for (size_t i = 0; i < image.size(); ++i) {
        const uint32_t p = maps[0].pixels[i];
        const uint32_t alpha = 255 - (p >> 24);  // sprites keep a transparency
        image[i] = alpha == 0 ? 0 : (alpha << 24) | (p & 0x00FFFFFF);
    }
    return image;
}

// An icon image: BITMAPINFOHEADER with the doubled height, the colour rows
// and the AND mask (a set bit is transparent), both bottom-up.
Bytes IconImage(const std::vector<uint32_t>& image, int32_t size) {
    Bytes icon;
    const uint32_t maskStride = ((static_cast<uint32_t>(size) + 31) / 32) * 4;
    icon.Dword(40);
    icon.Dword(static_cast<uint32_t>(size));
    icon.Dword(static_cast<uint32_t>(size * 2));
    icon.Word(1);   // planes
    icon.Word(32);  // bits per pixel
    icon.Dword(0);  // BI_RGB
    icon.Dword(static_cast<uint32_t>(size * size * 4) + maskStride * static_cast<uint32_t>(size));
    for (int i = 0; i < 4; ++i)
        icon.Dword(0);
    for (uint32_t p : image)
        icon.Dword(p);
    for (int32_t y = 0; y < size; ++y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int32_t x = 0; x < size; ++x) {
            if ((image[static_cast<size_t>(y * size + x)] >> 24) < 128) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        for (uint8_t b : row)
            icon.Byte(b);
    }
    return icon;
}

void WritePreview(const std::string& path, const std::vector<uint32_t>& image, int32_t size) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return;
    std::fprintf(out, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 size, size);
    for (int32_t y = size - 1; y >= 0; --y) {  // top row first
        for (int32_t x = 0; x < size; ++x) {
            const uint32_t p = image[static_cast<size_t>(y * size + x)];
            const unsigned char rgba[4] = {
                static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                static_cast<unsigned char>(p), static_cast<unsigned char>(p >> 24)};
            std::fwrite(rgba, 1, 4, out);
        }
    }
    std::fclose(out);
}

// An icon file: the directory (as the group's, with each image's file offset
// in place of its resource id), then the images.
int WriteIconFile(const char* path, const std::vector<resgen::Resource>& images,
                  const Bytes& group) {
    constexpr size_t kHeader = 6, kGroupEntry = 14, kFileEntry = 16;
    Bytes file;
    for (size_t i = 0; i < kHeader; ++i)
        file.Byte(group.data[i]);
    uint32_t offset = static_cast<uint32_t>(kHeader + kFileEntry * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const size_t entry = kHeader + kGroupEntry * i;
        for (size_t b = 0; b < kGroupEntry - 2; ++b)
            file.Byte(group.data[entry + b]);
        file.Dword(offset);
        offset += static_cast<uint32_t>(images[i].bytes.Size());
    }
    for (const resgen::Resource& image : images)
        file.Append(image.bytes);
    FILE* out = std::fopen(path, "wb");
    bool written = out != nullptr;
    if (written) {
        written = std::fwrite(file.data.data(), 1, file.Size(), out) == file.Size();
        written = std::fclose(out) == 0 && written;
    }
    if (!written) {
        std::fprintf(stderr, "quorix-icon-gen: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: quorix-icon-gen OUTPUT.cpp [PREVIEW-PREFIX [ICON.ico]]\n");
        return 2;
    }
    const int32_t sizes[2] = {32, 16};
    std::vector<resgen::Resource> resources;
    Bytes group;
    group.Word(0);  // reserved
    group.Word(1);  // icons
    group.Word(2);  // entries
    for (unsigned i = 0; i < 2; ++i) {
        const int32_t size = sizes[i];
        const std::vector<uint32_t> image = BallImage(size);
        if (argc >= 3) WritePreview(argv[2] + std::to_string(size) + ".pam", image, size);
        Bytes icon = IconImage(image, size);
        group.Byte(static_cast<uint32_t>(size));
        group.Byte(static_cast<uint32_t>(size));
        group.Byte(0);   // colours: more than 256
        group.Byte(0);   // reserved
        group.Word(1);   // planes
        group.Word(32);  // bits per pixel
        group.Dword(static_cast<uint32_t>(icon.Size()));
        group.Word(i + 1);  // the RT_ICON id
        resources.push_back({kRtIcon, i + 1, "kIcon" + std::to_string(size), icon});
    }
    if (argc == 4 && WriteIconFile(argv[3], resources, group) != 0) return 1;
    resources.push_back({kRtGroupIcon, kIconId, "kIconGroup", group});
    return resgen::WriteResourceSource(argv[1], "quorix-icon-gen", resources);
}
