// The engine's life cycle: creation and set-up, the worker, the three words the
// window's thread writes, and destruction.
#include "engine/engine_life.h"

#include "engine/ball_engine.h"
#include "timing/tick_timer.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;

// The planes are the frame buffer's; the rest goes with the record.
void FreeEngine(BallEngine* e) {
    FrameBuffer& frame = e->frame;
    if (frame.frontPixels != nullptr) ::VirtualFree(frame.frontPixels, 0, MEM_RELEASE);
    if (frame.backgroundPixels != nullptr) ::VirtualFree(frame.backgroundPixels, 0, MEM_RELEASE);
    frame.frontPixels = frame.backgroundPixels = nullptr;
    delete e;
}

}  // namespace

BallEngine* CreateEngine(HDC hdc, int32_t width, int32_t height, const EngineSettings& settings,
                         const EngineHosting& hosting) {
    auto* e = new BallEngine;
    if (e->frame.Create(hdc, width, height) != 1) {
        FreeEngine(e);
        return nullptr;
    }
    e->displayMode = settings.style;  // the Style setting until the intro chooses
    RequestedBallCount(e) = settings.numOfBalls;
    e->ballSize = settings.sizeOfBalls;
    e->useFixedSeed = hosting.fixedSeed ? 1 : 0;
    e->fixedSeed = hosting.seed;
    SetUpScene(e);  // clamps the settings; the intro waits for the first paint
    e->formationAllowed = hosting.formationAllowed;
    return e;
}

int StartEngine(BallEngine* e) {
    TickTimerStart(20, 2);
    if (e->worker.Create(THREAD_PRIORITY_BELOW_NORMAL) != 0) return 0;
    e->worker.SetCallbacks(e, StepFrame, nullptr, nullptr);
    e->worker.Command(CmdRunPaced, 20);
    return 1;
}

void StepEngine(BallEngine* e) {
    StepFrame(e);
}

void EnginePainted(BallEngine* e) {
    e->repaintAll.store(1, kRelaxed);
    int32_t waiting = kIntroWaitingForPaint;
    e->introState.compare_exchange_strong(waiting, 1, kRelaxed);
}

bool RequestFormation(BallEngine* e) {
    if (e->introState.load(kRelaxed) != 0 || e->formationPhase.load(kRelaxed) != 0) return false;
    e->formationPhase.store(1, kRelaxed);
    return true;
}

void SetEngineDc(BallEngine* e, HDC hdc) {
    e->frame.hdc = hdc;
}

void DestroyEngine(BallEngine* e) {
    if (e == nullptr) return;
    e->worker.Exit();
    FreeEngine(e);
}

const FrameBuffer& EngineFrame(const BallEngine* e) {
    return e->frame;
}

const uint32_t* EngineShownPlane(const BallEngine* e) {
    return e->introState.load(kRelaxed) < 0 ? e->frame.backgroundPixels : e->frame.frontPixels;
}
