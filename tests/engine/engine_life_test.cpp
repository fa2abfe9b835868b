// The engine's life cycle as hosts use it: creation that fails cleanly, the
// first paint, the formation request, and destruction of a running engine.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/ball_engine.h"
#include "engine_fixture.h"

namespace {

using namespace std::chrono_literals;

TEST(EngineLife, AFrameThatCannotExistGivesNoEngine) {
    const EngineSettings settings{0, 0, 0};
    EXPECT_EQ(CreateEngine(nullptr, 0x7FFFFFFF, 512, settings, kTrialHosting), nullptr);
    EXPECT_EQ(CreateEngine(nullptr, -1, 512, settings, kTrialHosting), nullptr);
    DestroyEngine(nullptr);  // nothing to do
}

TEST(EngineLife, CreationSetsUpTheSceneAndWaitsForTheFirstPaint) {
    MemoryDc dc(CreateMemoryDC(320, 240));
    EnginePtr e(CreateEngine(dc.get(), 320, 240, EngineSettings{3, 150, 0}, kTrialHosting));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(EngineFrame(e.get()).width, 320);
    EXPECT_EQ(e->ballSize, 38);    // 0 takes the default
    EXPECT_EQ(e->frameCount, 0);   // set-up has read the ball count
    EXPECT_EQ(e->displayMode, 3);  // still the Style setting
    EXPECT_EQ(e->formationAllowed, 0);
    EXPECT_EQ(e->introState.load(), kIntroWaitingForPaint);

    for (int i = 0; i < 5; ++i)
        StepEngine(e.get());
    EXPECT_EQ(e->frameCount, 5);  // waiting frames only count
    EXPECT_EQ(e->introState.load(), kIntroWaitingForPaint);

    EnginePainted(e.get());
    EXPECT_EQ(e->introState.load(), 1);
    EXPECT_EQ(e->repaintAll.load(), 1);
    StepEngine(e.get());
    EXPECT_LT(e->introState.load(), 0);  // the intro runs
    e->introState.store(-1);
    EnginePainted(e.get());  // a later paint leaves the intro alone
    EXPECT_EQ(e->introState.load(), -1);
}

TEST(EngineLife, AFormationStartsOnlyAfterTheIntroAndWhenNoneRuns) {
    EnginePtr e = SizedEngine(200, 200);
    EXPECT_FALSE(RequestFormation(e.get()));  // the intro waits
    e->introState.store(0);
    EXPECT_TRUE(RequestFormation(e.get()));
    EXPECT_EQ(e->formationPhase.load(), 1);
    e->formationPhase.store(40);
    EXPECT_FALSE(RequestFormation(e.get()));
    EXPECT_EQ(e->formationPhase.load(), 40);
}

TEST(EngineLife, DestroyingARunningEngineEndsItsWorker) {
    // The worker waits for ticks that no message loop delivers here, or runs
    // frames: either way destruction ends its thread and returns.
    for (int round = 0; round < 3; ++round) {
        MemoryDc dc(CreateMemoryDC(160, 120));
        BallEngine* e =
            CreateEngine(dc.get(), 160, 120, EngineSettings{2, 20, 30}, HeadlessHosting(7));
        ASSERT_NE(e, nullptr);
        ASSERT_EQ(StartEngine(e), 1);
        ASSERT_NE(e->worker.thread, nullptr);
        EnginePainted(e);
        std::this_thread::sleep_for(5ms);
        DestroyEngine(e);
    }
}

}  // namespace
