// CSaverWnd: a window that hosts one animation engine. It creates the
// window, builds the engine for its size and starts the paced worker; by
// itself it is the preview child inside a foreign window.
#pragma once

#include <cstdint>

#include "platform/framework/wnd.h"

struct BallEngine;

class CSaverWnd : public CWnd {
  public:
    CSaverWnd();
    ~CSaverWnd() override;

    int32_t m_style;        // style setting; full screen: first mouse x seen, -1 for none
    int32_t m_numOfBalls;   // number of balls setting
    int32_t m_sizeOfBalls;  // size of balls setting
    int32_t m_fullScreen;   // 1 for the full-screen window, 0 for the preview
    BallEngine* m_engine;   // owned engine, null until created

    // Creates the window (control id always 0), its engine and frame buffer,
    // and starts the animation. 1 on success, 0 otherwise. rect is in the
    // parent's client coordinates (screen coordinates without a parent).
    virtual int CreateAndStart(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                               UINT nID, CCreateContext* pContext = nullptr);

  protected:
    // The object goes with its window (it is always made with new); its
    // engine, whose worker runs, stays until the process ends.
    void PostNcDestroy() override;

    afx_msg void OnNcPaint();

    DECLARE_MESSAGE_MAP()
};
