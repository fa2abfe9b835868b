// What pacing costs: one tick walking its subscribers, a command round trip to
// an idle worker, and a message through this thread's queue.
#include <benchmark/benchmark.h>

#include "timing/paced_worker.h"
#include "timing/tick_timer.h"
#include "timing/tick_timer_hooks.h"

namespace {

UINT_PTR NoTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    return 1;
}
void CountTick(void* counter) {
    ++*static_cast<long*>(counter);
}

void StartWithoutTimer() {
    TickTimerReset();
    g_tickTimerPlatform.setTimer = NoTimer;
    TickTimerStart(20, 0);
}

void BM_TickWithSubscribers(benchmark::State& state) {
    StartWithoutTimer();
    long counter = 0;
    for (int i = 0; i < state.range(0); i++)
        TickSubscribe(CountTick, &counter);
    DWORD time = 0;
    for (auto _ : state)
        TickTimerProc(NULL, WM_TIMER, 1, time += 20);
    benchmark::DoNotOptimize(counter);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    TickTimerReset();
}
BENCHMARK(BM_TickWithSubscribers)->Arg(1)->Arg(4)->Arg(64);

void BM_SubscribeUnsubscribe(benchmark::State& state) {
    StartWithoutTimer();
    long counter = 0;
    for (int i = 0; i < 8; i++)
        TickSubscribe(CountTick, &counter);
    long other = 0;
    for (auto _ : state) {
        TickSubscribe(CountTick, &other);
        TickUnsubscribe(CountTick, &other);
    }
    TickTimerReset();
}
BENCHMARK(BM_SubscribeUnsubscribe);

// Command(CmdRunOnceThenIdle | FlagAck): wake the idle worker, run an empty
// frame, wait for its acknowledgement.
void BM_WorkerRoundTrip(benchmark::State& state) {
    StartWithoutTimer();
    PacedWorker worker;
    worker.Create(THREAD_PRIORITY_NORMAL);
    for (auto _ : state)
        worker.Command(CmdRunOnceThenIdle | FlagAck, 0);
    HANDLE handle = worker.thread->m_hThread;
    worker.Command(CmdExit, 0);
    while (WaitForSingleObject(handle, 0) != WAIT_FAILED)
        Sleep(1);
    TickTimerReset();
}
BENCHMARK(BM_WorkerRoundTrip)->UseRealTime();

void BM_PostAndPeek(benchmark::State& state) {
    DWORD self = GetCurrentThreadId();
    MSG msg;
    PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE);  // makes the queue
    for (auto _ : state) {
        PostThreadMessage(self, WM_USER, 0, 0);
        PeekMessage(&msg, NULL, 0, 0, PM_REMOVE);
    }
}
BENCHMARK(BM_PostAndPeek);

}  // namespace
