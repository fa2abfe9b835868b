#include "app/saver_app.h"

#include <string>

#include "res/version_reader.h"
#include "engine/engine_life.h"
#include "ui/full_screen_wnd.h"
#include "ui/saver_wnd.h"
#include "ui/settings_dlg.h"

BEGIN_MESSAGE_MAP(CSaverApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CSaverApp::CSaverApp() : CWinApp(nullptr) {}

BOOL CSaverApp::InitInstance() {
    Enable3dControls();
    const CommandLine commandLine = ParseCommandLine(m_argc, m_argv);
    const SettingsAccess access = PrepareSettingsAccess();
    switch (commandLine.mode) {
        case FullScreen:
            return RunFullScreen(access);
        case Preview:
            return RunPreview(commandLine, access);
        case Configure:
        case Windowed:
            return RunDialog(commandLine, access);
    }
    return FALSE;
}

SettingsAccess CSaverApp::PrepareSettingsAccess() {
    std::string company, internalName;
    if (!GetRegistryNames(company, internalName) || company.empty()) return Unavailable;
    if (m_pszRegistryKey == nullptr) SetRegistryKey(company.c_str());
    return SettingsKeyExists() ? KeyPresent : KeyMissing;
}

BOOL CSaverApp::RunFullScreen(SettingsAccess access) {
    SaverSettings settings;
    if (access == KeyPresent) ReadSaverSettings(settings);
    auto* window = new CFullScreenWnd;
    m_pMainWnd = window;
    window->m_fullScreen = 1;
    if (!window->CreateFullScreen(settings.style, settings.numOfBalls, settings.sizeOfBalls)) {
        return FALSE;
    }
    m_pMainWnd = window;
    return TRUE;
}

BOOL CSaverApp::RunPreview(const CommandLine& commandLine, SettingsAccess access) {
    if (commandLine.handleText == nullptr) return FALSE;
    const int32_t number = DecimalValue(commandLine.handleText);
    if (number == 0) return FALSE;
    // No test of the handle here: one that is no window makes the creation fail.
    CWnd* parent = CWnd::FromHandle(reinterpret_cast<HWND>(static_cast<intptr_t>(number)));
    if (parent == nullptr) return FALSE;

    SaverSettings settings;
    if (access == KeyPresent) ReadSaverSettings(settings);
    RECT client = {};
    parent->GetClientRect(&client);

    auto* window = new CSaverWnd;
    window->m_style = settings.style;
    window->m_numOfBalls = settings.numOfBalls;
    window->m_sizeOfBalls = settings.sizeOfBalls;
    window->m_fullScreen = 0;
    m_pMainWnd = window;
    if (!window->CreateAndStart(0, WS_CHILD | WS_VISIBLE, client, parent, 0)) return FALSE;
    // The preview draws from the start, without waiting for a paint (the
    // intro's fade-in presents the whole frame anyway).
    EnginePainted(window->m_engine);
    return TRUE;
}

BOOL CSaverApp::RunDialog(const CommandLine& commandLine, SettingsAccess access) {
    // Configure may name its owner as in c:1234; a number that is no window
    // leaves the dialog without one.
    CWnd* parent = nullptr;
    const int32_t owner = ConfigureOwnerNumber(commandLine);
    if (owner != 0) {
        HWND ownerWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(owner));
        if (IsWindow(ownerWindow)) parent = CWnd::FromHandle(ownerWindow);
    }

    CSettingsDlg dialog(parent);
    m_pMainWnd = &dialog;
    dialog.m_runMode = commandLine.mode;
    dialog.m_style = 0;
    dialog.m_numOfBalls = 0;
    dialog.m_sizeOfBalls = 0;
    if (commandLine.mode == Configure) {
        SaverSettings settings;
        if (access == KeyPresent) ReadSaverSettings(settings);
        dialog.m_style = settings.style;
        dialog.m_numOfBalls = settings.numOfBalls;
        dialog.m_sizeOfBalls = settings.sizeOfBalls;
    } else {
        // The windowed trial never reads the registry.
        if (commandLine.valueText1 != nullptr)
            dialog.m_style = DecimalValue(commandLine.valueText1);
        if (commandLine.valueText2 != nullptr) {
            dialog.m_numOfBalls = DecimalValue(commandLine.valueText2);
        }
    }

    const INT_PTR result = dialog.DoModal();
    if (commandLine.mode == Configure && result == IDOK) {
        const SaverSettings chosen{dialog.m_style, dialog.m_numOfBalls, dialog.m_sizeOfBalls};
        if (access != Unavailable) WriteSaverSettings(chosen);
    }
    // The dialog lives on this stack: the framework must not reach it later.
    m_pMainWnd = nullptr;
    return FALSE;
}
