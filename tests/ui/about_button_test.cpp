// The picture button's palette and its two pictures, pixel by pixel.
#include "ui/about_button.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A scheme whose red and blue differ, so a missed byte swap shows.
ButtonSysColours TestScheme() {
    return {RGB(10, 12, 14), RGB(100, 90, 80), RGB(200, 180, 160), RGB(230, 220, 210),
            RGB(250, 245, 240)};
}

struct Pictures {
    uint32_t palette[kButtonPaletteSize];
    std::vector<BYTE> pressed = std::vector<BYTE>(kButtonBytes);
    std::vector<BYTE> resting = std::vector<BYTE>(kButtonBytes);

    explicit Pictures(const ButtonSysColours& sys = TestScheme()) {
        BuildButtonPalette(sys, palette);
        DrawButtonPictures(palette, pressed.data(), resting.data());
    }
    static uint32_t At(const std::vector<BYTE>& p, int row, int column) {
        const BYTE* b = &p[size_t(row) * kButtonRowBytes + size_t(column) * 3];
        return (uint32_t(b[2]) << 16) | (uint32_t(b[1]) << 8) | b[0];
    }
    uint32_t Pressed(int row, int column) const { return At(pressed, row, column); }
    uint32_t Resting(int row, int column) const { return At(resting, row, column); }
    uint32_t Mix(int i, int j, int w) const { return MixColours(palette[i], palette[j], w); }
};

TEST(ButtonPalette, MixUsesTheWeightBase255PerByte) {
    // Weight 0 keeps 255/256 of the first colour, not all of it.
    EXPECT_EQ(MixColours(0xFFFFFF, 0x000000, 0), 0xFEFEFEu);
    EXPECT_EQ(MixColours(0x000000, 0xFFFFFF, 255), 0xFEFEFEu);
    // Each byte on its own: (200 * 127 >> 8) + (100 * 128 >> 8) = 99 + 50.
    EXPECT_EQ(MixColours(0xC80000, 0x640000, 128), 0x950000u);
    EXPECT_EQ(MixColours(0x0000C8, 0x000064, 128), 0x000095u);
    EXPECT_EQ(MixColours(0x12345678, 0x12345678, 0) >> 24, 0u) << "no top byte";
}

TEST(ButtonPalette, SystemColoursAreSwappedIntoPixelOrderAndMixed) {
    const Pictures p;
    EXPECT_EQ(p.palette[0], 0x0A0C0Eu);
    EXPECT_EQ(p.palette[1], 0x645A50u);
    EXPECT_EQ(p.palette[2], 0xC8B4A0u);
    EXPECT_EQ(p.palette[3], 0xE6DCD2u);
    EXPECT_EQ(p.palette[4], 0xFAF5F0u);
    EXPECT_EQ(p.palette[5], MixColours(p.palette[0], p.palette[1], 128));
    EXPECT_EQ(p.palette[6], MixColours(p.palette[5], p.palette[2], 50));
    EXPECT_EQ(p.palette[7], MixColours(p.palette[5], p.palette[2], 110));
    EXPECT_EQ(p.palette[8], MixColours(p.palette[5], p.palette[2], 180));
    EXPECT_EQ(p.palette[9], MixColours(p.palette[5], p.palette[2], 230));
}

TEST(ButtonPalette, LightEqualToFaceIsReplacedByAMixWithTheHighlight) {
    ButtonSysColours sys = TestScheme();
    sys.light = sys.face;
    const Pictures p(sys);
    EXPECT_EQ(p.palette[3], MixColours(p.palette[2], p.palette[4], 128));
}

TEST(ButtonPictures, HeaderIsTopDown24Bit) {
    const BITMAPINFOHEADER h = ButtonBitmapHeader();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 84);
    EXPECT_EQ(h.biHeight, -68);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, DWORD(BI_RGB));
}

TEST(ButtonPictures, PressedFrameMarginsAndShadow) {
    const Pictures p;
    // Bytes are blue, green, red.
    EXPECT_EQ(p.pressed[0], 0xA0);
    EXPECT_EQ(p.pressed[2], 0xC8);
    // Margins in the face colour.
    for (auto [r, c] :
         {std::pair{0, 0}, {3, 83}, {30, 2}, {61, 5}, {5, 78}, {40, 81}, {66, 40}, {67, 83}})
        EXPECT_EQ(p.Pressed(r, c), p.palette[2]) << r << "," << c;
    // The frame, colours 3, 4, 2, 1 from the outer edge of the top and left sides
    // and from the inner edge of the bottom and right sides.
    const int colours[4] = {3, 4, 2, 1};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(p.Pressed(4 + k, 30), p.palette[colours[k]]) << "top " << k;
        EXPECT_EQ(p.Pressed(56 + k, 30), p.palette[colours[k]]) << "bottom " << k;
        EXPECT_EQ(p.Pressed(30, 4 + k), p.palette[colours[k]]) << "left " << k;
        EXPECT_EQ(p.Pressed(30, 72 + k), p.palette[colours[k]]) << "right " << k;
    }
    // The 4-pixel shadow.
    EXPECT_EQ(p.Pressed(60, 12), p.palette[5]);
    EXPECT_EQ(p.Pressed(61, 75), p.palette[5]);
    EXPECT_EQ(p.Pressed(62, 40), p.palette[6]);
    EXPECT_EQ(p.Pressed(63, 40), p.palette[7]);
    EXPECT_EQ(p.Pressed(12, 76), p.palette[5]);
    EXPECT_EQ(p.Pressed(59, 77), p.palette[5]);
    EXPECT_EQ(p.Pressed(30, 78), p.palette[6]);
    EXPECT_EQ(p.Pressed(30, 79), p.palette[7]);
}

