#include "ui/saver_wnd.h"

#include "engine/ball_engine.h"
#include "timing/tick_timer.h"

BEGIN_MESSAGE_MAP(CSaverWnd, CWnd)
ON_WM_NCPAINT()
END_MESSAGE_MAP()

CSaverWnd::CSaverWnd()
    : m_style(0), m_numOfBalls(0), m_sizeOfBalls(0), m_fullScreen(0), m_engine(nullptr) {}

CSaverWnd::~CSaverWnd() {
    // The engine's buffers go with it. An engine whose worker thread runs is
    // left to the end of the process: the worker may be inside a frame.
    if (m_engine != nullptr && m_engine->worker.thread == nullptr) delete m_engine;
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

    m_engine = new BallEngine;
    HDC dc = GetDC();  // the engine presents through it for the window's life
    if (m_engine->frame.Create(dc, width, height) != 1) return 0;

    m_engine->displayMode = m_style;
    m_engine->frameCount = m_numOfBalls;
    m_engine->ballSize = m_sizeOfBalls;
    SetUpScene(m_engine);  // waits for the first paint from here on
    StartAnimation(m_engine);
    m_engine->formationAllowed = 1;
    return 1;
}

void CSaverWnd::PostNcDestroy() {
    delete this;
}

void CSaverWnd::StartAnimation(BallEngine* engine) {
    TickTimerStart(20, 2);
    engine->worker.Create(THREAD_PRIORITY_BELOW_NORMAL);
    engine->worker.SetCallbacks(engine, StepFrame, nullptr, nullptr);
    engine->worker.Command(CmdRunPaced, 20);
}

void CSaverWnd::OnNcPaint() {
    // The preview repaints on every frame-area paint; no frame is drawn.
    if (m_engine == nullptr || m_fullScreen != 0) return;
    m_engine->repaintAll.store(1, std::memory_order_relaxed);
    int32_t waiting = kIntroWaitingForPaint;
    m_engine->introState.compare_exchange_strong(waiting, 1, std::memory_order_relaxed);
}
