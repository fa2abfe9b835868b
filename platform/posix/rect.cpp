// Rectangle helpers with Windows semantics. A rectangle is empty when right <= left or
// bottom <= top; the union and intersection of empty rectangles come out as {0, 0, 0, 0}.
// Coordinates move with wrapping 32-bit arithmetic, as on Windows.
#include <algorithm>
#include <cstdint>

#include "platform/win32/user_rect.h"

namespace {
LONG Add(LONG a, int b) {
    return LONG(uint32_t(a) + uint32_t(b));
}
LONG Sub(LONG a, int b) {
    return LONG(uint32_t(a) - uint32_t(b));
}
bool Empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
}  // namespace

BOOL WINAPI SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom) {
    if (!lprc) return FALSE;
    lprc->left = xLeft;
    lprc->top = yTop;
    lprc->right = xRight;
    lprc->bottom = yBottom;
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT lprc) {
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL WINAPI CopyRect(LPRECT lprcDst, const RECT* lprcSrc) {
    if (!lprcDst || !lprcSrc) return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* lprc) {
    return !lprc || Empty(*lprc);
}

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI InflateRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left = Sub(lprc->left, dx);
    lprc->top = Sub(lprc->top, dy);
    lprc->right = Add(lprc->right, dx);
    lprc->bottom = Add(lprc->bottom, dy);
    return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT lprc, int dx, int dy) {
    if (!lprc) return FALSE;
    lprc->left = Add(lprc->left, dx);
    lprc->top = Add(lprc->top, dy);
    lprc->right = Add(lprc->right, dx);
    lprc->bottom = Add(lprc->bottom, dy);
    return TRUE;
}

BOOL WINAPI UnionRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
    if (!lprcDst || !a || !b) return FALSE;
    const bool emptyA = Empty(*a), emptyB = Empty(*b);
    if (emptyA && emptyB) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    if (emptyA) {
        *lprcDst = *b;
    } else if (emptyB) {
        *lprcDst = *a;
    } else {
        const RECT r = {std::min(a->left, b->left), std::min(a->top, b->top),
                        std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
        *lprcDst = r;
    }
    return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT lprcDst, const RECT* a, const RECT* b) {
    if (!lprcDst || !a || !b) return FALSE;
    if (Empty(*a) || Empty(*b) || a->left >= b->right || b->left >= a->right ||
        a->top >= b->bottom || b->top >= a->bottom) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    const RECT r = {std::max(a->left, b->left), std::max(a->top, b->top),
                    std::min(a->right, b->right), std::min(a->bottom, b->bottom)};
    *lprcDst = r;
    return TRUE;
}

BOOL WINAPI PtInRect(const RECT* lprc, POINT pt) {
    if (!lprc) return FALSE;
    return pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}
