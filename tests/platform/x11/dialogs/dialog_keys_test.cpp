// Modal dialogs and their keyboard interface: the results of Enter, Escape
// and the close box, Tab and arrow navigation, radio groups, mnemonics, F1,
// and the owner's input while a dialog runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/x11/dialog_data.h"
#include "platform/x11/dialog_focus.h"
#include "tests/support/dialog_support.h"

namespace {

struct Script {
    std::vector<std::pair<UINT, WPARAM>> posts;  // messages posted at WM_INITDIALOG
    std::vector<std::string> log;
    INT_PTR endInInit = 0;  // nonzero: EndDialog during WM_INITDIALOG
    HWND owner = nullptr;
};
Script g_script;

INT_PTR CALLBACK ScriptedProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            if (g_script.endInInit != 0) {
                EndDialog(hDlg, g_script.endInInit);
                return TRUE;
            }
            for (const auto& post : g_script.posts)
                PostMessageA(hDlg, post.first, post.second, 0);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam) g_script.log.push_back("shown");
            return FALSE;
        case WM_COMMAND:
            g_script.log.push_back("command " + std::to_string(LOWORD(wParam)));
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                EndDialog(hDlg, LOWORD(wParam));
            return TRUE;
        case WM_HELP:
            g_script.log.push_back("help " +
                                   std::to_string(reinterpret_cast<HELPINFO*>(lParam)->iCtrlId));
            return TRUE;
        case WM_USER + 7:
            g_script.log.push_back(std::string("owner ") +
                                   (IsWindowEnabled(g_script.owner) ? "enabled" : "disabled"));
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_LBUTTONDOWN) g_script.log.push_back("owner input");
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

class DialogKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
        g_script = Script{};
    }
    INT_PTR RunModal(HWND owner = nullptr) {
        testd::TemplateBuilder t = testd::SettingsTemplate();
        return DialogBoxIndirectParamA(nullptr, t.Get(), owner, ScriptedProc, 0);
    }
    HWND Modeless() {
        m_template = std::make_unique<testd::TemplateBuilder>(testd::SettingsTemplate());
        HWND hDlg =
            CreateDialogIndirectParamA(nullptr, m_template->Get(), nullptr, ScriptedProc, 0);
        g_script.log.clear();
        return hDlg;
    }
    // A key as the message loop hands it to the dialog manager.
    static BOOL Key(HWND hDlg, UINT vk, UINT message = WM_KEYDOWN) {
        MSG msg = {};
        msg.hwnd = hDlg;
        msg.message = message;
        msg.wParam = vk;
        return IsDialogMessageA(hDlg, &msg);
    }
    static HWND Focus(HWND hDlg) { return X11Dialog(hDlg)->focus; }
    std::unique_ptr<testd::TemplateBuilder> m_template;
};

