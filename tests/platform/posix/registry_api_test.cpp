// The registry functions over the registry file in a temporary folder
// ($QUORIX_REGISTRY): round trips, key creation, damaged and unusable files,
// and programs saving at once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/posix/registry_file.h"
#include "platform/posix/registry_store.h"
#include "platform/win32.h"

namespace {

const char kApp[] = "Software\\Ostrevane\\quorix\\Settings";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorix-registry-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_file = m_dir + "/registry.reg";
        setenv("QUORIX_REGISTRY", m_file.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("QUORIX_REGISTRY");
        std::error_code ignored;
        std::filesystem::permissions(m_dir, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }

    // Creates the key and writes one DWORD through it; returns the write's result.
    LONG SaveDword(const char* name, DWORD value) {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, kApp, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        rc = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
        const LONG closed = RegCloseKey(key);  // the change reaches the file here
        return rc != ERROR_SUCCESS ? rc : closed;
    }

    // Reads one DWORD; returns the query's result (or the open's).
    LONG LoadDword(const char* name, DWORD& value) {
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, kApp, 0, KEY_READ, &key);
        if (rc != ERROR_SUCCESS) return rc;
        DWORD size = 4, type = 0;
        rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(key);
        return rc;
    }

    std::string m_dir;
    std::string m_file;
};

