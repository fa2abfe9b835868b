#include "platform/framework/wnd.h"

#include <set>
#include <string>
#include <unordered_map>

#include "platform/framework/winapp.h"

namespace {

// Handle maps of the user-interface thread. Allocated once and never freed,
// so that nothing depends on the order of static destruction at exit.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static auto* map = new std::unordered_map<HWND, CWnd*>;
    return *map;
}

std::unordered_map<HWND, CWnd*>& TemporaryMap() {
    static auto* map = new std::unordered_map<HWND, CWnd*>;
    return *map;
}

// The window object whose CreateEx is running: the first message of the new
// window attaches it.
thread_local CWnd* t_wndInit = nullptr;

// The message being handled, for Default().
struct CurrentMessage {
    HWND hWnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

}  // namespace

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
    if (wnd == nullptr && t_wndInit != nullptr) {
        wnd = t_wndInit;
        t_wndInit = nullptr;
        wnd->Attach(hWnd);
    }
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const CurrentMessage saved = t_current;
    t_current = {hWnd, message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);  // may delete wnd
    t_current = saved;
    return result;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static auto* names = new std::set<std::string>;
    std::string name = "Afx:" + std::to_string(nClassStyle) + ":" +
                       std::to_string(reinterpret_cast<uintptr_t>(hCursor)) + ":" +
                       std::to_string(reinterpret_cast<uintptr_t>(hbrBackground)) + ":" +
                       std::to_string(reinterpret_cast<uintptr_t>(hIcon));
    auto found = names->find(name);
    if (found != names->end()) return found->c_str();
    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = AfxWndProc;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name.c_str();
    if (::RegisterClassA(&wc) == 0) return nullptr;
    return names->insert(std::move(name)).first->c_str();
}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget){WM_NCDESTROY, 0,
                                    [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {
                                        AFX_THIS(t)->OnNcDestroy();
                                        return 0;
                                    }},
    END_MESSAGE_MAP()

        CWnd::CWnd()
    : m_hWnd(nullptr) {}

CWnd::~CWnd() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        ::DestroyWindow(m_hWnd);
        if (m_hWnd != nullptr) Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    auto& map = PermanentMap();
    auto found = map.find(hWnd);
    return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
    auto& temporary = TemporaryMap();
    auto found = temporary.find(hWnd);
    if (found != temporary.end()) return found->second;
    CWnd* wnd = new CWnd;
    wnd->m_hWnd = hWnd;
    temporary.emplace(hWnd, wnd);
    return wnd;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWndNew) != nullptr)
        return FALSE;
    m_hWnd = hWndNew;
    PermanentMap()[hWndNew] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd != nullptr) {
        auto& map = PermanentMap();
        auto found = map.find(hWnd);
        if (found != map.end() && found->second == this) map.erase(found);
    }
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd != nullptr) return FALSE;
    CWnd* const outer = t_wndInit;
    t_wndInit = this;
    HWND hWnd = ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                  nHeight, hWndParent, nIDorHMenu, nullptr, lpParam);
    t_wndInit = outer;
    if (hWnd == nullptr) return FALSE;
    // A class whose procedure is not the framework's never attached us.
    if (m_hWnd == nullptr) Attach(hWnd);
    return m_hWnd == hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top,
                    pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    if (FromHandlePermanent(m_hWnd) != this) return ::DestroyWindow(m_hWnd);
    const BOOL result = ::DestroyWindow(m_hWnd);
    // Normally WM_NCDESTROY has detached us; a window the platform refused to
    // destroy stays attached.
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *pResult = 0;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0);
    if (entry == nullptr) return FALSE;
    *pResult = entry->pfn(this, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    if (OnCmdMsg(id, nullptr)) return TRUE;
    // Commands the window does not handle go on to the application object.
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, nullptr);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::Default() {
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

HDC CWnd::GetDC() {
    return ::GetDC(m_hWnd);
}
int CWnd::ReleaseDC(HDC hDC) {
    return ::ReleaseDC(m_hWnd, hDC);
}
void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, nullptr, bErase);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::OnNcDestroy() {
    // The main window's end ends the message loop.
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Default();
    Detach();
    PostNcDestroy();  // may delete this
}

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnNcPaint() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
void CWnd::OnActivateApp(BOOL, DWORD) {
    Default();
}
BOOL CWnd::OnNcActivate(BOOL) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
