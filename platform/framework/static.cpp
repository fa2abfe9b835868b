#include "platform/framework/static.h"

CStatic::~CStatic() = default;

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    // The window is ours from here: its messages go through the map.
    m_pfnSuper = nullptr;
    if (!CreateEx(0, WC_STATICA, lpszText, dwStyle | WS_CHILD, rect, pParentWnd, nID)) return FALSE;
    SubclassCreated();
    return TRUE;
}
