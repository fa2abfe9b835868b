// quorix-render: builds an engine on a memory device context and runs its
// frames headless with a fixed seed. Prints
// "FRAME FRONT BACK" hash lines and can write the last frame as a PNG.
#include <cstdio>
#include <string>
#include <vector>

#include "engine/engine_life.h"
#include "platform/memory_dc.h"
#include "render/frame_buffer.h"
#include "render_options.h"
#include "terminal.h"
#include "tools/common/png_write.h"

namespace {

const char kUsage[] =
    "usage: quorix-render --size WxH [--style S] [--balls N] [--ball-size N] [--seed N]\n"
    "                     [--frames N] [--hash-every K] [--formation-allowed 0|1] [--png FILE]\n";

// Frame counts above this show progress on a terminal.
constexpr int64_t kProgressThreshold = 5000;

void PrintHashes(int64_t frame, const BallEngine* e) {
    const FrameBuffer& f = EngineFrame(e);
    const size_t count = static_cast<size_t>(f.width) * static_cast<size_t>(f.height);
    std::printf("%lld %08x %08x\n", static_cast<long long>(frame), HashPixels(f.frontPixels, count),
                HashPixels(f.backgroundPixels, count));
}

bool WritePicture(const std::string& path, const BallEngine* e, std::string* error) {
    const uint32_t* plane = EngineShownPlane(e);
    const int w = EngineFrame(e).width;
    const int h = EngineFrame(e).height;
    std::vector<uint8_t> rgba(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    size_t k = 0;
    for (int row = h - 1; row >= 0; --row) {  // bottom-up plane, top row first
        const uint32_t* line = plane + static_cast<size_t>(row) * static_cast<size_t>(w);
        for (int col = 0; col < w; ++col) {
            const uint32_t p = line[col];
            rgba[k++] = static_cast<uint8_t>(p >> 16);
            rgba[k++] = static_cast<uint8_t>(p >> 8);
            rgba[k++] = static_cast<uint8_t>(p);
            rgba[k++] = 255;
        }
    }
    return WritePngRgba(path, w, h, rgba.data(), error);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    RenderOptions o;
    std::string error;
    if (!ParseRenderOptions(args, &o, &error)) {
        std::fprintf(stderr, "quorix-render: %s\n", error.c_str());
        return 2;
    }
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    HDC dc = CreateMemoryDC(o.width, o.height);
    const EngineSettings settings{o.style, o.balls, o.ballSize};
    BallEngine* e = dc != nullptr ? CreateEngine(dc, o.width, o.height, settings,
                                                 HeadlessHosting(o.seed, o.formationAllowed))
                                  : nullptr;
    if (e == nullptr) {
        std::fprintf(stderr, "quorix-render: cannot allocate a %dx%d frame\n", o.width, o.height);
        if (dc != nullptr) DeleteMemoryDC(dc);
        return 1;
    }
    EnginePainted(e);  // as if the window had been painted

    const bool progress = o.frames > kProgressThreshold && StderrIsTerminal();
    for (int64_t frame = 1; frame <= o.frames; ++frame) {
        StepEngine(e);
        if ((o.hashEvery > 0 && frame % o.hashEvery == 0) || frame == o.frames) {
            PrintHashes(frame, e);
        }
        if (progress && frame % 1000 == 0) {
            std::fprintf(stderr, "\rframe %lld of %lld", static_cast<long long>(frame),
                         static_cast<long long>(o.frames));
        }
    }
    if (progress) std::fputs("\r\033[K", stderr);
    if (o.frames == 0) PrintHashes(0, e);
    std::fflush(stdout);

    int result = 0;
    if (!o.pngPath.empty() && !WritePicture(o.pngPath, e, &error)) {
        std::fprintf(stderr, "quorix-render: %s\n", error.c_str());
        result = 1;
    }
    DestroyEngine(e);
    DeleteMemoryDC(dc);
    return result;
}
