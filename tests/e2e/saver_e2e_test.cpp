// The saver as a user meets it: started with the screen-saver switches on a
// display of its own, ended by the user's input or by its host window.
#include "tests/e2e/saver_session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

class SaverTest : public teste2e::SaverSession {
  protected:
    // Ends the saver with one kind of input and checks that it went quietly.
    void ExpectEndedBy(const std::vector<std::string>& input) {
        StartServer("640x480x24");
        Xdotool({"mousemove", "200", "200"});
        StartSaver({"/s"});
        ASSERT_TRUE(WaitForFullScreenSaverReady());
        Xdotool(input);
        int code = -1;
        EXPECT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code)) << "the saver did not end";
        EXPECT_EQ(code, 0);
        EXPECT_EQ(teste2e::ReadFile(m_stderr), "");
    }
};

TEST_F(SaverTest, FullScreenDrawsOnlyAfterItsFirstPaintThenTheIntroAndBalls) {
    StartServer("640x480x24");
    // A red root: whatever the saver has not drawn shows red.
    const int screen = DefaultScreen(m_display);
    XColor red = {};
    red.red = 0xFFFF;
    red.flags = DoRed | DoGreen | DoBlue;
    XAllocColor(m_display, DefaultColormap(m_display, screen), &red);
    XSetWindowBackground(m_display, RootWindow(m_display, screen), red.pixel);
    XClearWindow(m_display, RootWindow(m_display, screen));
    XSync(m_display, False);
    ASSERT_EQ(Shot("before").At(100, 100), 0xFF0000u);

    StartSaver({"/s"});
    ASSERT_TRUE(WaitForFullScreenWindow());
    teste2e::ScreenShot intro;
    teste2e::Census early;
    testx::WaitUntil(
        [&] {
            intro = Shot("intro");
            early = teste2e::Count(intro);
            return early.violet > 0.6 && early.other + early.green > 0.001;
        },
        teste2e::kDrawDeadlineMs);
    // The intro: the violet background over the whole screen and one ball's
    // figure on it; nothing red is left.
    EXPECT_GT(early.violet, 0.6);
    EXPECT_GT(early.other + early.green, 0.001);
    int redLeft = 0;
    for (uint32_t p : intro.pixels)
        redLeft += p == 0xFF0000u;
    EXPECT_EQ(redLeft, 0);

    // After the intro the ordinary balls, mostly green ones, fill the scene:
    // many separate green balls instead of the one figure.
    int blobs = 0;
    teste2e::Census later;
    testx::WaitUntil(
        [&] {
            const teste2e::ScreenShot shot = Shot("balls");
            blobs = teste2e::CountGreenBlobs(shot);
            later = teste2e::Count(shot);
            return blobs >= 8 && later.green > 0.01;
        },
        120000);
    EXPECT_GE(blobs, 8);
    EXPECT_GT(later.green, 0.01);
    EXPECT_GT(later.violet, 0.2);
    EXPECT_TRUE(m_saver.Running());
}

TEST_F(SaverTest, AnyKeyEndsTheFullScreenSaver) {
    ExpectEndedBy({"key", "a"});
}
TEST_F(SaverTest, AltEndsTheFullScreenSaver) {
    ExpectEndedBy({"key", "Alt_L"});
}
TEST_F(SaverTest, AltF4EndsTheFullScreenSaver) {
    ExpectEndedBy({"key", "alt+F4"});
}
TEST_F(SaverTest, LeftClickEndsTheFullScreenSaver) {
    ExpectEndedBy({"click", "1"});
}
TEST_F(SaverTest, RightClickEndsTheFullScreenSaver) {
    ExpectEndedBy({"click", "3"});
}
TEST_F(SaverTest, MiddleClickEndsTheFullScreenSaver) {
    ExpectEndedBy({"click", "2"});
}
TEST_F(SaverTest, WheelUpEndsTheFullScreenSaver) {
    ExpectEndedBy({"click", "4"});
}
TEST_F(SaverTest, WheelDownEndsTheFullScreenSaver) {
    ExpectEndedBy({"click", "5"});
}
TEST_F(SaverTest, OnePixelSidewaysEndsTheFullScreenSaver) {
    ExpectEndedBy({"mousemove_relative", "--", "-1", "0"});
}

TEST_F(SaverTest, VerticalMovesDoNotEndTheFullScreenSaver) {
    StartServer("640x480x24");
    Xdotool({"mousemove", "200", "200"});
    StartSaver({"/s"});
    ASSERT_TRUE(WaitForFullScreenSaverReady());
    Xdotool({"mousemove", "200", "300"});
    Xdotool({"mousemove", "200", "20"});
    Xdotool({"mousemove_relative", "--", "0", "-1"});
    // A time to show that nothing happens; a slow build only makes it stricter.
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(m_saver.Running());
    // And a sideways move still does.
    Xdotool({"mousemove_relative", "1", "0"});
    int code = -1;
    EXPECT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code));
    EXPECT_EQ(code, 0);
}

