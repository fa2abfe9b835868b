// CSaverApp: the application object. InitInstance reads the command line,
// prepares the settings store and starts the chosen run mode.
#pragma once

#include <cstdint>

#include "app/command_line.h"
#include "app/settings_store.h"
#include "platform/framework/winapp.h"

// The outcome of preparing the settings store.
enum SettingsAccess : int32_t {
    Unavailable = 0,  // no key name in the version resource, or an empty one
    KeyMissing = 1,   // the application's key does not exist yet
    KeyPresent = 2,   // the application's key exists
};

class CSaverApp : public CWinApp {
  public:
    // No application name: the framework takes the executable's file name.
    CSaverApp();

    BOOL InitInstance() override;

    // The steps of InitInstance.
    SettingsAccess PrepareSettingsAccess();
    BOOL RunFullScreen(SettingsAccess access);
    BOOL RunPreview(const CommandLine& commandLine, SettingsAccess access);
    BOOL RunDialog(const CommandLine& commandLine, SettingsAccess access);

    DECLARE_MESSAGE_MAP()
};
