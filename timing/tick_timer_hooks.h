// Seams of the tick service for tests: the platform calls it makes, a hook
// that sees every single write to the subscriber slots, and a reset.
#pragma once

#include "timing/tick_timer.h"

struct TickTimerPlatform {
    DWORD (*getTickCount)();
    void (*sleep)(DWORD milliseconds);
    UINT_PTR (*setTimer)(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
};

// The real GetTickCount, Sleep and SetTimer unless a test replaces them.
extern TickTimerPlatform g_tickTimerPlatform;

// Called after every write to a slot or an array pointer, when set.
extern void (*g_tickListWriteHook)();

// Frees the arrays and returns the service to "not started". The system timer,
// if one was set, is left to the caller.
void TickTimerReset();
