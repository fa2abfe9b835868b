// Presentation cost. BM_Convert: one 1920x1080 frame converted row by row
// into each pixel format, by the RowConverter and by the per-pixel general
// mapping (MapPixel and byte writes; a row copy for the 32-bit format, as
// the window DC did before it had the converter). BM_Present:
// SetDIBitsToDevice through a window DC to an Xvfb of each depth, for a
// whole frame and for a frame of 100 dirty rectangles of 64 x 64, as the
// saver presents them, each followed by a pause as between frames; the time
// is the process's CPU time (the calling and the flushing thread) from the
// first transfer to the end of the pause.
// Counter ns_per_pixel: time per presented pixel.
//
//   quorix_present_bench --benchmark_filter=Convert
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/x11/pixel_rows.h"
#include "platform/x11/window_dc.h"
#include "tests/support/xvfb_server.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::vector<uint32_t> Frame() {
    std::vector<uint32_t> pixels(size_t(kWidth) * kHeight);
    std::mt19937 random(7);
    for (uint32_t& p : pixels)
        p = random() & 0x00FFFFFF;
    return pixels;
}

PixelFormat Format(int which) {
    PixelFormat f;
    switch (which) {
        case 0:  // depth 24 in 32 bits
            break;
        case 1:  // ARGB, depth 32
            f.alphaMask = 0xFF000000;
            break;
        case 2:  // 565
            f.bitsPerPixel = 16;
            f.redMask = 0xF800, f.greenMask = 0x07E0, f.blueMask = 0x001F;
            break;
        case 3:  // 555
            f.bitsPerPixel = 16;
            f.redMask = 0x7C00, f.greenMask = 0x03E0, f.blueMask = 0x001F;
            break;
        case 4:  // 6 x 6 x 6 colour cube
            f.kind = PixelFormat::Cube;
            f.bitsPerPixel = 8;
            f.cubeLevels = 6;
            for (uint32_t i = 0; i < 216; ++i)
                f.cubePixels.push_back((i * 37 + 5) & 0xFF);
            break;
        case 5:  // grey ramp
            f.kind = PixelFormat::Gray;
            f.bitsPerPixel = 8;
            for (uint32_t i = 0; i < 256; ++i)
                f.grayPixels.push_back(255 - i);
            break;
        case 6:  // packed 24-bit pixels
            f.bitsPerPixel = 24;
            break;
    }
    return f;
}

const char* kFormatNames[] = {"rgb32", "argb32", "rgb565", "rgb555", "cube8", "gray8", "rgb24"};

// The per-pixel mapping with every channel's shift worked out again for
// each pixel, as rows were written before RowConverter.
void GeneralRow(const PixelFormat& f, const uint32_t* src, int count, uint8_t* dst) {
    if (f.kind == PixelFormat::Masks && f.bitsPerPixel == 32 && f.alphaMask == 0 &&
        f.redMask == 0xFF0000 && f.greenMask == 0xFF00 && f.blueMask == 0xFF && !f.msbFirst) {
        std::memcpy(dst, src, size_t(count) * 4);
        return;
    }
    const int bytes = f.bitsPerPixel / 8;
    for (int i = 0; i < count; ++i, dst += bytes) {
        const uint32_t value = MapPixel(f, src[i]);
        for (int k = 0; k < bytes; ++k)
            dst[k] = uint8_t(value >> (f.msbFirst ? 8 * (bytes - 1 - k) : 8 * k));
    }
}

void BM_Convert(benchmark::State& state) {
    const PixelFormat f = Format(int(state.range(0)));
    const bool general = state.range(1) != 0;
    state.SetLabel(std::string(kFormatNames[state.range(0)]) + (general ? " general" : " rows"));
    const std::vector<uint32_t> frame = Frame();
    const int bytes = f.bitsPerPixel / 8;
    const size_t stride = size_t(kWidth) * size_t(bytes);
    std::vector<uint8_t> image(stride * kHeight);
    const RowConverter rows(f);
    for (auto _ : state) {
        // Bottom-up plane into a top-down image, as the window DC does.
        for (int y = 0; y < kHeight; ++y) {
            const uint32_t* src = frame.data() + size_t(kHeight - 1 - y) * kWidth;
            uint8_t* dst = image.data() + size_t(y) * stride;
            if (general)
                GeneralRow(f, src, kWidth, dst);
            else
                rows.Convert(src, kWidth, dst);
        }
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_pixel"] = benchmark::Counter(
        double(kWidth) * kHeight * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Convert)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1}})
    ->ArgNames({"format", "general"})
    ->Unit(benchmark::kMillisecond);

