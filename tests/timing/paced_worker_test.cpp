// The worker's state machine, driven command by command; ticks are delivered
// by calling TickTimerProc with chosen times.
#include "timing/paced_worker.h"

#include <thread>

#include "tests/timing/worker_fixture.h"

namespace {

std::atomic<int> g_flagCalls{0};
std::atomic<int> g_detachCalls{0};
std::atomic<void*> g_detachArg{nullptr};
std::atomic<int> g_framesAtFlag{-1};
FrameProbe* g_probe = nullptr;

int FlagFn(void*) {
    g_flagCalls++;
    g_framesAtFlag.store(g_probe ? g_probe->started.load() : -1);
    return 0;
}
int DetachFn(void* arg) {
    g_detachCalls++;
    g_detachArg.store(arg);
    return 0;
}
int OtherFrame(void*) {
    return 0;
}

class PacedWorkerTest : public WorkerTest {
  protected:
    void SetUp() override {
        WorkerTest::SetUp();
        g_flagCalls = 0;
        g_detachCalls = 0;
        g_detachArg = nullptr;
        g_framesAtFlag = -1;
        g_probe = &probe_;
    }
    // Starts paced running and waits for the first frame to end early.
    void RunPacedAndSettle(uint32_t period) {
        worker_.Command(CmdRunPaced, period);
        ASSERT_TRUE(FramesReach(1));
        ASSERT_TRUE(StateBecomes(StateWaitingTick));
    }
};

TEST_F(PacedWorkerTest, CommandsWithoutAWorkerAreIgnored) {
    worker_.Command(CmdRunPaced | FlagAck, 20);  // would wait forever if it were posted
    worker_.SetCallbacks(&probe_, FrameProbe::Frame, nullptr, nullptr);
    EXPECT_EQ(worker_.thread, nullptr);
    EXPECT_EQ(worker_.period.load(), 0u);
    EXPECT_EQ(worker_.userArg, nullptr);
}

TEST_F(PacedWorkerTest, CreateLeavesTheWorkerIdleAndASecondCreateChangesNothing) {
    ASSERT_EQ(worker_.Create(-1), 0);
    EXPECT_NE(worker_.thread, nullptr);
    EXPECT_EQ(State(), StateIdle);
    EXPECT_EQ(worker_.frameFn, &NoOpCallback);
    CWinThread* first = worker_.thread;
    EXPECT_EQ(worker_.Create(-1), 0);
    EXPECT_EQ(worker_.thread, first);
    EXPECT_EQ(State(), StateIdle);
}

TEST_F(PacedWorkerTest, IdleRunsNoFrames) {
    Launch();
    worker_.Command(CmdIdle | FlagAck, 0);
    EXPECT_EQ(State(), StateIdle);
    SetEvent(worker_.wakeEvent);  // a surplus wake: dispatches nothing and idles again
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 0);
    EXPECT_EQ(State(), StateIdle);
}

TEST_F(PacedWorkerTest, RunOnceAcknowledgesBeforeTheFrame) {
    Launch();
    probe_.hold = true;
    worker_.Command(CmdRunOnce | FlagAck, 0);
    EXPECT_EQ(probe_.finished.load(), 0);  // returned while the frame is still to end
    ASSERT_TRUE(WaitUntil([&] { return probe_.started.load() == 1; }));
    EXPECT_EQ(probe_.stateInFrame.load(), StateRunning);
    SetEvent(probe_.release);
    ASSERT_TRUE(FramesReach(1));
    EXPECT_TRUE(StateBecomes(StateIdle));  // then it idles
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 1);
}

TEST_F(PacedWorkerTest, RunOnceWithoutAcknowledgementRunsOneFrame) {
    Launch();
    worker_.Command(CmdRunOnce, 0);
    ASSERT_TRUE(FramesReach(1));
    EXPECT_TRUE(StateBecomes(StateIdle));
    worker_.Command(CmdRepeat | FlagAck, 0);  // the last mode is idle now
    EXPECT_EQ(State(), StateIdle);
    EXPECT_EQ(probe_.started.load(), 1);
}

