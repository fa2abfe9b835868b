#include "platform/x11/pixel_format.h"

#include <cstddef>

int LowestBit(uint32_t mask) {
    int shift = 0;
    while (shift < 32 && ((mask >> shift) & 1u) == 0)
        ++shift;
    return shift;
}

int BitCount(uint32_t mask) {
    int count = 0;
    for (; mask != 0; mask &= mask - 1)
        ++count;
    return count;
}

namespace {

uint32_t Scale(uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits <= 8) return value >> (8 - bits);
    uint32_t result = 0;
    int filled = 0;
    while (filled < bits) {
        result = (result << 8) | value;
        filled += 8;
    }
    return result >> (filled - bits);
}

}  // namespace

uint32_t ChannelField(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    return (Scale(value, BitCount(mask)) << LowestBit(mask)) & mask;
}

bool CubeIsComplete(const PixelFormat& f) {
    const int n = f.cubeLevels;
    return n > 0 && n <= 256 && f.cubePixels.size() >= static_cast<size_t>(n) * n * n;
}

uint32_t MapPixel(const PixelFormat& f, uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 0xFF;
    const uint32_t g = (rgb >> 8) & 0xFF;
    const uint32_t b = rgb & 0xFF;
    uint32_t value = 0;
    switch (f.kind) {
        case PixelFormat::Masks:
            value = ChannelField(r, f.redMask) | ChannelField(g, f.greenMask) |
                    ChannelField(b, f.blueMask);
            break;
        case PixelFormat::Cube:
            if (CubeIsComplete(f)) {
                const int n = f.cubeLevels;
                value = f.cubePixels[static_cast<size_t>(
                    (CubeLevel(r, n) * n + CubeLevel(g, n)) * n + CubeLevel(b, n))];
            }
            break;
        case PixelFormat::Gray:
            if (f.grayPixels.size() == 256) value = f.grayPixels[Luminance(rgb)];
            break;
    }
    return value | f.alphaMask;
}
