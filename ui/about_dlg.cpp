#include "ui/about_dlg.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "res/version_reader.h"
#include "ui/about_button.h"
#include "ui/about_layout.h"

namespace {

// The box's template: popup, caption, system menu, modal frame, with a font
// entry of size 0 and no face; no controls, 100 x 40 dialog units.
struct AboutTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, caption, pointSize, faceName;
};
const AboutTemplate kAboutTemplate = {
    {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, 100, 40},
    0,
    0,
    0,
    0,
    0};
static_assert(sizeof(AboutTemplate) == 28, "no padding inside the template");

constexpr DWORD kTextLineStyle = SS_CENTER | SS_NOPREFIX | SS_CENTERIMAGE | SS_SUNKEN;  // 0x1281
constexpr UINT kNoId = 0xFFFF;

void CALLBACK NoPainter(void*, CWnd*, HDC, RECT*) {}

SIZE Measure(HDC dc, const std::string& text) {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return size;
}

void Place(CWnd& control, const RECT& r, int show) {
    if (control.m_hWnd == nullptr) return;
    ::MoveWindow(control.m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    if (show >= 0) ::ShowWindow(control.m_hWnd, show);
}

}  // namespace

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
ON_WM_SHOWWINDOW()
ON_WM_SETTINGCHANGE()
ON_WM_PAINT()
ON_WM_HELPINFO()
ON_WM_WINDOWPOSCHANGING()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg()
    : m_flags(0),
      m_pFont(nullptr),
      m_pLines(nullptr),
      m_bitmaps{nullptr, nullptr},
      m_extents{},
      m_linesWidth(0),
      m_linesHeight(0),
      m_pszShow(nullptr),
      m_buttonRect{},
      m_pressRect{},
      m_trackRect{},
      m_paintRect{},
      m_painterArg(nullptr),
      m_pPainter(&NoPainter),
      m_hIcon(nullptr),
      m_inLayout(false) {}

CAboutDlg::~CAboutDlg() {
    DeleteBitmaps();
}

INT_PTR CAboutDlg::Show(CWnd* pOwner, uint32_t flags, CFont* pFont, HICON hIcon,
                        const char* pszShow, AboutPainter pPainter, void* painterArg,
                        const char* const* lines) {
    InitModalIndirect(&kAboutTemplate.dialog, pOwner);
    m_flags |= flags;
    m_pFont = pFont;
    m_hIcon = hIcon;
    m_pszShow = pszShow;
    m_pPainter = pPainter != nullptr ? pPainter : &NoPainter;
    m_painterArg = painterArg;
    m_pLines = lines;
    return DoModal();
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    DWORD fixed[kFixedVersionWords] = {};
    char texts[3][kVersionTextSize] = {};
    const int result = ReadVersionStrings(fixed, texts);
    const AboutTexts about = BuildAboutTexts(result, fixed, texts);
    m_strings[0] = about.company;
    m_strings[1] = about.version;
    if (!about.caption.empty()) SetWindowText(about.caption.c_str());
    m_strings[2] = m_pszShow != nullptr ? std::string("Show ") + m_pszShow : std::string();
    m_strings[3] = " =>> ";

    const RECT none{0, 0, 0, 0};
    if (m_hIcon != nullptr) {
        m_iconImage.Create(nullptr, SS_ICON | SS_CENTERIMAGE, none, this, kNoId);
        m_iconImage.SetIcon(m_hIcon);
    }
    CStatic* const lineControls[3] = {&m_companyText, &m_versionText, &m_showLine};
    for (int i = 0; i < 3; ++i) {
        if (m_strings[i].empty()) continue;
        lineControls[i]->Create(m_strings[i].c_str(), kTextLineStyle | WS_VISIBLE, none, this,
                                kNoId);
        lineControls[i]->SetFont(m_pFont);
        if (i == 2) {
            m_showTag.Create(m_strings[3].c_str(), kTextLineStyle | WS_VISIBLE, none, this, kNoId);
            m_showTag.SetFont(m_pFont);
        }
    }
    if (m_pLines != nullptr) {
        m_linesText.Create(" ", SS_NOPREFIX | WS_VISIBLE, none, this, kNoId);
        m_linesText.SetFont(m_pFont);
    }
    m_buttonImage.Create(nullptr, SS_BITMAP | SS_CENTERIMAGE, none, this, kAboutButtonId);
    m_bitmaps[0] = m_bitmaps[1] = nullptr;
    m_okButton.Create("OK", BS_PUSHBUTTON | WS_TABSTOP, none, this, IDOK);
    m_okButton.SetFont(m_pFont);

    if (m_flags & AboutWantBand) {
        m_flags |= AboutMeasureBand;
        m_flags &= ~uint32_t(AboutWantBand);
    }
    return TRUE;
}

