#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

bool Is(const RECT& r, LONG l, LONG t, LONG rt, LONG b) {
    return r.left == l && r.top == t && r.right == rt && r.bottom == b;
}

TEST(GdiRect, UnionWithEmptyRectangles) {
    const RECT a = {1, 2, 5, 6}, b = {4, 0, 8, 3}, empty = {7, 7, 7, 9}, inverted = {5, 5, 2, 2};
    RECT r;
    EXPECT_TRUE(UnionRect(&r, &a, &b));
    EXPECT_TRUE(Is(r, 1, 0, 8, 6));
    // An empty rectangle adds nothing, wherever it lies.
    EXPECT_TRUE(UnionRect(&r, &empty, &a));
    EXPECT_TRUE(Is(r, 1, 2, 5, 6));
    EXPECT_TRUE(UnionRect(&r, &a, &inverted));
    EXPECT_TRUE(Is(r, 1, 2, 5, 6));
    // Both empty: an all-zero result and FALSE.
    EXPECT_FALSE(UnionRect(&r, &empty, &inverted));
    EXPECT_TRUE(Is(r, 0, 0, 0, 0));
    // The destination may be a source.
    RECT acc = a;
    EXPECT_TRUE(UnionRect(&acc, &acc, &b));
    EXPECT_TRUE(Is(acc, 1, 0, 8, 6));
}

TEST(GdiRect, Intersection) {
    const RECT a = {0, 0, 4, 4}, b = {2, 1, 6, 3}, touching = {4, 0, 6, 4};
    RECT r;
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_TRUE(Is(r, 2, 1, 4, 3));
    r = {9, 9, 9, 9};
    EXPECT_FALSE(IntersectRect(&r, &a, &touching));  // sharing an edge is no overlap
    EXPECT_TRUE(Is(r, 0, 0, 0, 0));
}

TEST(GdiRect, CopyInflateOffsetAndEmptiness) {
    RECT r;
    const RECT a = {1, 2, 3, 4};
    EXPECT_TRUE(CopyRect(&r, &a));
    EXPECT_TRUE(EqualRect(&r, &a));
    EXPECT_FALSE(CopyRect(nullptr, &a));
    EXPECT_TRUE(InflateRect(&r, 2, -1));
    EXPECT_TRUE(Is(r, -1, 3, 5, 3));
    EXPECT_TRUE(IsRectEmpty(&r));  // deflated to zero height
    EXPECT_TRUE(OffsetRect(&r, 10, 20));
    EXPECT_TRUE(Is(r, 9, 23, 15, 23));
    EXPECT_TRUE(SetRect(&r, 0, 0, 2, 2));
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_TRUE(PtInRect(&r, POINT{1, 1}));
    EXPECT_FALSE(PtInRect(&r, POINT{2, 1}));  // right and bottom are exclusive
    EXPECT_TRUE(IsRectEmpty(nullptr));
    // Coordinates wrap rather than overflow.
    SetRect(&r, INT32_MIN, 0, INT32_MAX, 1);
    EXPECT_TRUE(InflateRect(&r, 1, 0));
    EXPECT_TRUE(Is(r, INT32_MAX, 0, INT32_MIN, 1));
}

}  // namespace