TEST_F(SaverTest, ThePointerIsHiddenOverTheFullScreenSaverAndBackAfterIt) {
    StartServer("640x480x24");
    Xdotool({"mousemove", "300", "200"});
    ASSERT_FALSE(PointerHidden()) << "the root window's pointer shows";
    StartSaver({"/s"});
    ASSERT_TRUE(WaitForFullScreenWindow());
    EXPECT_TRUE(testx::WaitUntil([&] { return PointerHidden(); }, teste2e::kDrawDeadlineMs));
    // Moving straight down keeps the saver and the pointer hidden.
    Xdotool({"mousemove", "300", "400"});
    ASSERT_TRUE(WaitForViolet(0.2));
    EXPECT_TRUE(PointerHidden());
    Xdotool({"key", "a"});
    int code = -1;
    ASSERT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code));
    EXPECT_EQ(code, 0);
    XSync(m_display, False);
    EXPECT_FALSE(PointerHidden()) << "the pointer stays hidden after the saver";
}

TEST_F(SaverTest, PreviewDrawsInsideItsHostAndEndsWithIt) {
    StartServer("640x480x24");
    const Window host = CreateHostWindow(320, 240);
    StartSaver({"/p", std::to_string(host)});
    // The white host is covered by the animation.
    ASSERT_TRUE(WaitForViolet(0.5, std::to_string(host)));
    EXPECT_EQ(ChildCount(host), 1u);
    const teste2e::Census outside = teste2e::Count(Shot("screen"), 1);
    EXPECT_LT(outside.violet, 320.0 * 240.0 / (640.0 * 480.0) + 0.01);  // and only the host

    // Input over the preview changes nothing.
    Xdotool({"mousemove", "100", "100"});
    Xdotool({"click", "1"});
    Xdotool({"key", "a"});
    std::this_thread::sleep_for(300ms);  // a time to show that nothing happens
    EXPECT_TRUE(m_saver.Running());

    const auto destroyed = std::chrono::steady_clock::now();
    XDestroyWindow(m_display, host);
    XSync(m_display, False);
    int code = -1;
    ASSERT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code)) << "the preview outlived its host";
    EXPECT_LT(std::chrono::steady_clock::now() - destroyed, 3s);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(teste2e::ReadFile(m_stderr), "");
}

TEST_F(SaverTest, PreviewWithAHandleThatIsNoWindowEndsQuietly) {
    StartServer("640x480x24");
    const Window gone = CreateHostWindow(50, 50);
    XDestroyWindow(m_display, gone);
    XSync(m_display, False);
    const std::vector<std::vector<std::string>> cases = {
        {"/p", "0"},          {"/p", "-5"},     {"/p", "text"},
        {"/p", "4294967295"}, {"/p", "123456"}, {"/p", std::to_string(gone)},
        {"/p:1234"},          {"/p"},           {"/p", "99999999999999999999"}};
    for (const auto& args : cases) {
        StartSaver(args);
        int code = -1;
        ASSERT_TRUE(m_saver.Wait(5000, &code)) << args.back();
        EXPECT_EQ(code, 0) << args.back();
        EXPECT_EQ(teste2e::ReadFile(m_stderr), "") << args.back();
    }
    EXPECT_EQ(FindFullScreenWindow(), 0u);
}

TEST_F(SaverTest, NoDisplayGivesOneLineAndAFailure) {
    for (const std::string& display : {std::string(), std::string(":9876")}) {
        const std::string err = TempPath("nodisplay.txt");
        testx::ChildProcess saver({QUORIX_PROGRAM, "/s"}, {"DISPLAY=" + display}, "", err);
        int code = 0;
        ASSERT_TRUE(saver.Wait(5000, &code));
        EXPECT_NE(code, 0);
        const std::string text = teste2e::ReadFile(err);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        std::remove(err.c_str());
    }
}

class WrapperTest : public SaverTest {
  protected:
    void StartWrapper(const std::vector<std::string>& args, std::vector<std::string> env) {
        std::vector<std::string> argv = {QUORIX_WRAPPER};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> all = Environment();
        all.push_back(std::string("QUORIX=") + QUORIX_PROGRAM);
        all.insert(all.end(), env.begin(), env.end());
        ASSERT_TRUE(m_saver.Start(argv, all, "", m_stderr));
    }

    void ExpectDrawsInto(Window host) {
        ASSERT_TRUE(WaitForViolet(0.5, std::to_string(host)));
        XDestroyWindow(m_display, host);
        XSync(m_display, False);
        int code = -1;
        EXPECT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code));
        EXPECT_EQ(code, 0);
    }
};

TEST_F(WrapperTest, DrawsIntoXscreensaverWindowGivenInHex) {
    StartServer("640x480x24");
    const Window host = CreateHostWindow(200, 150);
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lX", static_cast<unsigned long>(host));
    StartWrapper({"-root"}, {std::string("XSCREENSAVER_WINDOW=") + hex});
    ExpectDrawsInto(host);
}

TEST_F(WrapperTest, DrawsIntoTheWindowOfWindowId) {
    StartServer("640x480x24");
    const Window host = CreateHostWindow(200, 150);
    StartWrapper({"--window-id", std::to_string(host)}, {});
    ExpectDrawsInto(host);
    const Window second = CreateHostWindow(120, 90);
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(second));
    StartWrapper({"-window-id", hex}, {});
    ExpectDrawsInto(second);
}

TEST_F(WrapperTest, RootRunsTheFullScreenSaver) {
    StartServer("640x480x24");
    StartWrapper({"--root"}, {});
    ASSERT_TRUE(WaitForFullScreenWindow());
    Xdotool({"key", "space"});
    int code = -1;
    EXPECT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code));
    EXPECT_EQ(code, 0);
}

}  // namespace
