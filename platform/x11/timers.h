// The timers of one thread's message queue. Like Windows' timers they are
// coarse: they fire on a 10 ms grid of the GetTickCount clock, at the first grid
// point at or after they are due, and a timer message carries the time of that
// grid point. So a 19 ms timer ticks every 20 ms, at times exactly 20 apart,
// however late the loop gets round to it. Missed ticks are not made up: a late
// loop receives one message, stamped with the latest grid point it passed.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

constexpr DWORD kTimerGridMs = 10;

struct TimerEntry {
    HWND hwnd;
    UINT_PTR id;
    DWORD step;  // the time-out rounded up to whole grid steps
    TIMERPROC proc;
    DWORD due;  // a grid point
};

// Not locked: its owner (the thread's queue) serialises the calls.
class TimerList {
  public:
    // SetTimer for this thread at time `now`. A timer without a window keeps the
    // id it is given if this thread already has such a timer; otherwise it gets
    // a new one. Returns the timer's id, or 0.
    UINT_PTR Set(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc, DWORD now);
    bool Kill(HWND hwnd, UINT_PTR id);
    bool Has(HWND hwnd, UINT_PTR id, TIMERPROC proc) const;
    // Milliseconds until the earliest timer is due (0 if one is due), -1 if none.
    int WaitTime(DWORD now) const;
    // The first due timer whose message passes `accept`: fills `msg` and, if
    // `remove`, schedules the timer's next tick. Returns false if there is none.
    template <class Accept>
    bool TakeDue(DWORD now, bool remove, Accept accept, MSG* msg);
    // Drops every timer of a window.
    void ForgetWindow(HWND hwnd);
    size_t Count() const { return timers_.size(); }

  private:
    bool FillDue(TimerEntry& timer, DWORD now, bool remove, MSG* msg);
    std::vector<TimerEntry> timers_;
    UINT_PTR nextId_ = 1;
};

template <class Accept>
bool TimerList::TakeDue(DWORD now, bool remove, Accept accept, MSG* msg) {
    for (TimerEntry& timer : timers_) {
        if (int32_t(now - timer.due) < 0) continue;
        MSG candidate = {};
        candidate.hwnd = timer.hwnd;
        candidate.message = WM_TIMER;
        if (!accept(candidate)) continue;
        return FillDue(timer, now, remove, msg);
    }
    return false;
}
