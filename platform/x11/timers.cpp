#include "platform/x11/timers.h"

namespace {

DWORD StepFor(UINT elapse) {
    if (elapse < USER_TIMER_MINIMUM) elapse = USER_TIMER_MINIMUM;
    if (elapse > USER_TIMER_MAXIMUM) elapse = USER_TIMER_MAXIMUM;
    return (DWORD(elapse) + kTimerGridMs - 1) / kTimerGridMs * kTimerGridMs;
}

// The first grid point at or after `time`.
DWORD GridAtOrAfter(DWORD time) {
    DWORD rest = time % kTimerGridMs;
    return rest == 0 ? time : time + (kTimerGridMs - rest);
}

}  // namespace

UINT_PTR TimerList::Set(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc, DWORD now) {
    DWORD step = StepFor(elapse);
    for (TimerEntry& timer : timers_) {
        if (timer.hwnd == hwnd && timer.id == id) {
            timer.step = step;
            timer.proc = proc;
            timer.due = GridAtOrAfter(now + step);
            return id;
        }
    }
    if (hwnd == NULL) {
        // A fresh id that no timer of this thread uses.
        for (;;) {
            id = nextId_++;
            if (id == 0) continue;
            bool used = false;
            for (const TimerEntry& timer : timers_)
                used |= timer.hwnd == NULL && timer.id == id;
            if (!used) break;
        }
    }
    timers_.push_back(TimerEntry{hwnd, id, step, proc, GridAtOrAfter(now + step)});
    return hwnd == NULL ? id : (id != 0 ? id : 1);
}

bool TimerList::Kill(HWND hwnd, UINT_PTR id) {
    for (size_t i = 0; i < timers_.size(); i++) {
        if (timers_[i].hwnd == hwnd && timers_[i].id == id) {
            timers_.erase(timers_.begin() + long(i));
            return true;
        }
    }
    return false;
}

bool TimerList::Has(HWND hwnd, UINT_PTR id, TIMERPROC proc) const {
    for (const TimerEntry& timer : timers_)
        if (timer.hwnd == hwnd && timer.id == id && timer.proc == proc) return true;
    return false;
}

int TimerList::WaitTime(DWORD now) const {
    int best = -1;
    for (const TimerEntry& timer : timers_) {
        int32_t left = int32_t(timer.due - now);
        int wait = left < 0 ? 0 : int(left);
        if (best < 0 || wait < best) best = wait;
    }
    return best;
}

bool TimerList::FillDue(TimerEntry& timer, DWORD now, bool remove, MSG* msg) {
    // The latest grid point of this timer's chain that has passed.
    DWORD late = now - timer.due;
    DWORD time = timer.due + late / kTimerGridMs * kTimerGridMs;
    msg->hwnd = timer.hwnd;
    msg->message = WM_TIMER;
    msg->wParam = WPARAM(timer.id);
    msg->lParam = LPARAM(reinterpret_cast<uintptr_t>(timer.proc));
    msg->time = time;
    msg->pt = POINT{0, 0};
    if (remove) timer.due = time + timer.step;
    return true;
}

void TimerList::ForgetWindow(HWND hwnd) {
    for (size_t i = timers_.size(); i-- > 0;)
        if (timers_[i].hwnd == hwnd) timers_.erase(timers_.begin() + long(i));
}
