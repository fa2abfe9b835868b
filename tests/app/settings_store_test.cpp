// The settings store on a registry file in a temporary folder, with an
// application object that names the registry key and profile.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

#include "platform/framework/winapp.h"
#include "tests/support/test_registry.h"

namespace {

const char kSettingsPath[] = "Software\\Ostrevane\\quorix\\Settings";

class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_registry.Ready());
        m_app = std::make_unique<CWinApp>("quorix");
        m_app->SetRegistryKey("Ostrevane");
    }
    void TearDown() override { m_app.reset(); }

    void Store(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    bool KeyOpens(const char* path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(key);
        return true;
    }

    // The type and data of a value, as the registry API reports them.
    std::pair<DWORD, DWORD> Value(const char* path, const char* name) {
        HKEY key = nullptr;
        DWORD type = REG_NONE, data = 0, size = sizeof(data);
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return {REG_NONE, 0};
        }
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS) {
            type = REG_NONE;
        }
        RegCloseKey(key);
        return {type, data};
    }

    TestRegistry m_registry;
    std::unique_ptr<CWinApp> m_app;
};

TEST_F(SettingsStore, EmptyRegistryReadsNothingAndMakesTheSectionKey) {
    EXPECT_EQ(SettingsKeyExists(), 0);
    SaverSettings settings;
    EXPECT_EQ(ReadSaverSettings(settings), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(settings.style, 0);
    EXPECT_EQ(settings.numOfBalls, 0);
    EXPECT_EQ(settings.sizeOfBalls, 0);
    EXPECT_TRUE(KeyOpens(kSettingsPath));  // reading creates the path
    EXPECT_EQ(SettingsKeyExists(), 1);
}

TEST_F(SettingsStore, WritesAndReadsTheThreeDwords) {
    SaverSettings saved{3, 40, 55};
    EXPECT_EQ(WriteSaverSettings(saved), 1);
    EXPECT_EQ(Value(kSettingsPath, "Style"), std::make_pair(DWORD(REG_DWORD), DWORD(3)));
    EXPECT_EQ(Value(kSettingsPath, "NumOfBalls"), std::make_pair(DWORD(REG_DWORD), DWORD(40)));
    EXPECT_EQ(Value(kSettingsPath, "SizOfBalls"), std::make_pair(DWORD(REG_DWORD), DWORD(55)));
    const std::string file = m_registry.FileText();
    if (!m_registry.FilePath().empty()) {
        EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
                            "\"Style\"=dword:00000003\n\"NumOfBalls\"=dword:00000028\n"
                            "\"SizOfBalls\"=dword:00000037\n"),
                  std::string::npos)
            << file;
    }
    SaverSettings loaded;
    EXPECT_EQ(ReadSaverSettings(loaded), 0);
    EXPECT_EQ(loaded.style, 3);
    EXPECT_EQ(loaded.numOfBalls, 40);
    EXPECT_EQ(loaded.sizeOfBalls, 55);
}

TEST_F(SettingsStore, MinusOneIsNotWritten) {
    ASSERT_EQ(WriteSaverSettings({1, 20, 30}), 1);
    ASSERT_EQ(WriteSaverSettings({-1, 77, -1}), 1);
    SaverSettings loaded;
    EXPECT_EQ(ReadSaverSettings(loaded), 0);
    EXPECT_EQ(loaded.style, 1);
    EXPECT_EQ(loaded.numOfBalls, 77);
    EXPECT_EQ(loaded.sizeOfBalls, 30);
    // Out-of-range values are stored as they are; consumers clamp.
    ASSERT_EQ(WriteSaverSettings({7, 10, 99}), 1);
    EXPECT_EQ(ReadSaverSettings(loaded), 0);
    EXPECT_EQ(loaded.style, 7);
    EXPECT_EQ(loaded.numOfBalls, 10);
    EXPECT_EQ(loaded.sizeOfBalls, 99);
}

