// On a display of 8 bits per pixel (a colour map): the depth the dialogs
// see, colours from the shared map, and text that stays readable. These run
// in a second process of this program with its own 8-bit Xvfb.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/x11/drawing.h"
#include "platform/x11/text.h"
#include "tests/support/dialog_support.h"

namespace {

bool InLowColourRun() {
    const char* depth = std::getenv("QUORIX_DIALOG_TEST_DEPTH");
    return depth != nullptr && std::string(depth) == "8";
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST(LowColour, DialogsOnAnEightBitDisplay) {
    if (InLowColourRun()) GTEST_SKIP() << "this is the run itself";
    char self[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    testx::ChildProcess child({self, "--gtest_filter=LowColourRun.*"},
                              {"QUORIX_DIALOG_TEST_DEPTH=8"}, "low_colour_run.txt",
                              "low_colour_run.txt");
    int code = -1;
    ASSERT_TRUE(child.Wait(60000, &code));
    EXPECT_EQ(code, 0) << "see low_colour_run.txt";
}

TEST(LowColourRun, DepthColoursAndReadableText) {
    if (!InLowColourRun()) GTEST_SKIP() << "runs in the 8-bit process";
    ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
    testd::TemplateBuilder t(WS_POPUP | DS_SETFONT, 0, 0, 0, 120, 40, "", "MS Sans Serif", 8);
    t.Item(WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 5, 110, 12, 5, 0x82, "Ostrevane 2026 quorix");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, PlainProc, 0);
    ASSERT_NE(hDlg, nullptr);
    HDC dc = GetDC(hDlg);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 8);
    ReleaseDC(hDlg, dc);
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    testd::Pump();
    HWND label = GetDlgItem(hDlg, 5);
    int w = 0, h = 0;
    const std::vector<uint32_t> pixels = testd::Capture(label, &w, &h);  // colour-map indices
    const uint32_t face = static_cast<uint32_t>(X11Pixel(GetSysColor(COLOR_BTNFACE)));
    const uint32_t ink = static_cast<uint32_t>(X11Pixel(GetSysColor(COLOR_BTNTEXT)));
    EXPECT_NE(face, ink);
    const std::string text = "Ostrevane 2026 quorix";
    const SIZE extent =
        X11TextExtent(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), text.data(),
                      static_cast<int>(text.size()));
    int inked = 0, other = 0;
    for (int y = 0; y < std::min<int>(h, extent.cy); ++y)
        for (int x = 0; x < std::min<int>(w, extent.cx); ++x) {
            const uint32_t p = testd::PixelAt(pixels, w, x, y);
            if (p == ink)
                ++inked;
            else if (p != face)
                ++other;
        }
    // Letters, not one filled box: a fraction of the text's box is ink.
    EXPECT_GT(inked, 40);
    EXPECT_LT(inked, extent.cx * extent.cy / 2);
    EXPECT_EQ(other, 0);  // only the two colours of the scheme
    DestroyWindow(hDlg);
}

}  // namespace
