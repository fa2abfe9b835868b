// The process-wide tick service.
//
// Slots are atomics written with release and read with acquire, so a walk on
// another thread sees each write in order. The write orders of subscribe and
// unsubscribe keep the list null-terminated, with every visible function beside
// its own argument, after every single write.
#include "timing/tick_timer.h"

#include <new>

#include "timing/tick_timer_hooks.h"

TickTimer g_tickTimer;

namespace {

DWORD RealGetTickCount() {
    return GetTickCount();
}
void RealSleep(DWORD milliseconds) {
    Sleep(milliseconds);
}
UINT_PTR RealSetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    return SetTimer(hwnd, id, elapse, proc);
}

using FunctionSlot = std::atomic<TickFunction>;
using ArgumentSlot = std::atomic<void*>;

constexpr auto kAcquire = std::memory_order_acquire;
constexpr auto kRelease = std::memory_order_release;
constexpr auto kRelaxed = std::memory_order_relaxed;

void Wrote() {
    if (g_tickListWriteHook) g_tickListWriteHook();
}

int32_t CountFilled(FunctionSlot* functions) {
    int32_t n = 0;
    while (functions[n].load(kAcquire) != nullptr)
        n++;
    return n;
}

}  // namespace

TickTimerPlatform g_tickTimerPlatform = {RealGetTickCount, RealSleep, RealSetTimer};
void (*g_tickListWriteHook)() = nullptr;

uint32_t TickIntervalFor(uint32_t period, uint32_t granule) {
    if (granule == 0) return 10;
    uint32_t interval = period / granule * granule;
    return interval == 0 ? granule : interval;
}

UINT TickTimerStart(UINT period, int initialCapacity) {
    int32_t capacity = g_tickTimer.capacity.load(kRelaxed);
    if (capacity != 0) return UINT(capacity);
    capacity = initialCapacity > 0 ? initialCapacity : 16;

    FunctionSlot* functions = new (std::nothrow) FunctionSlot[size_t(capacity)]();
    ArgumentSlot* arguments = new (std::nothrow) ArgumentSlot[size_t(capacity)]();
    if (functions == nullptr || arguments == nullptr) {
        delete[] functions;
        delete[] arguments;
        return 0;
    }
    g_tickTimer.arguments.store(arguments, kRelease);
    g_tickTimer.functions.store(functions, kRelease);
    g_tickTimer.capacity.store(capacity, kRelaxed);

    // How coarse is the millisecond counter? Two readings one Sleep(1) apart,
    // after a first reading that lines the thread up with the counter.
    const TickTimerPlatform& platform = g_tickTimerPlatform;
    platform.getTickCount();
    platform.sleep(1);
    DWORD t1 = platform.getTickCount();
    platform.sleep(1);
    DWORD t2 = platform.getTickCount();
    g_tickTimer.now.store(t2, kRelaxed);
    uint32_t interval = TickIntervalFor(period, t2 - t1);
    g_tickTimer.interval.store(interval, kRelaxed);

    // One millisecond short of the interval, so that a tick never lands a whole
    // counter step late.
    return UINT(platform.setTimer(NULL, 1, interval - 1, TickTimerProc));
}

void CALLBACK TickTimerProc(HWND, UINT, UINT_PTR, DWORD time) {
    g_tickTimer.now.store(time, kRelaxed);
    // The arrays are fetched again for every slot: a subscriber may change the
    // list (and grow it) while it is being walked.
    for (int32_t i = 0;; i++) {
        FunctionSlot* functions = g_tickTimer.functions.load(kAcquire);
        if (functions == nullptr) return;  // not started
        TickFunction function = functions[i].load(kAcquire);
        if (function == nullptr) return;
        void* argument = g_tickTimer.arguments.load(kAcquire)[i].load(kAcquire);
        function(argument);
    }
}

void TickSubscribe(TickFunction function, void* argument) {
    int32_t capacity = g_tickTimer.capacity.load(kRelaxed);
    if (function == nullptr || capacity == 0) return;  // a null would end the list
    FunctionSlot* functions = g_tickTimer.functions.load(kAcquire);
    ArgumentSlot* arguments = g_tickTimer.arguments.load(kAcquire);
    int32_t n = CountFilled(functions);

    if (n >= capacity - 1) {
        if (capacity > INT32_MAX / 2) return;
        int32_t grown = capacity * 2;
        FunctionSlot* newFunctions = new (std::nothrow) FunctionSlot[size_t(grown)]();
        ArgumentSlot* newArguments = new (std::nothrow) ArgumentSlot[size_t(grown)]();
        if (newFunctions == nullptr || newArguments == nullptr) {
            delete[] newFunctions;
            delete[] newArguments;
            return;
        }
        for (int32_t i = 0; i < n; i++) {
            newArguments[i].store(arguments[i].load(kRelaxed), kRelaxed);
            newFunctions[i].store(functions[i].load(kRelaxed), kRelaxed);
        }
        g_tickTimer.arguments.store(newArguments, kRelease);
        Wrote();
        g_tickTimer.functions.store(newFunctions, kRelease);
        Wrote();
        delete[] functions;
        delete[] arguments;
        g_tickTimer.capacity.store(grown, kRelaxed);
        functions = newFunctions;
        arguments = newArguments;
    }

    arguments[n].store(argument, kRelease);
    Wrote();
    functions[n].store(function, kRelease);
    Wrote();
}

void TickUnsubscribe(TickFunction function, void* argument) {
    FunctionSlot* functions = g_tickTimer.functions.load(kAcquire);
    ArgumentSlot* arguments = g_tickTimer.arguments.load(kAcquire);
    if (functions == nullptr || function == nullptr) return;
    int32_t i = 0;
    for (;; i++) {
        TickFunction present = functions[i].load(kAcquire);
        if (present == nullptr) return;
        if (present == function && arguments[i].load(kAcquire) == argument) break;
    }
    // Close the gap slot by slot; the list ends early for a moment at each step
    // but never shows a function beside a foreign argument.
    for (int32_t j = i;; j++) {
        TickFunction next = functions[j + 1].load(kAcquire);
        functions[j + 1].store(nullptr, kRelease);
        Wrote();
        functions[j].store(nullptr, kRelease);
        Wrote();
        arguments[j].store(arguments[j + 1].load(kAcquire), kRelease);
        Wrote();
        functions[j].store(next, kRelease);
        Wrote();
        if (next == nullptr) return;
    }
}

void TickTimerReset() {
    delete[] g_tickTimer.functions.exchange(nullptr);
    delete[] g_tickTimer.arguments.exchange(nullptr);
    g_tickTimer.capacity.store(0);
    g_tickTimer.now.store(0);
    g_tickTimer.interval.store(0);
}
