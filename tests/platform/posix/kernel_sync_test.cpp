// Events, waits, handles and critical sections of the kernel subset.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

TEST(KernelEvents, AutoResetEventReleasesOneWaitPerSet) {
    HANDLE event = CreateEvent(NULL, FALSE, FALSE, NULL);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(SetEvent(event));
    EXPECT_TRUE(SetEvent(event));  // sets do not add up
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT));

    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; i++)
        waiters.emplace_back([&] {
            if (WaitForSingleObject(event, 2000) == WAIT_OBJECT_0) woken++;
        });
    Sleep(20);
    SetEvent(event);
    Sleep(50);
    EXPECT_EQ(woken.load(), 1);
    SetEvent(event);
    SetEvent(event);  // may land before the second waiter took the first
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_GE(woken.load(), 2);
    EXPECT_TRUE(CloseHandle(event));
}

TEST(KernelEvents, ManualResetEventStaysSetUntilReset) {
    HANDLE event = CreateEvent(NULL, TRUE, TRUE, NULL);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    std::atomic<int> woken{0};
    EXPECT_TRUE(ResetEvent(event));
    std::thread a([&] { woken += WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0; });
    std::thread b([&] { woken += WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0; });
    Sleep(10);
    SetEvent(event);  // releases every waiter
    a.join();
    b.join();
    EXPECT_EQ(woken.load(), 2);
    CloseHandle(event);
}

TEST(KernelEvents, TimedWaitTimesOut) {
    HANDLE event = CreateEvent(NULL, FALSE, FALSE, NULL);
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForSingleObject(event, 30), DWORD(WAIT_TIMEOUT));
    EXPECT_GE(GetTickCount() - start, 29u);
    CloseHandle(event);
}

TEST(KernelHandles, BadAndClosedHandlesFailQuietly) {
    EXPECT_EQ(CreateEvent(NULL, FALSE, FALSE, "named"), nullptr);
    EXPECT_EQ(WaitForSingleObject(NULL, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, INFINITE), WAIT_FAILED);
    EXPECT_FALSE(SetEvent(NULL));
    EXPECT_FALSE(CloseHandle(NULL));
    HANDLE event = CreateEvent(NULL, FALSE, TRUE, NULL);
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_FAILED);
    HANDLE next = CreateEvent(NULL, FALSE, FALSE, NULL);
    EXPECT_NE(next, event);                         // handle values are not reused
    EXPECT_FALSE(ResumeThread(next) != DWORD(-1));  // an event is no thread
    CloseHandle(next);
}

TEST(KernelCriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the owner may enter again
    std::atomic<int> tried{-1};
    std::thread other([&] { tried = TryEnterCriticalSection(&section); });
    other.join();
    EXPECT_EQ(tried.load(), FALSE);
    LeaveCriticalSection(&section);
    std::thread again([&] { tried = TryEnterCriticalSection(&section); });
    again.join();
    EXPECT_EQ(tried.load(), FALSE);  // still held once
    LeaveCriticalSection(&section);

    long counter = 0;  // guarded by the section only
    auto add = [&] {
        for (int i = 0; i < 20000; i++) {
            EnterCriticalSection(&section);
            counter++;
            LeaveCriticalSection(&section);
        }
    };
    std::thread x(add), y(add);
    x.join();
    y.join();
    EXPECT_EQ(counter, 40000);
    DeleteCriticalSection(&section);
}

TEST(KernelTime, TickCountIsAMonotonicMillisecondClock) {
    DWORD a = GetTickCount();
    Sleep(25);
    DWORD b = GetTickCount();
    EXPECT_GE(b - a, 25u);
    EXPECT_LT(b - a, 2000u);
    DWORD previous = GetTickCount();
    for (int i = 0; i < 1000; i++) {
        DWORD now = GetTickCount();
        EXPECT_LE(int32_t(previous - now), 0);
        previous = now;
    }
    Sleep(0);  // yields and returns
}

}  // namespace