TEST_F(PacedWorkerTest, RunOnceThenIdleAcknowledgesAfterTheFrame) {
    Launch();
    worker_.Command(CmdRunOnceThenIdle | FlagAck, 0);
    EXPECT_EQ(probe_.finished.load(), 1);
    EXPECT_EQ(probe_.stateInFrame.load(), StateIdle);  // the frame runs in the idle state
    EXPECT_EQ(State(), StateIdle);
    worker_.Command(CmdRunOnceThenIdle, 0);
    ASSERT_TRUE(FramesReach(2));
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 2);
}

TEST_F(PacedWorkerTest, FlagFnRunsOnceBeforeActing) {
    Launch();
    worker_.SetCallbacks(&probe_, nullptr, FlagFn, nullptr);
    worker_.Command(CmdRunOnceThenIdle | FlagCallFlagFn | FlagAck, 0);
    EXPECT_EQ(g_flagCalls.load(), 1);
    EXPECT_EQ(g_framesAtFlag.load(), 0);
    EXPECT_EQ(probe_.finished.load(), 1);
    worker_.Command(CmdRepeat | FlagCallFlagFn | FlagAck, 0);  // not for re-entering
    EXPECT_EQ(g_flagCalls.load(), 1);
}

TEST_F(PacedWorkerTest, SetCallbacksCallsTheFormerDetachFnOnceWithTheNewArgument) {
    Launch();
    int first = 0, second = 0;
    worker_.SetCallbacks(&first, nullptr, nullptr, DetachFn);
    EXPECT_EQ(g_detachCalls.load(), 0);  // the former detachFn was the no-op
    EXPECT_EQ(worker_.userArg, &first);
    EXPECT_EQ(worker_.frameFn, &FrameProbe::Frame);  // null keeps the frame callback
    worker_.SetCallbacks(&second, nullptr, nullptr, nullptr);
    // The worker acknowledges first and then calls the former detachFn.
    ASSERT_TRUE(WaitUntil([] { return g_detachCalls.load() == 1; }));
    EXPECT_EQ(g_detachArg.load(), &second);
    EXPECT_EQ(worker_.detachFn, &DetachFn);
    EXPECT_EQ(worker_.pendingDetachFn, &DetachFn);
    EXPECT_EQ(State(), StateIdle);  // and it re-entered idle
    worker_.SetCallbacks(&probe_, OtherFrame, nullptr, nullptr);
    ASSERT_TRUE(WaitUntil([] { return g_detachCalls.load() == 2; }));
    EXPECT_EQ(worker_.frameFn, &OtherFrame);
    EXPECT_EQ(probe_.started.load(), 0);
}

TEST_F(PacedWorkerTest, SetCallbacksWhilePacedSwitchesAfterTheFrameAndKeepsPacing) {
    Launch();
    RunPacedAndSettle(20);
    worker_.SetCallbacks(&probe_, nullptr, nullptr, DetachFn);
    // Re-entering paced running starts a frame at once.
    ASSERT_TRUE(FramesReach(2));
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
    worker_.SetCallbacks(&probe_, nullptr, nullptr, nullptr);
    ASSERT_TRUE(FramesReach(3));
    EXPECT_EQ(g_detachCalls.load(), 1);  // called before the frame
    EXPECT_EQ(g_detachArg.load(), &probe_);
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
}

TEST_F(PacedWorkerTest, PeriodIsRoundedToWholeTickIntervals) {
    StartTicks(16);  // a 16 ms counter: interval 16
    Launch();
    ASSERT_EQ(g_tickTimer.interval.load(), 16u);
    worker_.Command(CmdIdle, 20);
    EXPECT_EQ(worker_.period.load(), 16u);
    worker_.Command(CmdIdle, 5);
    EXPECT_EQ(worker_.period.load(), 16u);
    worker_.Command(CmdIdle, 40);
    EXPECT_EQ(worker_.period.load(), 32u);
    StartTicks(10);
    worker_.Command(CmdIdle, 20);
    EXPECT_EQ(worker_.period.load(), 20u);
    worker_.Command(CmdIdle | FlagAck, 0);
    EXPECT_EQ(worker_.period.load(), 0u);
}

