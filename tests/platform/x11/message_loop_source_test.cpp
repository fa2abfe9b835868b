// The loop's extension points: a message source over a pipe, the window
// dispatcher, the window-owner lookup and the translator.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/win32.h"
#include "platform/x11/message_loop.h"

namespace {

// Bytes written into a pipe become WM_USER + byte for the thread that owns the
// source; `buffered` stands for input the source already holds (as Xlib does),
// which no readable fd announces.
struct PipeSource {
    int fds[2] = {-1, -1};
    DWORD owner = 0;
    std::atomic<bool> enabled{false};
    std::atomic<int> buffered{0};
    std::atomic<int> pumps{0};
    std::atomic<int> quietWaits{0}, readableWaits{0};

    static int Fd(void* ctx) {
        auto* self = static_cast<PipeSource*>(ctx);
        return self->enabled ? self->fds[0] : -1;
    }
    static bool Pump(void* ctx) {
        auto* self = static_cast<PipeSource*>(ctx);
        if (!self->enabled) return false;
        self->pumps++;
        bool posted = false;
        unsigned char byte;
        while (read(self->fds[0], &byte, 1) == 1)
            posted |= PostThreadMessage(self->owner, WM_USER + byte, 0, 0) != FALSE;
        for (int n = self->buffered.exchange(0); n > 0; n--)
            posted |= PostThreadMessage(self->owner, WM_USER + 200, 0, 0) != FALSE;
        return posted;
    }
    static void Polled(void* ctx, bool readable) {
        auto* self = static_cast<PipeSource*>(ctx);
        if (!self->enabled) return;
        (readable ? self->readableWaits : self->quietWaits)++;
    }
};

// One source for the whole test program (sources are never removed).
PipeSource& Source() {
    static PipeSource* source = [] {
        auto* s = new PipeSource;
        if (pipe2(s->fds, O_NONBLOCK | O_CLOEXEC) != 0) ADD_FAILURE() << "no pipe";
        AddMessageSource(MessageSource{PipeSource::Fd, PipeSource::Pump, s, PipeSource::Polled});
        return s;
    }();
    return *source;
}

// Turns the source on for one test.
struct SourceOn {
    SourceOn() {
        EnsureThreadQueue();
        Source().owner = GetCurrentThreadId();
        Source().enabled = true;
    }
    ~SourceOn() { Source().enabled = false; }
};

TEST(MessageLoopSource, InputOnTheSourceFdWakesGetMessage) {
    SourceOn on;
    std::thread writer([] {
        Sleep(30);
        unsigned char byte = 42;
        ASSERT_EQ(write(Source().fds[1], &byte, 1), 1);
    });
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);  // waits on the pipe
    EXPECT_EQ(msg.message, UINT(WM_USER + 42));
    writer.join();
}

TEST(MessageLoopSource, InputHeldByTheSourceIsPumpedBeforeWaiting) {
    SourceOn on;
    Source().buffered = 2;  // nothing readable on the fd
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_USER + 200));
    ASSERT_TRUE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER + 200));
    EXPECT_GT(Source().pumps.load(), 0);
}

// The source hears after each wait whether its fd had input: not after a wait that
// ended with a timer, yes after one that ended with a byte on the pipe.
TEST(MessageLoopSource, TheSourceIsToldWhetherTheWaitFoundItsFdReadable) {
    SourceOn on;
    Source().quietWaits = 0;
    Source().readableWaits = 0;
    const UINT_PTR timer = SetTimer(NULL, 0, 10, nullptr);
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    KillTimer(NULL, timer);
    EXPECT_GT(Source().quietWaits.load(), 0);
    EXPECT_EQ(Source().readableWaits.load(), 0);

    std::thread writer([] {
        Sleep(20);
        unsigned char byte = 7;
        ASSERT_EQ(write(Source().fds[1], &byte, 1), 1);
    });
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.message, UINT(WM_USER + 7));
    EXPECT_EQ(Source().readableWaits.load(), 1);
    writer.join();
}

