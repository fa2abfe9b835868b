#include "platform/x11/pixel_format.h"

#include <cstring>

namespace {

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

// An 8-bit channel value scaled to a field of `bits` bits: the top bits for
// narrower fields, the value repeated for wider ones.
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

uint32_t Field(uint32_t value, uint32_t mask) {
    if (mask == 0) return 0;
    return (Scale(value, BitCount(mask)) << LowestBit(mask)) & mask;
}

bool IsPlainRgb32(const PixelFormat& f) {
    return f.kind == PixelFormat::Masks && f.bitsPerPixel == 32 && f.redMask == 0x00FF0000 &&
           f.greenMask == 0x0000FF00 && f.blueMask == 0x000000FF;
}

bool HostIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

}  // namespace

uint32_t MapPixel(const PixelFormat& f, uint32_t rgb) {
    const uint32_t r = (rgb >> 16) & 0xFF;
    const uint32_t g = (rgb >> 8) & 0xFF;
    const uint32_t b = rgb & 0xFF;
    switch (f.kind) {
        case PixelFormat::Masks:
            return Field(r, f.redMask) | Field(g, f.greenMask) | Field(b, f.blueMask);
        case PixelFormat::Cube: {
            const int n = f.cubeLevels;
            if (n <= 0 || f.cubePixels.size() < static_cast<size_t>(n * n * n)) return 0;
            const size_t index =
                static_cast<size_t>((CubeLevel(r, n) * n + CubeLevel(g, n)) * n + CubeLevel(b, n));
            return f.cubePixels[index];
        }
        case PixelFormat::Gray:
            return f.grayPixels.size() == 256 ? f.grayPixels[Luminance(rgb)] : 0;
    }
    return 0;
}

bool CanConvertRows(const PixelFormat& f) {
    return f.bitsPerPixel == 8 || f.bitsPerPixel == 16 || f.bitsPerPixel == 24 ||
           f.bitsPerPixel == 32;
}

void ConvertRow(const PixelFormat& f, const uint32_t* src, int count, uint8_t* dst) {
    if (count <= 0) return;
    if (IsPlainRgb32(f) && f.msbFirst != HostIsLittleEndian()) {
        // The visual's words are ours: a straight copy (the top byte is padding).
        std::memcpy(dst, src, static_cast<size_t>(count) * 4);
        return;
    }
    const int bytes = f.bitsPerPixel / 8;
    for (int i = 0; i < count; ++i, dst += bytes) {
        const uint32_t value = MapPixel(f, src[i]);
        for (int k = 0; k < bytes; ++k) {
            const int shift = f.msbFirst ? 8 * (bytes - 1 - k) : 8 * k;
            dst[k] = static_cast<uint8_t>(value >> shift);
        }
    }
}