TEST_F(PacedWorkerTest, PacingSubscribesOnceAndPeriodZeroUnsubscribes) {
    Launch();
    worker_.Command(CmdIdle, 20);
    worker_.Command(CmdIdle, 40);
    ASSERT_TRUE(Subscribed());
    auto* functions = g_tickTimer.functions.load();
    EXPECT_EQ(functions[1].load(), nullptr);  // one subscription only
    worker_.Command(CmdIdle | FlagAck, 0);
    EXPECT_FALSE(Subscribed());
    EXPECT_EQ(functions[0].load(), nullptr);
}

TEST_F(PacedWorkerTest, EarlyFrameWaitsForTheTickThatEndsItsPeriod) {
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    RunPacedAndSettle(20);
    EXPECT_EQ(worker_.frameStart.load(), t0);
    EXPECT_EQ(probe_.stateInFrame.load(), StateRunning);
    Tick(t0 + 10);
    Tick(t0 + 19);  // not yet: 19 < 20
    Sleep(30);
    EXPECT_EQ(probe_.started.load(), 1);
    EXPECT_EQ(State(), StateWaitingTick);
    Tick(t0 + 20);
    ASSERT_TRUE(FramesReach(2));
    EXPECT_EQ(probe_.startTick.load(), t0 + 20);  // frames start on ticks
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
    EXPECT_EQ(worker_.frameStart.load(), t0 + 20);
    Tick(t0 + 45);  // a late tick still wakes it, and the new frame starts from it
    ASSERT_TRUE(FramesReach(3));
    EXPECT_EQ(worker_.frameStart.load(), t0 + 45);
}

TEST_F(PacedWorkerTest, LateFrameIsFollowedAtOnce) {
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    probe_.hold = true;
    worker_.Command(CmdRunPaced, 20);
    ASSERT_TRUE(WaitUntil([&] { return probe_.started.load() == 1; }));
    Tick(t0 + 20);  // the period passes inside the frame: no one to wake yet
    Tick(t0 + 40);  // missed periods are not made up
    probe_.hold = false;
    SetEvent(probe_.release);
    ASSERT_TRUE(FramesReach(2));  // no tick needed
    EXPECT_EQ(probe_.startTick.load(), t0 + 40);
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
    Tick(t0 + 59);
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 2);
    Tick(t0 + 60);
    EXPECT_TRUE(FramesReach(3));
}

TEST_F(PacedWorkerTest, PeriodChangeFromInsideAFrame) {
    StartTicks(16);
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    probe_.during = [&](int frame) {
        if (frame == 2) worker_.Command(CmdRunPaced, 40);  // returns at once
    };
    RunPacedAndSettle(20);
    EXPECT_EQ(worker_.period.load(), 16u);
    Tick(t0 + 16);
    // Frame 2 changes the period; frame 3 follows without a wait.
    ASSERT_TRUE(FramesReach(3));
    EXPECT_EQ(worker_.period.load(), 32u);
    EXPECT_EQ(probe_.startTick.load(), t0 + 16);
    ASSERT_TRUE(StateBecomes(StateWaitingTick));
    Tick(t0 + 32);  // 16 ms after frame 3 started: not yet under 32 ms
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 3);
    Tick(t0 + 48);
    ASSERT_TRUE(FramesReach(4));
    EXPECT_EQ(probe_.startTick.load(), t0 + 48);
}

