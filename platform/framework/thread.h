// The framework's thread object and thread start.
#pragma once

#include "platform/win32.h"

typedef UINT (*AFX_THREADPROC)(LPVOID pParam);

// A worker thread running m_pfnThreadProc(m_pThreadParams). When the procedure
// returns, the thread calls Delete(), which deletes the object if m_bAutoDelete
// is set (the default); the destructor closes m_hThread. An owner that clears
// m_bAutoDelete deletes the object itself, after the thread has ended (its
// handle is signalled then).
class CWinThread {
  public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread; with CREATE_SUSPENDED it waits for ResumeThread.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                      LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    DWORD ResumeThread();
    BOOL SetThreadPriority(int nPriority);
    int GetThreadPriority();
    virtual void Delete();

    operator HANDLE() const { return m_hThread; }

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;
};

// Creates a thread object and starts it suspended, sets the priority, and
// resumes it unless dwCreateFlags has CREATE_SUSPENDED. Returns NULL (and frees
// the object) if the thread could not be started.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
