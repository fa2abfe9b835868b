// The paced worker: the controlling side (Create, SetCallbacks, Command), the
// tick subscriber and the worker thread's dispatch and run loops.
#include "timing/paced_worker.h"

#include "timing/tick_timer.h"

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr int32_t kCodeMask = 0xF;
constexpr int32_t kCreateCommand = CmdIdle | FlagAck;
constexpr int32_t kSetCallbacksCommand = FlagCallPendingDetach | FlagAck;

// What the worker runs with, read only while it holds the lock, so that a
// callback never meets the argument of another set.
struct Callbacks {
    void* userArg;
    WorkerCallback frameFn;
    WorkerCallback flagFn;
    WorkerCallback pendingDetachFn;
};

// The worker thread's side: its record and the callbacks it runs with, taken
// afresh whenever it takes the lock.
struct Worker {
    PacedWorker& w;
    Callbacks current;

    void Lock() {
        EnterCriticalSection(&w.lock);
        current = Callbacks{w.userArg, w.frameFn, w.flagFn, w.pendingDetachFn};
    }
    void Unlock() { LeaveCriticalSection(&w.lock); }
    void Ack() { SetEvent(w.ackEvent); }
    void Sleep() { WaitForSingleObject(w.wakeEvent, INFINITE); }
    void Frame() { current.frameFn(current.userArg); }
    void SetState(int32_t state) { w.state.store(state, kRelaxed); }
    uint32_t TickNow() const { return g_tickTimer.now.load(kRelaxed); }

    void RunContinuous(bool ack);
    void RunPaced(bool ack);
};

bool IsRunningMode(int32_t code) {
    return code == CmdRunContinuous || code == CmdRunPaced;
}

// Returns with the lock held and a command pending.
void Worker::RunContinuous(bool ack) {
    if (ack) Ack();
    for (;;) {
        Frame();
        Lock();
        int32_t c = w.command;
        if ((c & kCodeMask) == CmdPause) {
            // A further pause while paused is acknowledged and keeps the pause.
            while ((c & kCodeMask) == CmdPause) {
                w.command = 0;
                SetState(StatePaused);
                Unlock();
                if (c & FlagAck) Ack();
                Sleep();
                Lock();
                c = w.command;
            }
            SetState(StateRunning);
            if ((c & kCodeMask) == CmdContinue) {
                w.command = 0;
                if (c & FlagAck) Ack();  // while holding the lock
                Unlock();
                continue;
            }
        }
        if (c != 0) return;
        Unlock();
    }
}

// Returns with the lock held and a command pending.
void Worker::RunPaced(bool ack) {
    if (ack) Ack();
    for (;;) {
        w.frameStart.store(TickNow(), kRelaxed);
        Frame();
        Lock();
        int32_t c = w.command;
        int32_t late = 0;
        bool ackNow = false;
        bool pending = false;
        if (c == 0) {
            uint32_t start = w.frameStart.load(kRelaxed);
            late = int32_t(TickNow() - w.period.load(kRelaxed) - start);
            SetState(late >= 0 ? StateRunning : StateWaitingTick);
        } else if ((c & kCodeMask) == CmdPause) {
            w.command = 0;
            SetState(StatePaused);
            late = -1;
            ackNow = (c & FlagAck) != 0;
        } else if (c == FlagAck) {
            w.command = 0;
            ackNow = true;
        } else {
            pending = true;
        }
        Unlock();
        if (ackNow) Ack();

        while (late < 0) {
            Sleep();
            Lock();
            c = w.command;
            ackNow = false;
            if (c == 0) {  // the tick came (or a surplus wake)
                SetState(StateRunning);
                late = 0;
            } else if ((c & kCodeMask) == CmdContinue) {
                w.command = 0;
                SetState(StateRunning);
                late = 0;
                ackNow = (c & FlagAck) != 0;
            } else if ((c & kCodeMask) == CmdPause) {
                w.command = 0;
                SetState(StatePaused);
                ackNow = (c & FlagAck) != 0;
            } else {
                late = 0;
                pending = true;
            }
            Unlock();
            if (ackNow) Ack();
        }
        if (pending) {
            Lock();
            return;
        }
    }
}

}  // namespace

int NoOpCallback(void*) {
    return 0;
}

PacedWorker::PacedWorker()
    : thread(nullptr),
      userArg(nullptr),
      frameFn(NoOpCallback),
      flagFn(NoOpCallback),
      detachFn(NoOpCallback),
      pendingDetachFn(NoOpCallback),
      wakeEvent(nullptr),
      ackEvent(nullptr),
      lock(),
      state(0),
      command(0),
      period(0),
      frameStart(0),
      lockReady(false) {}

// Only for a worker whose thread has ended or never started.
PacedWorker::~PacedWorker() {
    if (lockReady) DeleteCriticalSection(&lock);
    if (wakeEvent) CloseHandle(wakeEvent);
    if (ackEvent) CloseHandle(ackEvent);
}

int PacedWorker::Create(int priority) {
    if (thread != nullptr) return 0;
    if (!lockReady) {
        InitializeCriticalSection(&lock);
        lockReady = true;
    }
    if (wakeEvent == nullptr) wakeEvent = CreateEvent(NULL, FALSE, FALSE, NULL);
    if (ackEvent == nullptr) ackEvent = CreateEvent(NULL, FALSE, FALSE, NULL);
    if (wakeEvent == nullptr || ackEvent == nullptr) return -1;

    frameFn = flagFn = detachFn = pendingDetachFn = NoOpCallback;
    state.store(StateStarting, kRelaxed);
    command = kCreateCommand;
    userArg = nullptr;

    EnterCriticalSection(&lock);
    CWinThread* started = AfxBeginThread(WorkerMain, this, priority, 0, CREATE_SUSPENDED);
    if (started == nullptr) {
        command = 0;
        state.store(0, kRelaxed);
        LeaveCriticalSection(&lock);
        return -1;  // no thread would ever acknowledge
    }
    started->m_bAutoDelete = TRUE;
    thread = started;
    started->ResumeThread();
    LeaveCriticalSection(&lock);
    return int(WaitForSingleObject(ackEvent, INFINITE));
}

