// What the settings dialog's layout looks like: captured from the screen,
// written as PNG files for people to look at, and checked at pixels where a
// wrong frame, colour or state shows.
#include <gtest/gtest.h>

#include "tests/dialogs/dialog_support.h"

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
    DestroyWindow(hDlg);
}

}  // namespace