double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// One Xvfb per depth, with a mapped window of the frame's size.
struct Screen {
    std::unique_ptr<testx::XvfbServer> xvfb;
    Display* display = nullptr;
    Window window = 0;
};

Screen& ScreenOfDepth(int depth) {
    static Screen screens[33];
    Screen& s = screens[depth];
    if (s.xvfb) return s;
    s.xvfb = std::make_unique<testx::XvfbServer>(
        std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x" + std::to_string(depth));
    if (!s.xvfb->Ok()) return s;
    s.display = XOpenDisplay(s.xvfb->Display().c_str());
    if (s.display == nullptr) return s;
    const int n = DefaultScreen(s.display);
    s.window = XCreateSimpleWindow(s.display, RootWindow(s.display, n), 0, 0, kWidth, kHeight, 0,
                                   BlackPixel(s.display, n), BlackPixel(s.display, n));
    XMapWindow(s.display, s.window);
    XSync(s.display, False);
    return s;
}

void BM_Present(benchmark::State& state) {
    const int depth = int(state.range(0));
    const bool whole = state.range(1) != 0;
    Screen& s = ScreenOfDepth(depth);
    if (s.display == nullptr) {
        state.SkipWithError("no Xvfb");
        return;
    }
    state.SetLabel("depth " + std::to_string(depth) + (whole ? " whole frame" : " 100 rects"));
    const std::vector<uint32_t> frame = Frame();
    BITMAPV4HEADER header = {};
    header.bV4Size = sizeof header;
    header.bV4Width = kWidth;
    header.bV4Height = kHeight;
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    auto* info = reinterpret_cast<const BITMAPINFO*>(&header);
    // Rectangles as a frame of 100 balls leaves them: spread over the frame
    // and merged where they overlap, so none overlaps another (one in each
    // cell of a 10 x 10 grid).
    std::vector<RECT> rects;
    std::mt19937 random(3);
    for (int i = 0; i < 100; ++i) {
        const LONG x = LONG((i % 10) * (kWidth / 10) + random() % (kWidth / 10 - 64));
        const LONG y = LONG((i / 10) * (kHeight / 10) + random() % (kHeight / 10 - 64));
        rects.push_back({x, y, x + 64, y + 64});
    }
    std::vector<uint32_t> plane = Frame();
    auto* dc = new X11WindowDC(s.window, kWidth, kHeight, s.xvfb->Display());
    SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, plane.data(), info,
                      DIB_RGB_COLORS);  // connects
    for (auto _ : state) {
        // The frame is drawn first, so its pixels are in the cache as they
        // are when the saver presents them.
        const std::vector<RECT> drawn = whole ? std::vector<RECT>{{0, 0, kWidth, kHeight}} : rects;
        uint32_t shade = uint32_t(state.iterations());
        for (const RECT& r : drawn)
            for (LONG y = r.top; y < r.bottom; ++y)
                for (LONG x = r.left; x < r.right; ++x)
                    plane[size_t(y) * kWidth + size_t(x)] =
                        frame[size_t(y) * kWidth + size_t(x)] ^ (shade & 0x0F0F0F);
        const double start = ProcessSeconds();
        for (const RECT& r : drawn)
            SetDIBitsToDevice(dc, r.left, kHeight - r.bottom, DWORD(r.right - r.left),
                              DWORD(r.bottom - r.top), r.left, r.top, 0, kHeight, plane.data(),
                              info, DIB_RGB_COLORS);
        // The pause between frames, in which the DC flushes its puts and the
        // server handles them; the flushing thread's time counts too.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        state.SetIterationTime(ProcessSeconds() - start);
    }
    delete dc;
    const double pixels = whole ? double(kWidth) * kHeight : 100.0 * 64 * 64;
    state.counters["ns_per_pixel"] = benchmark::Counter(
        pixels * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["ms_per_frame"] = benchmark::Counter(
        1e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Present)
    ->ArgsProduct({{24, 16, 15, 8}, {1, 0}})
    ->ArgNames({"depth", "whole"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
