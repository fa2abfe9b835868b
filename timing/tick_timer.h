// The process-wide tick service: one system timer without a window that keeps
// the time of its latest tick and calls a list of (function, argument)
// subscribers on every tick. It runs on the thread that started it (the
// user-interface thread); subscriptions are changed on that thread too.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

typedef void (*TickFunction)(void* argument);

// One instance, g_tickTimer, zero until TickTimerStart. The subscriber slots
// are filled contiguously from slot 0 and ended by the first null function; at
// least one null slot always follows the filled ones.
struct TickTimer {
    std::atomic<uint32_t> now;       // time of the latest tick (GetTickCount clock), ms
    std::atomic<uint32_t> interval;  // effective tick interval, ms
    std::atomic<int32_t> capacity;   // slots in each array; 0 until started
    std::atomic<std::atomic<TickFunction>*> functions;
    std::atomic<std::atomic<void*>*> arguments;
};

extern TickTimer g_tickTimer;

// Starts the service on the first call: creates the subscriber arrays with
// initialCapacity slots (16 if 0), measures the granularity of GetTickCount,
// fixes `interval` from `period` and sets the system timer. Returns the timer
// id (0 if the system refused it, or if the arrays could not be allocated, in
// which case a later call tries again). Any later call returns `capacity` and
// changes nothing.
UINT TickTimerStart(UINT period, int initialCapacity);

// The timer procedure: stores the tick time in `now` and calls every subscriber.
void CALLBACK TickTimerProc(HWND hwnd, UINT message, UINT_PTR id, DWORD time);

// Appends the pair (the same pair may be subscribed more than once). If the
// arrays must grow and memory is short, the pair is not added.
void TickSubscribe(TickFunction function, void* argument);

// Removes the first slot holding exactly this pair; nothing if there is none.
void TickUnsubscribe(TickFunction function, void* argument);

// The interval for a requested period and a measured counter granule: the
// period rounded down to whole granules, at least one granule; 10 for a granule
// of 0.
uint32_t TickIntervalFor(uint32_t period, uint32_t granule);
