// CAboutDlg: a modal About box that needs no dialog resource. It runs on a
// small template in memory, creates its controls itself, sizes itself to its
// texts (taken from the program's version resource) and shows a picture
// button with a 3-D frame; a completed click on it, the OK button, F1 or the
// close box ends the box. A caller may hand it message lines or a painter that
// draws into a band under the texts.
#pragma once

#include <cstdint>
#include <string>

#include "platform/framework/button.h"
#include "platform/framework/dialog.h"
#include "platform/framework/static.h"

// The painter: called with an empty rect it sets the rect to the band it
// needs (relative to the band's origin); with a non-empty rect it draws there.
typedef void(CALLBACK* AboutPainter)(void* painterArg, CWnd* dialog, HDC hdc, RECT* rect);

// m_flags bits.
enum AboutFlag : uint32_t {
    AboutModeMask = 0x7,            // 1: F1 ends the box; 7: F1 switches to 1 and re-measures
    AboutWantBand = 0x10,           // on entry: a painter band is wanted
    AboutFallbackCentre = 0x20,     // centre on (500, 200), not over the owner
    AboutPlaced = 0x10000,          // placed once; later layouts keep the position
    AboutSuppressMove = 0x20000,    // the next outside position change is dropped
    AboutPressedInside = 0x40000,   // a held press is inside the tracking rectangle
    AboutPressing = 0x80000,        // a press on the picture button is in progress
    AboutBandPresent = 0x100000,    // WM_PAINT calls the painter
    AboutMeasureBand = 0x10000000,  // measure the band at the next layout
    AboutLowColour = 0x40000000,    // fewer than 16 bits per pixel: OK button, no pictures
};

constexpr UINT kAboutButtonId = 2000;

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
    ~CAboutDlg() override;

    // Runs the box modally over pOwner and returns the dialog's result.
    // flags are ORed into m_flags; lines is null or a null-ended list.
    INT_PTR Show(CWnd* pOwner, uint32_t flags, CFont* pFont, HICON hIcon, const char* pszShow,
                 AboutPainter pPainter, void* painterArg, const char* const* lines);

    BOOL OnInitDialog() override;

    uint32_t m_flags;
    CFont* m_pFont;
    CButton m_okButton;
    CStatic m_versionText;
    CStatic m_companyText;
    CStatic m_showLine;
    CStatic m_showTag;
    CStatic m_linesText;
    CStatic m_iconImage;
    CStatic m_buttonImage;
    const char* const* m_pLines;
    HBITMAP m_bitmaps[2];      // [0] at rest, [1] pressed
    std::string m_strings[5];  // company, version, show line, tag, joined message lines
    SIZE m_extents[4];
    int32_t m_linesWidth, m_linesHeight;
    const char* m_pszShow;
    RECT m_buttonRect;
    RECT m_pressRect;
    RECT m_trackRect;
    RECT m_paintRect;
    void* m_painterArg;
    AboutPainter m_pPainter;
    HICON m_hIcon;

    // Measures the texts, places the controls, sizes and positions the box.
    void Layout();
    // Builds both picture-button bitmaps from the current system colours.
    void BuildButtonBitmaps();
    // Shows the pressed or the resting picture, as the state bits say.
    void ShowButtonState();

  protected:
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSettingChange(UINT uFlags, LPCSTR lpszSection);
    afx_msg void OnPaint();
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()

  private:
    void Press();
    void DeleteBitmaps();
    bool m_inLayout;
};
