// One ball per iteration as the frame step draws it: BuildBallMaps, ShadeBall and
// BlendSprite into a plane. Reported per sprite pixel (the "per_pixel" counter, CPU time).
#include <benchmark/benchmark.h>

#include <vector>

#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/default_look.h"
#include "render/shade_ball.h"

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

void BM_Ball124(benchmark::State& state) {
    BM_DrawBall(state, BallLook(124));
}
void BM_Ball40(benchmark::State& state) {
    BM_DrawBall(state, BallLook(40));
}

// A squashed, transparent ball with a second highlight: the full path's slower branches.
void BM_SquashedBall124(benchmark::State& state) {
    ShadeParams look = BallLook(124);
    look.spriteHeight = 80;
    look.ellipseWidth = 60;
    look.ellipseHeight = 60;
    look.opacityControl = -40;
    look.secondSpecularIndex = 3;
    look.sharpenShift = 6;
    BM_DrawBall(state, look);
}

}  // namespace

BENCHMARK(BM_Ball124);
BENCHMARK(BM_Ball40);
BENCHMARK(BM_SquashedBall124);
