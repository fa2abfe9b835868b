// What a picture of the saver shows: its violet ground, green balls and the
// rest. Plain pixels only, so the tests of every platform can use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace teste2e {

struct ScreenShot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    // The pixel at (x, y); 0xFFFFFFFF outside the picture (or for no picture).
    uint32_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0xFFFFFFFF;
        return pixels[static_cast<size_t>(y) * width + x];
    }
};

// The saver's dark violet background, and the kinds of pixel the tests count.
inline bool IsBackgroundViolet(uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return r >= 0x1C && r <= 0x3C && g <= 0x10 && b >= 0x2C && b <= 0x54 && b > r;
}

inline bool IsGreenish(uint32_t p) {
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    return g >= 0x50 && g > r + 0x10 && g > b + 0x10;
}

struct Census {
    double violet = 0;  // share of background-violet pixels
    double green = 0;   // share of clearly green pixels
    double other = 0;   // share of everything else
};

inline Census Count(const ScreenShot& shot, int step = 3) {
    Census c;
    size_t total = 0, violet = 0, green = 0;
    for (int y = 0; y < shot.height; y += step)
        for (int x = 0; x < shot.width; x += step) {
            const uint32_t p = shot.At(x, y);
            ++total;
            if (IsBackgroundViolet(p))
                ++violet;
            else if (IsGreenish(p))
                ++green;
        }
    if (total == 0) return c;
    c.violet = double(violet) / double(total);
    c.green = double(green) / double(total);
    c.other = 1.0 - c.violet - c.green;
    return c;
}

// Separate green balls: 4-connected groups of green cells on a grid of
// step x step pixels, counting the groups of at least minCells cells.
inline int CountGreenBlobs(const ScreenShot& shot, int step = 3, int minCells = 3) {
    const int w = shot.width / step, h = shot.height / step;
    std::vector<int> seen(static_cast<size_t>(w) * h, 0);
    int blobs = 0;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (seen[start] || !IsGreenish(shot.At((start % w) * step, (start / w) * step))) continue;
        int cells = 0;
        stack.assign(1, start);
        seen[start] = 1;
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            ++cells;
            const int cx = c % w, cy = c / w;
            const int next[4][2] = {{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= w || n[1] >= h) continue;
                const int i = n[1] * w + n[0];
                if (!seen[i] && IsGreenish(shot.At(n[0] * step, n[1] * step))) {
                    seen[i] = 1;
                    stack.push_back(i);
                }
            }
        }
        if (cells >= minCells) ++blobs;
    }
    return blobs;
}

}  // namespace teste2e
