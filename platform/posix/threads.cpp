// Threads on pthreads: created detached, optionally held before their body
// until ResumeThread, with Win32 priorities mapped to per-thread nice values.
#include <errno.h>
#include <limits.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <memory>
#include <new>

#include "platform/posix/kernel_objects.h"

namespace {

struct ThreadObject : KernelObject {
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    pid_t tid = 0;     // known once the thread has begun
    int baseNice = 0;  // the nice value inherited from the creating thread
    int priority = THREAD_PRIORITY_NORMAL;
    DWORD suspendCount = 0;
    DWORD exitCode = STILL_ACTIVE;
};

std::shared_ptr<ThreadObject> FindThread(HANDLE handle) {
    return std::dynamic_pointer_cast<ThreadObject>(FindKernelObject(handle));
}

// Nice offset from the creator's value for each Win32 priority, or false for a
// value that is no priority.
bool NiceFor(int priority, int baseNice, int* nice) {
    int value;
    switch (priority) {
        case THREAD_PRIORITY_IDLE:
            *nice = 19;
            return true;
        case THREAD_PRIORITY_LOWEST:
            value = baseNice + 10;
            break;
        case THREAD_PRIORITY_BELOW_NORMAL:
            value = baseNice + 5;
            break;
        case THREAD_PRIORITY_NORMAL:
            value = baseNice;
            break;
        case THREAD_PRIORITY_ABOVE_NORMAL:
            value = baseNice - 5;
            break;
        case THREAD_PRIORITY_HIGHEST:
            value = baseNice - 10;
            break;
        case THREAD_PRIORITY_TIME_CRITICAL:
            value = -20;
            break;
        default:
            return false;
    }
    *nice = value < -20 ? -20 : value > 19 ? 19 : value;
    return true;
}

void* ThreadEntry(void* raw) {
    std::shared_ptr<ThreadObject> self(
        std::move(*static_cast<std::shared_ptr<ThreadObject>*>(raw)));
    delete static_cast<std::shared_ptr<ThreadObject>*>(raw);
    {
        std::unique_lock<std::mutex> hold(self->mutex);
        self->tid = gettid();
        errno = 0;
        int nice = getpriority(PRIO_PROCESS, id_t(self->tid));
        self->baseNice = errno == 0 ? nice : 0;
        self->changed.notify_all();
        self->changed.wait(hold, [&] { return self->suspendCount == 0; });
    }
    DWORD code = self->start(self->parameter);
    {
        std::lock_guard<std::mutex> hold(self->mutex);
        self->exitCode = code;
        self->signalled = true;
    }
    self->changed.notify_all();
    return nullptr;
}

}  // namespace

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize,
                           LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                           DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (lpStartAddress == nullptr) return NULL;
    std::shared_ptr<ThreadObject> thread(new (std::nothrow) ThreadObject);
    if (!thread) return NULL;
    thread->start = lpStartAddress;
    thread->parameter = lpParameter;
    thread->suspendCount = (dwCreationFlags & CREATE_SUSPENDED) ? 1 : 0;

    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return NULL;
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    if (dwStackSize != 0) {
        long page = sysconf(_SC_PAGESIZE);
        size_t minimum = size_t(PTHREAD_STACK_MIN);
        size_t size = dwStackSize < minimum ? minimum : dwStackSize;
        if (page > 0) size = (size + size_t(page) - 1) / size_t(page) * size_t(page);
        pthread_attr_setstacksize(&attributes, size);
    }
    auto* handOver = new (std::nothrow) std::shared_ptr<ThreadObject>(thread);
    pthread_t posixThread;
    int failed = handOver ? pthread_create(&posixThread, &attributes, ThreadEntry, handOver) : 1;
    pthread_attr_destroy(&attributes);
    if (failed) {
        delete handOver;
        return NULL;
    }
    // The id is wanted at once, also for a suspended thread: wait for the thread
    // to report it.
    {
        std::unique_lock<std::mutex> hold(thread->mutex);
        thread->changed.wait(hold, [&] { return thread->tid != 0; });
        if (lpThreadId) *lpThreadId = DWORD(thread->tid);
    }
    return AddKernelObject(std::move(thread));
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    std::shared_ptr<ThreadObject> thread = FindThread(hThread);
    if (!thread) return DWORD(-1);
    DWORD previous;
    {
        std::lock_guard<std::mutex> hold(thread->mutex);
        previous = thread->suspendCount;
        if (previous > 0) thread->suspendCount--;
    }
    if (previous == 1) thread->changed.notify_all();
    return previous;
}

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    std::shared_ptr<ThreadObject> thread = FindThread(hThread);
    if (!thread) return FALSE;
    std::lock_guard<std::mutex> hold(thread->mutex);
    int nice;
    if (!NiceFor(nPriority, thread->baseNice, &nice)) return FALSE;
    // A thread that has ended may have handed its id on; it is left alone. While
    // `signalled` is clear under the lock the thread is still alive.
    if (thread->signalled) return FALSE;
    if (setpriority(PRIO_PROCESS, id_t(thread->tid), nice) != 0) return FALSE;
    thread->priority = nPriority;
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE hThread) {
    std::shared_ptr<ThreadObject> thread = FindThread(hThread);
    if (!thread) return THREAD_PRIORITY_ERROR_RETURN;
    std::lock_guard<std::mutex> hold(thread->mutex);
    return thread->priority;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    std::shared_ptr<ThreadObject> thread = FindThread(hThread);
    if (!thread || !lpExitCode) return FALSE;
    std::lock_guard<std::mutex> hold(thread->mutex);
    *lpExitCode = thread->exitCode;
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) {
    return DWORD(gettid());
}