void CAboutDlg::Layout() {
    if (m_inLayout || m_hWnd == nullptr) return;
    m_inLayout = true;

    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = m_pFont != nullptr
                          ? ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(m_pFont->m_hObject))
                          : nullptr;
    m_flags &= ~uint32_t(AboutLowColour);
    if (::GetDeviceCaps(dc, BITSPIXEL) < 16) m_flags |= AboutLowColour;
    const bool lowColour = (m_flags & AboutLowColour) != 0;

    for (int i = 0; i < 4; ++i)
        m_extents[i] = Measure(dc, m_strings[i]);
    m_strings[4].clear();
    m_linesWidth = m_linesHeight = 0;
    if (m_pLines != nullptr) {
        for (const char* const* line = m_pLines; *line != nullptr; ++line) {
            const SIZE size = Measure(dc, *line);
            m_linesWidth = std::max(m_linesWidth, int32_t(size.cx));
            m_linesHeight += size.cy;
            if (line != m_pLines) m_strings[4] += "\n";
            m_strings[4] += *line;
        }
    }

    AboutMeasures m;
    m.company = m_extents[0];
    m.version = m_extents[1];
    m.show = m_extents[2];
    m.tag = m_extents[3];
    m.hasCompany = !m_strings[0].empty();
    m.hasVersion = !m_strings[1].empty();
    m.hasShow = !m_strings[2].empty();
    m.zero = Measure(dc, "0");
    m.hasIcon = m_hIcon != nullptr;
    m.hasLines = m_pLines != nullptr;
    m.linesWidth = m_linesWidth;
    m.linesHeight = m_linesHeight;
    if (m_flags & AboutMeasureBand) {
        // The painter answers an empty rect with the band it needs.
        RECT band{0, 0, 0, 0};
        m_pPainter(m_painterArg, this, dc, &band);
        if (IsRectEmpty(&band))
            m_flags &= ~uint32_t(AboutMeasureBand);
        else
            m.wantBand = true, m.band = band;
    }
    const AboutPlacement p = ComputeAboutLayout(m);

    if (m.hasIcon) Place(m_iconImage, p.icon, SW_SHOW);
    m_buttonRect = p.button;
    m_pressRect = p.press;
    m_trackRect = p.track;
    Place(m_buttonImage, p.button, lowColour ? SW_HIDE : SW_SHOW);
    Place(m_okButton, p.ok, lowColour ? SW_SHOW : SW_HIDE);
    if (m.hasVersion) Place(m_versionText, p.version, -1);
    if (m.hasShow) Place(m_showLine, p.show, -1), Place(m_showTag, p.tag, -1);
    if (m.hasCompany) Place(m_companyText, p.company, -1);
    if (p.hasBand) {
        if (m.hasLines) ::ShowWindow(m_linesText.m_hWnd, SW_HIDE);
        m_flags |= AboutBandPresent;
        m_paintRect = p.band;
    } else if (m.hasLines) {
        Place(m_linesText, p.lines, SW_SHOW);
        m_linesText.SetWindowText(m_strings[4].c_str());
    }

    if (m_pFont != nullptr) ::SelectObject(dc, oldFont);
    ::ReleaseDC(m_hWnd, dc);
    RECT window{0, 0, p.clientWidth, p.clientHeight};
    CalcWindowRect(&window);

    RECT current{0, 0, 0, 0};
    ::GetWindowRect(m_hWnd, &current);
    HWND ownerWnd = ::GetWindow(m_hWnd, GW_OWNER);
    if (ownerWnd == nullptr && m_pParentWnd != nullptr) ownerWnd = m_pParentWnd->m_hWnd;
    RECT ownerRect{0, 0, 0, 0};
    const bool hasOwner = ownerWnd != nullptr && ::GetWindowRect(ownerWnd, &ownerRect);
    RECT workArea{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    const RECT placed = PlaceAboutWindow(
        window, (m_flags & AboutPlaced) != 0, POINT{current.left, current.top},
        hasOwner ? &ownerRect : nullptr, (m_flags & AboutFallbackCentre) != 0, workArea);
    m_flags |= AboutPlaced;
    ::SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, placed.right - placed.left,
                   placed.bottom - placed.top, SWP_NOZORDER | SWP_SHOWWINDOW);

    BuildButtonBitmaps();
    ShowButtonState();
    if (m_flags & AboutMeasureBand) {
        RECT client;
        GetClientRect(&client);
        const RECT dirty{m_paintRect.left, m_paintRect.top, client.right, client.bottom};
        ::InvalidateRect(m_hWnd, &dirty, TRUE);
        m_flags &= ~uint32_t(AboutMeasureBand);
    }
    m_inLayout = false;
}

void CAboutDlg::DeleteBitmaps() {
    for (HBITMAP& bitmap : m_bitmaps) {
        if (bitmap != nullptr) ::DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
        bitmap = nullptr;
    }
}

