// Timers: the grid rules of the timer list, and timers delivered through the
// thread's message loop.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win32.h"
#include "platform/x11/message_loop.h"
#include "platform/x11/timers.h"

namespace {

void CALLBACK ProcA(HWND, UINT, UINT_PTR, DWORD) {}
void CALLBACK ProcB(HWND, UINT, UINT_PTR, DWORD) {}

bool AcceptAll(const MSG&) {
    return true;
}

TEST(TimerList, FiresOnTheGridAtOrAfterTheTimeOut) {
    TimerList timers;
    UINT_PTR id = timers.Set(NULL, 1, 19, ProcA, 1003);
    ASSERT_NE(id, 0u);
    EXPECT_EQ(timers.WaitTime(1003), 27);  // 1003 + 19 = 1022, next grid point 1030
    MSG msg = {};
    EXPECT_FALSE(timers.TakeDue(1029, true, AcceptAll, &msg));
    ASSERT_TRUE(timers.TakeDue(1031, true, AcceptAll, &msg));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, WPARAM(id));
    EXPECT_EQ(msg.lParam, LPARAM(reinterpret_cast<uintptr_t>(&ProcA)));
    EXPECT_EQ(msg.time, 1030u);  // the grid point, not the late look
    EXPECT_FALSE(timers.TakeDue(1031, true, AcceptAll, &msg));
    // 19 ms rounds up to two grid steps: ticks exactly 20 ms apart.
    std::vector<DWORD> times;
    for (DWORD now = 1032; now < 1200; now += 3)
        if (timers.TakeDue(now, true, AcceptAll, &msg)) times.push_back(msg.time);
    EXPECT_EQ(times, (std::vector<DWORD>{1050, 1070, 1090, 1110, 1130, 1150, 1170, 1190}));
}

TEST(TimerList, LateLoopGetsOneTickStampedWithTheLatestGridPoint) {
    TimerList timers;
    timers.Set(NULL, 1, 20, ProcA, 1000);  // due 1020, then every 20
    MSG msg = {};
    ASSERT_TRUE(timers.TakeDue(1107, true, AcceptAll, &msg));  // 87 ms late
    EXPECT_EQ(msg.time, 1100u);
    EXPECT_FALSE(timers.TakeDue(1107, true, AcceptAll, &msg));  // missed ticks are not made up
    EXPECT_TRUE(timers.TakeDue(1120, true, AcceptAll, &msg));
    EXPECT_EQ(msg.time, 1120u);
    // A look without removing leaves the timer due.
    EXPECT_TRUE(timers.TakeDue(1140, false, AcceptAll, &msg));
    EXPECT_TRUE(timers.TakeDue(1140, true, AcceptAll, &msg));
    EXPECT_FALSE(timers.TakeDue(1140, true, AcceptAll, &msg));
}

TEST(TimerList, ShortTimeOutsAreClampedAndTheCounterMayWrap) {
    TimerList timers;
    timers.Set(NULL, 1, 0, ProcA, 0);
    EXPECT_EQ(timers.WaitTime(0), 10);  // USER_TIMER_MINIMUM
    // Across the counter's wrap the grid is the wrapped counter's: one step
    // comes out a little longer, the ticks after it are 20 apart again.
    TimerList wrapping;
    wrapping.Set(NULL, 1, 20, ProcA, 0xFFFFFFF0u);
    int wait = wrapping.WaitTime(0xFFFFFFF0u);
    EXPECT_GE(wait, 20);
    EXPECT_LT(wait, 30);
    MSG msg = {};
    EXPECT_FALSE(wrapping.TakeDue(0xFFFFFFFFu, true, AcceptAll, &msg));
    ASSERT_TRUE(wrapping.TakeDue(11, true, AcceptAll, &msg));
    EXPECT_EQ(msg.time, 10u);
    EXPECT_FALSE(wrapping.TakeDue(29, true, AcceptAll, &msg));
    ASSERT_TRUE(wrapping.TakeDue(30, true, AcceptAll, &msg));
    EXPECT_EQ(msg.time, 30u);
}

