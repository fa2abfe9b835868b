// The real program on an Xvfb of the test's own: started with the screen-saver
// switches and a registry file of the test's, driven with xdotool, read back
// with xwd and, for the pointer, with XFixes.
// GoogleTest before Xlib, whose macros clash with its names.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/screen_shot.h"
#include "tests/support/xvfb_server.h"

namespace teste2e {

using namespace std::chrono_literals;

// Deadlines are generous: the sanitizer builds run several times slower on a
// busy machine, and a condition that holds ends the wait at once.
constexpr int kDrawDeadlineMs = 30000;

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class SaverSession : public ::testing::Test {
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
        CloseDisplay();
        m_server.reset();
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }

    void CloseDisplay() {
        if (m_display != nullptr) XCloseDisplay(m_display);
        m_display = nullptr;
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
        return testx::WaitUntil([&] { return FindFullScreenWindow() != 0 || !m_saver.Running(); },
                                kDrawDeadlineMs) &&
               m_saver.Running();
    }

    // True once the pointer shows no visible pixel (the saver's hidden cursor).
    bool PointerHidden() {
        XFixesCursorImage* image = XFixesGetCursorImage(m_display);
        if (image == nullptr) return false;
        bool visible = false;
        for (int i = 0; i < image->width * image->height && !visible; ++i)
            visible = (image->pixels[i] >> 24) != 0;  // alpha
        XFree(image);
        return !visible;
    }

    // The full-screen saver up, painted, and past its first look at the
    // pointer (it hides the pointer as it handles that), so that the next
    // input is taken as the user's.
    bool WaitForFullScreenSaverReady() {
        return WaitForFullScreenWindow() &&
               testx::WaitUntil([&] { return PointerHidden() || !m_saver.Running(); },
                                kDrawDeadlineMs) &&
               m_saver.Running();
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

    ScreenShot Shot(const std::string& name, const std::string& window = "") {
        return TakeScreenShot(m_server->Display(), TempPath(name + ".xwd"), window);
    }

    // Waits until the animation covers more than `share` of the window (the
    // whole screen without one) with its violet background.
    bool WaitForViolet(double share, const std::string& window = "") {
        return testx::WaitUntil(
                   [&] {
                       return !m_saver.Running() || Count(Shot("violet", window), 1).violet > share;
                   },
                   kDrawDeadlineMs) &&
               m_saver.Running();
    }

    std::unique_ptr<testx::XvfbServer> m_server;
    Display* m_display = nullptr;
    testx::ChildProcess m_saver;
    std::string m_dir;
    std::string m_registry;
    std::string m_stderr;
};

}  // namespace teste2e
