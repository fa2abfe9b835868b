// A registry file of the test's own and the program's registry names, for
// fault runs that save settings through the settings store in child
// processes, as the settings dialog's OK does.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/settings_store.h"
#include "platform/framework/winapp.h"
#include "platform/posix/registry_file.h"
#include "platform/posix/registry_store.h"
#include "tests/support/test_registry.h"

class FaultRun : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_registry.Ready());
        m_app = std::make_unique<CWinApp>("quorix");
        m_app->SetRegistryKey("Ostrevane");
    }
    void TearDown() override {
        m_app.reset();
        if (!m_memoryFolder.empty()) std::filesystem::remove_all(m_memoryFolder);
    }

    // Moves the registry into a memory file system when there is one: a kill
    // tests the replacement by rename, which needs no disk, and the runs stay
    // short without the disk's flushes.
    void UseMemoryFolder() {
        char pattern[] = "/dev/shm/quorix-registry-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        m_memoryFolder = pattern;
        m_file = m_memoryFolder + "/registry.reg";
        setenv("QUORIX_REGISTRY", m_file.c_str(), 1);
    }

    // Runs body in a child process; its result is the child's exit code.
    static pid_t Spawn(const std::function<int()>& body) {
        pid_t pid = fork();
        if (pid == 0) _exit(body());
        return pid;
    }

    static int ExitCode(pid_t pid) {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // Waits until fd can be read, at most timeoutMs.
    static bool Readable(int fd, int timeoutMs) {
        pollfd p = {fd, POLLIN, 0};
        return poll(&p, 1, timeoutMs) == 1;
    }

    // The settings as the file holds them; nothing when it holds no whole
    // readable set (the state says why).
    std::optional<SaverSettings> FileSettings(regstore::LoadState* state = nullptr) const {
        regfile::Hive hive;
        const regstore::LoadState s = regstore::Load(hive);
        if (state != nullptr) *state = s;
        const std::string key = "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings";
        int32_t fields[3];
        for (int i = 0; i < 3; ++i) {
            const regfile::Value* v = regfile::FindValue(hive, key, kSettingsValueNames[i]);
            if (v == nullptr || v->data.size() != 4) return std::nullopt;
            std::memcpy(&fields[i], v->data.data(), 4);
        }
        return SaverSettings{fields[0], fields[1], fields[2]};
    }

    // Files in the registry's folder other than the file and its lock.
    int StrayFiles() const {
        const std::filesystem::path file = RegistryFile();
        int stray = 0;
        for (const auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
            const std::string name = entry.path().filename().string();
            if (name != file.filename().string() && name != file.filename().string() + ".lock") {
                ++stray;
            }
        }
        return stray;
    }

    const std::string& RegistryFile() const {
        return m_file.empty() ? m_registry.FilePath() : m_file;
    }

    TestRegistry m_registry;
    std::unique_ptr<CWinApp> m_app;
    std::string m_memoryFolder;
    std::string m_file;
};
