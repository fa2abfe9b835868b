#include "frame_cost_scene.h"

#include "engine/ball_engine.h"
#include "platform/memory_dc.h"

struct FrameCostScene {
    HDC dc;
    BallEngine* engine;
};

FrameCostScene* OpenScene(int32_t width, int32_t height, int32_t style, int32_t balls) {
    auto* s = new FrameCostScene{CreateMemoryDC(width, height), new BallEngine()};
    BallEngine* e = s->engine;
    e->frame.Create(s->dc, width, height);
    e->displayMode = style;
    e->frameCount = balls;
    e->ballSize = 60;
    SetUpScene(e);
    e->formationAllowed = 1;
    e->useFixedSeed = 1;
    e->fixedSeed = 1;
    e->introState.store(1);
    return s;
}

void StepScene(FrameCostScene* scene) {
    StepFrame(scene->engine);
}

void CloseScene(FrameCostScene* scene) {
    delete scene->engine;
    DeleteMemoryDC(scene->dc);
    delete scene;
}
