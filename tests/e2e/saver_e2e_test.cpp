// The saver as a user meets it: started with the screen-saver switches on a
// display of its own, ended by the user's input or by its host window.
// GoogleTest before Xlib, whose macros clash with its names.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/screen_shot.h"
#include "tests/x11/xvfb_server.h"

namespace {

using namespace std::chrono_literals;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SaverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorix-e2e-XXXXXX";
        const char* dir = mkdtemp(pattern);
        ASSERT_NE(dir, nullptr);
        m_dir = dir;
    }

    // A file in the test's own temporary directory.
    std::string TempPath(const std::string& name) const { return m_dir + "/" + name; }

    void StartServer(const std::string& screen) {
        m_server = std::make_unique<testx::XvfbServer>(screen);
        ASSERT_TRUE(m_server->Ok()) << "Xvfb did not start";
        m_display = XOpenDisplay(m_server->Display().c_str());
        ASSERT_NE(m_display, nullptr);
        m_registry = TempPath("registry.reg");
        m_stderr = TempPath("stderr.txt");
    }

    void TearDown() override {
        m_saver.Kill();
        if (m_display != nullptr) XCloseDisplay(m_display);
        m_server.reset();
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }

    std::vector<std::string> Environment() const {
        return {"DISPLAY=" + m_server->Display(), "QUORIX_REGISTRY=" + m_registry,
                "XSCREENSAVER_WINDOW="};
    }

    void StartSaver(const std::vector<std::string>& args, std::vector<std::string> extraEnv = {}) {
        std::vector<std::string> argv = {QUORIX_PROGRAM};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<std::string> env = Environment();
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        ASSERT_TRUE(m_saver.Start(argv, env, "", m_stderr));
    }

    void Xdotool(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        testx::ChildProcess tool(argv, {"DISPLAY=" + m_server->Display()});
        int code = -1;
        ASSERT_TRUE(tool.Wait(10000, &code));
        ASSERT_EQ(code, 0) << "xdotool failed";
    }

    // The full-screen window: a viewable override-redirect child of the root
    // as large as the screen.
    Window FindFullScreenWindow() {
        Window root = DefaultRootWindow(m_display), parent = 0, *children = nullptr;
        unsigned count = 0;
        Window found = 0;
        if (!XQueryTree(m_display, root, &root, &parent, &children, &count)) return 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(m_display, children[i], &a) && a.map_state == IsViewable &&
                a.override_redirect && a.width == DisplayWidth(m_display, 0) &&
                a.height == DisplayHeight(m_display, 0))
                found = children[i];
        }
        if (children != nullptr) XFree(children);
        return found;
    }

    bool WaitForFullScreenWindow() {
        for (int i = 0; i < 100; ++i) {
            if (FindFullScreenWindow() != 0) return true;
            if (!m_saver.Running()) return false;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    // A plain window of the test's own, as a host of the preview.
    Window CreateHostWindow(int width, int height) {
        const int screen = DefaultScreen(m_display);
        Window w =
            XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 10, 10, width, height, 0,
                                BlackPixel(m_display, screen), WhitePixel(m_display, screen));
        XMapWindow(m_display, w);
        XSync(m_display, False);
        return w;
    }

    // Children of a window, as the preview is one.
    unsigned ChildCount(Window w) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, w, &root, &parent, &children, &count)) return 0;
        if (children != nullptr) XFree(children);
        return count;
    }

    teste2e::ScreenShot Shot(const std::string& name, const std::string& window = "") {
        return teste2e::TakeScreenShot(m_server->Display(), TempPath(name + ".xwd"), window);
    }

    // Ends the saver with one kind of input and checks that it went quietly.
    void ExpectEndedBy(const std::vector<std::string>& input) {
        StartServer("640x480x24");
        Xdotool({"mousemove", "200", "200"});
        StartSaver({"/s"});
        ASSERT_TRUE(WaitForFullScreenWindow());
        std::this_thread::sleep_for(700ms);  // the window is up and has seen the cursor
        ASSERT_TRUE(m_saver.Running());
        Xdotool(input);
        int code = -1;
        EXPECT_TRUE(m_saver.Wait(2000, &code)) << "the saver did not end";
        EXPECT_EQ(code, 0);
        EXPECT_EQ(ReadFile(m_stderr), "");
    }

    std::unique_ptr<testx::XvfbServer> m_server;
    Display* m_display = nullptr;
    testx::ChildProcess m_saver;
    std::string m_dir;
    std::string m_registry;
    std::string m_stderr;
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
    std::this_thread::sleep_for(2s);
    const teste2e::ScreenShot intro = Shot("intro");
    const teste2e::Census early = teste2e::Count(intro);
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
    for (int i = 0; i < 60 && blobs < 8; ++i) {
        std::this_thread::sleep_for(1s);
        const teste2e::ScreenShot shot = Shot("balls");
        blobs = teste2e::CountGreenBlobs(shot);
        later = teste2e::Count(shot);
    }
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
    ASSERT_TRUE(WaitForFullScreenWindow());
    std::this_thread::sleep_for(700ms);
    Xdotool({"mousemove", "200", "300"});
    Xdotool({"mousemove", "200", "20"});
    Xdotool({"mousemove_relative", "--", "0", "-1"});
    std::this_thread::sleep_for(1500ms);
    EXPECT_TRUE(m_saver.Running());
    // And a sideways move still does.
    Xdotool({"mousemove_relative", "1", "0"});
    int code = -1;
    EXPECT_TRUE(m_saver.Wait(2000, &code));
    EXPECT_EQ(code, 0);
}

TEST_F(SaverTest, PreviewDrawsInsideItsHostAndEndsWithIt) {
    StartServer("640x480x24");
    const Window host = CreateHostWindow(320, 240);
    StartSaver({"/p", std::to_string(host)});
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(m_saver.Running());
    EXPECT_EQ(ChildCount(host), 1u);
    const teste2e::Census inside = teste2e::Count(Shot("preview", std::to_string(host)), 1);
    EXPECT_GT(inside.violet, 0.5);  // the white host is covered by the animation
    const teste2e::Census outside = teste2e::Count(Shot("screen"), 1);
    EXPECT_LT(outside.violet, 320.0 * 240.0 / (640.0 * 480.0) + 0.01);  // and only the host

    // Input over the preview changes nothing.
    Xdotool({"mousemove", "100", "100"});
    Xdotool({"click", "1"});
    Xdotool({"key", "a"});
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(m_saver.Running());

    const auto destroyed = std::chrono::steady_clock::now();
    XDestroyWindow(m_display, host);
    XSync(m_display, False);
    int code = -1;
    ASSERT_TRUE(m_saver.Wait(1000, &code)) << "the preview outlived its host";
    EXPECT_LT(std::chrono::steady_clock::now() - destroyed, 1s);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFile(m_stderr), "");
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
        EXPECT_EQ(ReadFile(m_stderr), "") << args.back();
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
        const std::string text = ReadFile(err);
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
        std::this_thread::sleep_for(2s);
        ASSERT_TRUE(m_saver.Running());
        const teste2e::Census inside = teste2e::Count(Shot("host", std::to_string(host)), 1);
        EXPECT_GT(inside.violet, 0.5);
        XDestroyWindow(m_display, host);
        XSync(m_display, False);
        int code = -1;
        EXPECT_TRUE(m_saver.Wait(1000, &code));
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
    EXPECT_TRUE(m_saver.Wait(2000, &code));
    EXPECT_EQ(code, 0);
}

}  // namespace
