// Dialogs driven through the X server as a user drives them (xdotool):
// keyboard navigation, mouse clicks, the close box, and the system menu on
// Alt+Space and on a right click.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/dialog_support.h"

namespace {

std::vector<std::string> g_log;
HWND g_dialog = nullptr;
int g_checkedAtOk = 0;

INT_PTR CALLBACK InputProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            g_dialog = hDlg;
            CheckRadioButton(hDlg, 1001, 1004, 1001);
            GetSystemMenu(hDlg, FALSE);
            AppendMenuA(GetSystemMenu(hDlg, FALSE), MF_SEPARATOR, 0, nullptr);
            AppendMenuA(GetSystemMenu(hDlg, FALSE), MF_STRING, 16, "&About quorix ...");
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                for (int id = 1001; id <= 1004; ++id)
                    if (IsDlgButtonChecked(hDlg, id) == BST_CHECKED) g_checkedAtOk = id;
                EndDialog(hDlg, LOWORD(wParam));
            }
            return TRUE;
        case WM_SYSCOMMAND:
            g_log.push_back("syscommand " + std::to_string(wParam & 0xFFF0));
            if ((wParam & 0xFFF0) == 16) EndDialog(hDlg, 16);
            return (wParam & 0xFFF0) == 16 ? TRUE : FALSE;
        default:
            return FALSE;
    }
}

// Ends a dialog that the simulated user failed to end.
void CALLBACK Rescue(HWND, UINT, UINT_PTR, DWORD) {
    if (g_dialog != nullptr) EndDialog(g_dialog, -2);
}

class DialogInput : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
        g_log.clear();
        g_dialog = nullptr;
        g_checkedAtOk = 0;
        m_rescue = SetTimer(nullptr, 0, 10000, Rescue);
    }
    void TearDown() override { KillTimer(nullptr, m_rescue); }
    // Runs the settings layout modally; xdotool plays `script` once the
    // dialog is up and holds the input focus.
    INT_PTR RunWith(const std::string& script) {
        testx::ChildProcess user;
        static testx::ChildProcess* s_user = nullptr;
        static const std::string* s_script = nullptr;
        s_user = &user;
        s_script = &script;
        g_dialog = nullptr;
        auto start = [](HWND, UINT, UINT_PTR id, DWORD) {
            if (g_dialog == nullptr || !IsWindow(g_dialog) || GetFocus() == nullptr) return;
            KillTimer(nullptr, id);
            s_user->Start({"sh", "-c", *s_script});
        };
        SetTimer(nullptr, 0, 50, start);
        testd::TemplateBuilder t = testd::SettingsTemplate();
        const INT_PTR result = DialogBoxIndirectParamA(nullptr, t.Get(), nullptr, InputProc, 0);
        user.Wait(10000);
        return result;
    }
    UINT_PTR m_rescue = 0;
};

TEST_F(DialogInput, KeyboardNavigatesAndEnterConfirms) {
    EXPECT_EQ(RunWith("xdotool key Tab Tab Down Down Return"), IDOK);
    EXPECT_EQ(g_checkedAtOk, 1003);
}

TEST_F(DialogInput, ShiftTabGoesBackAndSpacePressesTheFocusedButton) {
    // From OK backwards: the second trackbar, the first, the radio group, Cancel.
    EXPECT_EQ(RunWith("xdotool key shift+Tab shift+Tab shift+Tab shift+Tab space"), IDCANCEL);
}

TEST_F(DialogInput, EscapeAltMnemonicAndAltF4) {
    EXPECT_EQ(RunWith("xdotool key alt+s Escape"), IDCANCEL);
    EXPECT_EQ(g_checkedAtOk, 1004);
    EXPECT_EQ(RunWith("xdotool key alt+F4"), IDCANCEL);
}

TEST_F(DialogInput, MouseClickOnCancelAndOnARadioButton) {
    // The script gets the controls' screen positions once the dialog runs.
    testx::ChildProcess user;
    static testx::ChildProcess* s_user = &user;
    static bool started = false;
    started = false;
    // Once the dialog runs, click "&Green" and then Cancel at their screen positions.
    auto start = [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (g_dialog == nullptr || started) return;
        started = true;
        RECT green, cancel;
        GetWindowRect(GetDlgItem(g_dialog, 1003), &green);
        GetWindowRect(GetDlgItem(g_dialog, IDCANCEL), &cancel);
        const std::string script =
            "sleep 0.2; xdotool mousemove " + std::to_string(green.left + 20) + " " +
            std::to_string((green.top + green.bottom) / 2) + " click 1 mousemove " +
            std::to_string((cancel.left + cancel.right) / 2) + " " +
            std::to_string((cancel.top + cancel.bottom) / 2) + " click 1";
        s_user->Start({"sh", "-c", script});
    };
    SetTimer(nullptr, 0, 300, start);
    testd::TemplateBuilder t = testd::SettingsTemplate();
    EXPECT_EQ(DialogBoxIndirectParamA(nullptr, t.Get(), nullptr, InputProc, 0), IDCANCEL);
    EXPECT_EQ(g_checkedAtOk, 1003);
    user.Wait(3000);
}

TEST_F(DialogInput, SystemMenuOpensOnAltSpaceAndOnARightClick) {
    // Alt+Space, down past the separator to the About item, Enter.
    EXPECT_EQ(RunWith("xdotool key alt+space; sleep 0.3; xdotool key Down Return"), 16);
    EXPECT_EQ(g_log, std::vector<std::string>{"syscommand 16"});
    g_log.clear();
    // Right click in the dialog, then Escape closes the menu; Close ends the dialog.
    EXPECT_EQ(RunWith("xdotool mousemove 3 150 click 3 mousemove 600 500; sleep 0.3; "
                      "xdotool key Escape; sleep 0.2; xdotool key alt+space; sleep 0.3; "
                      "xdotool key Return"),
              IDCANCEL);
    EXPECT_EQ(g_log, std::vector<std::string>{"syscommand 61536"});  // SC_CLOSE
}

TEST(SystemMenu, StandardItemsAppendAndRevert) {
    ASSERT_NE(testd::SharedDisplay(), nullptr) << "no Xvfb";
    testd::TemplateBuilder t(WS_POPUP | WS_SYSMENU, 0, 0, 0, 40, 40, "");
    HWND hDlg = CreateDialogIndirectParamA(nullptr, t.Get(), nullptr, InputProc, 0);
    ASSERT_NE(hDlg, nullptr);
    HMENU menu = GetSystemMenu(hDlg, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 3);  // Close, and what WM_INITDIALOG appended
    EXPECT_EQ(GetMenuItemID(menu, 0), UINT(SC_CLOSE));
    EXPECT_EQ(GetMenuItemID(menu, 1), 0u);  // the separator
    EXPECT_EQ(GetMenuItemID(menu, 2), 16u);
    char text[64];
    EXPECT_EQ(GetMenuStringA(menu, 16, text, sizeof text, MF_BYCOMMAND), 17);
    EXPECT_STREQ(text, "&About quorix ...");
    EXPECT_EQ(GetMenuItemID(menu, 3), UINT(-1));
    EXPECT_FALSE(AppendMenuA(menu, MF_STRING, 5, nullptr));
    EXPECT_EQ(GetSystemMenu(hDlg, TRUE), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSystemMenu(hDlg, FALSE)), 1);  // the standard menu again
    DestroyWindow(hDlg);
}

}  // namespace
