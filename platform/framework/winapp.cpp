#include "platform/framework/winapp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/session.h"

namespace {

CWinApp* g_app = nullptr;

char* CopyString(const char* text) {
    return text != nullptr ? strdup(text) : nullptr;
}

// The file name of path without its directory and without its extension
// (the last dot that is not the name's first character).
std::string ExecutableName(const char* path) {
    std::string name = path != nullptr ? path : "";
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_pszAppName(CopyString(lpszAppName)),
      m_pszExeName(nullptr),
      m_pszRegistryKey(nullptr),
      m_pszProfileName(nullptr),
      m_hInstance(nullptr),
      m_pMainWnd(nullptr),
      m_argc(0),
      m_argv(nullptr),
      m_nExitCode(0) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
    free(const_cast<char*>(m_pszAppName));
    free(const_cast<char*>(m_pszExeName));
    free(const_cast<char*>(m_pszRegistryKey));
    free(const_cast<char*>(m_pszProfileName));
}

CWinApp* AfxGetApp() {
    return g_app;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (msg.message == WM_QUIT) m_nExitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey) {
    free(const_cast<char*>(m_pszRegistryKey));
    m_pszRegistryKey = CopyString(lpszRegistryKey);
    free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = CopyString(m_pszAppName);
}

BOOL CWinApp::Enable3dControls() {
    return TRUE;
}

void CWinApp::OnHelp() {}

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    const std::string exeName = ExecutableName(argc > 0 ? argv[0] : nullptr);
    if (app == nullptr) {
        std::fprintf(stderr, "%s: no application object\n", exeName.c_str());
        return 1;
    }
    app->m_argc = argc;
    app->m_argv = argv;
    free(const_cast<char*>(app->m_pszExeName));
    app->m_pszExeName = CopyString(exeName.c_str());
    if (app->m_pszAppName == nullptr) app->m_pszAppName = CopyString(exeName.c_str());

    std::string error;
    if (!StartSession(&app->m_hInstance, &error)) {
        std::fprintf(stderr, "%s: %s\n", exeName.c_str(), error.c_str());
        return 1;
    }

    int status = 0;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
        status = app->ExitInstance();
    } else {
        status = app->Run();
    }
    return EndSession(status);
}
