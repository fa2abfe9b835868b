#include "frame_cost_scene.h"

#include "engine/engine_life.h"
#include "platform/memory_dc.h"

struct FrameCostScene {
    HDC dc;
    BallEngine* engine;
};

FrameCostScene* OpenScene(int32_t width, int32_t height, int32_t style, int32_t balls) {
    HDC dc = CreateMemoryDC(width, height);
    BallEngine* e =
        CreateEngine(dc, width, height, EngineSettings{style, balls, 60}, HeadlessHosting(1));
    EnginePainted(e);
    return new FrameCostScene{dc, e};
}

void StepScene(FrameCostScene* scene) {
    StepEngine(scene->engine);
}

void CloseScene(FrameCostScene* scene) {
    DestroyEngine(scene->engine);
    DeleteMemoryDC(scene->dc);
    delete scene;
}
