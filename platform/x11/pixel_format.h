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
    // Cube: cubeLevels levels per channel; cubePixels[(r * n + g) * n + b].
    int cubeLevels = 0;
    std::vector<uint32_t> cubePixels;
    // Gray: the pixel for each luminance 0..255.
    std::vector<uint32_t> grayPixels;
};

// The device pixel value of one 0x00RRGGBB colour.
uint32_t MapPixel(const PixelFormat& format, uint32_t rgb);

// Whether ConvertRow can write this format's rows (8, 16, 24 or 32 bits per
// pixel); other depths are written pixel by pixel with MapPixel.
bool CanConvertRows(const PixelFormat& format);

// Writes count pixels from src as device bytes at dst.
void ConvertRow(const PixelFormat& format, const uint32_t* src, int count, uint8_t* dst);

// The level index of an 8-bit channel in a ramp of `levels` steps (nearest).
inline int CubeLevel(uint32_t value, int levels) {
    return static_cast<int>((value * static_cast<uint32_t>(levels - 1) + 127) / 255);
}

// Luminance 0..255 of a 0x00RRGGBB colour (ITU-R BT.601 weights).
inline uint32_t Luminance(uint32_t rgb) {
    return (((rgb >> 16) & 0xFF) * 77 + ((rgb >> 8) & 0xFF) * 150 + (rgb & 0xFF) * 29) >> 8;
}