TEST(ButtonPictures, PressedCornerPieces) {
    const Pictures p;
    // Piece 0 at (4, 4): first and last codes.
    EXPECT_EQ(p.Pressed(4, 4), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(5, 5), p.Mix(4, 3, 241));
    EXPECT_EQ(p.Pressed(7, 7), p.Mix(2, 1, 205));
    // Piece 1 at (4, 72), piece 2 at (56, 4), piece 3 at (56, 72).
    EXPECT_EQ(p.Pressed(7, 72), p.Mix(1, 3, 255));
    EXPECT_EQ(p.Pressed(4, 75), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(56, 7), p.Mix(1, 3, 255));
    EXPECT_EQ(p.Pressed(59, 4), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(56, 72), p.Mix(4, 3, 205));
    EXPECT_EQ(p.Pressed(59, 75), p.Mix(5, 5, 0));
    // Shadow ends: piece 4 at (60, 8), 5 at (8, 76), 6 at (60, 76).
    EXPECT_EQ(p.Pressed(60, 11), p.Mix(5, 5, 255));
    EXPECT_EQ(p.Pressed(63, 8), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(10, 77), p.Mix(6, 5, 150));
    EXPECT_EQ(p.Pressed(8, 79), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(60, 76), p.Mix(5, 5, 255));
    EXPECT_EQ(p.Pressed(63, 79), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Pressed(62, 78), p.Mix(6, 7, 240));
}

TEST(ButtonPictures, RestingShadowEdgesAndPieces) {
    const Pictures p;
    EXPECT_EQ(p.Resting(0, 72), p.palette[2]);
    EXPECT_EQ(p.Resting(3, 83), p.palette[2]);
    EXPECT_EQ(p.Resting(56, 0), p.palette[2]);
    EXPECT_EQ(p.Resting(67, 3), p.palette[2]);
    EXPECT_EQ(p.Resting(56, 8), p.palette[5]);
    EXPECT_EQ(p.Resting(62, 70), p.palette[5]);
    EXPECT_EQ(p.Resting(8, 72), p.palette[5]);
    EXPECT_EQ(p.Resting(55, 78), p.palette[5]);
    // The fading edges, colour 9 outermost.
    const int fade[4] = {9, 8, 7, 6};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(p.Resting(60, 4 + k), p.palette[fade[k]]) << "left edge " << k;
        EXPECT_EQ(p.Resting(4 + k, 75), p.palette[fade[k]]) << "top edge " << k;
        EXPECT_EQ(p.Resting(67 - k, 40), p.palette[fade[k]]) << "bottom edge " << k;
        EXPECT_EQ(p.Resting(30, 83 - k), p.palette[fade[k]]) << "right edge " << k;
    }
    // The three single pixels override the shadow fills.
    EXPECT_EQ(p.Resting(63, 8), p.palette[6]);
    EXPECT_EQ(p.Resting(8, 79), p.palette[6]);
    EXPECT_EQ(p.Resting(63, 79), p.palette[6]);
    // Pieces 7 at (64, 4), 8 at (4, 80), 9 at (64, 80).
    EXPECT_EQ(p.Resting(64, 4), p.Mix(2, 9, 210));
    EXPECT_EQ(p.Resting(64, 7), p.Mix(7, 6, 120));
    EXPECT_EQ(p.Resting(67, 4), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Resting(4, 83), p.Mix(2, 2, 0));
    EXPECT_EQ(p.Resting(7, 80), p.Mix(7, 6, 120));
    EXPECT_EQ(p.Resting(64, 80), p.Mix(7, 6, 120));
    EXPECT_EQ(p.Resting(67, 83), p.Mix(2, 2, 0));
}

TEST(ButtonPictures, RestingButtonIsThePressedOneFourPixelsUpAndLeft) {
    const Pictures p;
    for (int r = 0; r < 56; ++r)
        for (int c = 0; c < 72; ++c)
            ASSERT_EQ(p.Resting(r, c), p.Pressed(r + 4, c + 4)) << r << "," << c;
}

TEST(ButtonPictures, FaceHoldsThePictureInBoth) {
    const Pictures p;
    for (int r = 0; r < kFaceHeight; ++r)
        for (int c = 0; c < kFaceWidth; ++c) {
            ASSERT_EQ(p.Pressed(8 + r, 8 + c), FacePixel(r, c)) << r << "," << c;
            ASSERT_EQ(p.Resting(4 + r, 4 + c), FacePixel(r, c)) << r << "," << c;
        }
}

TEST(ButtonPictures, EveryPixelIsDrawnAndRedrawingGivesTheSamePictures) {
    // With no black in the palette a black pixel would be one never drawn.
    const Pictures p;
    for (int r = 0; r < kButtonHeight; ++r)
        for (int c = 0; c < kButtonWidth; ++c) {
            ASSERT_NE(p.Pressed(r, c), 0u) << r << "," << c;
            ASSERT_NE(p.Resting(r, c), 0u) << r << "," << c;
        }
    const Pictures again;
    EXPECT_EQ(p.pressed, again.pressed);
    EXPECT_EQ(p.resting, again.resting);
}

TEST(ButtonPictures, FacePictureIsVioletWithALitGreenBall) {
    const uint32_t corner = FacePixel(kFaceHeight - 1, 0);
    EXPECT_GT(corner & 0xFF, (corner >> 8) & 0xFF) << "violet: more blue than green";
    const uint32_t ball = FacePixel(27, 21);  // centre of the large ball
    EXPECT_GT((ball >> 8) & 0xFF, (ball >> 16) & 0xFF) << "green: more green than red";
    EXPECT_GT((ball >> 8) & 0xFF, ball & 0xFF);
}

}  // namespace
