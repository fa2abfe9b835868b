#include "ui/full_screen_wnd.h"

#include "engine/engine_life.h"

BEGIN_MESSAGE_MAP(CFullScreenWnd, CSaverWnd)
ON_WM_PAINT()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_MBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_KEYDOWN()
ON_WM_SYSKEYDOWN()
ON_WM_MOUSEWHEEL()
ON_WM_ACTIVATE()
ON_WM_ACTIVATEAPP()
ON_WM_NCACTIVATE()
ON_WM_SYSCOMMAND()
ON_WM_SETCURSOR()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CFullScreenWnd::CFullScreenWnd() = default;

CFullScreenWnd::~CFullScreenWnd() = default;

int CFullScreenWnd::CreateFullScreen(int32_t style, int32_t numOfBalls, int32_t sizeOfBalls) {
    const RECT rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    m_style = style;
    m_numOfBalls = numOfBalls;
    m_sizeOfBalls = sizeOfBalls;
    const int result = CreateAndStart(WS_EX_TOPMOST, WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    m_style = -1;  // from now on the first mouse x seen
    return result;
}

void CFullScreenWnd::OnPaint() {
    if (m_engine != nullptr && m_fullScreen == 1) EnginePainted(m_engine);
    PAINTSTRUCT ps;
    BeginPaint(m_hWnd, &ps);
    EndPaint(m_hWnd, &ps);
}

void CFullScreenWnd::OnMouseMove(UINT nFlags, CPoint point) {
    // Only a sideways move ends the saver: the first position is remembered.
    const int32_t x = point.x;
    if (m_style == -1)
        m_style = x;
    else if (x != m_style)
        PostMessage(WM_CLOSE);
    CSaverWnd::OnMouseMove(nFlags, point);
}

void CFullScreenWnd::OnLButtonDown(UINT nFlags, CPoint point) {
    PostMessage(WM_CLOSE);
    CSaverWnd::OnLButtonDown(nFlags, point);
}

void CFullScreenWnd::OnMButtonDown(UINT nFlags, CPoint point) {
    PostMessage(WM_CLOSE);
    CSaverWnd::OnMButtonDown(nFlags, point);
}

void CFullScreenWnd::OnRButtonDown(UINT nFlags, CPoint point) {
    PostMessage(WM_CLOSE);
    CSaverWnd::OnRButtonDown(nFlags, point);
}

void CFullScreenWnd::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    PostMessage(WM_CLOSE);
    CSaverWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CFullScreenWnd::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    PostMessage(WM_CLOSE);
    CSaverWnd::OnSysKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CFullScreenWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
    PostMessage(WM_CLOSE);
    return CSaverWnd::OnMouseWheel(nFlags, zDelta, pt);
}

void CFullScreenWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    if (nState == WA_INACTIVE) PostMessage(WM_CLOSE);
    CSaverWnd::OnActivate(nState, pWndOther, bMinimized);
}

void CFullScreenWnd::OnActivateApp(BOOL bActive, DWORD dwThreadID) {
    if (!bActive) PostMessage(WM_CLOSE);
    CSaverWnd::OnActivateApp(bActive, dwThreadID);
}

BOOL CFullScreenWnd::OnNcActivate(BOOL bActive) {
    if (!bActive) return FALSE;
    return CSaverWnd::OnNcActivate(bActive);
}

void CFullScreenWnd::OnSysCommand(UINT nID, LPARAM lParam) {
    // The system's own close and screen-saver commands are swallowed.
    if (nID == SC_SCREENSAVE || nID == SC_CLOSE) return;
    CSaverWnd::OnSysCommand(nID, lParam);
}

BOOL CFullScreenWnd::OnSetCursor(CWnd*, UINT, UINT) {
    SetCursor(nullptr);
    return TRUE;
}

void CFullScreenWnd::OnDestroy() {
    PostQuitMessage(0);
    CSaverWnd::OnDestroy();
}
