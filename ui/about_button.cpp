#include "ui/about_button.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// A palette mix: pixel Mix(i, j, w).
struct MixCode {
    uint8_t i, j, w;
};
using Piece = MixCode[16];

// The corner pieces, 4 x 4 codes row by row. 0-3: corners of the raised frame
// (upper left, upper right, lower left, lower right); 4-6: lower left, upper
// right and lower right ends of the pressed shadow; 7-9: the same for the
// resting shadow.
// clang-format off
const Piece kPieces[10] = {
    // piece 0
    {{2, 2, 0}, {2, 3, 100}, {2, 3, 220}, {2, 3, 250},
     {2, 3, 100}, {4, 3, 241}, {3, 4, 201}, {3, 4, 245},
     {2, 3, 220}, {3, 4, 201}, {4, 2, 141}, {4, 2, 225},
     {2, 3, 250}, {3, 4, 245}, {4, 2, 225}, {2, 1, 205}},
    // piece 1
    {{2, 3, 250}, {2, 3, 220}, {2, 3, 90}, {2, 2, 0},
     {2, 4, 245}, {3, 4, 128}, {4, 2, 230}, {2, 1, 80},
     {2, 4, 200}, {2, 4, 245}, {4, 2, 240}, {2, 1, 170},
     {1, 3, 255}, {2, 4, 255}, {4, 2, 250}, {2, 1, 220}},
    // piece 2
    {{2, 3, 250}, {2, 4, 245}, {2, 4, 200}, {1, 3, 255},
     {2, 3, 220}, {3, 4, 128}, {2, 4, 245}, {2, 4, 255},
     {2, 3, 90}, {4, 2, 230}, {4, 2, 240}, {4, 2, 250},
     {2, 2, 0}, {2, 1, 80}, {2, 1, 170}, {2, 1, 220}},
    // piece 3
    {{4, 3, 205}, {3, 4, 225}, {1, 2, 245}, {5, 1, 250},
     {3, 4, 225}, {4, 2, 140}, {1, 2, 201}, {5, 1, 220},
     {1, 2, 245}, {1, 2, 201}, {2, 1, 240}, {5, 1, 100},
     {5, 1, 250}, {5, 1, 220}, {5, 1, 100}, {5, 5, 0}},
    // piece 4
    {{2, 7, 250}, {7, 6, 245}, {6, 5, 240}, {5, 5, 255},
     {2, 7, 210}, {7, 6, 200}, {6, 5, 150}, {6, 5, 240},
     {2, 7, 90}, {6, 7, 240}, {7, 6, 200}, {7, 6, 245},
     {2, 2, 0}, {2, 7, 90}, {2, 7, 210}, {2, 7, 250}},
    // piece 5
    {{2, 7, 250}, {2, 7, 210}, {2, 7, 90}, {2, 2, 0},
     {7, 6, 245}, {7, 6, 200}, {6, 7, 240}, {2, 7, 90},
     {6, 5, 240}, {6, 5, 150}, {7, 6, 200}, {2, 7, 210},
     {5, 5, 255}, {6, 5, 240}, {7, 6, 245}, {2, 7, 250}},
    // piece 6
    {{5, 5, 255}, {6, 5, 240}, {7, 6, 245}, {2, 7, 250},
     {6, 5, 240}, {6, 5, 150}, {7, 6, 200}, {2, 7, 210},
     {7, 6, 245}, {7, 6, 200}, {6, 7, 240}, {2, 7, 90},
     {2, 7, 250}, {2, 7, 210}, {2, 7, 90}, {2, 2, 0}},
    // piece 7
    {{2, 9, 210}, {9, 8, 205}, {8, 7, 200}, {7, 6, 120},
     {2, 9, 180}, {9, 8, 140}, {8, 7, 100}, {8, 7, 200},
     {2, 9, 100}, {2, 9, 140}, {9, 8, 140}, {9, 8, 205},
     {2, 2, 0}, {2, 9, 100}, {2, 9, 180}, {2, 9, 210}},
    // piece 8
    {{2, 9, 210}, {2, 9, 180}, {2, 9, 100}, {2, 2, 0},
     {9, 8, 205}, {9, 8, 140}, {2, 9, 140}, {2, 9, 100},
     {8, 7, 200}, {8, 7, 100}, {9, 8, 140}, {2, 9, 180},
     {7, 6, 120}, {8, 7, 200}, {9, 8, 205}, {2, 9, 210}},
    // piece 9
    {{7, 6, 120}, {8, 7, 200}, {9, 8, 205}, {2, 9, 210},
     {8, 7, 200}, {8, 7, 100}, {9, 8, 140}, {2, 9, 180},
     {9, 8, 205}, {9, 8, 140}, {2, 9, 140}, {2, 9, 100},
     {2, 9, 210}, {2, 9, 180}, {2, 9, 100}, {2, 2, 0}},
};
// clang-format on

