// The framework's message maps, default handling and application object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/winapp.h"
#include "tests/support/x11_display.h"

// The one application object of this test program.
CWinApp g_testApp;

namespace {

std::vector<std::string> g_calls;

class CBaseWnd : public CWnd {
  public:
    BOOL Create() {
        return CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr);
    }
    bool m_deleted = false;

  protected:
    afx_msg void OnPaint() {
        g_calls.push_back("base paint");
        CWnd::OnPaint();
    }
    afx_msg void OnClose() {
        g_calls.push_back("base close");
        CWnd::OnClose();  // the default handling destroys the window
    }
    LRESULT OnUser(WPARAM w, LPARAM l) {
        g_calls.push_back("base user");
        return static_cast<LRESULT>(w + l);
    }
    afx_msg int OnCreate(LPCREATESTRUCT cs) {
        g_calls.push_back(std::string("create ") + (cs != nullptr ? "with struct" : "without"));
        return CWnd::OnCreate(cs);
    }
    afx_msg void OnDestroy() {
        g_calls.push_back("destroy");
        CWnd::OnDestroy();
    }
    void PostNcDestroy() override { g_calls.push_back("post nc destroy"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
ON_WM_CREATE()
ON_WM_PAINT()
ON_WM_CLOSE()
ON_WM_DESTROY()
ON_MESSAGE(WM_USER + 1, &CBaseWnd::OnUser)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
  protected:
    afx_msg void OnPaint() { g_calls.push_back("derived paint"); }
    afx_msg BOOL OnNcActivate(BOOL active) {
        g_calls.push_back(active ? "nc active" : "nc inactive");
        return active ? CBaseWnd::OnNcActivate(active) : FALSE;
    }
    afx_msg void OnMouseMove(UINT flags, CPoint point) {
        g_calls.push_back("move " + std::to_string(flags) + " " + std::to_string(point.x) + "," +
                          std::to_string(point.y));
    }
    void OnCommandSeven() { g_calls.push_back("command 7"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
ON_WM_PAINT()
ON_WM_NCACTIVATE()
ON_WM_MOUSEMOVE()
ON_COMMAND(7, &CDerivedWnd::OnCommandSeven)
END_MESSAGE_MAP()

class Framework : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testx::SharedDisplay(), nullptr) << "no Xvfb";
        g_calls.clear();
    }
};

TEST_F(Framework, MessagesReachTheMostDerivedHandlerAndFallBackAlongTheChain) {
    CDerivedWnd wnd;
    ASSERT_TRUE(wnd.Create());
    ASSERT_EQ(g_calls, std::vector<std::string>{"create with struct"});
    EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    g_calls.clear();

    wnd.SendMessage(WM_PAINT);
    EXPECT_EQ(wnd.SendMessage(WM_USER + 1, 40, 2), 42);
    EXPECT_EQ(wnd.SendMessage(WM_NCACTIVATE, FALSE), FALSE);
    EXPECT_EQ(wnd.SendMessage(WM_NCACTIVATE, TRUE), TRUE);  // the default answers TRUE
    wnd.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-3), 9));
    wnd.SendMessage(WM_COMMAND, 7);
    wnd.SendMessage(WM_COMMAND, 8);  // nobody's: ignored
    wnd.SendMessage(WM_USER + 2);    // unmapped: the default window procedure
    const std::vector<std::string> expected = {"derived paint", "base user",   "nc inactive",
                                               "nc active",     "move 1 -3,9", "command 7"};
    EXPECT_EQ(g_calls, expected);
    g_calls.clear();

    // The base's close handler runs the default handling, which destroys.
    const HWND hwnd = wnd.m_hWnd;
    wnd.SendMessage(WM_CLOSE);
    const std::vector<std::string> closed = {"base close", "destroy", "post nc destroy"};
    EXPECT_EQ(g_calls, closed);
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(Framework, DestroyingTheMainWindowPostsTheQuitMessage) {
    CBaseWnd wnd;
    ASSERT_TRUE(wnd.Create());
    g_testApp.m_pMainWnd = &wnd;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(g_testApp.m_pMainWnd, nullptr);
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    EXPECT_TRUE(quit);
    // A window that is not the main window posts nothing.
    CBaseWnd other;
    ASSERT_TRUE(other.Create());
    EXPECT_TRUE(other.DestroyWindow());
    quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    EXPECT_FALSE(quit);
}

TEST_F(Framework, ForeignHandlesGetALastingWrapperAndNullGetsNone) {
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    const HWND foreign = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234567));
    CWnd* wrapper = CWnd::FromHandle(foreign);
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(wrapper->m_hWnd, foreign);
    EXPECT_EQ(CWnd::FromHandle(foreign), wrapper);
    EXPECT_EQ(CWnd::FromHandlePermanent(foreign), nullptr);
    EXPECT_FALSE(wrapper->DestroyWindow());  // not a window of ours
}

TEST_F(Framework, AWindowObjectThatGoesAwayIsNoLongerTheMainWindow) {
    {
        CBaseWnd wnd;
        ASSERT_TRUE(wnd.Create());
        g_testApp.m_pMainWnd = &wnd;
    }
    EXPECT_EQ(g_testApp.m_pMainWnd, nullptr);
}

TEST_F(Framework, RegistryKeyMakesTheApplicationNameTheProfileName) {
    CWinApp* app = AfxGetApp();
    ASSERT_EQ(app, &g_testApp);
    free(const_cast<char*>(app->m_pszAppName));
    app->m_pszAppName = strdup("quorix");
    EXPECT_EQ(app->m_pszRegistryKey, nullptr);
    app->SetRegistryKey("Ostrevane");
    EXPECT_STREQ(app->m_pszRegistryKey, "Ostrevane");
    EXPECT_STREQ(app->m_pszProfileName, "quorix");
    app->SetRegistryKey("Other");
    EXPECT_STREQ(app->m_pszRegistryKey, "Other");
    EXPECT_STREQ(app->m_pszProfileName, "quorix");
}

TEST_F(Framework, TheSameClassStyleRegistersOneClass) {
    LPCSTR a = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    LPCSTR b = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    LPCSTR c = AfxRegisterWndClass(CS_HREDRAW);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_STRNE(a, c);
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(nullptr, a, &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
}

}  // namespace
