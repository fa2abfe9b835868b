// A worker under test: the tick service on a fake platform (no system timer;
// the test delivers the ticks itself) and a frame callback that records what
// it sees and can be held inside the frame.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "timing/paced_worker.h"
#include "timing/tick_timer.h"
#include "timing/tick_timer_hooks.h"

// Polls until `done` holds; false after five seconds (a hang, not a timing).
inline bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 5000; i++) {
        if (done()) return true;
        Sleep(1);
    }
    return done();
}

struct FrameProbe {
    PacedWorker* worker = nullptr;
    std::atomic<int> started{0};
    std::atomic<int> finished{0};
    std::atomic<int32_t> stateInFrame{0};
    std::atomic<uint32_t> startTick{0};  // the tick time at the latest frame start
    std::atomic<bool> hold{false};       // frames wait for `release` while set
    HANDLE release = CreateEvent(NULL, FALSE, FALSE, NULL);
    std::function<void(int frame)> during;  // run inside frame number `frame` (1-based)

    ~FrameProbe() { CloseHandle(release); }

    static int Frame(void* raw) {
        FrameProbe& probe = *static_cast<FrameProbe*>(raw);
        // What the frame saw is stored before it counts as started.
        probe.startTick.store(g_tickTimer.now.load());
        probe.stateInFrame.store(probe.worker->state.load());
        int n = probe.started.fetch_add(1) + 1;
        if (probe.during) probe.during(n);
        if (probe.hold.load()) WaitForSingleObject(probe.release, INFINITE);
        probe.finished.fetch_add(1);
        return 0;
    }
};

class WorkerTest : public ::testing::Test {
  protected:
    static DWORD Ticks() { return s_counter; }
    static void AdvanceSleep(DWORD) { s_counter += s_granule; }
    static UINT_PTR NoTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 1; }

    // The tick service with a counter of `granule` ms steps, starting at `base`.
    void StartTicks(DWORD granule, DWORD base = 100000) {
        TickTimerReset();
        s_granule = granule;
        s_counter = base;
        g_tickTimerPlatform = {Ticks, AdvanceSleep, NoTimer};
        TickTimerStart(20, 2);
    }
    void SetUp() override {
        saved_ = g_tickTimerPlatform;
        StartTicks(1);
        probe_.worker = &worker_;
    }
    void TearDown() override {
        Exit();
        TickTimerReset();
        g_tickTimerPlatform = saved_;
    }

    // Creates the worker and hands it the probe.
    void Launch() {
        ASSERT_EQ(worker_.Create(THREAD_PRIORITY_BELOW_NORMAL), 0);
        worker_.SetCallbacks(&probe_, FrameProbe::Frame, nullptr, nullptr);
    }
    // Ends the worker and waits until its thread object has freed itself (its
    // handle is closed then).
    void Exit() {
        if (worker_.thread == nullptr || exited_) return;
        exited_ = true;
        probe_.hold.store(false);
        SetEvent(probe_.release);
        HANDLE handle = worker_.thread->m_hThread;
        worker_.Command(CmdExit, 0);
        EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(handle, 0) == WAIT_FAILED; }));
    }
    void Tick(uint32_t time) { TickTimerProc(NULL, WM_TIMER, 1, time); }
    int32_t State() const { return worker_.state.load(); }
    bool StateBecomes(int32_t state) {
        return WaitUntil([&] { return worker_.state.load() == state; });
    }
    bool FramesReach(int n) {
        return WaitUntil([&] { return probe_.finished.load() >= n; });
    }
    // Whether the tick list holds this worker's subscription.
    bool Subscribed() {
        auto* functions = g_tickTimer.functions.load();
        auto* arguments = g_tickTimer.arguments.load();
        for (int i = 0; functions[i].load() != nullptr; i++)
            if (functions[i].load() == PacedWorker::OnTick && arguments[i].load() == &worker_)
                return true;
        return false;
    }

    static inline DWORD s_counter = 0;
    static inline DWORD s_granule = 1;
    TickTimerPlatform saved_;
    FrameProbe probe_;
    PacedWorker worker_;
    bool exited_ = false;
};