TEST_F(Registry, RoundTripsOfEachType) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kApp, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const DWORD number = 0xDEADBEEF;
    const char text[] = "hello \"world\"";
    const BYTE blob[] = {0, 1, 2, 0xFF, 0x2A};
    EXPECT_EQ(
        RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
        ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text),
        ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Blob", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    std::string file = ReadAll(m_file);
    EXPECT_EQ(file.compare(0, 9, "REGEDIT4\n"), 0);
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
                        "\"Number\"=dword:deadbeef\n\"Text\"=\"hello \\\"world\\\"\"\n"
                        "\"Blob\"=hex:00,01,02,ff,2a\n"),
              std::string::npos)
        << file;

    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\OSTREVANE\\Quorix\\settings", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    DWORD type = 0, size = 4, got = 0;
    EXPECT_EQ(RegQueryValueExA(key, "number", nullptr, &type, reinterpret_cast<BYTE*>(&got), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(got, number);
    char buffer[64] = {};
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, sizeof text);
    EXPECT_STREQ(buffer, text);
    BYTE bytes[8] = {};
    size = sizeof bytes;
    EXPECT_EQ(RegQueryValueExA(key, "Blob", nullptr, &type, bytes, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, sizeof blob);
    EXPECT_EQ(std::memcmp(bytes, blob, sizeof blob), 0);

    // Sizes: a null buffer asks for the size, a small one gives ERROR_MORE_DATA.
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, sizeof text);
    size = 4;
    EXPECT_EQ(
        RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(RegQueryValueExA(key, "Missing", nullptr, nullptr, bytes, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, KeysOpenOnlyWhenTheyExist) {
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    ASSERT_EQ(SaveDword("Style", 2), ERROR_SUCCESS);
    // Every key on the way exists now, and opens piece by piece.
    HKEY software = nullptr, company = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &software), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(software, "Ostrevane", 0, KEY_READ, &company), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(company, "other", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(company, "quorix\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(company), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(software), ERROR_SUCCESS);
}

TEST_F(Registry, BadHandlesAndPathsAreRefused) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(reinterpret_cast<HKEY>(0x1234), "x", 0, KEY_READ, &key),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    for (const char* bad : {"\\Software", "Software\\\\X", "Soft\nware"}) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, bad, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_INVALID_PARAMETER)
            << bad;
    }
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExA(key, "two\nlines", 0, REG_DWORD, reinterpret_cast<const BYTE*>("1234"), 4),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "x", 0, REG_DWORD, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);  // closed already
    DWORD size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, MissingAndEmptyFilesReadAsEmptyAndAreWritten) {
    DWORD value = 7;
    EXPECT_EQ(LoadDword("Style", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 7u);
    WriteAll(m_file, "");
    EXPECT_EQ(LoadDword("Style", value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(SaveDword("Style", 3), ERROR_SUCCESS);
    EXPECT_EQ(LoadDword("Style", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 3u);
}

TEST_F(Registry, MissingFolderIsCreated) {
    std::string file = m_dir + "/a/b/registry.reg";
    setenv("QUORIX_REGISTRY", file.c_str(), 1);
    EXPECT_EQ(SaveDword("Style", 1), ERROR_SUCCESS);
    EXPECT_NE(ReadAll(file).find("\"Style\"=dword:00000001"), std::string::npos);
}

TEST_F(Registry, DamagedFilesReadAsEmptyAndAreMovedAsideBySaving) {
    std::string valid =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
        "\"Style\"=dword:00000002\n\"Name\"=\"quorix\"\n";
    const std::string damaged[] = {
        valid.substr(0, valid.size() - 5),  // cut inside a value
        "REGED",                            // cut inside the header
        std::string("\x7f"
                    "ELF\0\0\x01\x02\xff\xfe garbage",
                    18),
        "just some text\n",
    };
    for (size_t n = 0; n < std::size(damaged); ++n) {
        const std::string& text = damaged[n];
        WriteAll(m_file, text);
        DWORD value = 99;
        EXPECT_EQ(LoadDword("Style", value), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(value, 99u);
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(SaveDword("Style", 3), ERROR_SUCCESS);
        const std::string said = ::testing::internal::GetCapturedStderr();
        // Each damaged file is kept under a name of its own, never over an
        // earlier one, and the settings start afresh.
        const std::string aside = m_file + ".damaged" + (n > 0 ? "." + std::to_string(n) : "");
        EXPECT_EQ(ReadAll(aside), text);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(aside), std::string::npos) << said;
        EXPECT_EQ(LoadDword("Style", value), ERROR_SUCCESS);
        EXPECT_EQ(value, 3u);
        EXPECT_EQ(ReadAll(m_file).find("quorix\""), std::string::npos);
    }
    // A file cut at a line end is still a registry file: it keeps its values
    // and takes new ones.
    std::string shorter = valid.substr(0, valid.find("\"Name\""));
    WriteAll(m_file, shorter);
    DWORD value = 0;
    EXPECT_EQ(LoadDword("Style", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(SaveDword("SizOfBalls", 40), ERROR_SUCCESS);
    EXPECT_EQ(LoadDword("Style", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
    EXPECT_FALSE(
        std::filesystem::exists(m_file + ".damaged." + std::to_string(std::size(damaged))));
}

TEST_F(Registry, AFolderInPlaceOfTheFileIsUnusable) {
    ASSERT_EQ(mkdir(m_file.c_str(), 0700), 0);
    DWORD value = 5;
    EXPECT_EQ(LoadDword("Style", value), ERROR_FILE_NOT_FOUND);
    EXPECT_NE(SaveDword("Style", 3), ERROR_SUCCESS);
    struct stat st;
    ASSERT_EQ(stat(m_file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST_F(Registry, KeepsTheFileModeAndFollowsALink) {
    ASSERT_EQ(SaveDword("Style", 1), ERROR_SUCCESS);
    ASSERT_EQ(chmod(m_file.c_str(), 0640), 0);
    ASSERT_EQ(SaveDword("Style", 2), ERROR_SUCCESS);
    struct stat st;
    ASSERT_EQ(stat(m_file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    std::string link = m_dir + "/link.reg";
    ASSERT_EQ(symlink(m_file.c_str(), link.c_str()), 0);
    setenv("QUORIX_REGISTRY", link.c_str(), 1);
    ASSERT_EQ(SaveDword("Style", 3), ERROR_SUCCESS);
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(ReadAll(m_file).find("dword:00000003"), std::string::npos);
}

// Runs body in a child process without the rights of root (root ignores file
// modes), and returns its exit code.
int RunUnprivileged(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST_F(Registry, UnwritableOrUnreadableFilesAreNotReplaced) {
    ASSERT_EQ(SaveDword("Style", 2), ERROR_SUCCESS);
    const std::string before = ReadAll(m_file);
    ASSERT_EQ(chmod(m_dir.c_str(), 0777), 0);  // the folder stays writable

    // Readable, not writable: reads its values; writes fail.
    ASSERT_EQ(chmod(m_file.c_str(), 0444), 0);
    EXPECT_EQ(RunUnprivileged([&] {
                  DWORD value = 0;
                  if (LoadDword("Style", value) != ERROR_SUCCESS || value != 2) return 1;
                  if (SaveDword("Style", 3) == ERROR_SUCCESS) return 2;
                  return 0;
              }),
              0);
    EXPECT_EQ(ReadAll(m_file), before);

    // Not readable: reads as empty; writes fail rather than lose what it holds.
    ASSERT_EQ(chmod(m_file.c_str(), 0200), 0);
    EXPECT_EQ(RunUnprivileged([&] {
                  DWORD value = 9;
                  if (LoadDword("Style", value) != ERROR_FILE_NOT_FOUND || value != 9) return 1;
                  if (SaveDword("Style", 3) == ERROR_SUCCESS) return 2;
                  return 0;
              }),
              0);
    ASSERT_EQ(chmod(m_file.c_str(), 0644), 0);
    EXPECT_EQ(ReadAll(m_file), before);

    // A folder that cannot be written: the change fails, the file stays.
    ASSERT_EQ(chmod(m_file.c_str(), 0666), 0);
    ASSERT_EQ(chmod(m_dir.c_str(), 0555), 0);
    EXPECT_EQ(RunUnprivileged([&] { return SaveDword("Style", 3) == ERROR_SUCCESS ? 2 : 0; }), 0);
    EXPECT_EQ(ReadAll(m_file), before);
}

TEST_F(Registry, ProgramsSavingAtOnceLeaveOneWholeSet) {
    // Each child saves its set of three values many times, each set through
    // one key as the settings store does.
    auto saveSets = [&](DWORD id) {
        for (int round = 0; round < 30; ++round) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, kApp, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) != ERROR_SUCCESS) {
                return 1;
            }
            for (const char* name : {"Style", "NumOfBalls", "SizOfBalls"}) {
                DWORD value = id * 100 + static_cast<DWORD>(name[0]);
                if (RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                   4) != ERROR_SUCCESS) {
                    return 2;
                }
            }
            RegCloseKey(key);
        }
        return 0;
    };
    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = fork();
        if (children[i] == 0) _exit(saveSets(static_cast<DWORD>(i + 1)));
    }
    // Meanwhile a reader with write rights (which waits for any group in
    // progress) must only ever see whole sets.
    int reads = 0, mixed = 0;
    int status[2] = {-1, -1};
    bool done[2] = {false, false};
    while (!done[0] || !done[1]) {
        for (int i = 0; i < 2; ++i) {
            if (!done[i] && waitpid(children[i], &status[i], WNOHANG) == children[i]) {
                done[i] = true;
            }
        }
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kApp, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
            continue;
        }
        DWORD got[3] = {};
        int found = 0;
        for (const char* name : {"Style", "NumOfBalls", "SizOfBalls"}) {
            DWORD size = 4;
            if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&got[found]),
                                 &size) == ERROR_SUCCESS) {
                ++found;
            }
        }
        RegCloseKey(key);
        if (found == 3) {
            ++reads;
            if (got[0] / 100 != got[1] / 100 || got[1] / 100 != got[2] / 100) ++mixed;
        }
    }
    EXPECT_GT(reads, 0);
    EXPECT_EQ(mixed, 0);
    for (int st : status)
        EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
    regfile::Hive hive;
    ASSERT_EQ(regstore::Load(hive), regstore::LoadState::Loaded);
    const std::string path = "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings";
    DWORD ids[3];
    int n = 0;
    for (const char* name : {"Style", "NumOfBalls", "SizOfBalls"}) {
        const regfile::Value* value = regfile::FindValue(hive, path, name);
        ASSERT_NE(value, nullptr);
        ASSERT_EQ(value->data.size(), 4u);
        DWORD v;
        std::memcpy(&v, value->data.data(), 4);
        EXPECT_EQ(v % 100, static_cast<DWORD>(name[0]));
        ids[n++] = v / 100;
    }
    EXPECT_TRUE(ids[0] == 1 || ids[0] == 2);
    EXPECT_EQ(ids[1], ids[0]);
    EXPECT_EQ(ids[2], ids[0]);
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);  // the file and its lock file
}

class RegistryPath : public ::testing::Test {
  protected:
    void SetUp() override {
        Save("QUORIX_REGISTRY", m_registry);
        Save("XDG_CONFIG_HOME", m_xdg);
        Save("HOME", m_home);
    }
    void TearDown() override {
        Restore("QUORIX_REGISTRY", m_registry);
        Restore("XDG_CONFIG_HOME", m_xdg);
        Restore("HOME", m_home);
    }
    static void Save(const char* name, std::unique_ptr<std::string>& slot) {
        const char* v = std::getenv(name);
        if (v != nullptr) slot = std::make_unique<std::string>(v);
    }
    static void Restore(const char* name, const std::unique_ptr<std::string>& slot) {
        if (slot) {
            setenv(name, slot->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }
    std::unique_ptr<std::string> m_registry, m_xdg, m_home;
};

TEST_F(RegistryPath, ChosenFromTheEnvironment) {
    setenv("QUORIX_REGISTRY", "/tmp/r.reg", 1);
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(regstore::RegistryPath(), "/tmp/r.reg");
    setenv("QUORIX_REGISTRY", "", 1);
    EXPECT_EQ(regstore::RegistryPath(), "/cfg/quorix/registry.reg");
    unsetenv("QUORIX_REGISTRY");
    EXPECT_EQ(regstore::RegistryPath(), "/cfg/quorix/registry.reg");
    setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // not absolute: ignored
    EXPECT_EQ(regstore::RegistryPath(), "/home/someone/.config/quorix/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(regstore::RegistryPath(), "/home/someone/.config/quorix/registry.reg");
    unsetenv("HOME");
    std::string fallback = regstore::RegistryPath();  // from the password database
    EXPECT_NE(fallback.find("/.config/quorix/registry.reg"), std::string::npos);
}

}  // namespace