TEST_F(DialogKeys, EnterEscapeAndCloseBoxEndTheDialog) {
    g_script.posts = {{WM_KEYDOWN, VK_RETURN}};
    EXPECT_EQ(RunModal(), IDOK);  // the focus starts on OK, the first tab stop
    g_script = Script{};
    g_script.posts = {{WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN}};
    EXPECT_EQ(RunModal(), IDCANCEL);  // a focused push button is the default one
    g_script = Script{};
    g_script.posts = {{WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_TAB}, {WM_KEYDOWN, VK_RETURN}};
    EXPECT_EQ(RunModal(), IDOK);  // from a radio button Enter means the default button
    g_script = Script{};
    g_script.posts = {{WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(RunModal(), IDCANCEL);
    g_script = Script{};
    g_script.posts = {{WM_CLOSE, 0}};
    EXPECT_EQ(RunModal(), IDCANCEL);
    EXPECT_EQ(g_script.log, (std::vector<std::string>{"shown", "command 2"}));
}

TEST_F(DialogKeys, EndedDuringInitialisationIsNeverShown) {
    g_script.endInInit = -1;
    EXPECT_EQ(RunModal(), -1);
    EXPECT_TRUE(g_script.log.empty());
}

TEST_F(DialogKeys, OwnerTakesNoInputWhileTheDialogRuns) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = "DialogKeysOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, "DialogKeysOwner", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    g_script.owner = owner;
    PostMessageA(owner, WM_KEYDOWN, 'A', 0);  // arrives while the dialog runs
    g_script.posts = {{WM_USER + 7, 0}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(RunModal(owner), IDCANCEL);
    EXPECT_TRUE(IsWindowEnabled(owner));
    const std::vector<std::string> expected = {"shown", "owner disabled", "command 2"};
    EXPECT_EQ(g_script.log, expected);
    DestroyWindow(owner);
}

TEST_F(DialogKeys, TabVisitsTabStopsInOrderAndEntersRadioGroupsAtTheCheckedButton) {
    HWND hDlg = Modeless();
    ASSERT_NE(hDlg, nullptr);
    CheckRadioButton(hDlg, 1001, 1004, 1003);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, IDOK));
    const int order[] = {IDCANCEL, 1003, 1000, 1011, IDOK};
    for (int id : order) {
        EXPECT_TRUE(Key(hDlg, VK_TAB));
        EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, id)) << id;
    }
    // Hidden and disabled controls are skipped.
    ShowWindow(GetDlgItem(hDlg, IDCANCEL), SW_HIDE);
    EnableWindow(GetDlgItem(hDlg, 1000), FALSE);
    Key(hDlg, VK_TAB);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1003));
    Key(hDlg, VK_TAB);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1011));
    // Backwards the tab stop of the radio group is its first button; the dialog
    // manager then lands on the checked one.
    EXPECT_EQ(GetNextDlgTabItem(hDlg, GetDlgItem(hDlg, 1011), TRUE), GetDlgItem(hDlg, 1001));
    DestroyWindow(hDlg);
}

TEST_F(DialogKeys, ArrowsMoveAndCheckWithinTheRadioGroupOnly) {
    HWND hDlg = Modeless();
    CheckRadioButton(hDlg, 1001, 1004, 1001);
    X11DialogSetFocus(hDlg, GetDlgItem(hDlg, 1001));
    g_script.log.clear();
    Key(hDlg, VK_DOWN);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1002));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1002), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1001), UINT(BST_UNCHECKED));
    Key(hDlg, VK_RIGHT);
    Key(hDlg, VK_RIGHT);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1004));
    // Past the last radio button the group wraps; labels, group boxes and the
    // trackbars that follow without a group mark are not entered.
    Key(hDlg, VK_DOWN);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1001));
    Key(hDlg, VK_UP);
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1004));
    int checked = 0;
    for (int id = 1001; id <= 1004; ++id)
        checked += IsDlgButtonChecked(hDlg, id) == BST_CHECKED ? 1 : 0;
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1004), UINT(BST_CHECKED));
    const std::vector<std::string> clicks = {"command 1002", "command 1003", "command 1004",
                                             "command 1001", "command 1004"};
    EXPECT_EQ(g_script.log, clicks);
    DestroyWindow(hDlg);
}

TEST_F(DialogKeys, MnemonicsCheckRadioButtonsAndLabelsLeadToTheNextControl) {
    HWND hDlg = Modeless();
    CheckRadioButton(hDlg, 1001, 1004, 1001);
    EXPECT_TRUE(Key(hDlg, 'G', WM_SYSKEYDOWN));  // Alt+G
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1003), UINT(BST_CHECKED));
    EXPECT_EQ(Focus(hDlg), GetDlgItem(hDlg, 1003));
    EXPECT_TRUE(Key(hDlg, 'S'));  // without Alt, as long as the focus takes no text
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1004), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 1003), UINT(BST_UNCHECKED));
    EXPECT_FALSE(Key(hDlg, 'Q', WM_SYSKEYDOWN));  // no such mnemonic

    // A label's mnemonic moves the focus to the control after it.
    testd::TemplateBuilder t(WS_POPUP | DS_SETFONT, 0, 0, 0, 100, 60, "", "MS Sans Serif", 8);
    t.Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 5, 5, 40, 14, 5, 0x80, "&Apply");
    t.Item(WS_CHILD | WS_VISIBLE | SS_LEFT, 5, 25, 40, 8, 6, 0x82, "&Level");
    t.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP, 5, 35, 80, 15, 7, 0, "", TRACKBAR_CLASSA);
    t.Item(WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 50, 5, 40, 8, 8, 0x82, "&Raw");
    HWND second = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, ScriptedProc, 0);
    ASSERT_NE(second, nullptr);
    g_script.log.clear();
    EXPECT_TRUE(Key(second, 'L', WM_SYSKEYDOWN));
    EXPECT_EQ(Focus(second), GetDlgItem(second, 7));
    EXPECT_FALSE(Key(second, 'R', WM_SYSKEYDOWN));  // SS_NOPREFIX shows the '&' itself
    EXPECT_TRUE(Key(second, 'A', WM_SYSKEYDOWN));   // a push button is clicked
    EXPECT_EQ(g_script.log, std::vector<std::string>{"command 5"});
    DestroyWindow(second);
    DestroyWindow(hDlg);
}

