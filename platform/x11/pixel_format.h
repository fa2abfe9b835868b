// Conversion of 0x00RRGGBB pixels into the pixel values and bytes of a
// window's visual: TrueColor and DirectColor of any channel masks, and
// colour-map visuals through a colour cube or a grey ramp. No Xlib here.
#pragma once

#include <cstdint>
#include <vector>

struct PixelFormat {
    enum Kind { Masks, Cube, Gray };
    Kind kind = Masks;
    int bitsPerPixel = 32;  // bits per pixel of the image rows (1..32)
    bool msbFirst = false;  // byte order of the image
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;
    // Bits set in every pixel: the alpha channel of a visual that has one, so
    // that a compositor shows the pixels opaque.
    uint32_t alphaMask = 0;
    // Cube: cubeLevels levels per channel; cubePixels[(r * n + g) * n + b].
    int cubeLevels = 0;
    std::vector<uint32_t> cubePixels;
    // Gray: the pixel for each luminance 0..255.
    std::vector<uint32_t> grayPixels;
};

// The device pixel value of one 0x00RRGGBB colour, worked out from the
// format's description for each pixel: the reference that RowConverter
// (platform/x11/pixel_rows.h) matches.
uint32_t MapPixel(const PixelFormat& format, uint32_t rgb);

// The position and width of a channel mask's lowest set bit and its bits.
int LowestBit(uint32_t mask);
int BitCount(uint32_t mask);

// An 8-bit channel value placed in the field of `mask`: its top bits for a
// narrower field, the value repeated for a wider one.
uint32_t ChannelField(uint32_t value, uint32_t mask);

// A complete colour cube: its level count is sane and it has all n^3 pixels.
bool CubeIsComplete(const PixelFormat& format);

// The level index of an 8-bit channel in a ramp of `levels` steps (nearest).
inline int CubeLevel(uint32_t value, int levels) {
    return static_cast<int>((value * static_cast<uint32_t>(levels - 1) + 127) / 255);
}

// Luminance 0..255 of a 0x00RRGGBB colour (ITU-R BT.601 weights).
inline uint32_t Luminance(uint32_t rgb) {
    return (((rgb >> 16) & 0xFF) * 77 + ((rgb >> 8) & 0xFF) * 150 + (rgb & 0xFF) * 29) >> 8;
}
