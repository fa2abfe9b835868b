// Windows of the X11 user subset and the framework's CWnd over them: foreign
// parents, destruction from outside, message maps and the event translation.
// GoogleTest before Xlib, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/framework/winapp.h"
#include "platform/x11/events.h"
#include "platform/x11/window.h"
#include "tests/support/x11_display.h"

namespace {

using namespace std::chrono_literals;

// Records the messages its windows get.
std::vector<UINT> g_seen;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    g_seen.push_back(message);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LPCSTR RecordingClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "RecordingClass";
        registered = RegisterClassA(&wc) != 0;
    }
    return "RecordingClass";
}

Window ForeignWindow(int width, int height) {
    Display* d = testx::ForeignDisplay();
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, width, height, 0, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

HWND AsHandle(uintptr_t value) {
    return reinterpret_cast<HWND>(value);
}

// Dispatches the posted messages for up to `time`, or until `done` holds.
template <typename Done>
bool PumpUntil(Done done, std::chrono::milliseconds time = 2000ms) {
    const auto end = std::chrono::steady_clock::now() + time;
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return done();
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (done()) return true;
        }
        if (done()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return done();
}

class X11Windows : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testx::SharedDisplay(), nullptr) << "no Xvfb";
        g_seen.clear();
    }
};

TEST_F(X11Windows, ChildOfAHandleThatIsNoWindowIsNotCreated) {
    Window gone = ForeignWindow(20, 20);
    XDestroyWindow(testx::ForeignDisplay(), gone);
    XSync(testx::ForeignDisplay(), False);
    const uintptr_t minusFive = static_cast<uintptr_t>(-5);
    for (uintptr_t handle : {uintptr_t(0), minusFive, uintptr_t(123456), uintptr_t(gone),
                             uintptr_t(0xFFFFFFFFu), uintptr_t(0x20000000u)}) {
        EXPECT_FALSE(IsWindow(AsHandle(handle))) << handle;
        RECT rect = {1, 2, 3, 4};
        EXPECT_FALSE(GetClientRect(AsHandle(handle), &rect)) << handle;
        EXPECT_EQ(rect.right, 0);
        EXPECT_EQ(CreateWindowExA(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                  AsHandle(handle), nullptr, nullptr, nullptr),
                  nullptr)
            << handle;
    }
    EXPECT_TRUE(g_seen.empty());
    // Still connected and working after the errors.
    const Window host = ForeignWindow(30, 20);
    EXPECT_TRUE(IsWindow(AsHandle(host)));
    XDestroyWindow(testx::ForeignDisplay(), host);
    XSync(testx::ForeignDisplay(), False);
}

