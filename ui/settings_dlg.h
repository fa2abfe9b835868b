// CSettingsDlg: the configuration dialog on dialog resource 102. In the
// Configure mode it shows the style buttons and the two trackbars and hands
// the chosen settings back on OK; in the Windowed mode it hides its controls,
// grows to a 512 x 512 client area and runs the animation there. Its system
// menu and F1 open the About box in both modes.
#pragma once

#include <cstdint>

#include "platform/framework/dialog.h"

struct BallEngine;

constexpr UINT IDD_SETTINGS = 102;
constexpr UINT IDI_SAVER = 128;
constexpr UINT IDM_ABOUTBOX = 0x10;

// Control ids of dialog 102.
enum SettingsControl : int {
    IDC_NUM_OF_BALLS = 1000,
    IDC_STYLE_RANDOM = 1001,
    IDC_STYLE_NORMAL = 1002,
    IDC_STYLE_GREEN = 1003,
    IDC_STYLE_SQUASH = 1004,
    IDC_SIZE_GROUP = 1005,
    IDC_MANY = 1006,
    IDC_MORE = 1007,
    IDC_NUMBER_GROUP = 1008,
    IDC_GOOD = 1009,
    IDC_BEST = 1010,
    IDC_SIZE_OF_BALLS = 1011,
};

// The trial's client area.
constexpr int32_t kTrialSize = 512;

// The dialog's corrections of stored settings: a style outside 0..3 becomes 0,
// a number outside 20..100 becomes 52, a size of 0 becomes 38 and any other
// size is kept within 30..60.
constexpr void ClampDialogSettings(int32_t* style, int32_t* numOfBalls, int32_t* sizeOfBalls) {
    if (*style < 0 || *style > 3) *style = 0;
    if (*numOfBalls < 20 || *numOfBalls > 100) *numOfBalls = 0;
    if (*numOfBalls == 0) *numOfBalls = 52;
    if (*sizeOfBalls == 0) *sizeOfBalls = 38;
    if (*sizeOfBalls < 30) *sizeOfBalls = 30;
    if (*sizeOfBalls > 60) *sizeOfBalls = 60;
}

class CSettingsDlg : public CDialog {
  public:
    explicit CSettingsDlg(CWnd* pParentWnd = nullptr);
    ~CSettingsDlg() override;

    int32_t m_runMode;  // RunMode: 1 Configure, 0 Windowed
    int32_t m_style;
    int32_t m_numOfBalls;
    int32_t m_sizeOfBalls;
    CFont* m_font;
    BallEngine* m_engine;  // the Windowed animation's engine, null otherwise
    HICON m_hIcon;

    // The width of the trial's frame, kTrialSize. A test build of the program
    // sets it beyond any memory to drive the out-of-memory path end to end;
    // nothing else changes it.
    static int32_t s_trialFrameWidth;

    BOOL OnInitDialog() override;
    void OnSetFont(CFont* pFont) override;
    void OnOK() override;

    // Runs the About box; lines is null or a null-ended list of message lines.
    void ShowAbout(const char* const* lines);
    // The About box's painter: the mark, centred in the box when it is wide enough.
    static void CALLBACK PaintMark(void* painterArg, CWnd* window, HDC hdc, RECT* rect);

  protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(HDC hDC);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

  private:
    void InitConfigure();
    void StartTrial();
};
