// What the settings dialog's layout looks like: captured from the screen,
// written as PNG files for people to look at, and checked at pixels where a
// wrong frame, colour or state shows.
#include <gtest/gtest.h>

#include "tests/support/dialog_support.h"

namespace {

INT_PTR CALLBACK SettingsProc(HWND hDlg, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    CheckRadioButton(hDlg, 1001, 1004, 1001);
    SendDlgItemMessageA(hDlg, 1000, TBM_SETRANGEMIN, FALSE, 20);
    SendDlgItemMessageA(hDlg, 1000, TBM_SETRANGEMAX, TRUE, 100);
    SendDlgItemMessageA(hDlg, 1000, TBM_SETTICFREQ, 10, 0);
    SendDlgItemMessageA(hDlg, 1000, TBM_SETPOS, TRUE, 52);
    SendDlgItemMessageA(hDlg, 1011, TBM_SETRANGEMIN, FALSE, 30);
    SendDlgItemMessageA(hDlg, 1011, TBM_SETRANGEMAX, TRUE, 60);
    SendDlgItemMessageA(hDlg, 1011, TBM_SETTICFREQ, 5, 0);
    SendDlgItemMessageA(hDlg, 1011, TBM_SETPOS, TRUE, 38);
    return TRUE;
}

class DialogLook : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb"; }
};

POINT Origin(HWND hDlg, int id) {
    POINT p = {0, 0};
    ClientToScreen(GetDlgItem(hDlg, id), &p);
    ScreenToClient(hDlg, &p);
    return p;
}

TEST_F(DialogLook, SettingsLayoutShowsClassicControls) {
    testd::TemplateBuilder t = testd::SettingsTemplate();
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, SettingsProc, 0);
    ASSERT_NE(hDlg, nullptr);
    SetWindowPos(hDlg, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hDlg, SW_SHOW);
    testd::Pump();
    int w = 0, h = 0;
    const std::vector<uint32_t> pixels = testd::Capture(hDlg, &w, &h);
    ASSERT_GT(w, 0);
    testd::WritePng("settings_dialog.png", pixels, w, h);

    const uint32_t face = 0xD4D0C8;
    EXPECT_EQ(testd::PixelAt(pixels, w, 2, h - 3), face);  // the dialog's background
    // The default OK button has a black outer frame, then the raised edge.
    const POINT ok = Origin(hDlg, IDOK);
    EXPECT_EQ(testd::PixelAt(pixels, w, ok.x, ok.y + 5), 0x000000u);
    EXPECT_EQ(testd::PixelAt(pixels, w, ok.x + 1, ok.y + 5), 0xFFFFFFu);
    // Cancel is raised without the frame: white on its left edge.
    const POINT cancel = Origin(hDlg, IDCANCEL);
    EXPECT_EQ(testd::PixelAt(pixels, w, cancel.x, cancel.y + 5), 0xFFFFFFu);
    // The checked radio button shows its dot, the unchecked one a white centre.
    RECT radio;
    GetWindowRect(GetDlgItem(hDlg, 1001), &radio);
    const POINT random = Origin(hDlg, 1001);
    const int dotY = random.y + (radio.bottom - radio.top - 12) / 2 + 5;
    EXPECT_EQ(testd::PixelAt(pixels, w, random.x + 5, dotY), 0x000000u);
    const POINT normal = Origin(hDlg, 1002);
    EXPECT_EQ(
        testd::PixelAt(pixels, w, normal.x + 5, normal.y + (radio.bottom - radio.top - 12) / 2 + 5),
        0xFFFFFFu);

    // Pressed and disabled states.
    SendDlgItemMessageA(hDlg, IDCANCEL, BM_SETSTATE, TRUE, 0);
    EnableWindow(GetDlgItem(hDlg, 1003), FALSE);
    testd::Pump();
    const std::vector<uint32_t> states = testd::Capture(hDlg, &w, &h);
    testd::WritePng("settings_states.png", states, w, h);
    // Pushed in: a flat shadow frame instead of the white raised edge.
    EXPECT_EQ(testd::PixelAt(states, w, cancel.x, cancel.y + 5), 0x808080u);
    EXPECT_EQ(testd::PixelAt(states, w, cancel.x + 1, cancel.y + 5), 0xD4D0C8u);
    DestroyWindow(hDlg);
}

// Captures the screen while the system menu is open, then closes it.
std::vector<uint32_t> g_screen;
void CALLBACK ShootMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    Display* display = X11Display();
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    int w = 0, h = 0;
    g_screen = testd::Capture(X11Handle(DefaultRootWindow(display)), &w, &h);
    testd::WritePng("system_menu.png", g_screen, w, h);
    PostMessageA(X11Handle(focus), WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(DialogLook, SystemMenuShowsItsItemsWithTheFirstOneHot) {
    testd::TemplateBuilder t = testd::SettingsTemplate();
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, SettingsProc, 0);
    ASSERT_NE(hDlg, nullptr);
    AppendMenuA(GetSystemMenu(hDlg, FALSE), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(GetSystemMenu(hDlg, FALSE), MF_STRING, 16, "&About quorix ...");
    SetWindowPos(hDlg, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    testd::Pump();
    g_screen.clear();
    SetTimer(nullptr, 0, 300, ShootMenu);
    MSG msg = {};
    msg.hwnd = hDlg;
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = VK_SPACE;
    EXPECT_TRUE(IsDialogMessageA(hDlg, &msg));  // returns once the menu is closed
    ASSERT_FALSE(g_screen.empty());
    // The menu opens under the client area's top-left corner, its first item
    // highlighted in the selection colour.
    EXPECT_EQ(testd::PixelAt(g_screen, 800, 20 + 10, 20 + 8), 0x0A246Au);
    DestroyWindow(hDlg);
}

}  // namespace
