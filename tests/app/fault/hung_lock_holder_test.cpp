// A program that hangs while it holds the registry's lock (stopped with
// SIGSTOP in the middle of a save) must not stop any other: reading needs no
// lock, and a save waits a bounded time, then fails without touching the
// file. Once the holder is gone, saving works again.
#include "tests/app/fault/fault_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

TEST_F(FaultRun, AHungLockHolderCostsOneSaveAndNothingElse) {
    ASSERT_EQ(WriteSaverSettings({2, 60, 45}), 1);
    const std::string before = m_registry.FileText();

    // The holder: a program stopped between two values of its save.
    const pid_t holder = Spawn([] {
        HKEY key = CreateSettingsKey(nullptr);
        const DWORD value = 3;
        if (key == nullptr ||
            RegSetValueExA(key, "Style", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) !=
                ERROR_SUCCESS) {
            return 1;
        }
        raise(SIGSTOP);
        return 2;  // never reached: the test kills it
    });
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, WUNTRACED), holder);
    ASSERT_TRUE(WIFSTOPPED(status));

    // Start-up of every run mode: the key is found and the settings read at
    // once, without the lock.
    const auto start = Clock::now();
    EXPECT_EQ(SettingsKeyExists(), 1);
    SaverSettings settings;
    EXPECT_EQ(ReadSaverSettings(settings), 0);
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1500));
    EXPECT_EQ(settings.style, 2);
    EXPECT_EQ(settings.numOfBalls, 60);
    EXPECT_EQ(settings.sizeOfBalls, 45);

    // A save gives up after its bounded wait, says so once, and writes nothing.
    ::testing::internal::CaptureStderr();
    WriteSaverSettings({1, 20, 30});
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(m_registry.FileText(), before);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find(".lock"), std::string::npos) << said;

    kill(holder, SIGKILL);
    EXPECT_EQ(ExitCode(holder), 128 + SIGKILL);
    ASSERT_EQ(WriteSaverSettings({1, 20, 30}), 1);
    const auto saved = FileSettings();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->style, 1);
    EXPECT_EQ(saved->numOfBalls, 20);
    EXPECT_EQ(saved->sizeOfBalls, 30);
    EXPECT_EQ(StrayFiles(), 0);
}

}  // namespace
