#include "timing/tick_timer.h"

TickTimer g_tickTimer;

// Stubs until the service lands.
UINT TickTimerStart(UINT, int) {
    return 0;
}
void CALLBACK TickTimerProc(HWND, UINT, UINT_PTR, DWORD) {}
void TickSubscribe(TickFunction, void*) {}
void TickUnsubscribe(TickFunction, void*) {}
uint32_t TickIntervalFor(uint32_t, uint32_t) {
    return 10;
}
