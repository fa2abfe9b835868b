// The framework's CDialog, CButton and CStatic on in-memory templates: the
// order of the virtuals, message-map entries, results, centring, controls
// created at run time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/framework/button.h"
#include "platform/framework/dialog.h"
#include "platform/framework/static.h"
#include "tests/support/dialog_support.h"

namespace {

class CTestDlg : public CDialog {
  public:
    std::vector<std::string> calls;
    std::vector<std::pair<UINT, WPARAM>> posts;  // posted by OnInitDialog
    int normalClicks = 0;
    int goClicks = 0;
    bool makeControls = false;
    CButton m_go;
    CStatic m_picture;
    RECT placed = {};
    HBITMAP firstPrevious = reinterpret_cast<HBITMAP>(1);
    HBITMAP secondPrevious = nullptr;
    HBITMAP bitmaps[2] = {};

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        calls.push_back("init");
        if (makeControls) {
            const RECT at = {5, 5, 60, 25};
            m_go.Create("Go", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, at, this, 3000);
            m_picture.Create("", WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, RECT{70, 5, 154, 73},
                             this, 2000);
            BITMAPINFOHEADER header = {};
            header.biSize = sizeof header;
            header.biWidth = 4;
            header.biHeight = -4;
            header.biPlanes = 1;
            header.biBitCount = 24;
            std::vector<uint8_t> bits(4 * 12, 0x80);
            BITMAPINFO info = {};
            info.bmiHeader = header;
            for (HBITMAP& b : bitmaps)
                b = CreateDIBitmap(nullptr, &header, CBM_INIT, bits.data(), &info, DIB_RGB_COLORS);
            firstPrevious = m_picture.SetBitmap(bitmaps[0]);
            secondPrevious = m_picture.SetBitmap(bitmaps[1]);
        }
        for (const auto& post : posts) {
            HWND target = m_hWnd;
            if (post.first == BM_CLICK)
                target = ::GetDlgItem(m_hWnd, static_cast<int>(post.second));
            PostMessage(post.first == BM_CLICK ? 0u : post.first, post.second, 0);
            if (post.first == BM_CLICK) ::PostMessageA(target, BM_CLICK, 0, 0);
        }
        return TRUE;
    }
    void OnSetFont(CFont* pFont) override {
        calls.push_back(pFont != nullptr && pFont->m_hObject != nullptr ? "font" : "no font");
        CDialog::OnSetFont(pFont);
    }
    void OnOK() override {
        calls.push_back("ok");
        CDialog::OnOK();
    }
    afx_msg void OnNormal() { ++normalClicks; }
    afx_msg void OnGo() { ++goClicks; }
    afx_msg BOOL OnHelpInfo(HELPINFO*) {
        calls.push_back("help");
        EndDialog(77);
        return TRUE;
    }
    Window transientFor = 0;
    afx_msg LRESULT OnPlace(WPARAM, LPARAM) {
        GetWindowRect(&placed);
        XGetTransientForHint(X11Display(), X11WindowId(m_hWnd), &transientFor);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDlg, CDialog)
ON_BN_CLICKED(1002, &CTestDlg::OnNormal)
ON_BN_CLICKED(3000, &CTestDlg::OnGo)
ON_WM_HELPINFO()
ON_MESSAGE(WM_USER + 3, &CTestDlg::OnPlace)
END_MESSAGE_MAP()

class FrameworkDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
        m_template = std::make_unique<testd::TemplateBuilder>(testd::SettingsTemplate());
        m_dialog.InitModalIndirect(m_template->Get());
    }
    std::unique_ptr<testd::TemplateBuilder> m_template;
    CTestDlg m_dialog;
};

TEST_F(FrameworkDialog, FontComesBeforeInitAndEnterRunsOnOK) {
    m_dialog.posts = {{WM_KEYDOWN, VK_RETURN}};
    EXPECT_EQ(m_dialog.DoModal(), IDOK);
    EXPECT_EQ(m_dialog.calls, (std::vector<std::string>{"font", "init", "ok"}));
    EXPECT_EQ(m_dialog.GetSafeHwnd(), nullptr);  // the window is gone, the object stays
}

TEST_F(FrameworkDialog, ButtonClicksReachTheMapAndEscapeCancels) {
    m_dialog.posts = {{BM_CLICK, 1002}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(m_dialog.normalClicks, 1);
    // A second run of the same object works as the first.
    m_dialog.posts = {{WM_CLOSE, 0}};
    EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);
}

TEST_F(FrameworkDialog, HelpEndsWithTheHandlersResult) {
    m_dialog.posts = {{WM_KEYDOWN, VK_F1}};
    EXPECT_EQ(m_dialog.DoModal(), 77);
    EXPECT_EQ(m_dialog.calls.back(), "help");
}

TEST_F(FrameworkDialog, UnmovedDialogIsCentredOnTheWorkArea) {
    m_dialog.posts = {{WM_USER + 3, 0}, {WM_KEYDOWN, VK_ESCAPE}};
    m_dialog.DoModal();
    RECT area;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    const int dx = (m_dialog.placed.left + m_dialog.placed.right) - (area.left + area.right);
    const int dy = (m_dialog.placed.top + m_dialog.placed.bottom) - (area.top + area.bottom);
    EXPECT_LE(std::abs(dx), 2);
    EXPECT_LE(std::abs(dy), 2);
    EXPECT_GT(m_dialog.placed.right - m_dialog.placed.left, 100);
}

TEST_F(FrameworkDialog, AnotherProgramsWindowCanOwnTheDialog) {
    // A window of a second connection, as a settings program's window would be.
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    const Window foreign =
        XCreateSimpleWindow(other, DefaultRootWindow(other), 420, 300, 200, 100, 0, 0, 0);
    XMapWindow(other, foreign);
    XSync(other, False);
    CTestDlg dialog;
    dialog.InitModalIndirect(m_template->Get(), CWnd::FromHandle(X11Handle(foreign)));
    dialog.posts = {{WM_USER + 3, 0}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.transientFor, foreign);
    // Centred over the owner's centre (520, 350).
    EXPECT_LE(std::abs((dialog.placed.left + dialog.placed.right) / 2 - 520), 1);
    EXPECT_LE(std::abs((dialog.placed.top + dialog.placed.bottom) / 2 - 350), 1);
    XDestroyWindow(other, foreign);
    XCloseDisplay(other);
}

TEST_F(FrameworkDialog, ControlsCreatedAtRunTimeJoinTheDialog) {
    m_dialog.makeControls = true;
    m_dialog.posts = {{BM_CLICK, 3000}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(m_dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(m_dialog.goClicks, 1);
    EXPECT_EQ(m_dialog.firstPrevious, nullptr);
    EXPECT_EQ(m_dialog.secondPrevious, m_dialog.bitmaps[0]);
    EXPECT_EQ(m_dialog.m_go.GetSafeHwnd(), nullptr);  // destroyed with the dialog
    for (HBITMAP b : m_dialog.bitmaps)
        EXPECT_TRUE(DeleteObject(reinterpret_cast<HGDIOBJ>(b)));
}

TEST_F(FrameworkDialog, MissingResourceOrTemplateFails) {
    CTestDlg fromResource;
    CDialog missing(4711);
    EXPECT_EQ(missing.DoModal(), -1);
    CDialog none;
    EXPECT_EQ(none.DoModal(), -1);
}

}  // namespace