TEST_F(PacedWorkerTest, PauseAndContinueWhilePaced) {
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    RunPacedAndSettle(20);
    worker_.Command(CmdPause | FlagAck, 20);  // it was waiting for a tick
    EXPECT_EQ(State(), StatePaused);
    Tick(t0 + 20);
    Tick(t0 + 40);  // ticks do not wake a paused worker
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 1);
    worker_.Command(CmdPause | FlagAck, 20);  // a pause while paused keeps the pause
    EXPECT_EQ(State(), StatePaused);
    worker_.Command(CmdContinue, 20);  // resumes at once
    ASSERT_TRUE(FramesReach(2));
    EXPECT_EQ(probe_.startTick.load(), t0 + 40);
    ASSERT_TRUE(StateBecomes(StateWaitingTick));

    // A pause that arrives during a frame returns once the frame has ended.
    probe_.hold = true;
    Tick(t0 + 60);
    ASSERT_TRUE(WaitUntil([&] { return probe_.started.load() == 3; }));
    std::atomic<bool> returned{false};
    std::thread sender([&] {
        worker_.Command(CmdPause | FlagAck, 20);
        returned = true;
    });
    Sleep(20);
    EXPECT_FALSE(returned.load());
    probe_.hold = false;
    SetEvent(probe_.release);
    sender.join();
    EXPECT_EQ(probe_.finished.load(), 3);
    EXPECT_EQ(State(), StatePaused);
    worker_.Command(CmdContinue | FlagAck, 20);
    EXPECT_TRUE(FramesReach(4));
}

TEST_F(PacedWorkerTest, ContinueWhileWaitingForATickRunsAtOnce) {
    Launch();
    RunPacedAndSettle(20);
    worker_.Command(CmdContinue | FlagAck, 20);
    ASSERT_TRUE(FramesReach(2));
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
}

TEST_F(PacedWorkerTest, PeriodZeroWhilePausedRunsFramesBackToBack) {
    Launch();
    RunPacedAndSettle(20);
    worker_.Command(CmdPause | FlagAck, 0);
    EXPECT_EQ(worker_.period.load(), 0u);
    EXPECT_FALSE(Subscribed());
    EXPECT_EQ(State(), StatePaused);
    worker_.Command(CmdContinue, 0);
    EXPECT_TRUE(FramesReach(50));  // with no tick at all
    worker_.Command(CmdPause | FlagAck, 0);
    EXPECT_EQ(State(), StatePaused);
}

TEST_F(PacedWorkerTest, LoneAcknowledgeWhilePacedIsAnsweredAndPacingGoesOn) {
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    RunPacedAndSettle(20);
    worker_.Command(FlagAck, 20);  // on waking from the tick wait
    ASSERT_TRUE(FramesReach(2));   // the next frame starts at once
    ASSERT_TRUE(StateBecomes(StateWaitingTick));
    EXPECT_EQ(worker_.period.load(), 20u);

    probe_.hold = true;  // and after the current frame
    Tick(t0 + 20);
    ASSERT_TRUE(WaitUntil([&] { return probe_.started.load() == 3; }));
    std::thread release([&] {
        Sleep(10);
        probe_.hold = false;
        SetEvent(probe_.release);
    });
    worker_.Command(FlagAck, 20);
    release.join();
    EXPECT_GE(probe_.finished.load(), 3);  // answered only once frame 3 had ended
    EXPECT_TRUE(FramesReach(4));           // at once again
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
}

TEST_F(PacedWorkerTest, LoneAcknowledgeWhileIdleIsAnswered) {
    Launch();
    worker_.Command(FlagAck, 0);
    EXPECT_EQ(State(), StateIdle);
    EXPECT_EQ(probe_.started.load(), 0);
}

TEST_F(PacedWorkerTest, PauseAndContinueWhileContinuous) {
    Launch();
    worker_.Command(CmdRunContinuous | FlagAck, 0);
    ASSERT_TRUE(FramesReach(20));
    EXPECT_EQ(probe_.stateInFrame.load(), StateRunning);
    worker_.Command(CmdPause | FlagAck, 0);
    EXPECT_EQ(State(), StatePaused);
    int frames = probe_.finished.load();
    EXPECT_EQ(probe_.started.load(), frames);  // no frame is under way
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), frames);
    worker_.Command(CmdPause | FlagAck, 0);  // a pause while paused keeps the pause
    EXPECT_EQ(State(), StatePaused);
    Sleep(10);
    EXPECT_EQ(probe_.started.load(), frames);
    worker_.Command(CmdContinue | FlagAck, 0);
    EXPECT_TRUE(FramesReach(frames + 20));

    worker_.Command(CmdPause | FlagAck, 0);
    frames = probe_.finished.load();
    SetEvent(worker_.wakeEvent);  // a wake with no command ends a pause
    EXPECT_TRUE(FramesReach(frames + 20));

    worker_.Command(CmdIdle | FlagAck, 0);  // any other command is dispatched
    EXPECT_EQ(State(), StateIdle);
    frames = probe_.finished.load();
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), frames);
    worker_.Command(CmdRepeat, 0);  // the last mode is idle
    Sleep(10);
    EXPECT_EQ(probe_.started.load(), frames);
}

