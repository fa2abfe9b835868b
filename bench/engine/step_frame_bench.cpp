// StepFrame after the intro, frames 1,000 to 3,000, balls of size 60: 100 balls on
// 1920x1080 and 3840x2160 in each style, and 20, 52 and 100 balls on 1280x720,
// 1920x1080 and 3840x2160 in the Normal style. Each benchmark iteration is one frame;
// the median frame time is reported as the counter median_ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "engine/engine_life.h"
#include "platform/memory_dc.h"

namespace {

constexpr int kFirstFrame = 1000;
constexpr int kLastFrame = 3000;

void BM_StepFrame(benchmark::State& state) {
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    const int32_t style = static_cast<int32_t>(state.range(2));
    const int32_t balls = static_cast<int32_t>(state.range(3));

    HDC dc = CreateMemoryDC(width, height);
    BallEngine* e =
        CreateEngine(dc, width, height, EngineSettings{style, balls, 60}, HeadlessHosting(1));
    EnginePainted(e);
    for (int i = 0; i < kFirstFrame; ++i)
        StepEngine(e);

    std::vector<double> ms;
    ms.reserve(kLastFrame - kFirstFrame);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        StepEngine(e);
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        ms.push_back(seconds * 1000.0);
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms.empty() ? 0.0 : ms[ms.size() / 2];
    state.counters["p90_ms"] = ms.empty() ? 0.0 : ms[ms.size() * 9 / 10];
    DestroyEngine(e);
    DeleteMemoryDC(dc);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int64_t style : {2, 3}) {  // Green, Squash settings
        b->Args({1920, 1080, style, 100});
        b->Args({3840, 2160, style, 100});
    }
    for (int64_t balls : {20, 52, 100}) {  // Normal setting
        b->Args({1280, 720, 1, balls});
        b->Args({1920, 1080, 1, balls});
        b->Args({3840, 2160, 1, balls});
    }
}

BENCHMARK(BM_StepFrame)
    ->Apply(Sizes)
    ->ArgNames({"w", "h", "style", "balls"})
    ->Iterations(kLastFrame - kFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
