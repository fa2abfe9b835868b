// The mark's table: its format, bounds and lettering.
#include "ui/mark_pixels.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

std::set<std::pair<int, int>> Decode(const uint8_t* table, size_t size) {
    std::set<std::pair<int, int>> pixels;
    ForEachMarkPixel(table, size, [&](int x, int y) { pixels.insert({x, y}); });
    return pixels;
}

TEST(MarkPixels, TableFormatAndBounds) {
    ASSERT_GE(kMarkPixelsSize, 2u);
    EXPECT_EQ(kMarkPixels[kMarkPixelsSize - 1], kMarkEnd);
    EXPECT_EQ(kMarkPixels[kMarkPixelsSize - 2], kMarkEnd);
    // Row by row: offsets ascending within a row, y offsets ascending.
    size_t i = 0;
    int y = 0, rows = 0;
    while (true) {
        int last = -1;
        for (; kMarkPixels[i] != kMarkEnd; ++i) {
            ASSERT_LT(kMarkPixels[i], kMarkWidth);
            ASSERT_GT(int(kMarkPixels[i]), last);
            last = kMarkPixels[i];
        }
        ++rows;
        const uint8_t next = kMarkPixels[++i];
        ++i;
        if (next == kMarkEnd) break;
        ASSERT_GT(int(next), y);
        ASSERT_LT(next, kMarkHeight);
        y = next;
    }
    EXPECT_EQ(i, kMarkPixelsSize);
    EXPECT_EQ(rows, kMarkHeight);
}

TEST(MarkPixels, Lettering) {
    const auto pixels = Decode(kMarkPixels, kMarkPixelsSize);
    // "O" at the start: a rounded outline drawn at twice its size.
    EXPECT_FALSE(pixels.count({0, 0}));
    EXPECT_TRUE(pixels.count({2, 0}) && pixels.count({3, 1}));
    EXPECT_TRUE(pixels.count({0, 2}) && pixels.count({1, 3}));
    EXPECT_FALSE(pixels.count({4, 4})) << "the O is hollow";
    // The blank between the words, and the final "X" ending at column 189.
    for (int y = 0; y < 12; ++y)
        EXPECT_FALSE(pixels.count({9 * 12 + 4, y}));
    EXPECT_TRUE(pixels.count({189, 0}));
    EXPECT_FALSE(pixels.count({190, 0}));
    // Twelve rows of lettering; the thirteenth stays empty.
    for (const auto& [x, y] : pixels)
        ASSERT_LT(y, 12) << x;
    EXPECT_GT(pixels.size(), 400u);
}

TEST(MarkPixels, DecoderStopsAtTheEndMarkerAndAtTheEndOfShortTables) {
    const uint8_t table[] = {1, 2, kMarkEnd, 5, 7, kMarkEnd, kMarkEnd, 9, 9};
    EXPECT_EQ(Decode(table, sizeof(table)),
              (std::set<std::pair<int, int>>{{1, 0}, {2, 0}, {7, 5}}));
    const uint8_t truncated[] = {3, 4, kMarkEnd, 2, 8};
    EXPECT_EQ(Decode(truncated, sizeof(truncated)),
              (std::set<std::pair<int, int>>{{3, 0}, {4, 0}, {8, 2}}));
}

}  // namespace
