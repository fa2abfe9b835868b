#include "platform/framework/button.h"

CButton::~CButton() = default;

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                     UINT nID) {
    return CreateEx(0, WC_BUTTONA, lpszCaption, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}
