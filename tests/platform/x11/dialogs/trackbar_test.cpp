// The trackbar: range and position rules, ticks, keys and mouse, and the
// notifications its parent gets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/dialog_data.h"
#include "platform/x11/dialog_focus.h"
#include "tests/support/dialog_support.h"

namespace {

std::vector<std::pair<int, int>> g_scrolls;  // (code, position) of WM_HSCROLL

INT_PTR CALLBACK ParentProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_HSCROLL) {
        g_scrolls.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class Trackbar : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
        m_template = std::make_unique<testd::TemplateBuilder>(testd::SettingsTemplate());
        m_dialog = CreateDialogIndirectParamA(nullptr, m_template->Get(), nullptr, ParentProc, 0);
        ASSERT_NE(m_dialog, nullptr);
        m_bar = GetDlgItem(m_dialog, 1000);
        ASSERT_NE(m_bar, nullptr);
        // As the settings dialog sets up its number of balls.
        Send(TBM_SETRANGEMIN, FALSE, 20);
        Send(TBM_SETRANGEMAX, TRUE, 100);
        Send(TBM_SETTICFREQ, 10, 0);
        Send(TBM_SETPOS, TRUE, 52);
        g_scrolls.clear();
    }
    void TearDown() override { DestroyWindow(m_dialog); }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(m_bar, message, wParam, lParam);
    }
    LRESULT Pos() { return Send(TBM_GETPOS, 0, 0); }
    std::unique_ptr<testd::TemplateBuilder> m_template;
    HWND m_dialog = nullptr;
    HWND m_bar = nullptr;
};

TEST_F(Trackbar, PositionStaysInsideTheRange) {
    EXPECT_EQ(Pos(), 52);
    EXPECT_EQ(Send(TBM_GETRANGEMIN, 0, 0), 20);
    EXPECT_EQ(Send(TBM_GETRANGEMAX, 0, 0), 100);
    Send(TBM_SETPOS, TRUE, 150);
    EXPECT_EQ(Pos(), 100);
    Send(TBM_SETPOS, TRUE, -5);
    EXPECT_EQ(Pos(), 20);
    // A new range pulls the position in.
    Send(TBM_SETPOS, TRUE, 52);
    Send(TBM_SETRANGEMIN, TRUE, 60);
    EXPECT_EQ(Pos(), 60);
    Send(TBM_SETRANGEMAX, TRUE, 55);  // inverted: the position rests at the minimum
    EXPECT_EQ(Pos(), 60);
    Send(TBM_SETRANGE, TRUE, MAKELONG(30, 60));
    EXPECT_EQ(Send(TBM_GETRANGEMIN, 0, 0), 30);
    EXPECT_EQ(Send(TBM_GETRANGEMAX, 0, 0), 60);
    EXPECT_EQ(Pos(), 60);
    EXPECT_TRUE(g_scrolls.empty());  // messages from the program are not reported
}

TEST_F(Trackbar, TicksEveryFrequencyStepPlusBothEnds) {
    EXPECT_EQ(Send(TBM_GETNUMTICS, 0, 0), 9);  // 20, 30, ..., 100
    Send(TBM_SETRANGE, TRUE, MAKELONG(30, 60));
    Send(TBM_SETTICFREQ, 5, 0);
    EXPECT_EQ(Send(TBM_GETNUMTICS, 0, 0), 7);
    Send(TBM_SETTICFREQ, 7, 0);
    EXPECT_EQ(Send(TBM_GETNUMTICS, 0, 0), 6);  // 30, 37, 44, 51, 58 and the end 60
    Send(TBM_SETTICFREQ, 0, 0);                // treated as 1
    EXPECT_EQ(Send(TBM_GETNUMTICS, 0, 0), 31);
}

TEST_F(Trackbar, KeysStepByLinePageAndToTheEnds) {
    const int page = static_cast<int>(Send(TBM_GETPAGESIZE, 0, 0));
    EXPECT_EQ(page, 16);  // a fifth of the range
    auto key = [&](UINT vk) {
        Send(WM_KEYDOWN, vk, 0);
        Send(WM_KEYUP, vk, 0);
    };
    key(VK_RIGHT);
    EXPECT_EQ(Pos(), 53);
    key(VK_NEXT);
    EXPECT_EQ(Pos(), 69);
    key(VK_UP);
    EXPECT_EQ(Pos(), 68);
    key(VK_PRIOR);
    EXPECT_EQ(Pos(), 52);
    key(VK_END);
    EXPECT_EQ(Pos(), 100);
    key(VK_DOWN);  // at the end: stays, still reported
    EXPECT_EQ(Pos(), 100);
    key(VK_HOME);
    EXPECT_EQ(Pos(), 20);
    const std::vector<std::pair<int, int>> expected = {
        {TB_LINEDOWN, 0}, {TB_ENDTRACK, 0}, {TB_PAGEDOWN, 0}, {TB_ENDTRACK, 0}, {TB_LINEUP, 0},
        {TB_ENDTRACK, 0}, {TB_PAGEUP, 0},   {TB_ENDTRACK, 0}, {TB_BOTTOM, 0},   {TB_ENDTRACK, 0},
        {TB_LINEDOWN, 0}, {TB_ENDTRACK, 0}, {TB_TOP, 0},      {TB_ENDTRACK, 0}};
    EXPECT_EQ(g_scrolls, expected);
}

