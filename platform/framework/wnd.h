// CWnd: the framework's window object. It owns one window handle, routes the
// window's messages through its message map (unhandled ones go to the
// default window procedure) and keeps the handle-to-object map.
#pragma once

#include "platform/framework/cmd_target.h"

struct CCreateContext;

struct CPoint : public POINT {
    CPoint() { x = y = 0; }
    CPoint(int initX, int initY) {
        x = initX;
        y = initY;
    }
};

class CWnd : public CCmdTarget {
  public:
    CWnd();
    ~CWnd() override;

    HWND m_hWnd;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object attached to hWnd; for a window the framework did not create
    // (a foreign window), a lasting wrapper object. Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    // The object attached to hWnd, or null when there is none.
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // Extended creation: the window's messages reach this object from the
    // first one (WM_NCCREATE) on. FALSE when the window cannot be created.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // The message path: WindowProc runs the map (OnWndMsg) and falls back to
    // DefWindowProc. Default() runs the default handling of the message that
    // is being handled now.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (after WM_NCDESTROY); does nothing here.
    virtual void PostNcDestroy();
    LRESULT Default();

    HDC GetDC();
    int ReleaseDC(HDC hDC);
    void GetClientRect(LPRECT lpRect) const;
    CWnd* GetParent() const;
    BOOL ShowWindow(int nCmdShow);
    void UpdateWindow();
    void Invalidate(BOOL bErase = TRUE);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  protected:
    // Default handlers: each runs Default().
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnNcDestroy();
    afx_msg void OnPaint();
    afx_msg void OnNcPaint();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnTimer(UINT_PTR nIDEvent);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every class the framework registers.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Registers (once per distinct set of arguments) a class whose procedure is
// AfxWndProc and returns its name, valid for the rest of the process.
LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                           HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);

// Message-map entries for the window messages, with the handler names and
// signatures of CWnd above.
#define AFX_MSG_POINT(l) CPoint((int)(short)LOWORD(l), (int)(short)HIWORD(l))
#define ON_WM_CREATE()                                                               \
    {WM_CREATE, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                  \
         return (LRESULT)AFX_THIS(t)->OnCreate(reinterpret_cast<LPCREATESTRUCT>(l)); \
     }},
#define ON_WM_DESTROY()                                            \
    {WM_DESTROY, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(t)->OnDestroy();                                 \
         return 0;                                                 \
     }},
#define ON_WM_PAINT()                                            \
    {WM_PAINT, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(t)->OnPaint();                                 \
         return 0;                                               \
     }},
#define ON_WM_NCPAINT()                                            \
    {WM_NCPAINT, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(t)->OnNcPaint();                                 \
         return 0;                                                 \
     }},
#define ON_WM_CLOSE()                                            \
    {WM_CLOSE, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT { \
         AFX_THIS(t)->OnClose();                                 \
         return 0;                                               \
     }},
#define ON_WM_SIZE()                                                                 \
    {WM_SIZE, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                  \
         AFX_THIS(t)->OnSize((UINT)w, (int)(short)LOWORD(l), (int)(short)HIWORD(l)); \
         return 0;                                                                   \
     }},
#define ON_WM_SHOWWINDOW()                                                \
    {WM_SHOWWINDOW, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->OnShowWindow((BOOL)w, (UINT)l);                     \
         return 0;                                                        \
     }},
#define AFX_ON_MOUSE(message, fn)                                   \
    {message, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->fn((UINT)w, AFX_MSG_POINT(l));                \
         return 0;                                                  \
     }},
#define ON_WM_MOUSEMOVE() AFX_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() AFX_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_MBUTTONDOWN() AFX_ON_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_RBUTTONDOWN() AFX_ON_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_MOUSEWHEEL()                                                            \
    {WM_MOUSEWHEEL, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {             \
         return (LRESULT)AFX_THIS(t)->OnMouseWheel((UINT)LOWORD(w), (short)HIWORD(w), \
                                                   AFX_MSG_POINT(l));                 \
     }},
#define AFX_ON_KEY(message, fn)                                      \
    {message, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {  \
         AFX_THIS(t)->fn((UINT)w, (UINT)LOWORD(l), (UINT)HIWORD(l)); \
         return 0;                                                   \
     }},
#define ON_WM_KEYDOWN() AFX_ON_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_ON_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_SYSKEYDOWN() AFX_ON_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_CHAR() AFX_ON_KEY(WM_CHAR, OnChar)
#define ON_WM_ACTIVATE()                                                                       \
    {WM_ACTIVATE, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                        \
         AFX_THIS(t)->OnActivate((UINT)LOWORD(w), CWnd::FromHandle(reinterpret_cast<HWND>(l)), \
                                 (BOOL)HIWORD(w));                                             \
         return 0;                                                                             \
     }},
#define ON_WM_ACTIVATEAPP()                                                \
    {WM_ACTIVATEAPP, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->OnActivateApp((BOOL)w, (DWORD)l);                    \
         return 0;                                                         \
     }},
#define ON_WM_NCACTIVATE()                                              \
    {WM_NCACTIVATE, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
         return (LRESULT)AFX_THIS(t)->OnNcActivate((BOOL)w);            \
     }},
#define ON_WM_SYSCOMMAND()                                                \
    {WM_SYSCOMMAND, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->OnSysCommand((UINT)w, l);                           \
         return 0;                                                        \
     }},
#define ON_WM_SETCURSOR()                                                                      \
    {WM_SETCURSOR, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {                       \
         return (LRESULT)AFX_THIS(t)->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(w)), \
                                                  (UINT)LOWORD(l), (UINT)HIWORD(l));           \
     }},
#define ON_WM_SETFOCUS()                                                       \
    {WM_SETFOCUS, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {          \
         AFX_THIS(t)->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w))); \
         return 0;                                                             \
     }},
#define ON_WM_KILLFOCUS()                                                       \
    {WM_KILLFOCUS, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {          \
         AFX_THIS(t)->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w))); \
         return 0;                                                              \
     }},
#define ON_WM_TIMER()                                              \
    {WM_TIMER, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT { \
         AFX_THIS(t)->OnTimer((UINT_PTR)w);                        \
         return 0;                                                 \
     }},