TEST(TimerList, IdsReplacementAndRemoval) {
    TimerList timers;
    UINT_PTR a = timers.Set(NULL, 0, 50, ProcA, 0);
    UINT_PTR b = timers.Set(NULL, 0, 50, ProcB, 0);
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(timers.Set(NULL, a, 30, ProcB, 0), a);  // an existing id is replaced
    EXPECT_EQ(timers.Count(), 2u);
    EXPECT_TRUE(timers.Has(NULL, a, ProcB));
    EXPECT_FALSE(timers.Has(NULL, a, ProcA));
    UINT_PTR fresh = timers.Set(NULL, 999, 30, ProcA, 0);  // unknown id: a new one
    EXPECT_NE(fresh, 999u);
    HWND window = reinterpret_cast<HWND>(0x5000);
    EXPECT_EQ(timers.Set(window, 7, 30, NULL, 0), 7u);  // window timers keep their id
    EXPECT_EQ(timers.Set(window, 7, 40, NULL, 0), 7u);
    EXPECT_EQ(timers.Count(), 4u);
    EXPECT_TRUE(timers.Kill(NULL, a));
    EXPECT_FALSE(timers.Kill(NULL, a));
    EXPECT_FALSE(timers.Kill(NULL, 7));  // the window's id is not a thread timer
    timers.ForgetWindow(window);
    EXPECT_EQ(timers.Count(), 2u);
    EXPECT_EQ(TimerList().WaitTime(0), -1);
}

// Timers through the real loop.
std::vector<DWORD> g_times;
void CALLBACK Record(HWND, UINT message, UINT_PTR, DWORD time) {
    EXPECT_EQ(message, UINT(WM_TIMER));
    g_times.push_back(time);
}
int g_forged = 0;
void CALLBACK Forged(HWND, UINT, UINT_PTR, DWORD) {
    g_forged++;
}

TEST(MessageLoopTimers, ThreadTimerCallsItsProcedureOnThisThread) {
    g_times.clear();
    UINT_PTR id = SetTimer(NULL, 1, 19, Record);
    ASSERT_NE(id, 0u);
    MSG msg;
    DWORD start = GetTickCount();
    while (g_times.size() < 5 && GetTickCount() - start < 3000) {
        ASSERT_GT(GetMessage(&msg, NULL, 0, 0), 0);
        if (msg.message == WM_TIMER) {
            EXPECT_EQ(msg.wParam, WPARAM(id));
        }
        DispatchMessage(&msg);
    }
    ASSERT_EQ(g_times.size(), 5u);
    for (size_t i = 1; i < g_times.size(); i++)
        EXPECT_EQ(g_times[i] - g_times[i - 1], 20u);
    EXPECT_LE(int32_t(g_times.back() - GetTickCount()), 0);  // never ahead of the clock
    EXPECT_TRUE(KillTimer(NULL, id));
    EXPECT_FALSE(KillTimer(NULL, id));
    Sleep(30);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));  // no tick after the kill
}

TEST(MessageLoopTimers, DispatchCallsOnlyTheProcedureOfALiveTimer) {
    g_forged = 0;
    MSG msg = {};
    msg.message = WM_TIMER;
    msg.wParam = 1;
    msg.lParam = LPARAM(reinterpret_cast<uintptr_t>(&Forged));
    EXPECT_EQ(DispatchMessage(&msg), 0);
    EXPECT_EQ(g_forged, 0);
    EXPECT_EQ(DispatchMessage(nullptr), 0);
    HWND unknown = reinterpret_cast<HWND>(0x7777);
    EXPECT_EQ(SetTimer(unknown, 1, 20, Forged), 0u);  // not a window of this thread
}

}  // namespace
