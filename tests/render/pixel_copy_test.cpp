#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/pixel_copy.h"

namespace {

using Words = std::vector<uint32_t>;

Words Transformed(int32_t mode, Words block, int32_t width, int32_t rows, int32_t stride = 0) {
    TransformPixels(mode, block.data(), width, rows, stride);
    return block;
}

Words Negated(const Words& w) {
    Words out;
    for (uint32_t v : w)
        out.push_back(0u - v);
    return out;
}

TEST(CopyPixels, StridesAndDefaults) {
    const Words source = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Words dense(6, 0);
    CopyPixels(source.data(), dense.data(), 3, 2, 0, 0);
    EXPECT_EQ(dense, (Words{1, 2, 3, 4, 5, 6}));

    // A 2 x 3 block out of rows of 4, into rows of 3.
    Words out(9, 0);
    CopyPixels(source.data() + 1, out.data(), 2, 3, 4, 3);
    EXPECT_EQ(out, (Words{2, 3, 0, 6, 7, 0, 10, 11, 0}));

    // destinationStride 0 takes the effective source stride.
    Words same(12, 0);
    CopyPixels(source.data(), same.data(), 2, 3, 4, 0);
    EXPECT_EQ(same, (Words{1, 2, 0, 0, 5, 6, 0, 0, 9, 10, 0, 0}));

    Words untouched(4, 0);
    CopyPixels(source.data(), untouched.data(), 0, 2, 0, 0);
    CopyPixels(source.data(), untouched.data(), -1, 2, 0, 0);
    CopyPixels(source.data(), untouched.data(), 2, 0, 0, 0);
    EXPECT_EQ(untouched, Words(4, 0));
}

TEST(TransformPixels, MirrorsOfOneRow) {
    const Words row = {1, 2, 3, 4, 5};
    EXPECT_EQ(Transformed(1, row, 5, 1), (Words{5, 4, 3, 2, 1}));
    EXPECT_EQ(Transformed(5, row, 5, 1), (Words{1, 2, 3, 2, 1}));
    EXPECT_EQ(Transformed(6, row, 5, 1), (Words{5, 4, 3, 4, 5}));
    EXPECT_EQ(Transformed(13, row, 5, 1), (Words{1, 2, 3, 0u - 2, 0u - 1}));
    EXPECT_EQ(Transformed(14, row, 5, 1), (Words{0u - 5, 0u - 4, 3, 4, 5}));
    // One row: the row modes change nothing.
    for (int32_t mode : {2, 7, 8, 15, 16})
        EXPECT_EQ(Transformed(mode, row, 5, 1), row) << mode;
}

TEST(TransformPixels, MirrorsOfRows) {
    // Rows in memory order, 2 wide.
    const Words rows = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Transformed(2, rows, 2, 3), (Words{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(Transformed(7, rows, 2, 3), (Words{1, 2, 3, 4, 1, 2}));
    EXPECT_EQ(Transformed(8, rows, 2, 3), (Words{5, 6, 3, 4, 5, 6}));
    EXPECT_EQ(Transformed(15, rows, 2, 3), (Words{1, 2, 3, 4, 0u - 1, 0u - 2}));
    EXPECT_EQ(Transformed(16, rows, 2, 3), (Words{0u - 5, 0u - 6, 3, 4, 5, 6}));
    // Four rows: every row is written.
    EXPECT_EQ(Transformed(8, {1, 2, 3, 4}, 1, 4), (Words{4, 3, 3, 4}));
}

// A 3 x 3 square with row r, column c holding 10 r + c (plus 1 so that nothing is 0).
const Words kSquare = {1, 2, 3, 11, 12, 13, 21, 22, 23};

TEST(TransformPixels, SquareModes) {
    EXPECT_EQ(Transformed(3, kSquare, 3, 3), (Words{1, 11, 21, 2, 12, 22, 3, 13, 23}));
    EXPECT_EQ(Transformed(4, kSquare, 3, 3), (Words{23, 13, 3, 22, 12, 2, 21, 11, 1}));
    // 9: lower triangle (r > c) from the upper one.
    EXPECT_EQ(Transformed(9, kSquare, 3, 3), (Words{1, 2, 3, 2, 12, 13, 3, 13, 23}));
    // 10: the triangle beyond the other diagonal from the one before it.
    EXPECT_EQ(Transformed(10, kSquare, 3, 3), (Words{1, 2, 3, 11, 12, 2, 21, 11, 1}));
    // 11: the triangle before the other diagonal from the one beyond it.
    EXPECT_EQ(Transformed(11, kSquare, 3, 3), (Words{23, 13, 3, 22, 12, 13, 21, 22, 23}));
    // 12: upper triangle from the lower one.
    EXPECT_EQ(Transformed(12, kSquare, 3, 3), (Words{1, 11, 21, 11, 12, 22, 21, 22, 23}));
}

TEST(TransformPixels, NegatingModesNegateOnlyTheCopies) {
    // In this square every copied word differs from the word it replaces, so the words
    // that a mode writes are exactly those it changes.
    for (int32_t mode = 5; mode <= 12; ++mode) {
        const Words plain = Transformed(mode, kSquare, 3, 3);
        const Words negated = Transformed(mode + 8, kSquare, 3, 3);
        const Words minus = Negated(plain);
        for (size_t k = 0; k < kSquare.size(); ++k)
            EXPECT_EQ(negated[k], plain[k] != kSquare[k] ? minus[k] : kSquare[k])
                << mode << " " << k;
    }
}

TEST(TransformPixels, SquareOfAWiderBlockWithStride) {
    // A 2 x 3 block (N = 2) inside rows of 4: only the 2 x 2 square moves.
    const Words block = {1, 2, 9, 90, 3, 4, 9, 90, 5, 6, 9, 90};
    EXPECT_EQ(Transformed(3, block, 2, 3, 4), (Words{1, 3, 9, 90, 2, 4, 9, 90, 5, 6, 9, 90}));
    EXPECT_EQ(Transformed(4, block, 2, 3, 4), (Words{4, 2, 9, 90, 3, 1, 9, 90, 5, 6, 9, 90}));
    EXPECT_EQ(Transformed(1, block, 2, 3, 4), (Words{2, 1, 9, 90, 4, 3, 9, 90, 6, 5, 9, 90}));
}

TEST(TransformPixels, OtherModesAndTinyBlocksChangeNothing) {
    for (int32_t mode : {0, 21, -1, 100})
        EXPECT_EQ(Transformed(mode, kSquare, 3, 3), kSquare);
    for (int32_t mode = 3; mode <= 20; ++mode) {
        if (mode >= 5 && mode <= 8) continue;
        if (mode >= 13 && mode <= 16) continue;
        EXPECT_EQ(Transformed(mode, {7, 8, 9}, 3, 1), (Words{7, 8, 9})) << "N = 1, mode " << mode;
    }
    EXPECT_EQ(Transformed(1, {7, 8, 9}, 1, 3), (Words{7, 8, 9}));
}

}  // namespace
