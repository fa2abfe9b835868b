#include "ui/mark_pixels.h"

#include <array>
#include <string_view>

namespace {

// The lettering "OSTREVANE QUORIX": 5 x 6 glyphs drawn at twice their size
// (10 x 12 pixels, 2 pixels apart); the last of the 13 rows stays empty.
struct Glyph {
    char letter;
    const char* rows[6];
};
constexpr Glyph kGlyphs[] = {
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'S', {".####", "#....", ".###.", "....#", "....#", "####."}},
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'R', {"####.", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'E', {"#####", "#....", "####.", "#....", "#....", "#####"}},
    {'V', {"#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
    {'Q', {".###.", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'I', {"#####", "..#..", "..#..", "..#..", "..#..", "#####"}},
    {'X', {"#...#", ".#.#.", "..#..", "..#..", ".#.#.", "#...#"}},
    {' ', {".....", ".....", ".....", ".....", ".....", "....."}},
};
constexpr std::string_view kText = "OSTREVANE QUORIX";
constexpr int kScale = 2;
constexpr int kAdvance = 6 * kScale;
static_assert(int(kText.size()) * kAdvance - kScale <= kMarkWidth, "the lettering fits");

constexpr const Glyph* FindGlyph(char c) {
    for (const Glyph& g : kGlyphs)
        if (g.letter == c) return &g;
    return nullptr;
}

constexpr bool MarkPixelSet(int x, int y) {
    const int index = x / kAdvance;
    const int gx = (x % kAdvance) / kScale, gy = y / kScale;
    if (index >= int(kText.size()) || gx >= 5 || gy >= 6) return false;
    const Glyph* g = FindGlyph(kText[size_t(index)]);
    return g != nullptr && g->rows[gy][gx] == '#';
}

constexpr size_t EncodedSize() {
    size_t n = 1;  // the table's end marker
    for (int y = 0; y < kMarkHeight; ++y) {
        n += 2;  // row end and next y (or the table's end for the last row)
        for (int x = 0; x < kMarkWidth; ++x)
            n += MarkPixelSet(x, y) ? 1 : 0;
    }
    return n - 1;
}

constexpr auto Encode() {
    std::array<uint8_t, EncodedSize()> table{};
    size_t i = 0;
    for (int y = 0; y < kMarkHeight; ++y) {
        for (int x = 0; x < kMarkWidth; ++x)
            if (MarkPixelSet(x, y)) table[i++] = uint8_t(x);
        table[i++] = kMarkEnd;
        table[i++] = y + 1 < kMarkHeight ? uint8_t(y + 1) : kMarkEnd;
    }
    return table;
}

constexpr auto kEncoded = Encode();

}  // namespace

const uint8_t* const kMarkPixels = kEncoded.data();
const size_t kMarkPixelsSize = kEncoded.size();
