// Rectangle lists of the frame step: adding with merge and coalescing.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Strict overlap: rectangles that only share an edge do not overlap.
inline bool RectsOverlap(const RECT& a, const RECT& b) {
    return a.left < b.right && a.right > b.left && a.top < b.bottom && a.bottom > b.top;
}

// Adds r to list (count rectangles, capacity + 1 slots): the first rectangle that
// overlaps r becomes the union of both; otherwise r is appended. The append to a
// list of capacity rectangles goes into the spare slot; a list whose spare slot is
// also taken merges r into its last rectangle instead of writing past the end.
void AddDirtyRect(RECT* list, int32_t* count, int32_t capacity, const RECT& r);

// Merges overlapping rectangles of list[0..count) in place; returns the new count.
// A grown rectangle is not tested again against rectangles already passed, so the
// result may still hold overlaps.
int32_t CoalesceRects(RECT* list, int32_t count);

// r clipped to {0, 0, width, height}; the result may be empty.
RECT ClipRect(const RECT& r, int32_t width, int32_t height);
