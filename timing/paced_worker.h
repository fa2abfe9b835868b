// The paced worker: one worker thread that runs a frame callback once,
// continuously, or paced by the tick service, steered by command words that a
// controlling thread posts. The worker reports its situation in `state`.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/framework/thread.h"
#include "platform/win32.h"

// Every callback takes the worker's userArg; its result is ignored.
typedef int (*WorkerCallback)(void* userArg);

int NoOpCallback(void* userArg);

// Command word: bits 0..3 the code, bits 4..6 flags, higher bits 0. Plain
// int32_t constants, so that codes and flags combine with | freely.
constexpr int32_t CmdExit = 1;             // end the worker thread
constexpr int32_t CmdIdle = 2;             // stop running frames, sleep until the next command
constexpr int32_t CmdRunOnceThenIdle = 3;  // run one frame, acknowledge after it, then idle
constexpr int32_t CmdRunOnce = 4;          // acknowledge, run one frame, then idle
constexpr int32_t CmdRepeat = 5;           // re-enter the mode that ran last
constexpr int32_t CmdRunContinuous = 6;    // run frames back to back
constexpr int32_t CmdRunPaced = 7;         // run frames paced by the tick service
constexpr int32_t CmdPause = 8;            // in modes 6 and 7: suspend running until woken
constexpr int32_t CmdContinue = 9;         // in modes 6 and 7 while paused: resume

// The worker calls flagFn, or pendingDetachFn, once before acting; the sender
// waits until the worker acknowledges.
constexpr int32_t FlagCallFlagFn = 0x10;
constexpr int32_t FlagCallPendingDetach = 0x20;
constexpr int32_t FlagAck = 0x40;

// The worker's state word. StateWaitBit: the worker sleeps, or is about to
// sleep, on wakeEvent.
constexpr int32_t StateStarting = 15;
constexpr int32_t StateExiting = 1;
constexpr int32_t StateRunning = 2;
constexpr int32_t StateIdle = 0x10000;
constexpr int32_t StatePaused = 0x10003;
constexpr int32_t StateWaitingTick = 0x10004;
constexpr int32_t StateWaitBit = 0x10000;

// Embedded in its owner and never copied. `lock` guards `state` and `command`;
// the worker reads the callbacks and userArg only while it holds `lock`, so a
// frame always runs with a matching callback and argument.
struct PacedWorker {
    PacedWorker();
    ~PacedWorker();
    PacedWorker(const PacedWorker&) = delete;
    PacedWorker& operator=(const PacedWorker&) = delete;

    // Starts the worker thread at `priority` and waits until it idles. Returns 0
    // on success and also, changing nothing, if the worker already exists;
    // -1 if the events or the thread could not be created.
    int Create(int priority);

    // Replaces userArg always and each callback that is not null; the former
    // detachFn is called once by the worker with the new userArg. Waits for the
    // worker's acknowledgement. Nothing if the worker does not exist.
    void SetCallbacks(void* newUserArg, WorkerCallback newFrameFn, WorkerCallback newFlagFn,
                      WorkerCallback newDetachFn);

    // Posts a command word; `requestedPeriod` in ms, rounded to whole tick
    // intervals, 0 to stop pacing. Waits only if the word carries FlagAck (and
    // never for CmdExit, which is not acknowledged).
    // Nothing if the worker does not exist or the word is 0. A frame callback
    // may call it on its own worker without FlagAck, to change a period that is
    // set already: starting or stopping pacing changes the tick subscription,
    // which belongs to the thread that runs the tick service.
    void Command(int32_t word, uint32_t requestedPeriod);

    // Ends the worker thread: CmdExit (leaving the tick subscription), then
    // waits until the thread has ended. Afterwards the worker does not exist
    // and may be created again. Nothing if it does not exist. Not from the
    // worker's own thread.
    void Exit();

    // The tick subscriber: wakes the worker when it waits for a tick and its
    // period has passed.
    static void OnTick(void* worker);

    // The thread procedure.
    static UINT WorkerMain(LPVOID worker);

    CWinThread* thread;  // null until Create; non-null means the worker exists
    void* userArg;
    WorkerCallback frameFn;
    WorkerCallback flagFn;
    WorkerCallback detachFn;
    WorkerCallback pendingDetachFn;
    HANDLE wakeEvent;
    HANDLE ackEvent;
    CRITICAL_SECTION lock;
    std::atomic<int32_t> state;
    int32_t command;  // pending command word, 0 = none; guarded by lock
    std::atomic<uint32_t> period;
    std::atomic<uint32_t> frameStart;

  private:
    bool lockReady;  // `lock` has been initialised
};
