// The framework's thread object on top of the kernel's threads.
#include "platform/framework/thread.h"

#include <new>

#ifdef _WIN32
#include <process.h>
#endif

namespace {

// Runs the procedure, then lets the object delete itself if it is meant to.
#ifdef _WIN32
unsigned __stdcall ThreadEntry(void* raw) {
#else
DWORD WINAPI ThreadEntry(LPVOID raw) {
#endif
    CWinThread* thread = static_cast<CWinThread*>(raw);
    UINT code = thread->m_pfnThreadProc ? thread->m_pfnThreadProc(thread->m_pThreadParams) : 0;
    thread->Delete();
    return code;
}

}  // namespace

CWinThread::CWinThread() : CWinThread(NULL, NULL) {}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL),
      m_nThreadID(0),
      m_bAutoDelete(TRUE),
      m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam) {}

CWinThread::~CWinThread() {
    if (m_hThread != NULL) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    if (m_hThread != NULL) return FALSE;
#ifdef _WIN32
    // Through the C run-time, so that it sets up its per-thread state.
    unsigned id = 0;
    m_hThread = reinterpret_cast<HANDLE>(
        _beginthreadex(lpSecurityAttrs, nStackSize, ThreadEntry, this, dwCreateFlags, &id));
    m_nThreadID = id;
#else
    m_hThread =
        ::CreateThread(lpSecurityAttrs, nStackSize, ThreadEntry, this, dwCreateFlags, &m_nThreadID);
#endif
    return m_hThread != NULL;
}

DWORD CWinThread::ResumeThread() {
    return ::ResumeThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority) {
    return ::SetThreadPriority(m_hThread, nPriority);
}

int CWinThread::GetThreadPriority() {
    return ::GetThreadPriority(m_hThread);
}

void CWinThread::Delete() {
    if (m_bAutoDelete) delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
    if (pfnThreadProc == NULL) return NULL;
    CWinThread* thread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (thread == NULL) return NULL;
    // Always start suspended, so that the priority is in place before the
    // procedure runs.
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
        delete thread;
        return NULL;
    }
    thread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}
