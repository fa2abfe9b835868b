// CButton: a push button, radio button, check box or group box of the
// built-in "Button" class.
#pragma once

#include "platform/framework/dialog.h"

class CButton : public CWndOps {
  public:
    CButton() = default;
    ~CButton() override;

    // Creates the button as a child of pParentWnd (WS_CHILD is implied).
    BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int nCheck) { ::SendMessageA(m_hWnd, BM_SETCHECK, nCheck, 0); }
    UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetState(BOOL bHighlight) { ::SendMessageA(m_hWnd, BM_SETSTATE, bHighlight, 0); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) {
        ::SendMessageA(m_hWnd, BM_SETSTYLE, nStyle, bRedraw);
    }
};
