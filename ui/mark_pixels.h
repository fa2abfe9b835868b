// The black mark painted under the About box's texts: lettering of at most
// 191 x 13 pixels, stored as rows. Each row is its x offsets (0..190, one byte
// each) ended by 0xFF, then one byte with the y offset of the next row; a y
// byte of 0xFF ends the table. The first row has the y offset 0.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMarkWidth = 191;
constexpr int kMarkHeight = 13;
constexpr uint8_t kMarkEnd = 0xFF;

extern const uint8_t* const kMarkPixels;
extern const size_t kMarkPixelsSize;

// Calls plot(x, y) for every pixel of a mark table, in table order. Stops at
// the end marker, and at the end of the bytes should a table lack one.
template <typename Plot>
void ForEachMarkPixel(const uint8_t* table, size_t size, Plot&& plot) {
    size_t i = 0;
    int y = 0;
    while (i < size) {
        while (i < size && table[i] != kMarkEnd)
            plot(int(table[i++]), y);
        if (++i >= size || table[i] == kMarkEnd) return;
        y = table[i++];
    }
}
