#include "platform/framework/static.h"

CStatic::~CStatic() = default;

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, WC_STATICA, lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}