TEST_F(PacedWorkerTest, RepeatReentersTheModeThatRanLast) {
    Launch();
    RunPacedAndSettle(20);
    worker_.Command(CmdRepeat | FlagAck, 20);  // acknowledged at once, paced again
    ASSERT_TRUE(FramesReach(2));
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
    worker_.Command(0x0F | FlagAck, 20);  // unknown codes act the same way
    ASSERT_TRUE(FramesReach(3));
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
}

TEST_F(PacedWorkerTest, ExitEndsTheThreadAndTheThreadObjectFreesItself) {
    Launch();
    worker_.Command(CmdRunContinuous, 0);
    ASSERT_TRUE(FramesReach(5));
    Exit();
    EXPECT_EQ(State(), StateExiting);
    int frames = probe_.finished.load();
    Sleep(10);
    EXPECT_EQ(probe_.started.load(), frames);
}

TEST_F(PacedWorkerTest, ExitWithAcknowledgeDoesNotHangTheSender) {
    Launch();
    HANDLE handle = worker_.thread->m_hThread;
    exited_ = true;
    worker_.Command(CmdExit | FlagAck, 0);  // returns although no answer comes
    EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(handle, 0) == WAIT_FAILED; }));
    EXPECT_EQ(State(), StateExiting);
}

TEST_F(PacedWorkerTest, TicksNearTheCounterWrapPaceCorrectly) {
    StartTicks(1, 0xFFFFFFF0u);
    Launch();
    uint32_t t0 = g_tickTimer.now.load();
    RunPacedAndSettle(20);
    Tick(t0 + 19);
    Sleep(20);
    EXPECT_EQ(probe_.started.load(), 1);
    Tick(t0 + 20);  // past the wrap
    ASSERT_TRUE(FramesReach(2));
    EXPECT_EQ(probe_.startTick.load(), uint32_t(t0 + 20));
    EXPECT_TRUE(StateBecomes(StateWaitingTick));
}

// OnTick on its own: it wakes only a worker that waits for a tick and whose
// period has passed.
TEST(PacedWorkerOnTick, WakesOnlyAWorkerWhosePeriodHasPassed) {
    PacedWorker w;
    w.wakeEvent = CreateEvent(NULL, FALSE, FALSE, NULL);
    w.period = 20;
    w.frameStart = 1000;
    w.state = StateWaitingTick;
    g_tickTimer.now = 1019;
    PacedWorker::OnTick(&w);
    EXPECT_EQ(WaitForSingleObject(w.wakeEvent, 0), DWORD(WAIT_TIMEOUT));
    g_tickTimer.now = 1020;
    PacedWorker::OnTick(&w);
    EXPECT_EQ(WaitForSingleObject(w.wakeEvent, 0), WAIT_OBJECT_0);
    for (int32_t other : {StateRunning, StatePaused, StateIdle}) {
        w.state = other;
        PacedWorker::OnTick(&w);
        EXPECT_EQ(WaitForSingleObject(w.wakeEvent, 0), DWORD(WAIT_TIMEOUT)) << other;
    }
    w.state = StateWaitingTick;
    w.frameStart = 0xFFFFFFF0u;
    g_tickTimer.now = 0x00000004u;  // 20 ms later, across the wrap
    PacedWorker::OnTick(&w);
    EXPECT_EQ(WaitForSingleObject(w.wakeEvent, 0), WAIT_OBJECT_0);
    g_tickTimer.now = 0;
}

}  // namespace
