// CDialog: a modal dialog run from a dialog resource or from a template in
// memory, with the window operations dialogs and their controls share
// (CWndOps), the font and menu wrappers (CFont, CMenu) and the message-map
// entries dialogs use.
#pragma once

#include "platform/framework/wnd.h"

// A font object; wraps an HFONT. FromHandle gives a lasting wrapper.
class CFont {
  public:
    CFont() : m_hObject(nullptr) {}
    explicit CFont(HFONT hFont) : m_hObject(hFont) {}
    HFONT m_hObject;
    operator HFONT() const { return m_hObject; }
    HFONT GetSafeHandle() const { return m_hObject; }
    static CFont* FromHandle(HFONT hFont);
};

// A menu object; wraps an HMENU. FromHandle gives a lasting wrapper.
class CMenu {
  public:
    CMenu() : m_hMenu(nullptr) {}
    HMENU m_hMenu;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU hMenu);
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr) {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
};

// Window operations shared by dialogs and controls.
class CWndOps : public CWnd {
  public:
    void SetWindowText(LPCSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
    int GetWindowText(LPSTR lpszString, int nMaxCount) const {
        return ::GetWindowTextA(m_hWnd, lpszString, nMaxCount);
    }
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetFont(CFont* pFont, BOOL bRedraw = TRUE) {
        ::SendMessageA(m_hWnd, WM_SETFONT,
                       reinterpret_cast<WPARAM>(pFont != nullptr ? pFont->m_hObject : nullptr),
                       bRedraw);
    }
    CFont* GetFont() const {
        return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
    }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) {
        MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
                   lpRect->bottom - lpRect->top, bRepaint);
    }
    void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* SetFocus() { return CWnd::FromHandle(::SetFocus(m_hWnd)); }
    CWnd* SetCapture() { return CWnd::FromHandle(::SetCapture(m_hWnd)); }
    // The client rectangle into the window rectangle (border adjustment for
    // the window's styles).
    virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);
    // The window's system menu wrapper; bRevert TRUE restores the standard menu.
    CMenu* GetSystemMenu(BOOL bRevert) const {
        return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
    }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(::SendMessageA(
            m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
    }
    // Centres the window over its owner (or pAlternateOwner), or over the work
    // area when there is none.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);

    // Messages the map leaves go to the window's own procedure when the
    // object has subclassed a window of a built-in class.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  protected:
    // Routes the messages of a window created with a built-in class through
    // AfxWndProc (and so through the message map and WM_NCDESTROY's detach).
    void SubclassCreated();
    WNDPROC m_pfnSuper = nullptr;
};

class CDialog : public CWndOps {
  public:
    CDialog();
    // A dialog on the dialog resource nIDTemplate of the program.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Sets up a modal dialog on a template in memory (kept by the caller until
    // DoModal returns). Always TRUE.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr,
                           void* lpDialogInit = nullptr);

    // Runs the dialog modally: the result given to EndDialog, IDCANCEL for the
    // close box and Escape, -1 when the template is missing or bad.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    // The dialog font, given before WM_INITDIALOG when the template has one.
    virtual void OnSetFont(CFont* pFont);
    virtual void OnOK();
    virtual void OnCancel();

    CWnd* GetDlgItem(int nID) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
        ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
    }
    UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
    void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
    }
    void SetDlgItemText(int nID, LPCSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

    // The parent (owner) given at construction, or null.
    CWnd* m_pParentWnd;

  protected:
    // Default handlers for the entries below; each runs Default().
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg BOOL OnEraseBkgnd(HDC hDC);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    afx_msg LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

  private:
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    LPCDLGTEMPLATE m_lpDialogTemplate;
    UINT m_nIDHelp;   // the resource id, 0 for a template in memory
    RECT m_initRect;  // the window's rectangle before OnInitDialog
};

// The dialog procedure of the framework's dialogs: WM_INITDIALOG runs
// OnInitDialog; everything else goes through the message map.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Message-map entries for dialogs (handlers as declared in CDialog above).
#define ON_WM_HELPINFO()                                                          \
    {WM_HELP, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT {                 \
         return (LRESULT)AFX_THIS(t)->OnHelpInfo(reinterpret_cast<HELPINFO*>(l)); \
     }},
#define ON_WM_ERASEBKGND()                                                    \
    {WM_ERASEBKGND, 0, [](CCmdTarget* t, WPARAM w, LPARAM) -> LRESULT {       \
         return (LRESULT)AFX_THIS(t)->OnEraseBkgnd(reinterpret_cast<HDC>(w)); \
     }},
#define ON_WM_QUERYDRAGICON()                                              \
    {WM_QUERYDRAGICON, 0, [](CCmdTarget* t, WPARAM, LPARAM) -> LRESULT {   \
         return reinterpret_cast<LRESULT>(AFX_THIS(t)->OnQueryDragIcon()); \
     }},
#define ON_WM_SETTINGCHANGE()                                                \
    {WM_SETTINGCHANGE, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->OnSettingChange((UINT)w, reinterpret_cast<LPCSTR>(l)); \
         return 0;                                                           \
     }},
#define ON_WM_WINDOWPOSCHANGING()                                              \
    {WM_WINDOWPOSCHANGING, 0, [](CCmdTarget* t, WPARAM, LPARAM l) -> LRESULT { \
         AFX_THIS(t)->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(l));    \
         return 0;                                                             \
     }},
#define ON_WM_LBUTTONDBLCLK() AFX_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONUP() AFX_ON_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_HSCROLL()                                                       \
    {WM_HSCROLL, 0, [](CCmdTarget* t, WPARAM w, LPARAM l) -> LRESULT {        \
         AFX_THIS(t)->OnHScroll((UINT)LOWORD(w), (UINT)HIWORD(w),             \
                                CWnd::FromHandle(reinterpret_cast<HWND>(l))); \
         return 0;                                                            \
     }},
// A button's click: WM_COMMAND with BN_CLICKED from control id.
#define ON_BN_CLICKED(id, memberFxn) ON_COMMAND(id, memberFxn)
