// The saver windows on the test display: the full-screen window's handlers
// and the preview's paint release, with a real engine behind them.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/ball_engine.h"
#include "platform/framework/winapp.h"
#include "tests/support/x11_display.h"
#include "ui/full_screen_wnd.h"

namespace {

using namespace std::chrono_literals;

// Removes and counts the WM_CLOSE messages posted to hwnd.
int TakeCloses(HWND hwnd) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        ++count;
    return count;
}

void DropMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

// The worker sleeps from here on, so the engine and the window DC rest.
void Rest(BallEngine* engine) {
    if (engine != nullptr && engine->worker.thread != nullptr)
        engine->worker.Command(CmdIdle | FlagAck, 0);
}

class FullScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testx::SharedDisplay(), nullptr) << "no Xvfb";
        m_wnd = new CFullScreenWnd;
        m_wnd->m_fullScreen = 1;
        ASSERT_EQ(m_wnd->CreateFullScreen(2, 40, 33), 1);
        m_hwnd = m_wnd->m_hWnd;
        m_engine = m_wnd->m_engine;
    }
    void TearDown() override {
        Rest(m_engine);
        // Destroying the window deletes the window object; the engine, whose
        // worker exists, stays as in the program.
        if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
        DropMessages();
    }
    LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) {
        return SendMessageA(m_hwnd, message, w, l);
    }

    CFullScreenWnd* m_wnd = nullptr;
    HWND m_hwnd = nullptr;
    BallEngine* m_engine = nullptr;
};

TEST_F(FullScreen, CoversThePrimaryScreenAndWaitsForItsFirstPaint) {
    RECT rect;
    ASSERT_TRUE(GetClientRect(m_hwnd, &rect));
    EXPECT_EQ(rect.right, testx::kScreenWidth);
    EXPECT_EQ(rect.bottom, testx::kScreenHeight);
    EXPECT_EQ(m_wnd->m_style, -1);  // no mouse position seen yet
    BallEngine* engine = m_wnd->m_engine;
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->frame.width, testx::kScreenWidth);
    EXPECT_EQ(engine->ballSize, 33);
    EXPECT_EQ(engine->formationAllowed, 1);
    EXPECT_NE(engine->worker.thread, nullptr);

    // The worker runs, but nothing is presented before the first paint.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(engine->introState.load(), kIntroWaitingForPaint);
    Send(WM_NCPAINT, 1);  // the non-client paint is the preview's, not ours
    EXPECT_EQ(engine->introState.load(), kIntroWaitingForPaint);
    Send(WM_PAINT);
    EXPECT_NE(engine->introState.load(), kIntroWaitingForPaint);
    EXPECT_EQ(engine->repaintAll.load() | 1, 1);
}

TEST_F(FullScreen, NothingIsErasedOrDrawnUntilPaintedThenTheIntroRuns) {
    // The window is up over the root, but the message loop has not run: the
    // screen shows what was there (no background brush), and the engine waits.
    Display* d = testx::ForeignDisplay();
    const int screen = DefaultScreen(d);
    XSync(d, False);
    std::this_thread::sleep_for(300ms);
    auto pixel = [&](int x, int y) {
        XImage* image = XGetImage(d, RootWindow(d, screen), x, y, 1, 1, AllPlanes, ZPixmap);
        const unsigned long value = image != nullptr ? XGetPixel(image, 0, 0) : 0xFFFFFFFF;
        if (image != nullptr) XDestroyImage(image);
        return static_cast<uint32_t>(value & 0xFFFFFF);
    };
    const uint32_t before = pixel(5, 5);
    EXPECT_NE(before, 0x2A003Fu);
    // Run the loop: the exposure paints, the intro starts and draws the
    // violet background.
    MSG msg;
    const auto end = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < end && pixel(5, 5) == before) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_NE(m_wnd->m_engine->introState.load(), kIntroWaitingForPaint);
    const uint32_t after = pixel(5, 5);
    EXPECT_GT(after & 0xFF, (after >> 8) & 0xFF) << std::hex << after;  // violet: blue over green
}

TEST_F(FullScreen, OnlyASidewaysMouseMoveCloses) {
    DropMessages();
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 50));  // the first position is remembered
    EXPECT_EQ(m_wnd->m_style, 100);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 51));
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 0));
    EXPECT_EQ(TakeCloses(m_hwnd), 0);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(101, 0));
    EXPECT_EQ(TakeCloses(m_hwnd), 1);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-1), 0));  // signed coordinates
    EXPECT_EQ(TakeCloses(m_hwnd), 1);
    EXPECT_EQ(m_wnd->m_style, 100);
}