TEST_F(X11Windows, ChildOfAForeignWindowFillsItTakesNoInputAndEndsWithIt) {
    const Window host = ForeignWindow(90, 70);
    RECT rect;
    ASSERT_TRUE(GetClientRect(AsHandle(host), &rect));
    EXPECT_EQ(rect.right, 90);
    EXPECT_EQ(rect.bottom, 70);
    HWND child = CreateWindowExA(0, RecordingClass(), "", WS_CHILD | WS_VISIBLE, 0, 0, rect.right,
                                 rect.bottom, AsHandle(host), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(IsWindow(child));
    EXPECT_EQ(GetParent(child), AsHandle(host));
    EXPECT_FALSE(DestroyWindow(AsHandle(host)));  // not ours to destroy
    ASSERT_TRUE(IsWindow(AsHandle(host)));

    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(testx::ForeignDisplay(), X11WindowId(child), &attributes));
    EXPECT_EQ(attributes.width, 90);
    EXPECT_EQ(attributes.your_event_mask & (KeyPressMask | ButtonPressMask | PointerMotionMask), 0);
    const std::vector<UINT> created = g_seen;
    ASSERT_GE(created.size(), 2u);
    EXPECT_EQ(created[0], static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(created[1], static_cast<UINT>(WM_CREATE));

    const auto start = std::chrono::steady_clock::now();
    XDestroyWindow(testx::ForeignDisplay(), host);
    XSync(testx::ForeignDisplay(), False);
    auto has = [](UINT m) { return std::find(g_seen.begin(), g_seen.end(), m) != g_seen.end(); };
    EXPECT_TRUE(PumpUntil([&] { return has(WM_NCDESTROY); }, 1000ms));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_TRUE(has(WM_DESTROY));
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(X11Windows, ClassNamesCompareWithoutRegardToLetterCase) {
    RecordingClass();
    // As on Windows: a name in other letter case is the same class, found by
    // lookups and creation, and cannot be registered a second time.
    WNDCLASSA wc = {};
    EXPECT_TRUE(GetClassInfoA(nullptr, "recordingCLASS", &wc));
    EXPECT_EQ(wc.lpfnWndProc, &RecordingProc);
    WNDCLASSA again = {};
    again.lpfnWndProc = RecordingProc;
    again.lpszClassName = "RECORDINGCLASS";
    EXPECT_EQ(RegisterClassA(&again), 0);
    HWND window = CreateWindowExA(0, "RECORDINGclass", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(GetClassInfoA(nullptr, "RecordingClas", &wc));
}

TEST_F(X11Windows, TopLevelWindowsStartAtThePrimaryScreensOrigin) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), testx::kScreenWidth);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), testx::kScreenHeight);
    HWND popup =
        CreateWindowExA(WS_EX_TOPMOST, RecordingClass(), "", WS_POPUP, 0, 0, testx::kScreenWidth,
                        testx::kScreenHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(popup, nullptr);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(testx::ForeignDisplay(), X11WindowId(popup), &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.map_state, IsUnmapped);  // created without WS_VISIBLE
    EXPECT_FALSE(ShowWindow(popup, SW_SHOW));
    XSync(testx::ForeignDisplay(), False);
    EXPECT_TRUE(ShowWindow(popup, SW_SHOW));
    g_seen.clear();
    EXPECT_TRUE(DestroyWindow(popup));
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(DestroyWindow(popup));
    ASSERT_GE(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[g_seen.size() - 2], static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(g_seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

// The translation of X events into the messages of a window.
class EventTranslation : public X11Windows {
  protected:
    void SetUp() override {
        X11Windows::SetUp();
        m_hwnd = CreateWindowExA(0, RecordingClass(), "", WS_POPUP, 0, 0, 50, 40, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void TearDown() override { DestroyWindow(m_hwnd); }

    XEvent Event(int type) {
        XEvent e = {};
        e.type = type;
        e.xany.window = X11WindowId(m_hwnd);
        e.xany.display = X11Display();
        return e;
    }

    std::vector<MSG> Posted() {
        std::vector<MSG> out;
        MSG msg;
        while (PeekMessageA(&msg, m_hwnd, 0, 0, PM_REMOVE))
            out.push_back(msg);
        return out;
    }

    XEvent Key(KeySym sym, unsigned state, int type = KeyPress) {
        XEvent e = Event(type);
        e.xkey.keycode = XKeysymToKeycode(X11Display(), sym);
        e.xkey.state = state;
        return e;
    }

    HWND m_hwnd = nullptr;
};

TEST_F(EventTranslation, KeysBecomeKeyAndSystemKeyMessages) {
    X11TranslateEvent(Key(XK_a, 0));
    X11TranslateEvent(Key(XK_Alt_L, 0));
    X11TranslateEvent(Key(XK_F4, Mod1Mask));
    X11TranslateEvent(Key(XK_a, 0, KeyRelease));
    const std::vector<MSG> msgs = Posted();
    ASSERT_EQ(msgs.size(), 4u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(msgs[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(msgs[0].lParam & (1L << 29), 0);
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(msgs[1].wParam, static_cast<WPARAM>(VK_MENU));
    EXPECT_NE(msgs[1].lParam & (1L << 29), 0);
    EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(msgs[2].wParam, static_cast<WPARAM>(VK_F4));
    EXPECT_NE(msgs[2].lParam & (1L << 29), 0);
    EXPECT_EQ(msgs[3].message, static_cast<UINT>(WM_KEYUP));
    // Alt+F4 asks the window to close through its system command.
    g_seen.clear();
    SendMessageA(m_hwnd, msgs[2].message, msgs[2].wParam, msgs[2].lParam);
    EXPECT_FALSE(IsWindow(m_hwnd));
    ASSERT_GE(g_seen.size(), 3u);
    EXPECT_EQ(g_seen[1], static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(g_seen[2], static_cast<UINT>(WM_CLOSE));
}

TEST_F(EventTranslation, MouseEventsBecomeMouseMessages) {
    XEvent motion = Event(MotionNotify);
    motion.xmotion.x = 17;
    motion.xmotion.y = 9;
    X11TranslateEvent(motion);
    XEvent wheelUp = Event(ButtonPress);
    wheelUp.xbutton.button = Button4;
    wheelUp.xbutton.x_root = 30;
    wheelUp.xbutton.y_root = 31;
    X11TranslateEvent(wheelUp);
    XEvent wheelDown = wheelUp;
    wheelDown.xbutton.button = Button5;
    X11TranslateEvent(wheelDown);
    XEvent wheelRelease = wheelUp;
    wheelRelease.type = ButtonRelease;
    X11TranslateEvent(wheelRelease);  // a wheel notch is one message
    XEvent right = Event(ButtonPress);
    right.xbutton.button = Button3;
    right.xbutton.x = 5;
    right.xbutton.y = 6;
    X11TranslateEvent(right);
    const std::vector<MSG> msgs = Posted();
    ASSERT_EQ(msgs.size(), 5u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_SETCURSOR));
    EXPECT_EQ(LOWORD(msgs[0].lParam), HTCLIENT);
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(LOWORD(msgs[1].lParam), 17);
    EXPECT_EQ(HIWORD(msgs[1].lParam), 9);
    EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msgs[2].wParam), WHEEL_DELTA);
    EXPECT_EQ(LOWORD(msgs[2].lParam), 30);
    EXPECT_EQ(msgs[3].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(msgs[3].wParam), -WHEEL_DELTA);
    EXPECT_EQ(msgs[4].message, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(LOWORD(msgs[4].lParam), 5);
}

TEST_F(EventTranslation, ExposuresGiveOnePaintUntilItIsValidated) {
    XEvent partial = Event(Expose);
    partial.xexpose.count = 2;
    X11TranslateEvent(partial);
    EXPECT_TRUE(Posted().empty());
    XEvent last = Event(Expose);
    X11TranslateEvent(last);
    X11TranslateEvent(last);  // still pending: nothing more
    std::vector<MSG> msgs = Posted();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_NCPAINT));
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_PAINT));
    // The default handling validates; the next exposure paints again.
    g_seen.clear();
    DispatchMessageA(&msgs[1]);
    EXPECT_EQ(g_seen.size(), 1u);
    DispatchMessageA(&msgs[1]);  // a stale WM_PAINT is dropped
    EXPECT_EQ(g_seen.size(), 1u);
    X11TranslateEvent(last);
    EXPECT_EQ(Posted().size(), 2u);
}

TEST_F(EventTranslation, APaintThatCouldNotBeQueuedDoesNotBlockTheNextOne) {
    // Fill the window's queue to its limit: the exposure's paint is lost.
    while (PostMessageA(m_hwnd, WM_USER, 0, 0)) {
    }
    X11TranslateEvent(Event(Expose));
    Posted();  // drain the queue
    X11TranslateEvent(Event(Expose));
    const std::vector<MSG> msgs = Posted();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_PAINT));
}

TEST_F(EventTranslation, TheWindowManagersCloseBecomesWmClose) {
    XEvent close = Event(ClientMessage);
    close.xclient.message_type = XInternAtom(X11Display(), "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] =
        static_cast<long>(XInternAtom(X11Display(), "WM_DELETE_WINDOW", False));
    X11TranslateEvent(close);
    const std::vector<MSG> msgs = Posted();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_CLOSE));
}

