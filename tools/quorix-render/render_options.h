// Command line of quorix-render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RenderOptions {
    int32_t width = 0;
    int32_t height = 0;
    int32_t style = 0;
    int32_t balls = 0;
    int32_t ballSize = 0;
    uint32_t seed = 1;
    int64_t frames = 100;
    int64_t hashEvery = 0;  // 0: only after the last frame
    int32_t formationAllowed = 1;
    std::string pngPath;
    bool help = false;
};

constexpr int32_t kMaxRenderWidth = 7680;
constexpr int32_t kMaxRenderHeight = 4320;

// Parses args (without the program name). Returns false with a one-line reason.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options,
                        std::string* error);

// FNV-1a 32-bit hash of count pixels, each as 4 little-endian bytes.
uint32_t HashPixels(const uint32_t* pixels, size_t count);
