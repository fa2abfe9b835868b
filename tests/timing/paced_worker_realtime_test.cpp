// The worker against the real tick timer and message loop, counted loosely
// over about a second and a half.
#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "timing/paced_worker.h"
#include "timing/tick_timer.h"
#include "timing/tick_timer_hooks.h"

namespace {

struct Counter {
    std::atomic<int> frames{0};
    DWORD sleepMs = 0;  // how long each frame takes
};

int CountFrame(void* raw) {
    Counter& counter = *static_cast<Counter*>(raw);
    counter.frames++;
    if (counter.sleepMs) Sleep(counter.sleepMs);
    return 0;
}

// Runs this thread's message loop (which delivers the ticks) for `ms`.
void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < ms) {
        if (GetMessage(&msg, NULL, 0, 0) <= 0) break;
        DispatchMessage(&msg);
    }
}

class RealTimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TickTimerReset();
        timerId_ = TickTimerStart(20, 0);
        ASSERT_NE(timerId_, 0u);
        ASSERT_EQ(worker_.Create(THREAD_PRIORITY_BELOW_NORMAL), 0);
        worker_.SetCallbacks(&counter_, CountFrame, nullptr, nullptr);
    }
    void TearDown() override {
        HANDLE handle = worker_.thread->m_hThread;
        worker_.Command(CmdExit, 0);
        for (int i = 0; i < 5000 && WaitForSingleObject(handle, 0) != WAIT_FAILED; i++)
            Sleep(1);
        KillTimer(NULL, timerId_);
        TickTimerReset();
    }
    // Frames counted while the loop runs for `ms`, after a short settling run.
    double FramesPerSecond(DWORD ms) {
        PumpFor(100);
        int before = counter_.frames.load();
        DWORD start = GetTickCount();
        PumpFor(ms);
        DWORD elapsed = GetTickCount() - start;
        return (counter_.frames.load() - before) * 1000.0 / elapsed;
    }
    UINT timerId_ = 0;
    Counter counter_;
    PacedWorker worker_;
};

TEST_F(RealTimerTest, PacedAtTwentyMillisecondsRunsAboutFiftyFramesASecond) {
    // A millisecond counter gives 20, but a loaded machine may stretch the
    // measuring Sleep(1) into a coarser granule; the ticks still come every 20.
    EXPECT_GE(g_tickTimer.interval.load(), 10u);
    EXPECT_LE(g_tickTimer.interval.load(), 20u);
    worker_.Command(CmdRunPaced, 20);
    double rate = FramesPerSecond(1200);
    RecordProperty("framesPerSecondAt20", std::to_string(rate));
    EXPECT_GT(rate, 40.0);
    EXPECT_LT(rate, 56.0);
    worker_.Command(CmdRunPaced, 40);
    rate = FramesPerSecond(800);
    RecordProperty("framesPerSecondAt40", std::to_string(rate));
    EXPECT_GT(rate, 20.0);
    EXPECT_LT(rate, 28.0);
}

TEST_F(RealTimerTest, FramesLongerThanThePeriodRunBackToBack) {
    counter_.sleepMs = 30;
    worker_.Command(CmdRunPaced, 20);
    double rate = FramesPerSecond(1200);
    RecordProperty("framesPerSecondSlow", std::to_string(rate));
    // Back to back a 30 ms frame gives about 33 a second; waiting for the next
    // 20 ms tick after each would give 25.
    EXPECT_GT(rate, 29.0);
    EXPECT_LT(rate, 34.5);
}

}  // namespace