void PacedWorker::SetCallbacks(void* newUserArg, WorkerCallback newFrameFn,
                               WorkerCallback newFlagFn, WorkerCallback newDetachFn) {
    if (thread == nullptr) return;
    EnterCriticalSection(&lock);
    userArg = newUserArg;
    pendingDetachFn = detachFn;
    if (newFrameFn) frameFn = newFrameFn;
    if (newFlagFn) flagFn = newFlagFn;
    if (newDetachFn) detachFn = newDetachFn;
    int32_t seen = state.load(kRelaxed);
    command = kSetCallbacksCommand;
    LeaveCriticalSection(&lock);
    if (seen & StateWaitBit) SetEvent(wakeEvent);
    WaitForSingleObject(ackEvent, INFINITE);
}

void PacedWorker::Command(int32_t word, uint32_t requestedPeriod) {
    if (thread == nullptr || word == 0) return;
    if (requestedPeriod != 0) {
        if (period.load(kRelaxed) == 0) TickSubscribe(OnTick, this);
        // Whole tick intervals, at least one. Before the tick service has
        // started there is no interval to round to: the request stands.
        uint32_t interval = g_tickTimer.interval.load(kRelaxed);
        uint32_t rounded = requestedPeriod;
        if (interval != 0) {
            rounded = requestedPeriod / interval * interval;
            if (rounded == 0) rounded = interval;
        }
        period.store(rounded, kRelaxed);
    } else {
        EnterCriticalSection(&lock);
        if (period.load(kRelaxed) != 0) TickUnsubscribe(OnTick, this);
        period.store(0, kRelaxed);
        LeaveCriticalSection(&lock);
    }
    EnterCriticalSection(&lock);
    int32_t seen = state.load(kRelaxed);
    command = word;  // overwrites a command that is still pending
    LeaveCriticalSection(&lock);
    if (seen & StateWaitBit) SetEvent(wakeEvent);
    // The worker never acknowledges an exit; waiting for it would never end.
    if ((word & FlagAck) && (word & kCodeMask) != CmdExit) WaitForSingleObject(ackEvent, INFINITE);
}

void PacedWorker::Exit() {
    CWinThread* running = thread;
    if (running == nullptr) return;
    // The thread object outlives the procedure, so that its handle can be
    // waited on; the worker reads the flag only after it has seen CmdExit,
    // which reaches it through the lock.
    EnterCriticalSection(&lock);
    running->m_bAutoDelete = FALSE;
    LeaveCriticalSection(&lock);
    Command(CmdExit, 0);
    WaitForSingleObject(running->m_hThread, INFINITE);
    delete running;
    thread = nullptr;
    state.store(0, kRelaxed);
}

void PacedWorker::OnTick(void* raw) {
    PacedWorker& w = *static_cast<PacedWorker*>(raw);
    if (w.state.load(kRelaxed) != StateWaitingTick) return;
    uint32_t passed = g_tickTimer.now.load(kRelaxed) - w.frameStart.load(kRelaxed);
    if (passed >= w.period.load(kRelaxed)) SetEvent(w.wakeEvent);
}

UINT PacedWorker::WorkerMain(LPVOID raw) {
    Worker worker{*static_cast<PacedWorker*>(raw), {}};
    PacedWorker& w = worker.w;
    int32_t lastMode = 0;
    worker.Lock();
    for (;;) {
        // Dispatch, with the lock held.
        int32_t c = w.command;
        w.command = 0;
        int32_t m;
        bool ackAtOnce = false;
        switch (c & kCodeMask) {
            case CmdExit:
                worker.SetState(StateExiting);
                m = c;
                break;
            case CmdIdle:
            case CmdRunOnceThenIdle:
                worker.SetState(StateIdle);
                m = c;
                break;
            case CmdRunOnce:
            case CmdRunContinuous:
            case CmdRunPaced:
                worker.SetState(StateRunning);
                m = c;
                break;
            default:  // re-enter the mode that ran last
                ackAtOnce = (c & FlagAck) != 0;
                m = (lastMode != 0 ? lastMode : CmdIdle) | (c & FlagCallPendingDetach);
                worker.SetState(IsRunningMode(m & kCodeMask) ? StateRunning : StateIdle);
                break;
        }
        worker.Unlock();
        if (ackAtOnce) worker.Ack();

        if (m & FlagCallPendingDetach) worker.current.pendingDetachFn(worker.current.userArg);
        if (m & FlagCallFlagFn) worker.current.flagFn(worker.current.userArg);
        bool ack = (m & FlagAck) != 0;
        int32_t mode = m & kCodeMask;  // bits above the flags carry nothing
        lastMode = mode;

        switch (mode) {
            case CmdRunContinuous:
                worker.RunContinuous(ack);
                continue;
            case CmdRunPaced:
                worker.RunPaced(ack);
                continue;
            case CmdRunOnce:
                if (ack) worker.Ack();
                worker.Frame();
                lastMode = CmdIdle;
                worker.Lock();
                continue;
            case CmdExit:
                return 0;  // never acknowledged
            case CmdRunOnceThenIdle:
                worker.Frame();
                [[fallthrough]];
            default:  // idle
                lastMode = CmdIdle;
                if (ack) worker.Ack();
                worker.Sleep();
                worker.Lock();
                continue;
        }
    }
}
