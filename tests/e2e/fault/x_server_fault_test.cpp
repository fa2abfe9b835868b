// Faults from outside: the X server dies under the saver, the preview's host
// is destroyed at any moment. The saver must end promptly and cleanly each
// time and leave the settings file as it was.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/saver_session.h"

namespace {

using namespace std::chrono_literals;

// The saver ends within a second of losing its server; the sanitizer builds
// add their own work at the exit and run several times slower.
#ifdef QUORIX_SANITIZED
constexpr auto kExitDeadline = 5s;
#else
constexpr auto kExitDeadline = 1s;
#endif

// A count from the environment (the fault script raises them), else fallback.
int CountFromEnvironment(const char* name, int fallback) {
    const char* text = std::getenv(name);
    const int value = text != nullptr ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

std::mt19937 MakeRandom() {
    const unsigned seed = std::random_device{}();
    std::printf("random seed %u\n", seed);
    return std::mt19937(seed);
}

struct FileState {
    std::string bytes;
    ino_t inode = 0;
    long long modified = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info = {};
    if (stat(path.c_str(), &info) == 0) {
        state.inode = info.st_ino;
        state.modified =
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    }
    state.bytes = teste2e::ReadFile(path);
    return state;
}

class XServerFault : public teste2e::SaverSession {
  protected:
    void WriteSettings() {
        std::ofstream out(m_registry, std::ios::binary);
        out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
               "\"Style\"=dword:00000002\n\"NumOfBalls\"=dword:00000028\n"
               "\"SizOfBalls\"=dword:0000002c\n";
    }

    // Kills the X server after a random part of a frame period and expects
    // the saver to end within the deadline: one line on stderr, a failure
    // status, no signal, no core, and the settings file untouched.
    void KillServerAndExpectCleanEnd(std::mt19937& random) {
        const FileState before = StateOf(m_registry);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        CloseDisplay();  // the test's own connection would end the test with the server
        m_server->Kill();
        const auto killed = std::chrono::steady_clock::now();
        int code = 0;
        ASSERT_TRUE(m_saver.Wait(5000, &code)) << "the saver hangs without its X server";
        EXPECT_LT(std::chrono::steady_clock::now() - killed, kExitDeadline);
        EXPECT_EQ(m_saver.Signal(), 0) << "ended by a signal";
        EXPECT_FALSE(m_saver.CoreDumped());
        EXPECT_NE(code, 0);
        const std::string text = teste2e::ReadFile(m_stderr);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
        EXPECT_TRUE(StateOf(m_registry) == before) << "the settings file changed";
        for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name == "registry.reg" || name == "registry.reg.lock" ||
                        name == "stderr.txt" || entry.path().extension() == ".xwd")
                << "left beside the settings: " << name;
        }
    }
};

TEST_F(XServerFault, TheFullScreenSaverEndsCleanlyWhenTheServerDies) {
    std::mt19937 random = MakeRandom();
    const int runs = CountFromEnvironment("QUORIX_FAULT_SERVER_KILLS", 2);
    for (int i = 0; i < runs && !HasFailure(); ++i) {
        StartServer("640x480x24");
        WriteSettings();
        StartSaver({"/s"});
        ASSERT_TRUE(WaitForViolet(0.3));  // drawing, its worker presenting
        KillServerAndExpectCleanEnd(random);
    }
}

TEST_F(XServerFault, ThePreviewEndsCleanlyWhenTheServerDies) {
    std::mt19937 random = MakeRandom();
    const int runs = CountFromEnvironment("QUORIX_FAULT_SERVER_KILLS", 2);
    for (int i = 0; i < runs && !HasFailure(); ++i) {
        StartServer("640x480x24");
        WriteSettings();
        const Window host = CreateHostWindow(320, 240);
        // The host outlives the test's connection, which goes before the server.
        XSetCloseDownMode(m_display, RetainPermanent);
        StartSaver({"/p", std::to_string(host)});
        ASSERT_TRUE(WaitForViolet(0.5, std::to_string(host)));
        KillServerAndExpectCleanEnd(random);
    }
}

// The preview's host is destroyed at a random moment: before the preview's
// window exists, while it starts, or between and during its frames. Each run
// ends at once with status 0 and nothing on stderr.
TEST_F(XServerFault, PreviewsWhoseHostIsDestroyedAtRandomMomentsEndQuietly) {
    std::mt19937 random = MakeRandom();
    const int runs = CountFromEnvironment("QUORIX_FAULT_PREVIEWS", 10);
    StartServer("640x480x24");
    WriteSettings();
    const FileState before = StateOf(m_registry);
    for (int i = 0; i < runs; ++i) {
        const int width = 20 + static_cast<int>(random() % 600);
        const int height = 20 + static_cast<int>(random() % 440);
        const Window host = CreateHostWindow(width, height);
        StartSaver({"/p", std::to_string(host)});
        const auto delay = std::chrono::microseconds(random() % 1500000);
        std::this_thread::sleep_for(delay);
        XDestroyWindow(m_display, host);
        XSync(m_display, False);
        int code = -1;
        ASSERT_TRUE(m_saver.Wait(teste2e::kDrawDeadlineMs, &code))
            << "run " << i << ": the preview outlived its host (" << width << "x" << height
            << ", destroyed after " << delay.count() << " us)";
        EXPECT_EQ(m_saver.Signal(), 0) << "run " << i;
        EXPECT_EQ(code, 0) << "run " << i;
        EXPECT_EQ(teste2e::ReadFile(m_stderr), "") << "run " << i;
    }
    EXPECT_TRUE(StateOf(m_registry) == before) << "the settings file changed";
    std::printf("%d previews destroyed, %s\n", runs, HasFailure() ? "with failures" : "all clean");
}

}  // namespace
