// CFullScreenWnd: the saver proper, a topmost popup over the primary screen
// without a cursor that closes itself at the first sign of the user.
#pragma once

#include "ui/saver_wnd.h"

class CFullScreenWnd : public CSaverWnd {
  public:
    CFullScreenWnd();
    ~CFullScreenWnd() override;

    // Covers the primary screen and starts the animation with the three
    // settings; the result of CreateAndStart.
    int CreateFullScreen(int32_t style, int32_t numOfBalls, int32_t sizeOfBalls);

  protected:
    afx_msg void OnPaint();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    afx_msg BOOL OnNcActivate(BOOL bActive);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
