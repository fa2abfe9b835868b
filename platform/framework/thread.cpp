#include "platform/framework/thread.h"

// Stubs until the thread start lands.
CWinThread::CWinThread()
    : m_hThread(NULL),
      m_nThreadID(0),
      m_bAutoDelete(TRUE),
      m_pfnThreadProc(NULL),
      m_pThreadParams(NULL) {}
CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL),
      m_nThreadID(0),
      m_bAutoDelete(TRUE),
      m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam) {}
CWinThread::~CWinThread() {}
BOOL CWinThread::CreateThread(DWORD, UINT, LPSECURITY_ATTRIBUTES) {
    return FALSE;
}
DWORD CWinThread::ResumeThread() {
    return (DWORD)-1;
}
BOOL CWinThread::SetThreadPriority(int) {
    return FALSE;
}
int CWinThread::GetThreadPriority() {
    return THREAD_PRIORITY_ERROR_RETURN;
}
void CWinThread::Delete() {}
CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES) {
    return NULL;
}
