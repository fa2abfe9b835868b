// Threads of the kernel subset and the framework's thread start.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>

#include "platform/framework/thread.h"
#include "platform/win32.h"

namespace {

struct Probe {
    std::atomic<int> runs{0};
    std::atomic<int> nice{-100};
    std::atomic<DWORD> threadId{0};
    HANDLE done = CreateEvent(NULL, TRUE, FALSE, NULL);
    ~Probe() { CloseHandle(done); }
};

int NiceOfThisThread() {
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, id_t(gettid()));
    return errno == 0 ? nice : -100;
}

UINT Body(LPVOID raw) {
    Probe& probe = *static_cast<Probe*>(raw);
    probe.runs++;
    probe.nice = NiceOfThisThread();
    probe.threadId = GetCurrentThreadId();
    SetEvent(probe.done);
    return 7;
}

DWORD WINAPI KernelBody(LPVOID raw) {
    return Body(raw);
}

// Tells when it is destroyed.
struct SelfDeleting : CWinThread {
    SelfDeleting(AFX_THREADPROC proc, LPVOID param, HANDLE gone)
        : CWinThread(proc, param), gone_(gone) {}
    ~SelfDeleting() override { SetEvent(gone_); }
    HANDLE gone_;
};

TEST(KernelThreads, SuspendedThreadWaitsForResumeAndReportsItsEnd) {
    Probe probe;
    DWORD id = 0;
    HANDLE thread = CreateThread(NULL, 0, KernelBody, &probe, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);  // known before the thread runs
    EXPECT_EQ(WaitForSingleObject(probe.done, 30), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(probe.runs.load(), 0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);  // signalled at its end
    EXPECT_EQ(probe.runs.load(), 1);
    EXPECT_EQ(probe.threadId.load(), id);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(ResumeThread(thread), 0u);                              // not suspended any more
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));  // it has ended
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(CreateThread(NULL, 0, NULL, NULL, 0, NULL), nullptr);
}

TEST(KernelThreads, StackSizeIsHonouredOrRoundedUp) {
    Probe probe;
    HANDLE thread = CreateThread(NULL, 100, KernelBody, &probe, 0, NULL);  // below the minimum
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.runs.load(), 1);
    CloseHandle(thread);
}

TEST(ThreadStart, BelowNormalRunsAtALowerPriorityThanTheCaller) {
    Probe probe;
    CWinThread* thread = AfxBeginThread(Body, &probe, THREAD_PRIORITY_BELOW_NORMAL);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(probe.done, 5000), WAIT_OBJECT_0);
    EXPECT_GT(probe.nice.load(), NiceOfThisThread());  // a higher nice value
    EXPECT_EQ(probe.runs.load(), 1);

    Probe normal;
    AfxBeginThread(Body, &normal);
    ASSERT_EQ(WaitForSingleObject(normal.done, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(normal.nice.load(), NiceOfThisThread());
}

TEST(ThreadStart, SuspendedStartRunsOnlyAfterResume) {
    Probe probe;
    CWinThread* thread = AfxBeginThread(Body, &probe, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(thread->m_nThreadID, 0u);
    EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_LOWEST);
    EXPECT_EQ(WaitForSingleObject(probe.done, 30), DWORD(WAIT_TIMEOUT));
    thread->m_bAutoDelete = FALSE;  // kept, so that its handle can be waited on
    EXPECT_EQ(thread->ResumeThread(), 1u);
    EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.runs.load(), 1);
    EXPECT_EQ(probe.threadId.load(), thread->m_nThreadID);
    EXPECT_GT(probe.nice.load(), NiceOfThisThread());
    delete thread;
}

TEST(ThreadStart, ThreadObjectDeletesItselfWhenTheThreadEnds) {
    Probe probe;
    HANDLE gone = CreateEvent(NULL, TRUE, FALSE, NULL);
    auto* thread = new SelfDeleting(Body, &probe, gone);
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    HANDLE handle = thread->m_hThread;
    thread->m_bAutoDelete = TRUE;
    thread->ResumeThread();
    EXPECT_EQ(WaitForSingleObject(gone, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.runs.load(), 1);
    // The base destructor, which runs next, closes the handle.
    for (int i = 0; i < 5000 && WaitForSingleObject(handle, 0) != WAIT_FAILED; i++)
        Sleep(1);
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
    CloseHandle(gone);
}

TEST(ThreadStart, BadArgumentsGiveNoThread) {
    EXPECT_EQ(AfxBeginThread(NULL, NULL), nullptr);
    Probe probe;
    CWinThread* thread = AfxBeginThread(Body, &probe, 12345);  // no such priority
    ASSERT_NE(thread, nullptr);                                // runs at its default
    EXPECT_EQ(WaitForSingleObject(probe.done, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(probe.nice.load(), NiceOfThisThread());
}

}  // namespace