void CAboutDlg::BuildButtonBitmaps() {
    if (m_flags & AboutLowColour) return;
    DeleteBitmaps();
    const ButtonSysColours sys{::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_BTNSHADOW),
                               ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_3DLIGHT),
                               ::GetSysColor(COLOR_BTNHIGHLIGHT)};
    uint32_t palette[kButtonPaletteSize];
    BuildButtonPalette(sys, palette);
    std::vector<BYTE> pressed(kButtonBytes), resting(kButtonBytes);
    DrawButtonPictures(palette, pressed.data(), resting.data());
    const BITMAPINFOHEADER header = ButtonBitmapHeader();
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(&header);
    HDC dc = ::GetDC(m_hWnd);
    m_bitmaps[1] = ::CreateDIBitmap(dc, &header, CBM_INIT, pressed.data(), info, DIB_RGB_COLORS);
    m_bitmaps[0] = ::CreateDIBitmap(dc, &header, CBM_INIT, resting.data(), info, DIB_RGB_COLORS);
    ::ReleaseDC(m_hWnd, dc);
}

void CAboutDlg::ShowButtonState() {
    if (m_flags & AboutLowColour) return;
    m_buttonImage.SetBitmap((m_flags & AboutPressedInside) ? m_bitmaps[1] : m_bitmaps[0]);
}

void CAboutDlg::OnShowWindow(BOOL bShow, UINT nStatus) {
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow) Layout();
}

void CAboutDlg::OnSettingChange(UINT uFlags, LPCSTR lpszSection) {
    CDialog::OnSettingChange(uFlags, lpszSection);
    if (m_flags & AboutBandPresent) m_flags |= AboutMeasureBand;
    Layout();
    m_flags |= AboutSuppressMove;
}

void CAboutDlg::OnPaint() {
    // The dialog's own painting validates and erases; the painter then draws
    // its band over the fresh background.
    Default();
    if (!(m_flags & AboutBandPresent)) return;
    HDC dc = ::GetDC(m_hWnd);
    m_pPainter(m_painterArg, this, dc, &m_paintRect);
    ::ReleaseDC(m_hWnd, dc);
}

BOOL CAboutDlg::OnHelpInfo(HELPINFO* pHelpInfo) {
    switch (m_flags & AboutModeMask) {
        case 0:
            return TRUE;
        case 1:
            EndDialog(IDOK);
            return TRUE;
        case 7:
            m_flags = (m_flags & ~uint32_t(AboutModeMask)) | 1u | AboutMeasureBand;
            Layout();
            return TRUE;
        default:
            return CDialog::OnHelpInfo(pHelpInfo);
    }
}

void CAboutDlg::OnWindowPosChanging(WINDOWPOS* lpwndpos) {
    CDialog::OnWindowPosChanging(lpwndpos);
    if ((m_flags & AboutSuppressMove) && !(m_flags & AboutMeasureBand)) {
        lpwndpos->flags |= SWP_NOSIZE | SWP_NOMOVE;
        m_flags &= ~uint32_t(AboutSuppressMove);
    }
}

void CAboutDlg::Press() {
    m_flags |= AboutPressedInside | AboutPressing;
    ::SetCapture(m_hWnd);
    ShowButtonState();
}

void CAboutDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if ((m_flags & AboutLowColour) || !PtInRect(&m_pressRect, point))
        CDialog::OnLButtonDown(nFlags, point);
    else
        Press();
}

void CAboutDlg::OnLButtonDblClk(UINT nFlags, CPoint point) {
    if ((m_flags & AboutLowColour) || !PtInRect(&m_pressRect, point))
        CDialog::OnLButtonDblClk(nFlags, point);
    else
        Press();
}

void CAboutDlg::OnMouseMove(UINT nFlags, CPoint point) {
    if ((m_flags & AboutPressing) && !(m_flags & AboutLowColour)) {
        const bool inside = PtInRect(&m_trackRect, point) != FALSE;
        const bool wasInside = (m_flags & AboutPressedInside) != 0;
        if (inside != wasInside) {
            m_flags ^= AboutPressedInside;
            ShowButtonState();
        }
    }
    CDialog::OnMouseMove(nFlags, point);
}

void CAboutDlg::OnLButtonUp(UINT nFlags, CPoint point) {
    if ((m_flags & AboutLowColour) || !(m_flags & (AboutPressedInside | AboutPressing))) {
        CDialog::OnLButtonUp(nFlags, point);
        return;
    }
    ::ReleaseCapture();
    const bool completed =
        (m_flags & (AboutPressedInside | AboutPressing)) == (AboutPressedInside | AboutPressing);
    m_flags &= ~uint32_t(AboutPressedInside | AboutPressing);
    if (completed) EndDialog(IDOK);
    ShowButtonState();
}

void CAboutDlg::OnDestroy() {
    CDialog::OnDestroy();
    DeleteBitmaps();
}
