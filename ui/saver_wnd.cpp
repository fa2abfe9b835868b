#include "ui/saver_wnd.h"

#include "engine/engine_life.h"

BEGIN_MESSAGE_MAP(CSaverWnd, CWnd)
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd()
    : m_style(0), m_numOfBalls(0), m_sizeOfBalls(0), m_fullScreen(0), m_engine(nullptr) {}

CSaverWnd::~CSaverWnd() {
    // The engine lives until the process ends: its worker may be inside a frame.
    m_engine = nullptr;
}

int CSaverWnd::CreateAndStart(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                              UINT, CCreateContext*) {
    // One class for every saver window: redrawn on resize, no cursor, no
    // background brush (nothing is erased), no icon.
    static LPCSTR s_className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW);
    if (s_className == nullptr) return 0;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (!CreateEx(dwExStyle, s_className, "", dwStyle, rect.left, rect.top, width, height,
                  pParentWnd != nullptr ? pParentWnd->m_hWnd : nullptr, nullptr))
        return 0;

    HDC dc = GetDC();  // the engine presents through it for the window's life
    const EngineSettings settings{m_style, m_numOfBalls, m_sizeOfBalls};
    m_engine = CreateEngine(dc, width, height, settings, kSaverWindowHosting);
    if (m_engine == nullptr) return 0;
    StartEngine(m_engine);
    return 1;
}

void CSaverWnd::PostNcDestroy() {
    delete this;
}

void CSaverWnd::OnNcPaint() {
    // The preview repaints on every frame-area paint; no frame is drawn.
    if (m_engine == nullptr || m_fullScreen != 0) return;
    EnginePainted(m_engine);
}
