// CWinApp: the one application object. Its constructor registers it; the
// entry AfxWinMain then calls InitInstance and, when that returns TRUE, runs
// the message loop until the quit message.
#pragma once

#include "platform/framework/wnd.h"

#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
  public:
    // With no name the application name is the executable's file name
    // without its extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName;      // application name
    LPCSTR m_pszExeName;      // executable's file name without directory and extension
    LPCSTR m_pszRegistryKey;  // company key under Software, null until SetRegistryKey
    LPCSTR m_pszProfileName;  // key below the company key (the application name)
    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd;
    int m_argc;  // the process's argument count and vector, as main received them
    char** m_argv;

    virtual BOOL InitInstance();
    // The message loop; returns ExitInstance's result when the quit message arrives.
    virtual int Run();
    // Clean-up after the loop or a FALSE InitInstance; returns the exit code
    // (the quit message's code, 0 when there was none).
    virtual int ExitInstance();

    // Settings go to HKEY_CURRENT_USER\Software\<key>\<application name>.
    void SetRegistryKey(LPCSTR lpszRegistryKey);
    // Dialog controls with the three-dimensional look (always on here).
    BOOL Enable3dControls();

    afx_msg void OnHelp();

    int m_nExitCode;  // wParam of the quit message that ended Run

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();

// The program's entry: main() returns AfxWinMain(argc, argv). Opens the
// display (one line on stderr and exit code 1 when there is none), then runs
// the application object's InitInstance and message loop.
int AfxWinMain(int argc, char** argv);
