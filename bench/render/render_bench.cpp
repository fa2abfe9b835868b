// One ball per iteration as the frame step draws it: BuildBallMaps, ShadeBall and
// BlendSprite into a plane; and each shading kernel alone on one ball's maps. Reported per
// sprite pixel (the "per_pixel" counter, CPU time).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/default_look.h"
#include "render/shade_ball.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"

namespace {

ShadeParams BallLook(int32_t side) {
    ShadeParams look = DefaultLook(side);
    look.topColour = {40, 160, 40};
    look.rimColour = {0, 48, 0};
    look.diffuseColour = {60, 200, 60};
    look.specularColour = {220, 255, 220};
    look.normalRadius = side / 2;
    return look;
}

void BM_DrawBall(benchmark::State& state, ShadeParams look) {
    SpriteBuffer maps[5];
    const int32_t planeW = 256, planeH = 256;
    std::vector<uint32_t> plane(size_t(planeW) * planeH, 0x00200030u);
    for (auto _ : state) {
        BuildBallMaps(maps, look);
        ShadeBall(maps, look);
        BlendSprite(maps[0], plane.data(), 40, 50, planeW, planeH, 64);
        benchmark::DoNotOptimize(plane.data());
        benchmark::ClobberMemory();
    }
    const double pixels = double(look.spriteWidth) * look.spriteHeight;
    state.SetItemsProcessed(int64_t(state.iterations() * pixels));
    // Pixels per second, inverted: CPU seconds per pixel, printed with its prefix (ns).
    state.counters["per_pixel"] =
        benchmark::Counter(double(state.iterations()) * pixels,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// A squashed, transparent ball with a second highlight: the full path's slower branches.
ShadeParams SquashedLook() {
    ShadeParams look = BallLook(124);
    look.spriteHeight = 80;
    look.ellipseWidth = 60;
    look.ellipseHeight = 60;
    look.opacityControl = -40;
    look.secondSpecularIndex = 3;
    look.sharpenShift = 6;
    return look;
}

void BM_Ball124(benchmark::State& state) {
    BM_DrawBall(state, BallLook(124));
}
void BM_Ball40(benchmark::State& state) {
    BM_DrawBall(state, BallLook(40));
}

void BM_SquashedBall124(benchmark::State& state) {
    BM_DrawBall(state, SquashedLook());
}

using ShadeKernel = void (*)(const ShadeSetup&, uint32_t*, const int32_t*, const int32_t*, int32_t);

// The shading kernels alone on one ball's maps: each iteration copies the height map
// back (a small, equal part of every kernel's time) and lights it.
void BM_Shade(benchmark::State& state, ShadeKernel kernel, bool (*available)(), ShadeParams look) {
    if (!available()) {
        state.SkipWithError("the processor or the build lacks this path");
        return;
    }
    SpriteBuffer maps[5];
    BuildBallMaps(maps, look);
    const int32_t count = maps[0].Width() * maps[0].Height();
    const std::vector<uint32_t> heights(maps[0].pixels, maps[0].pixels + count);
    std::vector<uint32_t> lit(heights.size());
    const ShadeSetup setup = MakeShadeSetup(look);
    const int32_t* xs = reinterpret_cast<const int32_t*>(maps[1].pixels);
    const int32_t* ys = reinterpret_cast<const int32_t*>(maps[2].pixels);
    for (auto _ : state) {
        std::memcpy(lit.data(), heights.data(), heights.size() * sizeof(uint32_t));
        kernel(setup, lit.data(), xs, ys, count);
        benchmark::DoNotOptimize(lit.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_pixel"] =
        benchmark::Counter(double(state.iterations()) * count,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

bool Always() {
    return true;
}

}  // namespace

BENCHMARK_CAPTURE(BM_Shade, portable_124, ShadePixelsPortable, Always, BallLook(124));
BENCHMARK_CAPTURE(BM_Shade, avx2_124, ShadePixelsAvx2, Avx2Available, BallLook(124));
BENCHMARK_CAPTURE(BM_Shade, avx512_124, ShadePixelsAvx512, Avx512Available, BallLook(124));
BENCHMARK_CAPTURE(BM_Shade, avx2_squashed, ShadePixelsAvx2, Avx2Available, SquashedLook());
BENCHMARK_CAPTURE(BM_Shade, avx512_squashed, ShadePixelsAvx512, Avx512Available, SquashedLook());
BENCHMARK(BM_Ball124);
BENCHMARK(BM_Ball40);
BENCHMARK(BM_SquashedBall124);