TEST_F(Trackbar, KeysReachTheFocusedTrackbarThroughTheDialog) {
    X11DialogSetFocus(m_dialog, m_bar);
    MSG msg = {};
    msg.hwnd = m_dialog;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_LEFT;  // the trackbar wants the arrows
    EXPECT_TRUE(IsDialogMessageA(m_dialog, &msg));
    EXPECT_EQ(Pos(), 51);
    EXPECT_EQ(X11Dialog(m_dialog)->focus, m_bar);
}

TEST_F(Trackbar, DraggingTheThumbTracksAndEndsWithThePosition) {
    RECT thumb;
    Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    RECT channel;
    Send(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    ASSERT_LT(thumb.left, thumb.right);
    const int cx = (thumb.left + thumb.right) / 2;
    const int cy = (thumb.top + thumb.bottom) / 2;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cx, cy));
    EXPECT_EQ(GetCapture(), m_bar);
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cx + 1000, cy));  // far beyond the end
    EXPECT_EQ(Pos(), 100);
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cx + 1000, cy + 50));  // no change: no report
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-500), cy));
    EXPECT_EQ(Pos(), 20);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-500), cy));
    EXPECT_EQ(GetCapture(), nullptr);
    const std::vector<std::pair<int, int>> expected = {
        {TB_THUMBTRACK, 100}, {TB_THUMBTRACK, 20}, {TB_THUMBPOSITION, 20}, {TB_ENDTRACK, 0}};
    EXPECT_EQ(g_scrolls, expected);
    // The thumb follows the pointer: the channel maps onto the whole range.
    Send(TBM_SETPOS, TRUE, 20);
    Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int atMin = (thumb.left + thumb.right) / 2;
    Send(TBM_SETPOS, TRUE, 100);
    Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int atMax = (thumb.left + thumb.right) / 2;
    EXPECT_GT(atMax - atMin, 80 * 1);
    EXPECT_GE(atMin - (thumb.right - thumb.left) / 2, channel.left);
    EXPECT_LE(thumb.right, channel.right);
}

TEST_F(Trackbar, ClickBesideTheThumbPagesTowardsIt) {
    RECT thumb;
    Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    const int cy = (thumb.top + thumb.bottom) / 2;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumb.right + 20, cy));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(thumb.right + 20, cy));
    EXPECT_EQ(Pos(), 68);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, cy));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(2, cy));
    EXPECT_EQ(Pos(), 52);
    const std::vector<std::pair<int, int>> expected = {
        {TB_PAGEDOWN, 0}, {TB_ENDTRACK, 0}, {TB_PAGEUP, 0}, {TB_ENDTRACK, 0}};
    EXPECT_EQ(g_scrolls, expected);
    EXPECT_EQ(X11Dialog(m_dialog)->focus, m_bar);  // a click takes the focus
}

TEST_F(Trackbar, HeldPressBesideTheThumbRepeatsUntilTheThumbIsThere) {
    RECT thumb;
    Send(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    RECT client;
    GetClientRect(m_bar, &client);
    const int cy = (thumb.top + thumb.bottom) / 2;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 3, cy));
    EXPECT_EQ(Pos(), 68);
    const DWORD end = GetTickCount() + 1500;
    while (GetTickCount() < end)
        testd::Pump();
    EXPECT_EQ(Pos(), 100);  // 84, then the end of the range under the pointer
    Send(WM_LBUTTONUP, 0, MAKELPARAM(client.right - 3, cy));
    size_t pages = 0;
    for (const auto& scroll : g_scrolls)
        pages += scroll.first == TB_PAGEDOWN ? 1 : 0;
    EXPECT_EQ(pages, 3u);
    EXPECT_EQ(g_scrolls.back(), std::make_pair(int(TB_ENDTRACK), 0));
    // A short press moves one page only.
    Send(TBM_SETPOS, TRUE, 20);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.right - 3, cy));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(client.right - 3, cy));
    const DWORD later = GetTickCount() + 600;
    while (GetTickCount() < later)
        testd::Pump();
    EXPECT_EQ(Pos(), 36);
}

}  // namespace