struct PiecePlace {
    uint8_t piece, row, column;
};
// A fill: a width x height rectangle at (row, column) in one palette colour.
struct Fill {
    uint8_t row, column, width, height, colour;
};

const PiecePlace kPressedPieces[] = {{0, 4, 4},  {1, 4, 72}, {2, 56, 4}, {3, 56, 72},
                                     {4, 60, 8}, {5, 8, 76}, {6, 60, 76}};

const Fill kPressedFills[] = {
    // The raised frame: four lines a side, colours 3, 4, 2, 1 by increasing
    // row (top, bottom) or column (left, right).
    {4, 8, 64, 1, 3},
    {5, 8, 64, 1, 4},
    {6, 8, 64, 1, 2},
    {7, 8, 64, 1, 1},
    {56, 8, 64, 1, 3},
    {57, 8, 64, 1, 4},
    {58, 8, 64, 1, 2},
    {59, 8, 64, 1, 1},
    {8, 4, 1, 48, 3},
    {8, 5, 1, 48, 4},
    {8, 6, 1, 48, 2},
    {8, 7, 1, 48, 1},
    {8, 72, 1, 48, 3},
    {8, 73, 1, 48, 4},
    {8, 74, 1, 48, 2},
    {8, 75, 1, 48, 1},
    // The margins in the face colour.
    {0, 0, 84, 4, 2},
    {4, 0, 4, 56, 2},
    {60, 0, 8, 4, 2},
    {4, 76, 4, 4, 2},
    {4, 80, 4, 64, 2},
    {64, 0, 80, 4, 2},
    // The 4-pixel shadow below and to the right.
    {60, 12, 64, 2, 5},
    {62, 12, 64, 1, 6},
    {63, 12, 64, 1, 7},
    {12, 76, 2, 48, 5},
    {12, 78, 1, 48, 6},
    {12, 79, 1, 48, 7},
};

const PiecePlace kRestingPieces[] = {{7, 64, 4}, {8, 4, 80}, {9, 64, 80}};

const Fill kRestingFills[] = {
    {0, 72, 12, 4, 2},
    {56, 0, 4, 12, 2},
    {56, 8, 72, 8, 5},
    {8, 72, 8, 48, 5},
    // The fading edge of the 8-pixel shadow, colour 9 outermost.
    {56, 4, 1, 8, 9},
    {56, 5, 1, 8, 8},
    {56, 6, 1, 8, 7},
    {56, 7, 1, 8, 6},
    {4, 72, 8, 1, 9},
    {5, 72, 8, 1, 8},
    {6, 72, 8, 1, 7},
    {7, 72, 8, 1, 6},
    {64, 8, 72, 1, 6},
    {65, 8, 72, 1, 7},
    {66, 8, 72, 1, 8},
    {67, 8, 72, 1, 9},
    {8, 80, 1, 56, 6},
    {8, 81, 1, 56, 7},
    {8, 82, 1, 56, 8},
    {8, 83, 1, 56, 9},
    {63, 8, 1, 1, 6},
    {8, 79, 1, 1, 6},
    {63, 79, 1, 1, 6},
};

// The scratch area both pictures are cut from: the pressed picture is its
// top-left 84 x 68, the resting one starts at row 4, column 4.
constexpr int kScratchOffset = 4;
constexpr int kScratchWidth = kButtonWidth + kScratchOffset;
constexpr int kScratchHeight = kButtonHeight + kScratchOffset;
using Scratch = uint32_t[kScratchHeight][kScratchWidth];

uint32_t SwapRedBlue(COLORREF c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

void DrawPieces(Scratch& area, int origin, const uint32_t* palette, const PiecePlace* places,
                size_t count) {
    for (size_t n = 0; n < count; ++n) {
        const Piece& piece = kPieces[places[n].piece];
        for (int k = 0; k < 16; ++k) {
            const MixCode& code = piece[k];
            area[origin + places[n].row + k / 4][origin + places[n].column + k % 4] =
                MixColours(palette[code.i], palette[code.j], code.w);
        }
    }
}

void DrawFills(Scratch& area, int origin, const uint32_t* palette, const Fill* fills,
               size_t count) {
    for (size_t n = 0; n < count; ++n) {
        const Fill& f = fills[n];
        for (int r = 0; r < f.height; ++r)
            for (int c = 0; c < f.width; ++c)
                area[origin + f.row + r][origin + f.column + c] = palette[f.colour];
    }
}

void CutPicture(const Scratch& area, int origin, BYTE* out) {
    for (int r = 0; r < kButtonHeight; ++r) {
        BYTE* row = out + r * kButtonRowBytes;
        for (int c = 0; c < kButtonWidth; ++c) {
            const uint32_t p = area[origin + r][origin + c];
            row[3 * c] = BYTE(p);
            row[3 * c + 1] = BYTE(p >> 8);
            row[3 * c + 2] = BYTE(p >> 16);
        }
    }
}

// One shaded ball of the face picture.
struct FaceBall {
    double x, y, radius;
    double r, g, b;
};
const FaceBall kFaceBalls[] = {
    {21.0, 27.0, 15.0, 40, 170, 60},
    {46.0, 17.0, 10.0, 120, 220, 90},
    {47.0, 37.5, 7.5, 20, 120, 70},
};

uint32_t ToByte(double v) {
    return uint32_t(std::lround(std::clamp(v, 0.0, 255.0)));
}

}  // namespace

