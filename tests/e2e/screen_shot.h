// The screen as xwd writes it: the test reads its pictures back like a user
// would look at them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/scene_census.h"
#include "tests/support/xvfb_server.h"

namespace teste2e {

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

}  // namespace teste2e
