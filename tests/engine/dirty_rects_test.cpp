#include <gtest/gtest.h>

#include <vector>

#include "engine/dirty_rects.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(DirtyRectList, OverlapIsStrict) {
    const RECT a{0, 0, 10, 10};
    EXPECT_TRUE(RectsOverlap(a, RECT{9, 9, 20, 20}));
    EXPECT_FALSE(RectsOverlap(a, RECT{10, 0, 20, 10}));  // shares the right edge
    EXPECT_FALSE(RectsOverlap(a, RECT{0, 10, 10, 20}));  // shares the upper edge
    EXPECT_FALSE(RectsOverlap(a, RECT{-5, -5, 0, 0}));   // touches a corner
    EXPECT_TRUE(RectsOverlap(a, RECT{2, 2, 3, 3}));      // inside
}

TEST(DirtyRectList, AddMergesIntoTheFirstOverlappingRect) {
    std::vector<RECT> list(5);
    int32_t n = 0;
    AddDirtyRect(list.data(), &n, 4, RECT{0, 0, 10, 10});
    AddDirtyRect(list.data(), &n, 4, RECT{10, 0, 20, 10});  // edge only: appended
    EXPECT_EQ(n, 2);
    AddDirtyRect(list.data(), &n, 4, RECT{5, 5, 15, 15});  // overlaps both: merged into the first
    EXPECT_EQ(n, 2);
    EXPECT_TRUE(Same(list[0], RECT{0, 0, 15, 15}));
    EXPECT_TRUE(Same(list[1], RECT{10, 0, 20, 10}));
}

TEST(DirtyRectList, AppendToAFullListUsesTheSpareThenMerges) {
    std::vector<RECT> list(3, RECT{-1, -1, -1, -1});
    RECT guard{77, 77, 77, 77};
    list.push_back(guard);
    int32_t n = 0;
    for (int i = 0; i < 4; ++i)
        AddDirtyRect(list.data(), &n, 2, RECT{i * 10, 0, i * 10 + 5, 5});
    EXPECT_EQ(n, 3);  // two plus the spare
    EXPECT_TRUE(Same(list[3], guard));
    EXPECT_TRUE(Same(list[2], (RECT{20, 0, 35, 5})));  // the fourth merged into the last
}

TEST(DirtyRectList, CoalesceMergesChainsAndMovesTheLastIntoTheGap) {
    std::vector<RECT> r = {{0, 0, 10, 10}, {50, 50, 60, 60}, {8, 8, 20, 20}, {100, 0, 110, 5}};
    int32_t n = CoalesceRects(r.data(), 4);
    ASSERT_EQ(n, 3);
    EXPECT_TRUE(Same(r[0], (RECT{0, 0, 20, 20})));
    EXPECT_TRUE(Same(r[1], (RECT{50, 50, 60, 60})));
    EXPECT_TRUE(Same(r[2], (RECT{100, 0, 110, 5})));

    // After a merge with the last moved into the gap the scan restarts, so the
    // grown rectangle is tested again against the ones it passed.
    std::vector<RECT> s = {{0, 0, 5, 5}, {10, 0, 20, 10}, {3, 3, 12, 4}, {50, 50, 60, 60}};
    n = CoalesceRects(s.data(), 4);
    ASSERT_EQ(n, 2);
    EXPECT_TRUE(Same(s[0], (RECT{0, 0, 20, 10})));
    EXPECT_TRUE(Same(s[1], (RECT{50, 50, 60, 60})));

    // Edge-sharing rectangles stay separate.
    std::vector<RECT> t = {{0, 0, 5, 5}, {5, 0, 10, 5}};
    EXPECT_EQ(CoalesceRects(t.data(), 2), 2);
    EXPECT_EQ(CoalesceRects(t.data(), 0), 0);
}

TEST(DirtyRectList, CoalesceWhenTheMergedOneWasLastMovesOn) {
    // r[0] swallows r[2] (the last); r[0] has grown over r[1] but r[1] was passed
    // already, so the overlap stays and both are presented.
    std::vector<RECT> r = {{0, 0, 4, 4}, {10, 10, 14, 14}, {3, 3, 12, 12}};
    const int32_t n = CoalesceRects(r.data(), 3);
    ASSERT_EQ(n, 2);
    EXPECT_TRUE(Same(r[0], (RECT{0, 0, 12, 12})));
    EXPECT_TRUE(RectsOverlap(r[0], r[1]));
}

TEST(DirtyRectList, Clip) {
    const RECT c = ClipRect(RECT{-5, -3, 30, 40}, 20, 10);
    EXPECT_TRUE(Same(c, (RECT{0, 0, 20, 10})));
}

}  // namespace
