#include "platform/framework/button.h"

CButton::~CButton() = default;

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    // The window is ours from here: its messages go through the map.
    m_pfnSuper = nullptr;
    if (!CreateEx(0, WC_BUTTONA, lpszCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    SubclassCreated();
    return TRUE;
}