TEST_F(EventTranslation, FocusChangesActivateAndDeactivate) {
    XEvent in = Event(FocusIn);
    in.xfocus.mode = NotifyNormal;
    in.xfocus.detail = NotifyNonlinear;
    X11TranslateEvent(in);
    X11TranslateEvent(in);  // already active: nothing more
    XEvent grab = in;
    grab.type = FocusOut;
    grab.xfocus.mode = NotifyGrab;
    X11TranslateEvent(grab);  // keyboard grabs do not deactivate
    XEvent out = in;
    out.type = FocusOut;
    X11TranslateEvent(out);
    std::vector<UINT> messages;
    std::vector<WPARAM> params;
    for (const MSG& m : Posted()) {
        messages.push_back(m.message);
        params.push_back(m.wParam);
    }
    const std::vector<UINT> expected = {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE,
                                        WM_SETFOCUS,    WM_NCACTIVATE, WM_ACTIVATE,
                                        WM_ACTIVATEAPP, WM_KILLFOCUS};
    ASSERT_EQ(messages, expected);
    EXPECT_EQ(params[0], static_cast<WPARAM>(TRUE));
    EXPECT_EQ(params[2], static_cast<WPARAM>(WA_ACTIVE));
    EXPECT_EQ(params[4], static_cast<WPARAM>(FALSE));
    EXPECT_EQ(params[5], static_cast<WPARAM>(WA_INACTIVE));
    EXPECT_EQ(params[6], static_cast<WPARAM>(FALSE));
}

TEST_F(X11Windows, ErrorsOfForeignRequestsNeverEndTheProcess) {
    // A request that fails on the platform's connection outside any trap.
    XUnmapWindow(X11Display(), 0x1FFFFFF0);
    XSync(X11Display(), False);
    SUCCEED();
}

}  // namespace
