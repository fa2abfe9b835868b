// A registry of a test's own while it lives, so that tests may write the
// current user's keys freely. On Linux the POSIX layer keeps the registry in
// the file that QUORIX_REGISTRY names: a file in a fresh temporary folder. On
// Windows HKEY_CURRENT_USER is redirected (RegOverridePredefKey) to a fresh key
// below the user's Software key, deleted with everything in it at the end.
#pragma once

#include <string>

#include "platform/win32.h"

#ifdef _WIN32

class TestRegistry {
  public:
    TestRegistry() {
        static int s_count = 0;
        m_path = "Software\\quorix-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++s_count);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &m_key, nullptr) != ERROR_SUCCESS) {
            m_key = nullptr;
            return;
        }
        m_ready = RegOverridePredefKey(HKEY_CURRENT_USER, m_key) == ERROR_SUCCESS;
    }
    ~TestRegistry() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (m_key == nullptr) return;
        RegCloseKey(m_key);
        RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, m_path.c_str());
    }
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    // Whether the redirection is in place; tests must not run without it.
    bool Ready() const { return m_ready; }
    // The real registry is no file: no path, no text.
    const std::string& FilePath() const { return m_file; }
    std::string FileText() const { return std::string(); }
    // True while nothing was written: the redirected key has no keys or values.
    bool Untouched() const {
        DWORD keys = 0, values = 0;
        return RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values,
                                nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
               keys == 0 && values == 0;
    }

  private:
    std::string m_path;
    std::string m_file;
    HKEY m_key = nullptr;
    bool m_ready = false;
};

#else

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

class TestRegistry {
  public:
    TestRegistry() {
        char pattern[] = "/tmp/quorix-registry-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        m_dir = pattern;
        m_file = m_dir + "/registry.reg";
        m_ready = setenv("QUORIX_REGISTRY", m_file.c_str(), 1) == 0;
    }
    ~TestRegistry() {
        unsetenv("QUORIX_REGISTRY");
        if (!m_dir.empty()) std::filesystem::remove_all(m_dir);
    }
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    bool Ready() const { return m_ready; }
    // The registry file, which exists once something was written.
    const std::string& FilePath() const { return m_file; }
    std::string FileText() const {
        std::ifstream in(m_file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool Untouched() const { return !std::filesystem::exists(m_file); }

  private:
    std::string m_dir;
    std::string m_file;
    bool m_ready = false;
};

#endif