TEST_F(SettingsStore, SectionsAndTextValues) {
    const char* names[] = {"Title", "Empty", "Skipped", nullptr};
    const char* values[] = {"hello", "", nullptr};
    EXPECT_EQ(WriteSettingsValues(names, values, nullptr, nullptr, "Other"), 1);
    EXPECT_TRUE(KeyOpens("Software\\Ostrevane\\quorix\\Other"));
    EXPECT_FALSE(KeyOpens(kSettingsPath));

    char a[512], b[512], c[512];
    std::strcpy(c, "untouched");
    char* buffers[] = {a, b, nullptr};
    EXPECT_EQ(ReadSettingsValues(names, buffers, nullptr, nullptr, "Other"), 0);
    EXPECT_STREQ(a, "hello");
    EXPECT_STREQ(b, "");
    char* all[] = {a, b, c};
    EXPECT_EQ(ReadSettingsValues(names, all, nullptr, nullptr, "Other"), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(c, "untouched");
    // A null section is "Settings".
    EXPECT_EQ(WriteSettingsValues(names, values, nullptr, nullptr, nullptr), 1);
    EXPECT_TRUE(KeyOpens(kSettingsPath));
}

TEST_F(SettingsStore, TextBuffersAlwaysEndWithAZero) {
    std::string exact(512, 'x');  // 512 bytes without a zero
    Store(kSettingsPath, "Exact", REG_BINARY, exact.data(), 512);
    std::string tooLong(600, 'y');
    Store(kSettingsPath, "Long", REG_SZ, tooLong.data(), 600);
    const char* names[] = {"Exact", "Long", nullptr};
    char exactBuffer[512], longBuffer[512];
    std::strcpy(longBuffer, "kept");
    char* buffers[] = {exactBuffer, longBuffer};
    EXPECT_EQ(ReadSettingsValues(names, buffers, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(std::strlen(exactBuffer), 511u);
    EXPECT_STREQ(longBuffer, "kept");
}

TEST_F(SettingsStore, AnyDataOfAtMostFourBytesIsRead) {
    const BYTE binary[4] = {0x2A, 0, 0, 0};
    Store(kSettingsPath, "Style", REG_BINARY, binary, 4);
    const BYTE two[2] = {0x34, 0x12};
    Store(kSettingsPath, "NumOfBalls", REG_BINARY, two, 2);
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    Store(kSettingsPath, "SizOfBalls", REG_BINARY, eight, 8);
    SaverSettings loaded{0, 0x7F000000, 33};
    EXPECT_EQ(ReadSaverSettings(loaded), ERROR_MORE_DATA);
    EXPECT_EQ(loaded.style, 42);
    EXPECT_EQ(loaded.numOfBalls, 0x7F001234);  // two bytes over the low end
    EXPECT_EQ(loaded.sizeOfBalls, 33);         // too long: unchanged
}

TEST_F(SettingsStore, OnlyTheApplicationKeyDecides) {
    const DWORD unrelated = 1;
    Store("Software\\Ostrevane\\quorix", "Other", REG_DWORD, &unrelated, 4);
    EXPECT_EQ(SettingsKeyExists(), 1);
    EXPECT_FALSE(KeyOpens(kSettingsPath));
    SaverSettings loaded;
    EXPECT_EQ(ReadSaverSettings(loaded), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(loaded.style, 0);
    EXPECT_TRUE(KeyOpens(kSettingsPath));
    // The company key alone is not the application's key.
    m_app->SetRegistryKey("Other");
    Store("Software\\Other", "x", REG_DWORD, &unrelated, 4);
    EXPECT_EQ(SettingsKeyExists(), 0);
}

TEST_F(SettingsStore, WithoutRegistryKeyNothingIsReadOrWritten) {
    m_app = std::make_unique<CWinApp>("quorix");  // no SetRegistryKey
    EXPECT_EQ(SettingsKeyExists(), 0);
    EXPECT_EQ(CreateSettingsKey(nullptr), nullptr);
    SaverSettings settings{5, 6, 7};
    EXPECT_EQ(ReadSaverSettings(settings), -1);
    EXPECT_EQ(settings.style, 5);
    EXPECT_EQ(WriteSaverSettings(settings), 0);
    m_app.reset();  // no application object at all
    EXPECT_EQ(SettingsKeyExists(), 0);
    EXPECT_EQ(WriteSaverSettings(settings), 0);
    EXPECT_TRUE(m_registry.Untouched());
}

TEST_F(SettingsStore, DamagedRegistryReadsAsDefaultsAndIsKeptAsideBySaving) {
    if (m_registry.FilePath().empty()) GTEST_SKIP() << "the registry here is no file to damage";
    const std::string garbage = "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quo";
    {
        std::ofstream out(m_registry.FilePath(), std::ios::binary);
        out << garbage;
    }
    EXPECT_EQ(SettingsKeyExists(), 0);
    EXPECT_EQ(m_registry.FileText(), garbage);  // reading changes nothing
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(WriteSaverSettings({1, 50, 40}), 1);
    EXPECT_NE(::testing::internal::GetCapturedStderr().find(".damaged"), std::string::npos);
    std::ifstream aside(m_registry.FilePath() + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}), garbage);
    SaverSettings settings;
    EXPECT_EQ(ReadSaverSettings(settings), 0);
    EXPECT_EQ(settings.style, 1);
    EXPECT_EQ(settings.numOfBalls, 50);
    EXPECT_EQ(settings.sizeOfBalls, 40);
}

TEST_F(SettingsStore, ExplicitNamesFollowTheSamePath) {
    HKEY key = CreateSettingsKeyFor("Acme", "tool", "Prefs");
    ASSERT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_TRUE(KeyOpens("Software\\Acme\\tool\\Prefs"));
    EXPECT_EQ(SettingsKeyExistsFor("Acme", "tool"), 1);
    EXPECT_EQ(SettingsKeyExistsFor("Acme", "other"), 0);
    EXPECT_EQ(SettingsKeyExistsFor("Acme", ""), 0);
    EXPECT_EQ(CreateSettingsKeyFor(nullptr, "tool", nullptr), nullptr);
}

}  // namespace
