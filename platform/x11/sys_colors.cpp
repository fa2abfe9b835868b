// The system colours, a classic three-dimensional scheme: GetSysColor, the
// system colour brushes, and FillRect, which takes them too.
#include "platform/x11/drawing.h"
#include "platform/x11/gdi_objects.h"

namespace {

// The classic scheme, as 0x00RRGGBB, by COLOR_ index.
constexpr uint32_t kScheme[] = {
    0xD4D0C8,  // COLOR_SCROLLBAR
    0x3A6EA5,  // COLOR_BACKGROUND
    0x0A246A,  // COLOR_ACTIVECAPTION
    0x808080,  // COLOR_INACTIVECAPTION
    0xD4D0C8,  // COLOR_MENU
    0xFFFFFF,  // COLOR_WINDOW
    0x000000,  // COLOR_WINDOWFRAME
    0x000000,  // COLOR_MENUTEXT
    0x000000,  // COLOR_WINDOWTEXT
    0xFFFFFF,  // COLOR_CAPTIONTEXT
    0xD4D0C8,  // COLOR_ACTIVEBORDER
    0xD4D0C8,  // COLOR_INACTIVEBORDER
    0x808080,  // COLOR_APPWORKSPACE
    0x0A246A,  // COLOR_HIGHLIGHT
    0xFFFFFF,  // COLOR_HIGHLIGHTTEXT
    0xD4D0C8,  // COLOR_BTNFACE
    0x808080,  // COLOR_BTNSHADOW
    0x808080,  // COLOR_GRAYTEXT
    0x000000,  // COLOR_BTNTEXT
    0xD4D0C8,  // COLOR_INACTIVECAPTIONTEXT
    0xFFFFFF,  // COLOR_BTNHIGHLIGHT
    0x404040,  // COLOR_3DDKSHADOW
    0xD4D0C8,  // COLOR_3DLIGHT
    0x000000,  // COLOR_INFOTEXT
    0xFFFFE1,  // COLOR_INFOBK
};
constexpr int kColors = static_cast<int>(sizeof kScheme / sizeof kScheme[0]);

COLORREF FromPixelOrder(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

}  // namespace

DWORD WINAPI GetSysColor(int nIndex) {
    if (nIndex < 0 || nIndex >= kColors) return 0;
    return FromPixelOrder(kScheme[nIndex]);
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex >= kColors) return nullptr;
    static HBRUSH__* brushes = [] {
        auto* all = new HBRUSH__[kColors];
        for (int i = 0; i < kColors; ++i)
            all[i].color = FromPixelOrder(kScheme[i]);
        return all;
    }();
    return &brushes[nIndex];
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (hDC == nullptr || lprc == nullptr || hbr == nullptr) return 0;
    COLORREF color;
    // A system colour index + 1 stands for that colour's brush.
    const uintptr_t value = reinterpret_cast<uintptr_t>(hbr);
    if (value >= 1 && value <= static_cast<uintptr_t>(kColors))
        color = GetSysColor(static_cast<int>(value - 1));
    else
        color = hbr->color;
    X11FillRect(X11DrawableOf(hDC), lprc->left, lprc->top, lprc->right - lprc->left,
                lprc->bottom - lprc->top, color);
    return 1;
}