TEST_F(FullScreen, KeysButtonsAndTheWheelClose) {
    DropMessages();
    const UINT closing[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN,
                            WM_KEYDOWN,     WM_SYSKEYDOWN,  WM_MOUSEWHEEL};
    for (UINT message : closing) {
        Send(message, message == WM_MOUSEWHEEL ? MAKEWPARAM(0, 120) : 0, 0);
        EXPECT_EQ(TakeCloses(m_hwnd), 1) << std::hex << message;
    }
    const UINT quiet[] = {WM_LBUTTONUP, WM_KEYUP, WM_SYSKEYUP, WM_RBUTTONUP};
    for (UINT message : quiet) {
        Send(message);
        EXPECT_EQ(TakeCloses(m_hwnd), 0) << std::hex << message;
    }
    EXPECT_TRUE(IsWindow(m_hwnd));  // posting only: the close comes through the loop
}

TEST_F(FullScreen, LosingActivationCloses) {
    DropMessages();
    Send(WM_ACTIVATE, WA_ACTIVE);
    Send(WM_ACTIVATE, WA_CLICKACTIVE);
    Send(WM_ACTIVATEAPP, TRUE);
    EXPECT_EQ(TakeCloses(m_hwnd), 0);
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(TakeCloses(m_hwnd), 1);
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_EQ(TakeCloses(m_hwnd), 1);
    EXPECT_EQ(Send(WM_NCACTIVATE, FALSE), FALSE);
    EXPECT_EQ(Send(WM_NCACTIVATE, TRUE), TRUE);
}

TEST_F(FullScreen, CloseAndScreenSaveCommandsAreSwallowedAndAltF4StillCloses) {
    DropMessages();
    Send(WM_SYSCOMMAND, SC_CLOSE);
    Send(WM_SYSCOMMAND, SC_SCREENSAVE);
    EXPECT_TRUE(IsWindow(m_hwnd));
    EXPECT_EQ(TakeCloses(m_hwnd), 0);
    // Alt+F4: the key press posts the close, the system command it makes is
    // swallowed.
    Send(WM_SYSKEYDOWN, VK_F4, 1L << 29);
    EXPECT_TRUE(IsWindow(m_hwnd));
    EXPECT_EQ(TakeCloses(m_hwnd), 1);
}

TEST_F(FullScreen, HidesTheCursorAndEndsTheLoopWhenClosed) {
    DropMessages();
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hwnd), MAKELPARAM(HTCLIENT, 0)), TRUE);
    Send(WM_CLOSE);  // the default handling destroys the window
    EXPECT_FALSE(IsWindow(m_hwnd));
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
    // A close request that comes after the window is gone finds nothing.
    EXPECT_FALSE(PostMessageA(m_hwnd, WM_CLOSE, 0, 0));
    // The engine outlives the window object: its worker still exists.
    EXPECT_NE(m_engine->worker.thread, nullptr);
}

TEST(Preview, RunsInsideAForeignWindowAndItsPaintReleasesTheWait) {
    ASSERT_NE(testx::SharedDisplay(), nullptr);
    Display* d = testx::ForeignDisplay();
    const Window host = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 120, 90, 0, 0, 0);
    XMapWindow(d, host);
    XSync(d, False);
    CWnd* parent = CWnd::FromHandle(reinterpret_cast<HWND>(static_cast<uintptr_t>(host)));
    RECT rect;
    ASSERT_TRUE(::GetClientRect(parent->m_hWnd, &rect));
    auto* preview = new CSaverWnd;
    preview->m_style = 3;
    preview->m_fullScreen = 0;
    ASSERT_EQ(preview->CreateAndStart(0, WS_CHILD | WS_VISIBLE, rect, parent, 0), 1);
    BallEngine* engine = preview->m_engine;
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->frame.width, 120);
    EXPECT_EQ(engine->frame.height, 90);
    EXPECT_EQ(engine->introState.load(), kIntroWaitingForPaint);
    // Input means nothing to the preview.
    preview->SendMessage(WM_KEYDOWN, 'A');
    preview->SendMessage(WM_LBUTTONDOWN);
    EXPECT_EQ(TakeCloses(preview->m_hWnd), 0);
    preview->SendMessage(WM_NCPAINT, 1);
    EXPECT_EQ(engine->introState.load(), 1);
    EXPECT_EQ(engine->repaintAll.load(), 1);
    Rest(engine);
    XDestroyWindow(d, host);
    XSync(d, False);
    DropMessages();
}

TEST(Preview, AHostThatIsNoWindowGivesNoPreview) {
    ASSERT_NE(testx::SharedDisplay(), nullptr);
    CSaverWnd preview;
    const RECT rect = {0, 0, 100, 100};
    CWnd* parent = CWnd::FromHandle(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1FFFFF00)));
    EXPECT_EQ(preview.CreateAndStart(0, WS_CHILD | WS_VISIBLE, rect, parent, 0), 0);
    EXPECT_EQ(preview.m_engine, nullptr);
    EXPECT_EQ(preview.m_hWnd, nullptr);
}

}  // namespace
