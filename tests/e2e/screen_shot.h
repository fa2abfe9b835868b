// The screen as xwd writes it: the test reads its pictures back like a user
// would look at them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/x11/xvfb_server.h"

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

inline uint32_t Card32(const std::string& data, size_t offset) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data() + offset);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Reads an xwd file of a 32-bit TrueColor screen; empty on anything else.
inline ScreenShot ReadXwd(const std::string& path) {
    ScreenShot shot;
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 100) return shot;
    const uint32_t headerSize = Card32(data, 0);
    const uint32_t width = Card32(data, 16);
    const uint32_t height = Card32(data, 20);
    const uint32_t byteOrder = Card32(data, 28);
    const uint32_t bitsPerPixel = Card32(data, 44);
    const uint32_t bytesPerLine = Card32(data, 48);
    const uint32_t redMask = Card32(data, 56);
    const uint32_t greenMask = Card32(data, 60);
    const uint32_t blueMask = Card32(data, 64);
    const uint32_t colours = Card32(data, 76);
    const size_t start = size_t(headerSize) + size_t(colours) * 12;
    if (bitsPerPixel != 32 || redMask != 0xFF0000 || greenMask != 0xFF00 || blueMask != 0xFF ||
        data.size() < start + size_t(bytesPerLine) * height)
        return shot;
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.pixels.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(data.data() + start +
                                                                   y * bytesPerLine + x * 4);
            const uint32_t v = byteOrder == 0 ? (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) |
                                                    (uint32_t(p[1]) << 8) | p[0]
                                              : Card32(data, start + y * bytesPerLine + x * 4);
            shot.pixels[size_t(y) * width + x] = v & 0xFFFFFF;
        }
    }
    return shot;
}

// A screen shot of the whole screen (or of one window) of display.
inline ScreenShot TakeScreenShot(const std::string& display, const std::string& path,
                                 const std::string& window = "") {
    std::vector<std::string> argv = {"xwd", "-silent", "-display", display, "-out", path};
    if (window.empty()) {
        argv.push_back("-root");
    } else {
        argv.push_back("-id");
        argv.push_back(window);
    }
    testx::ChildProcess xwd(argv);
    int code = -1;
    if (!xwd.Wait(15000, &code) || code != 0) return {};
    return ReadXwd(path);
}

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