uint32_t MixColours(uint32_t a, uint32_t b, int32_t w) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t x = int32_t((a >> shift) & 0xFF);
        const int32_t y = int32_t((b >> shift) & 0xFF);
        out |= uint32_t((((x * (255 - w)) >> 8) + ((y * w) >> 8)) & 0xFF) << shift;
    }
    return out;
}

void BuildButtonPalette(const ButtonSysColours& sys, uint32_t palette[kButtonPaletteSize]) {
    palette[0] = SwapRedBlue(sys.darkShadow);
    palette[1] = SwapRedBlue(sys.shadow);
    palette[2] = SwapRedBlue(sys.face);
    palette[3] = SwapRedBlue(sys.light);
    palette[4] = SwapRedBlue(sys.highlight);
    if (palette[3] == palette[2]) palette[3] = MixColours(palette[2], palette[4], 128);
    palette[5] = MixColours(palette[0], palette[1], 128);
    palette[6] = MixColours(palette[5], palette[2], 50);
    palette[7] = MixColours(palette[5], palette[2], 110);
    palette[8] = MixColours(palette[5], palette[2], 180);
    palette[9] = MixColours(palette[5], palette[2], 230);
}

uint32_t FacePixel(int row, int column) {
    // Dark violet sky, lighter toward the top, with three lit green balls.
    const double t = double(row) / (kFaceHeight - 1);
    double r = 52 - 30 * t, g = 22 - 12 * t, b = 78 - 44 * t;
    // Light from the upper left, toward the viewer.
    const double lx = -0.45, ly = -0.55, lz = 0.70;
    const double px = column + 0.5, py = row + 0.5;
    for (const FaceBall& ball : kFaceBalls) {
        const double dx = (px - ball.x) / ball.radius, dy = (py - ball.y) / ball.radius;
        const double d2 = dx * dx + dy * dy;
        const double cover = std::clamp((1.0 - std::sqrt(d2)) * ball.radius + 0.5, 0.0, 1.0);
        if (cover <= 0.0) continue;
        const double nz = std::sqrt(std::max(0.0, 1.0 - d2));
        const double diffuse = std::max(0.0, dx * lx + dy * ly + nz * lz);
        // Blinn highlight with the half vector between the light and the viewer.
        const double hx = lx, hy = ly, hz = lz + 1.0;
        const double hl = std::sqrt(hx * hx + hy * hy + hz * hz);
        const double highlight = std::pow(std::max(0.0, (dx * hx + dy * hy + nz * hz) / hl), 40.0);
        const double shade = 0.22 + 0.85 * diffuse;
        const double br = ball.r * shade + 255 * highlight;
        const double bg = ball.g * shade + 255 * highlight;
        const double bb = ball.b * shade + 255 * highlight;
        r += (br - r) * cover;
        g += (bg - g) * cover;
        b += (bb - b) * cover;
    }
    return (ToByte(r) << 16) | (ToByte(g) << 8) | ToByte(b);
}

void DrawButtonPictures(const uint32_t palette[kButtonPaletteSize], BYTE pressed[kButtonBytes],
                        BYTE resting[kButtonBytes]) {
    Scratch area{};
    for (int r = 0; r < kFaceHeight; ++r)
        for (int c = 0; c < kFaceWidth; ++c)
            area[8 + r][8 + c] = FacePixel(r, c);

    DrawPieces(area, 0, palette, kPressedPieces, std::size(kPressedPieces));
    DrawFills(area, 0, palette, kPressedFills, std::size(kPressedFills));
    CutPicture(area, 0, pressed);

    DrawPieces(area, kScratchOffset, palette, kRestingPieces, std::size(kRestingPieces));
    DrawFills(area, kScratchOffset, palette, kRestingFills, std::size(kRestingFills));
    CutPicture(area, kScratchOffset, resting);
}

BITMAPINFOHEADER ButtonBitmapHeader() {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = kButtonWidth;
    h.biHeight = -kButtonHeight;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biCompression = BI_RGB;
    return h;
}
