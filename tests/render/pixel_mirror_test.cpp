// The half mirrors of TransformPixels (modes 5 to 8 and their negating forms 13 to 16),
// which copy a run at a time, against the word-by-word rule, on blocks of every small
// shape, with strides that leave gaps between rows and strides shorter than a row (where
// the rows overlap and the copies run in the rule's order).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "render/pixel_copy.h"

namespace {

// The rule as written: for k < h (columns) or i < v (rows), in increasing order.
void Reference(int32_t mode, uint32_t* p, int32_t width, int32_t rows, int32_t stride) {
    const bool negate = mode >= 13;
    if (negate) mode -= 8;
    const auto at = [&](int32_t r, int32_t c) -> uint32_t& { return p[r * stride + c]; };
    const auto copied = [&](uint32_t w) { return negate ? 0u - w : w; };
    const int32_t h = width / 2, v = rows / 2;
    for (int32_t r = 0; r < rows; ++r) {
        for (int32_t k = 0; k < h; ++k) {
            if (mode == 5) at(r, width - 1 - k) = copied(at(r, k));
            if (mode == 6) at(r, k) = copied(at(r, width - 1 - k));
        }
    }
    for (int32_t i = 0; i < v; ++i) {
        for (int32_t c = 0; c < width; ++c) {
            if (mode == 7) at(rows - 1 - i, c) = copied(at(i, c));
            if (mode == 8) at(i, c) = copied(at(rows - 1 - i, c));
        }
    }
}

TEST(TransformPixels, HalfMirrorsFollowTheWordByWordRule) {
    std::mt19937 gen(5);
    for (int32_t mode : {5, 6, 7, 8, 13, 14, 15, 16}) {
        for (int32_t width = 1; width <= 19; ++width) {
            for (int32_t rows = 1; rows <= 9; ++rows) {
                for (int32_t extra : {0, 3, -1}) {
                    const int32_t stride = width + extra;
                    if (stride <= 0) continue;
                    const size_t n = size_t(stride) * size_t(rows - 1) + size_t(width);
                    std::vector<uint32_t> block(n);
                    for (uint32_t& w : block)
                        w = uint32_t(gen());
                    std::vector<uint32_t> expected = block;
                    Reference(mode, expected.data(), width, rows, stride);
                    TransformPixels(mode, block.data(), width, rows, stride);
                    ASSERT_EQ(block, expected)
                        << "mode " << mode << " " << width << "x" << rows << " stride " << stride;
                }
            }
        }
    }
}

}  // namespace
