// What the built-in controls share through their default procedure: text and
// font, redrawing when either changes or the focus comes and goes, right-button
// messages passed on to the parent, and leaving the tab order and the mouse
// capture when destroyed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/dialog_focus.h"
#include "tests/support/dialog_support.h"

namespace {

constexpr int kStatic = 1006;
constexpr int kTrackbar = 1000;

std::vector<LPARAM> g_rightUps;  // lParam of the WM_RBUTTONUP the dialog got

INT_PTR CALLBACK ParentProc(HWND, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_RBUTTONUP) {
        g_rightUps.push_back(lParam);
        return TRUE;  // handled: no system menu
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class ControlDefault : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
        m_dialog = CreateDialogIndirectParamA(nullptr, testd::SettingsTemplate().Get(), nullptr,
                                              ParentProc, 0);
        ASSERT_NE(m_dialog, nullptr);
        ShowWindow(m_dialog, SW_SHOW);
        testd::Pump();
        g_rightUps.clear();
    }
    void TearDown() override { DestroyWindow(m_dialog); }
    HWND Item(int id) { return GetDlgItem(m_dialog, id); }
    static bool PaintQueued(HWND hWnd) {
        X11WindowRecord* record = X11FindWindow(hWnd);
        return record != nullptr && record->paintPending;
    }
    static std::string Text(HWND hWnd) {
        char text[64] = {};
        GetWindowTextA(hWnd, text, sizeof text);
        return text;
    }
    HWND m_dialog = nullptr;
};

TEST_F(ControlDefault, TextAndFontAreKeptByTheTextControls) {
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(m_dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(dialogFont, nullptr);
    for (int id : {IDOK, kStatic, kTrackbar}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a&b")), TRUE);
        EXPECT_EQ(Text(Item(id)), "a&b");
        EXPECT_EQ(GetWindowTextLengthA(Item(id)), 3);
    }
    // The button and the static draw with the dialog's font; the trackbar has no
    // text to draw and keeps none.
    EXPECT_EQ(SendMessageA(Item(IDOK), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(dialogFont));
    EXPECT_EQ(SendMessageA(Item(kStatic), WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(dialogFont));
    SendMessageA(Item(kTrackbar), WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), TRUE);
    EXPECT_EQ(SendMessageA(Item(kTrackbar), WM_GETFONT, 0, 0), 0);
    // A null font goes back to the default one.
    SendMessageA(Item(kStatic), WM_SETFONT, 0, FALSE);
    EXPECT_EQ(SendMessageA(Item(kStatic), WM_GETFONT, 0, 0), 0);
}

TEST_F(ControlDefault, NewTextOrFontRedrawsWhenAsked) {
    for (int id : {IDOK, kStatic}) {
        SCOPED_TRACE(id);
        const HWND control = Item(id);
        ASSERT_FALSE(PaintQueued(control));
        SetWindowTextA(control, "Changed");
        EXPECT_TRUE(PaintQueued(control));
        testd::Pump();
        const WPARAM font = static_cast<WPARAM>(SendMessageA(control, WM_GETFONT, 0, 0));
        SendMessageA(control, WM_SETFONT, font, FALSE);
        EXPECT_FALSE(PaintQueued(control));
        SendMessageA(control, WM_SETFONT, font, TRUE);
        EXPECT_TRUE(PaintQueued(control));
        testd::Pump();
    }
}

TEST_F(ControlDefault, FocusComingAndGoingRedrawsBothControls) {
    const HWND ok = Item(IDOK);
    const HWND bar = Item(kTrackbar);
    X11DialogSetFocus(m_dialog, ok);
    testd::Pump();
    X11DialogSetFocus(m_dialog, bar);
    EXPECT_TRUE(PaintQueued(ok));
    EXPECT_TRUE(PaintQueued(bar));
    EXPECT_TRUE(X11HasFocus(bar));
    testd::Pump();
    EnableWindow(bar, FALSE);
    EXPECT_TRUE(PaintQueued(bar));
}

TEST_F(ControlDefault, RightButtonGoesToTheParentInItsCoordinates) {
    RECT dialog;
    GetWindowRect(m_dialog, &dialog);
    for (int id : {IDOK, kStatic, kTrackbar}) {
        SCOPED_TRACE(id);
        RECT control;
        GetWindowRect(Item(id), &control);
        g_rightUps.clear();
        SendMessageA(Item(id), WM_RBUTTONUP, 0, MAKELPARAM(3, 4));
        ASSERT_EQ(g_rightUps.size(), 1u);
        EXPECT_EQ(static_cast<short>(LOWORD(g_rightUps[0])), control.left - dialog.left + 3);
        EXPECT_EQ(static_cast<short>(HIWORD(g_rightUps[0])), control.top - dialog.top + 4);
    }
}

TEST_F(ControlDefault, DestroyedControlLeavesTheTabOrderAndTheCapture) {
    const HWND cancel = Item(IDCANCEL);
    SendMessageA(cancel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ASSERT_EQ(GetCapture(), cancel);
    EXPECT_TRUE(DestroyWindow(cancel));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Item(IDCANCEL), nullptr);
    for (HWND child = GetWindow(m_dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        EXPECT_NE(child, cancel);
    // The tab order runs on without it.
    EXPECT_EQ(GetNextDlgTabItem(m_dialog, Item(IDOK), FALSE), Item(1001));
}

}  // namespace
