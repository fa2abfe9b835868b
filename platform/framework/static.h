// CStatic: a static text, icon or bitmap of the built-in "Static" class.
#pragma once

#include "platform/framework/dialog.h"

class CStatic : public CWndOps {
  public:
    CStatic() = default;
    ~CStatic() override;

    // Creates the static as a child of pParentWnd (WS_CHILD is implied).
    BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID = 0xFFFF);

    // The previous image is returned; the static does not own the images.
    HICON SetIcon(HICON hIcon) {
        return reinterpret_cast<HICON>(
            ::SendMessageA(m_hWnd, STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0));
    }
    HICON GetIcon() const {
        return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0));
    }
    HBITMAP SetBitmap(HBITMAP hBitmap) {
        return reinterpret_cast<HBITMAP>(
            ::SendMessageA(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hBitmap)));
    }
    HBITMAP GetBitmap() const {
        return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
    }
};