TEST_F(DialogKeys, SetFocusOnAControlMovesTheDialogsFocus) {
    HWND hDlg = Modeless();
    HWND bar = GetDlgItem(hDlg, 1011);
    SetFocus(bar);
    EXPECT_EQ(Focus(hDlg), bar);
    // The default look went back to OK when the focus left the push buttons.
    SetFocus(GetDlgItem(hDlg, IDCANCEL));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hDlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
    SetFocus(bar);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hDlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hDlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    DestroyWindow(hDlg);
}

TEST_F(DialogKeys, F1AsksForHelpAndEnterFollowsTheDefaultId) {
    HWND hDlg = Modeless();
    X11DialogSetFocus(hDlg, GetDlgItem(hDlg, 1000));
    EXPECT_TRUE(Key(hDlg, VK_F1));
    EXPECT_EQ(g_script.log, std::vector<std::string>{"help 1000"});
    g_script.log.clear();
    // From a trackbar Enter means the default button, which DM_SETDEFID moves.
    SendMessageA(hDlg, DM_SETDEFID, IDCANCEL, 0);
    EXPECT_EQ(SendMessageA(hDlg, DM_GETDEFID, 0, 0), MAKELONG(IDCANCEL, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hDlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(hDlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    Key(hDlg, VK_RETURN);
    // A disabled default button is not pressed by Enter.
    EnableWindow(GetDlgItem(hDlg, IDCANCEL), FALSE);
    Key(hDlg, VK_RETURN);
    EXPECT_EQ(g_script.log, std::vector<std::string>{"command 2"});
    DestroyWindow(hDlg);
}

TEST_F(DialogKeys, RadioClicksClearOnlyTheirOwnGroup) {
    testd::TemplateBuilder t(WS_POPUP | DS_SETFONT, 0, 0, 0, 100, 80, "", "MS Sans Serif", 8);
    const DWORD radio = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON;
    t.Item(radio | WS_GROUP | WS_TABSTOP, 5, 5, 40, 10, 11, 0x80, "One");
    t.Item(radio, 5, 15, 40, 10, 12, 0x80, "Two");
    t.Item(radio | WS_GROUP | WS_TABSTOP, 5, 35, 40, 10, 21, 0x80, "Three");
    t.Item(radio, 5, 45, 40, 10, 22, 0x80, "Four");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, ScriptedProc, 0);
    ASSERT_NE(hDlg, nullptr);
    CheckRadioButton(hDlg, 11, 12, 11);
    CheckRadioButton(hDlg, 21, 22, 22);
    SendDlgItemMessageA(hDlg, 12, BM_CLICK, 0, 0);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 11), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 12), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 22), UINT(BST_CHECKED));
    // A mouse click: press and release inside; a release outside clicks nothing.
    HWND three = GetDlgItem(hDlg, 21);
    SendMessageA(three, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(three, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(500, 2));
    SendMessageA(three, WM_LBUTTONUP, 0, MAKELPARAM(500, 2));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 21), UINT(BST_UNCHECKED));
    SendMessageA(three, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(three, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 21), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 22), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(hDlg, 12), UINT(BST_CHECKED));
    EXPECT_EQ(GetCapture(), nullptr);
    DestroyWindow(hDlg);
}

}  // namespace
