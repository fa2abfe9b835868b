// The start-up steps of CSaverApp that need no display: preparing the
// settings store and refusing previews without a usable handle.
#include "app/saver_app.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/test_registry.h"

namespace {

class SaverApp : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_registry.Ready()); }
    TestRegistry m_registry;
};

TEST_F(SaverApp, RegistryKeyComesFromTheCompanyName) {
    CSaverApp app;
    app.m_pszAppName = strdup("quorix");  // as the framework sets it from the executable
    EXPECT_EQ(app.PrepareSettingsAccess(), KeyMissing);
    ASSERT_NE(app.m_pszRegistryKey, nullptr);
    EXPECT_STREQ(app.m_pszRegistryKey, "Ostrevane");
    EXPECT_STREQ(app.m_pszProfileName, "quorix");

    // Once the settings were saved, the application's key is there.
    EXPECT_EQ(WriteSaverSettings({2, 30, 40}), 1);
    EXPECT_EQ(app.PrepareSettingsAccess(), KeyPresent);
}

TEST_F(SaverApp, AnExistingRegistryKeyIsKept) {
    CSaverApp app;
    app.m_pszAppName = strdup("quorix");
    app.SetRegistryKey("Elsewhere");
    EXPECT_EQ(app.PrepareSettingsAccess(), KeyMissing);
    EXPECT_STREQ(app.m_pszRegistryKey, "Elsewhere");
}

TEST_F(SaverApp, PreviewWithoutAUsableHandleEndsAtOnce) {
    CSaverApp app;
    char program[] = "quorix";
    for (const char* handle : {"0", "window", "-0", ""}) {
        char option[] = "/p";
        std::string text = handle;
        char* argv[] = {program, option, text.data(), nullptr};
        CommandLine line = ParseCommandLine(3, argv);
        EXPECT_EQ(app.RunPreview(line, Unavailable), FALSE) << handle;
        EXPECT_EQ(app.m_pMainWnd, nullptr);
    }
    char joined[] = "/p:1234";  // reads as 0
    char* argv[] = {program, joined, nullptr};
    EXPECT_EQ(app.RunPreview(ParseCommandLine(2, argv), Unavailable), FALSE);
    EXPECT_EQ(app.RunPreview(CommandLine{}, Unavailable), FALSE);
}

}  // namespace
