// Engines for the engine tests, made through the engine's life cycle like every
// host makes them: on a memory device context, or on none (set-up only).
#pragma once

#include <memory>

#include "engine/ball_engine.h"
#include "engine/engine_life.h"
#include "platform/memory_dc.h"

struct MemoryDcDeleter {
    void operator()(HDC__* hdc) const { DeleteMemoryDC(hdc); }
};
using MemoryDc = std::unique_ptr<HDC__, MemoryDcDeleter>;

struct EngineDeleter {
    void operator()(BallEngine* e) const { DestroyEngine(e); }
};
using EnginePtr = std::unique_ptr<BallEngine, EngineDeleter>;

// A set-up engine that presents nowhere; its intro still waits for the first paint.
inline EnginePtr SizedEngine(int32_t width, int32_t height, int32_t balls = 0,
                             int32_t ballSize = 0) {
    return EnginePtr(CreateEngine(nullptr, width, height, EngineSettings{0, balls, ballSize},
                                  HeadlessHosting(1)));
}

// A complete engine as a window builds it: planes on a memory DC, the settings,
// set-up, formations allowed, and the first paint done.
struct Scene {
    MemoryDc dc;
    EnginePtr engine;
};

inline Scene MakeScene(int32_t width, int32_t height, int32_t style = 0, int32_t balls = 0,
                       int32_t ballSize = 0, uint32_t seed = 1) {
    Scene s;
    CountMemoryDCTransfers();
    s.dc.reset(CreateMemoryDC(width, height));
    s.engine.reset(CreateEngine(s.dc.get(), width, height, EngineSettings{style, balls, ballSize},
                                HeadlessHosting(seed)));
    EnginePainted(s.engine.get());
    return s;
}
