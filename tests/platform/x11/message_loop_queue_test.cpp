// The thread message queue: posting, order, filters, quitting, limits.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32.h"
#include "platform/x11/message_loop.h"

namespace {

void Drain() {
    MSG msg;
    while (PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
    }
}

TEST(MessageLoopQueue, PostedMessagesComeInOrderThenQuit) {
    EnsureThreadQueue();
    Drain();
    DWORD self = GetCurrentThreadId();
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 1, 11, 12));
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 2, 21, 22));
    PostQuitMessage(3);
    ASSERT_TRUE(PostThreadMessage(self, WM_USER + 3, 31, 32));  // quit comes after all posts
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_USER + 1));
    EXPECT_EQ(msg.wParam, WPARAM(11));
    EXPECT_EQ(msg.lParam, LPARAM(12));
    EXPECT_EQ(msg.hwnd, nullptr);
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_USER + 2));
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_USER + 3));
    EXPECT_EQ(GetMessage(&msg, NULL, 0, 0), 0);
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));  // the quit is taken once
    EXPECT_EQ(GetMessage(nullptr, NULL, 0, 0), -1);
}

TEST(MessageLoopQueue, PeekCanLeaveAMessageAndFiltersSelect) {
    EnsureThreadQueue();
    Drain();
    DWORD self = GetCurrentThreadId();
    PostThreadMessage(self, WM_USER + 5, 0, 0);
    PostThreadMessage(self, WM_USER + 9, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    ASSERT_TRUE(PeekMessage(&msg, NULL, WM_USER + 8, WM_USER + 10, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 9));  // passed over the first
    HWND window = reinterpret_cast<HWND>(0x1234);
    EXPECT_FALSE(PeekMessage(&msg, window, 0, 0, PM_REMOVE));  // not for that window
    ASSERT_TRUE(PeekMessage(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 5));
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
}

TEST(MessageLoopQueue, PostingFromAnotherThreadWakesTheWait) {
    EnsureThreadQueue();
    Drain();
    DWORD self = GetCurrentThreadId();
    std::thread poster([self] {
        Sleep(30);
        PostThreadMessage(self, WM_USER + 7, 70, 0);
    });
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);  // blocks until the post
    EXPECT_EQ(msg.message, UINT(WM_USER + 7));
    EXPECT_EQ(msg.wParam, WPARAM(70));
    poster.join();
}

TEST(MessageLoopQueue, ThreadsWithoutAQueueCannotBePosted) {
    EXPECT_FALSE(PostThreadMessage(0, WM_USER, 0, 0));
    DWORD ended = 0;
    std::thread other([&] {
        EnsureThreadQueue();
        ended = GetCurrentThreadId();
    });
    other.join();
    EXPECT_FALSE(PostThreadMessage(ended, WM_USER, 0, 0));  // its queue ended with it
}

TEST(MessageLoopQueue, AFullQueueRefusesMorePosts) {
    EnsureThreadQueue();
    Drain();
    DWORD self = GetCurrentThreadId();
    int accepted = 0;
    for (int i = 0; i < 10050; i++)
        accepted += PostThreadMessage(self, WM_USER, WPARAM(i), 0);
    EXPECT_EQ(accepted, 10000);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(0));
    EXPECT_TRUE(PostThreadMessage(self, WM_USER, 0, 0));  // room again
    Drain();
}

}  // namespace
