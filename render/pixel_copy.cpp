#include "render/pixel_copy.h"

#include <cstddef>
#include <cstring>
#include <utility>

void CopyPixels(const uint32_t* source, uint32_t* destination, int32_t width, int32_t rows,
                int32_t sourceStride, int32_t destinationStride) {
    if (rows <= 0 || width <= 0 || !source || !destination) return;
    const ptrdiff_t from = sourceStride != 0 ? sourceStride : width;
    const ptrdiff_t to = destinationStride != 0 ? destinationStride : from;
    for (int32_t r = 0; r < rows; ++r)
        std::memmove(destination + r * to, source + r * from, size_t(width) * sizeof(uint32_t));
}

namespace {

// Addressing of one block: word (row r, column c).
struct Block {
    uint32_t* pixels;
    ptrdiff_t stride;
    uint32_t& At(ptrdiff_t r, ptrdiff_t c) const { return pixels[r * stride + c]; }
};

inline uint32_t Copied(uint32_t word, bool negate) {
    return negate ? 0u - word : word;
}

// to[k] = from[-k] (negated) for k < count: one row's half from the other half, mirrored.
// Separate loops for the two cases keep each one vectorisable.
void MirrorRun(uint32_t* __restrict to, const uint32_t* __restrict from, int32_t count,
               bool negate) {
    if (negate) {
        for (int32_t k = 0; k < count; ++k)
            to[k] = 0u - from[-k];
    } else {
        for (int32_t k = 0; k < count; ++k)
            to[k] = from[-k];
    }
}

// to[k] = from[k] (negated) for k < count: a whole row from another row.
void CopyRun(uint32_t* __restrict to, const uint32_t* __restrict from, int32_t count, bool negate) {
    if (negate) {
        for (int32_t k = 0; k < count; ++k)
            to[k] = 0u - from[k];
    } else {
        std::memcpy(to, from, size_t(count) * sizeof(uint32_t));
    }
}

// Modes 5 to 8 a run at a time, where rows do not overlap (stride >= width): what is read
// is then never written by the same call, so the order of the copies does not matter.
// False for other modes.
bool MirrorHalves(int32_t mode, const Block& b, int32_t width, int32_t rows, bool negate) {
    const int32_t h = width / 2;
    const int32_t v = rows / 2;
    switch (mode) {
        case 5:  // right half from the left half, mirrored
            for (int32_t r = 0; h > 0 && r < rows; ++r)
                MirrorRun(&b.At(r, width - h), &b.At(r, h - 1), h, negate);
            return true;
        case 6:  // left half from the right half, mirrored
            for (int32_t r = 0; h > 0 && r < rows; ++r)
                MirrorRun(&b.At(r, 0), &b.At(r, width - 1), h, negate);
            return true;
        case 7:  // upper rows from the lower rows, mirrored
            for (int32_t i = 0; i < v; ++i)
                CopyRun(&b.At(rows - 1 - i, 0), &b.At(i, 0), width, negate);
            return true;
        case 8:  // lower rows from the upper rows, mirrored
            for (int32_t i = 0; i < v; ++i)
                CopyRun(&b.At(i, 0), &b.At(rows - 1 - i, 0), width, negate);
            return true;
        default:
            return false;
    }
}

}  // namespace

void TransformPixels(int32_t mode, uint32_t* pixels, int32_t width, int32_t rows, int32_t stride) {
    if (!pixels || width <= 0 || rows <= 0) return;
    const Block b{pixels, stride != 0 ? stride : width};
    const int32_t h = width / 2;
    const int32_t v = rows / 2;
    const int32_t n = width < rows ? width : rows;
    const int32_t m = n - 1;
    bool negate = false;
    if (mode >= 13 && mode <= 20) {
        negate = true;
        mode -= 8;
    }
    if (b.stride >= width && MirrorHalves(mode, b, width, rows, negate)) return;

    switch (mode) {
        case 1:  // horizontal flip
            for (int32_t r = 0; r < rows; ++r)
                for (int32_t k = 0; k < h; ++k)
                    std::swap(b.At(r, k), b.At(r, width - 1 - k));
            break;
        case 2:  // vertical flip
            for (int32_t i = 0; i < v; ++i)
                for (int32_t c = 0; c < width; ++c)
                    std::swap(b.At(i, c), b.At(rows - 1 - i, c));
            break;
        case 3:  // transpose the square
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; c < r; ++c)
                    std::swap(b.At(r, c), b.At(c, r));
            break;
        case 4:  // transpose across the other diagonal
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; r + c < m; ++c)
                    std::swap(b.At(r, c), b.At(m - c, m - r));
            break;
        case 5:  // right half from the left half, mirrored
            for (int32_t r = 0; r < rows; ++r)
                for (int32_t k = 0; k < h; ++k)
                    b.At(r, width - 1 - k) = Copied(b.At(r, k), negate);
            break;
        case 6:  // left half from the right half, mirrored
            for (int32_t r = 0; r < rows; ++r)
                for (int32_t k = 0; k < h; ++k)
                    b.At(r, k) = Copied(b.At(r, width - 1 - k), negate);
            break;
        case 7:  // upper rows from the lower rows, mirrored
            for (int32_t i = 0; i < v; ++i)
                for (int32_t c = 0; c < width; ++c)
                    b.At(rows - 1 - i, c) = Copied(b.At(i, c), negate);
            break;
        case 8:  // lower rows from the upper rows, mirrored
            for (int32_t i = 0; i < v; ++i)
                for (int32_t c = 0; c < width; ++c)
                    b.At(i, c) = Copied(b.At(rows - 1 - i, c), negate);
            break;
        case 9:
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; c < r; ++c)
                    b.At(r, c) = Copied(b.At(c, r), negate);
            break;
        case 10:
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; r + c < m; ++c)
                    b.At(m - c, m - r) = Copied(b.At(r, c), negate);
            break;
        case 11:
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; r + c < m; ++c)
                    b.At(r, c) = Copied(b.At(m - c, m - r), negate);
            break;
        case 12:
            for (int32_t r = 0; r < n; ++r)
                for (int32_t c = 0; c < r; ++c)
                    b.At(c, r) = Copied(b.At(r, c), negate);
            break;
        default:
            break;
    }
}
