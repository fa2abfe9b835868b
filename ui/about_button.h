// The About box's picture button: two 84 x 68 pictures of a raised button with
// a rounded 3-D frame and a soft shadow, drawn from the system colours. The
// resting picture floats with an 8-pixel shadow; the pressed one sits 4 pixels
// lower and further right over a 4-pixel shadow.
#pragma once

#include <cstdint>

#include "platform/win32.h"

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 68;
constexpr int kButtonRowBytes = kButtonWidth * 3;  // 252: no padding needed
constexpr int kButtonBytes = kButtonRowBytes * kButtonHeight;
constexpr int kFaceWidth = 64;
constexpr int kFaceHeight = 48;
constexpr int kButtonPaletteSize = 10;

// The system colours the palette starts from, as GetSysColor gives them
// (0x00BBGGRR): dark shadow, shadow, face, light, highlight.
struct ButtonSysColours {
    COLORREF darkShadow;
    COLORREF shadow;
    COLORREF face;
    COLORREF light;
    COLORREF highlight;
};

// Per colour byte: ((a * (255 - w)) >> 8) + ((b * w) >> 8) of two 0x00RRGGBB colours.
uint32_t MixColours(uint32_t a, uint32_t b, int32_t w);

// The ten drawing colours, each 0x00RRGGBB.
void BuildButtonPalette(const ButtonSysColours& sys, uint32_t palette[kButtonPaletteSize]);

// The 64 x 48 picture on the button's face, 0x00RRGGBB, row 0 on top.
uint32_t FacePixel(int row, int column);

// Draws both pictures as top-down 24-bit rows (blue, green, red bytes).
void DrawButtonPictures(const uint32_t palette[kButtonPaletteSize], BYTE pressed[kButtonBytes],
                        BYTE resting[kButtonBytes]);

// The header both pictures are created with: 84 x -68 (top-down), 24 bits, BI_RGB.
BITMAPINFOHEADER ButtonBitmapHeader();