// Windows of this test: 0x100 belongs to the thread in g_owner, 0x200 to none.
std::atomic<DWORD> g_owner{0};
DWORD OwnerOf(HWND hwnd) {
    return hwnd == reinterpret_cast<HWND>(0x100) ? g_owner.load() : 0;
}
int g_dispatched = 0;
UINT g_lastMessage = 0;
LRESULT Dispatch(const MSG* msg) {
    g_dispatched++;
    g_lastMessage = msg->message;
    return 99;
}
BOOL Translate(const MSG* msg) {
    return msg->message == WM_USER + 1;
}
int g_windowTimerTicks = 0;
void CALLBACK WindowTimerProc(HWND hwnd, UINT, UINT_PTR id, DWORD) {
    EXPECT_EQ(hwnd, reinterpret_cast<HWND>(0x100));
    EXPECT_EQ(id, 5u);
    g_windowTimerTicks++;
}

struct WindowHooks {
    WindowHooks() {
        EnsureThreadQueue();
        g_owner = GetCurrentThreadId();
        previousDispatch = SetWindowDispatcher(Dispatch);
        previousResolver = SetWindowThreadResolver(OwnerOf);
        previousTranslator = SetMessageTranslator(Translate);
        g_dispatched = 0;
    }
    ~WindowHooks() {
        SetWindowDispatcher(previousDispatch);
        SetWindowThreadResolver(previousResolver);
        SetMessageTranslator(previousTranslator);
    }
    WindowDispatcher previousDispatch;
    WindowThreadResolver previousResolver;
    MessageTranslator previousTranslator;
};

TEST(MessageLoopWindows, PostsFromAnyThreadReachTheWindowsDispatcher) {
    WindowHooks hooks;
    HWND window = reinterpret_cast<HWND>(0x100);
    std::thread poster([window] { EXPECT_TRUE(PostWindowMessage(window, WM_USER + 3, 1, 2)); });
    poster.join();
    EXPECT_FALSE(PostWindowMessage(reinterpret_cast<HWND>(0x200), WM_USER, 0, 0));
    MSG msg;
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, UINT(WM_USER + 3));
    EXPECT_EQ(msg.wParam, WPARAM(1));
    EXPECT_EQ(msg.lParam, LPARAM(2));
    EXPECT_FALSE(TranslateMessage(&msg));
    EXPECT_EQ(DispatchMessage(&msg), 99);
    EXPECT_EQ(g_dispatched, 1);
    EXPECT_EQ(g_lastMessage, UINT(WM_USER + 3));

    // A null window posts to the calling thread; thread messages are not
    // dispatched to windows.
    EXPECT_TRUE(PostWindowMessage(NULL, WM_USER + 1, 0, 0));
    ASSERT_EQ(GetMessage(&msg, NULL, 0, 0), 1);
    EXPECT_TRUE(TranslateMessage(&msg));
    EXPECT_EQ(DispatchMessage(&msg), 0);
    EXPECT_EQ(g_dispatched, 1);
}

TEST(MessageLoopWindows, WindowTimersAndDiscardedWindows) {
    WindowHooks hooks;
    HWND window = reinterpret_cast<HWND>(0x100);
    g_windowTimerTicks = 0;
    ASSERT_EQ(SetTimer(window, 5, 10, WindowTimerProc), 5u);
    ASSERT_EQ(SetTimer(window, 6, 10, NULL), 6u);  // WM_TIMER for the window procedure
    MSG msg;
    int toWindow = 0;
    while (g_windowTimerTicks < 2 || toWindow < 2) {
        ASSERT_EQ(GetMessage(&msg, window, 0, 0), 1);
        ASSERT_EQ(msg.message, UINT(WM_TIMER));
        if (msg.wParam == 6) toWindow++;
        DispatchMessage(&msg);
    }
    EXPECT_EQ(g_dispatched, toWindow);

    PostWindowMessage(window, WM_USER + 4, 0, 0);
    DiscardWindowMessages(window);  // the window is going away
    Sleep(25);
    EXPECT_FALSE(PeekMessage(&msg, NULL, 0, 0, PM_REMOVE));  // no message, no timer
    EXPECT_FALSE(KillTimer(window, 5));
}

}  // namespace
