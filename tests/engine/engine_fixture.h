// Engines for the engine tests: set up on a memory device context like a saver
// window does, or with only the frame size filled in.
#pragma once

#include <memory>

#include "engine/ball_engine.h"
#include "platform/memory_dc.h"

struct MemoryDcDeleter {
    void operator()(HDC__* hdc) const { DeleteMemoryDC(hdc); }
};
using MemoryDc = std::unique_ptr<HDC__, MemoryDcDeleter>;

// An engine whose frame buffer only has its size (no planes): enough for set-up.
inline std::unique_ptr<BallEngine> SizedEngine(int32_t width, int32_t height, int32_t balls = 0,
                                               int32_t ballSize = 0) {
    auto e = std::make_unique<BallEngine>();
    e->frame.width = width;
    e->frame.height = height;
    e->frame.wholeRect = RECT{0, 0, width, height};
    e->frame.workRect = e->frame.wholeRect;
    e->frameCount = balls;
    e->ballSize = ballSize;
    SetUpScene(e.get());
    return e;
}

// A complete engine as a window builds it: planes on a memory DC, the settings,
// set-up, formations allowed, and the first paint done.
struct Scene {
    MemoryDc dc;
    std::unique_ptr<BallEngine> engine;
};

inline Scene MakeScene(int32_t width, int32_t height, int32_t style = 0, int32_t balls = 0,
                       int32_t ballSize = 0, uint32_t seed = 1) {
    Scene s;
    s.dc.reset(CreateMemoryDC(width, height));
    s.engine = std::make_unique<BallEngine>();
    BallEngine* e = s.engine.get();
    e->frame.Create(s.dc.get(), width, height);
    e->displayMode = style;
    e->frameCount = balls;
    e->ballSize = ballSize;
    SetUpScene(e);
    e->formationAllowed = 1;
    e->useFixedSeed = 1;
    e->fixedSeed = seed;
    e->introState.store(1);
    return s;
}
