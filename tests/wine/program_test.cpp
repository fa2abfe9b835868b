// The Windows program run by its command lines, as Windows' screen-saver
// settings and a user would: the windowed trial on the screen, the
// configuration dialog's settings in the user's registry (read back with the
// system's reg tool), the full screen saver ended by a key. (The preview
// draws into another process's window, which Wine does not show on screen.)
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/wine/program_run.h"

namespace {

using testwine::Picture;
using testwine::Program;

constexpr char kSettingsKey[] = "Software\\Ostrevane\\quorix\\Settings";
constexpr DWORD kStartMs = 30000;  // the first start of a program under Wine is slow

void ForgetSettings() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Ostrevane\\quorix");
}

void StoreSettings(DWORD style, DWORD numOfBalls, DWORD sizeOfBalls) {
    const std::pair<const char*, DWORD> values[] = {
        {"Style", style}, {"NumOfBalls", numOfBalls}, {"SizOfBalls", sizeOfBalls}};
    for (const auto& [name, value] : values) {
        ASSERT_EQ(
            RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value),
            ERROR_SUCCESS);
    }
}

// The settings as `reg query` lists them: name -> DWORD value.
std::map<std::string, unsigned long> QueriedSettings() {
    const std::string output = testwine::RunAndRead(
        std::string("reg.exe query \"HKEY_CURRENT_USER\\") + kSettingsKey + "\"", 30000);
    std::map<std::string, unsigned long> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string name, type, value;
        if (words >> name >> type >> value && type == "REG_DWORD")
            values[name] = std::stoul(value, nullptr, 16);
    }
    return values;
}

int CountViolet(const Picture& picture) {
    int violet = 0;
    for (uint32_t p : picture.pixels)
        violet += teste2e::IsBackgroundViolet(p);
    return violet;
}

int CountGreen(const Picture& picture) {
    int green = 0;
    for (uint32_t p : picture.pixels)
        green += teste2e::IsGreenish(p);
    return green;
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// A dialog of the program's, pressed like a user presses a push button.
void Press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    SendMessageA(button, BM_CLICK, 0, 0);
}

TEST(WindowsProgram, TrialShowsTheGreenIntroInA512SquareAndStoresNothing) {
    ForgetSettings();
    Program program("/w 2 30");
    ASSERT_TRUE(program.Started()) << testwine::ProgramPath();
    HWND trial = program.WaitWindow("#32770", kStartMs);
    ASSERT_NE(trial, nullptr);
    const RECT client = testwine::ClientOnScreen(trial);
    EXPECT_EQ(client.right - client.left, 512);
    EXPECT_EQ(client.bottom - client.top, 512);
    Sleep(3000);
    const Picture shot = testwine::ReadScreen(client);
    ASSERT_EQ(shot.width, 512);
    testwine::SaveBmp(shot, "trial.bmp");
    // The dark violet ground with the glowing ball's green figure on it.
    EXPECT_GT(CountViolet(shot), 512 * 512 / 2);
    EXPECT_GT(CountGreen(shot), 200);
    // Balls come while the figure is drawn: separate green blobs.
    int blobs = 0;
    for (int i = 0; i < 30 && blobs < 5; ++i) {
        Sleep(500);
        blobs = teste2e::CountGreenBlobs(testwine::ReadScreen(client));
    }
    EXPECT_GE(blobs, 5);
    testwine::SaveBmp(testwine::ReadScreen(client), "trial_balls.bmp");

    PostMessageA(trial, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(program.WaitExit(15000), 0);
    EXPECT_TRUE(QueriedSettings().empty()) << "the trial never stores settings";
}

TEST(WindowsProgram, ConfigurationOkStoresTheSettingsAndCancelDoesNot) {
    ForgetSettings();
    {
        // Without stored settings the dialog shows random, 52 balls, size 38.
        Program program("/c");
        HWND dialog = program.WaitWindow("#32770", kStartMs);
        ASSERT_NE(dialog, nullptr);
        char title[64] = {};
        GetWindowTextA(dialog, title, sizeof title);
        EXPECT_STREQ(title, "quorix");
        Press(dialog, IDOK);
        EXPECT_EQ(program.WaitExit(15000), 0);
    }
    EXPECT_EQ(QueriedSettings(), (std::map<std::string, unsigned long>{
                                     {"Style", 0}, {"NumOfBalls", 52}, {"SizOfBalls", 38}}));

    // Stored values are shown, and OK stores them back; a value out of
    // range comes back corrected.
    StoreSettings(3, 40, 99);
    {
        Program program("/c");
        HWND dialog = program.WaitWindow("#32770", kStartMs);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1004, BM_GETCHECK, 0, 0), BST_CHECKED);
        Press(dialog, IDOK);
        EXPECT_EQ(program.WaitExit(15000), 0);
    }
    EXPECT_EQ(QueriedSettings(), (std::map<std::string, unsigned long>{
                                     {"Style", 3}, {"NumOfBalls", 40}, {"SizOfBalls", 60}}));

    // A changed style under Cancel is not stored.
    {
        Program program("/c");
        HWND dialog = program.WaitWindow("#32770", kStartMs);
        ASSERT_NE(dialog, nullptr);
        Press(dialog, 1002);
        Press(dialog, IDCANCEL);
        EXPECT_EQ(program.WaitExit(15000), 0);
    }
    EXPECT_EQ(QueriedSettings(), (std::map<std::string, unsigned long>{
                                     {"Style", 3}, {"NumOfBalls", 40}, {"SizOfBalls", 60}}));
    ForgetSettings();
}

TEST(WindowsProgram, FullScreenSaverDrawsOverTheScreenAndEndsOnAKeyPress) {
    Program program("/s");
    HWND saver = program.WaitWindow(nullptr, kStartMs);
    ASSERT_NE(saver, nullptr);
    const RECT client = testwine::ClientOnScreen(saver);
    EXPECT_EQ(client.right - client.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(client.bottom - client.top, GetSystemMetrics(SM_CYSCREEN));
    Sleep(4000);
    const Picture shot = testwine::ReadScreen(client);
    testwine::SaveBmp(shot, "full_screen.bmp");
    EXPECT_GT(CountViolet(shot), shot.width * shot.height / 2);
    EXPECT_GT(CountGreen(shot), 200);
    EXPECT_EQ(program.WaitExit(500), -1) << "it runs until the user comes back";

    SetForegroundWindow(saver);
    PressKey(VK_SHIFT);
    EXPECT_EQ(program.WaitExit(15000), 0);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorix_wine_tests PROGRAM.scr [gtest options]\n");
        return 2;
    }
    std::string path = argv[1];
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/') c = '\\';
        path = "Z:" + path;
    }
    testwine::ProgramPath() = path;
    return RUN_ALL_TESTS();
}
