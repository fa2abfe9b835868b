#include "engine/dirty_rects.h"

void AddDirtyRect(RECT* list, int32_t* count, int32_t capacity, const RECT& r) {
    const int32_t n = *count;
    for (int32_t i = 0; i < n; ++i) {
        if (RectsOverlap(list[i], r)) {
            UnionRect(&list[i], &list[i], &r);
            return;
        }
    }
    if (n <= capacity) {
        list[n] = r;
        *count = n + 1;
    } else if (n > 0) {
        UnionRect(&list[n - 1], &list[n - 1], &r);
    }
}

int32_t CoalesceRects(RECT* r, int32_t n) {
    int32_t i = 0;
    while (i < n) {
        int32_t j = i + 1;
        while (j < n && !RectsOverlap(r[j], r[i]))
            ++j;
        if (j < n) {
            UnionRect(&r[i], &r[i], &r[j]);
            --n;
            r[j] = r[n];
            if (j < n) {
                i = 0;
            } else {
                ++i;
            }
        } else {
            ++i;
        }
    }
    return n;
}

RECT ClipRect(const RECT& r, int32_t width, int32_t height) {
    RECT c = r;
    if (c.left < 0) c.left = 0;
    if (c.top < 0) c.top = 0;
    if (c.right > width) c.right = width;
    if (c.bottom > height) c.bottom = height;
    return c;
}
