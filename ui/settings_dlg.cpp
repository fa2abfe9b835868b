#include "ui/settings_dlg.h"

#include "engine/engine_life.h"
#include "platform/framework/winapp.h"
#include "ui/about_dlg.h"
#include "ui/mark_pixels.h"

namespace {

const char* const kNoMemoryLines[] = {"-->>>         Error: no memory", nullptr};

// The controls the trial hides, in this order.
const int kTrialHidden[] = {IDOK,
                            IDCANCEL,
                            IDC_NUM_OF_BALLS,
                            IDC_STYLE_RANDOM,
                            IDC_STYLE_NORMAL,
                            IDC_STYLE_GREEN,
                            IDC_STYLE_SQUASH,
                            IDC_NUMBER_GROUP,
                            IDC_MANY,
                            IDC_MORE,
                            IDC_SIZE_OF_BALLS,
                            IDC_SIZE_GROUP,
                            IDC_GOOD,
                            IDC_BEST};

}  // namespace

int32_t CSettingsDlg::s_trialFrameWidth = kTrialSize;

BEGIN_MESSAGE_MAP(CSettingsDlg, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_QUERYDRAGICON()
ON_WM_HELPINFO()
ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

CSettingsDlg::CSettingsDlg(CWnd* pParentWnd)
    : CDialog(IDD_SETTINGS, pParentWnd),
      m_runMode(1),
      m_style(0),
      m_numOfBalls(0),
      m_sizeOfBalls(0),
      m_font(nullptr),
      m_engine(nullptr),
      m_hIcon(nullptr) {
    CWinApp* app = AfxGetApp();
    m_hIcon = ::LoadIconA(app != nullptr ? app->m_hInstance : nullptr, MAKEINTRESOURCEA(IDI_SAVER));
}

CSettingsDlg::~CSettingsDlg() {
    // The engine's worker may still be inside a frame; it ends with the process.
    if (m_hWnd != nullptr) DestroyWindow();
}

BOOL CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    if (CMenu* menu = GetSystemMenu(FALSE)) {
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING, IDM_ABOUTBOX, "&About quorix ...");
    }
    if (m_runMode != 0)
        InitConfigure();
    else
        StartTrial();
    return TRUE;
}

void CSettingsDlg::InitConfigure() {
    ClampDialogSettings(&m_style, &m_numOfBalls, &m_sizeOfBalls);
    CheckRadioButton(IDC_STYLE_RANDOM, IDC_STYLE_SQUASH, IDC_STYLE_RANDOM + m_style);
    const struct {
        int id, min, max, freq, pos;
    } bars[2] = {{IDC_NUM_OF_BALLS, 20, 100, 10, m_numOfBalls},
                 {IDC_SIZE_OF_BALLS, 30, 60, 5, m_sizeOfBalls}};
    for (const auto& bar : bars) {
        for (BOOL redraw : {FALSE, TRUE}) {
            SendDlgItemMessage(bar.id, TBM_SETRANGEMIN, redraw, bar.min);
            SendDlgItemMessage(bar.id, TBM_SETRANGEMAX, redraw, bar.max);
        }
        SendDlgItemMessage(bar.id, TBM_SETTICFREQ, bar.freq, 0);
        SendDlgItemMessage(bar.id, TBM_SETPOS, TRUE, bar.pos);
    }
}

void CSettingsDlg::StartTrial() {
    for (int id : kTrialHidden)
        if (HWND control = ::GetDlgItem(m_hWnd, id)) ::ShowWindow(control, SW_HIDE);

    HDC dc = GetDC();  // the engine presents through the dialog's DC for its life
    const EngineSettings settings{m_style, m_numOfBalls, m_sizeOfBalls};  // set-up clamps
    m_engine = CreateEngine(dc, s_trialFrameWidth, kTrialSize, settings, kTrialHosting);
    if (m_engine != nullptr) {
        RECT window{0, 0, kTrialSize, kTrialSize};
        CalcWindowRect(&window);
        SetWindowPos(HWND_TOP, 0, 0, window.right - window.left, window.bottom - window.top,
                     SWP_NOMOVE);
        // Our window device contexts keep the window's size from when they were
        // taken: the engine presents through one of the grown window.
        ReleaseDC(dc);
        SetEngineDc(m_engine, GetDC());
        StartEngine(m_engine);
        return;
    }
    ReleaseDC(dc);
    ShowAbout(kNoMemoryLines);
    EndDialog(-1);
}

void CSettingsDlg::OnSetFont(CFont* pFont) {
    m_font = pFont;
    CDialog::OnSetFont(pFont);
}

void CSettingsDlg::OnOK() {
    m_style = 0;
    for (int id = IDC_STYLE_RANDOM; id <= IDC_STYLE_SQUASH; ++id) {
        if (IsDlgButtonChecked(id)) {
            m_style = id - IDC_STYLE_RANDOM;
            break;
        }
    }
    m_numOfBalls = int32_t(SendDlgItemMessage(IDC_NUM_OF_BALLS, TBM_GETPOS));
    m_sizeOfBalls = int32_t(SendDlgItemMessage(IDC_SIZE_OF_BALLS, TBM_GETPOS));
    CDialog::OnOK();
}

void CSettingsDlg::ShowAbout(const char* const* lines) {
    CAboutDlg about;
    if (lines != nullptr) {
        about.Show(this, 1, m_font, m_hIcon, nullptr, nullptr, nullptr, lines);
        return;
    }
    about.Show(this, 1 | AboutWantBand, m_font, m_hIcon, nullptr, &CSettingsDlg::PaintMark, this,
               nullptr);
    // Closing the box after the trial's intro starts a formation, unless one runs.
    if (m_engine != nullptr) RequestFormation(m_engine);
}

void CALLBACK CSettingsDlg::PaintMark(void*, CWnd* window, HDC hdc, RECT* rect) {
    RECT client;
    window->GetClientRect(&client);
    const int32_t w = client.right - client.left;
    int32_t left = client.left, right = kMarkWidth;
    if (w > kMarkWidth) left = (w - kMarkWidth) / 2, right = w;
    if (IsRectEmpty(rect)) {
        SetRect(rect, left, 0, right, 18);
        return;
    }
    const int32_t x0 = rect->left, y0 = rect->top;
    ForEachMarkPixel(kMarkPixels, kMarkPixelsSize,
                     [&](int x, int y) { ::SetPixelV(hdc, x0 + x, y0 + y, RGB(0, 0, 0)); });
}

void CSettingsDlg::OnPaint() {
    if (IsIconic()) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(m_hWnd, &ps);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        GetClientRect(&client);
        const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
        const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
        ::DrawIcon(dc, x, y, m_hIcon);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    if (m_engine != nullptr) EnginePainted(m_engine);
    Default();
}

BOOL CSettingsDlg::OnEraseBkgnd(HDC hDC) {
    if (m_runMode == 0) return TRUE;  // the animation covers the whole client area
    return CDialog::OnEraseBkgnd(hDC);
}

HCURSOR CSettingsDlg::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

BOOL CSettingsDlg::OnHelpInfo(HELPINFO*) {
    ShowAbout(nullptr);
    return TRUE;
}

void CSettingsDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        ShowAbout(nullptr);
    else
        CDialog::OnSysCommand(nID, lParam);
}
