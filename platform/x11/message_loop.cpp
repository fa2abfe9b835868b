// Per-thread message queues, the message loop and the timer entry points.
#include "platform/x11/message_loop.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/x11/timers.h"

namespace {

constexpr size_t kQueueLimit = 10000;  // posted messages per queue, as on Windows

struct ThreadQueue {
    DWORD threadId = 0;
    std::mutex mutex;
    std::deque<MSG> posted;
    bool quitPending = false;
    int quitCode = 0;
    TimerList timers;
    int wakeRead = -1;  // a byte in the pipe wakes the thread's wait
    int wakeWrite = -1;

    ~ThreadQueue() {
        if (wakeRead >= 0) close(wakeRead);
        if (wakeWrite >= 0) close(wakeWrite);
    }
    void Wake() {
        if (wakeWrite < 0) return;
        char byte = 1;
        ssize_t written = write(wakeWrite, &byte, 1);  // a full pipe wakes already
        (void)written;
    }
    void Drain() {
        char bytes[64];
        while (read(wakeRead, bytes, sizeof bytes) > 0) {
        }
    }
};

// Process-wide registry. Never destroyed: other threads may post while the
// process exits.
struct Registry {
    std::mutex mutex;
    std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
    std::vector<MessageSource> sources;
};

Registry& Reg() {
    static Registry* registry = new Registry;
    return *registry;
}

std::atomic<LRESULT (*)(const MSG*)> g_dispatch{nullptr};
std::atomic<BOOL (*)(const MSG*)> g_translate{nullptr};
std::atomic<DWORD (*)(HWND)> g_ownerThread{nullptr};

// Unregisters the thread's queue when the thread ends.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        Registry& registry = Reg();
        std::lock_guard<std::mutex> hold(registry.mutex);
        auto found = registry.queues.find(queue->threadId);
        if (found != registry.queues.end() && found->second == queue) registry.queues.erase(found);
    }
};

thread_local QueueHolder t_holder;

ThreadQueue* CurrentQueue() {
    if (t_holder.queue) return t_holder.queue.get();
    auto queue = std::make_shared<ThreadQueue>();
    queue->threadId = GetCurrentThreadId();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        queue->wakeRead = fds[0];
        queue->wakeWrite = fds[1];
    }
    {
        Registry& registry = Reg();
        std::lock_guard<std::mutex> hold(registry.mutex);
        registry.queues[queue->threadId] = queue;
    }
    t_holder.queue = queue;
    return queue.get();
}

std::shared_ptr<ThreadQueue> QueueOf(DWORD threadId) {
    Registry& registry = Reg();
    std::lock_guard<std::mutex> hold(registry.mutex);
    auto found = registry.queues.find(threadId);
    return found == registry.queues.end() ? nullptr : found->second;
}

std::vector<MessageSource> Sources() {
    Registry& registry = Reg();
    std::lock_guard<std::mutex> hold(registry.mutex);
    return registry.sources;
}

void PumpSources(const std::vector<MessageSource>& sources) {
    for (const MessageSource& source : sources)
        if (source.pump) source.pump(source.ctx);
}

BOOL PostTo(ThreadQueue& queue, const MSG& msg) {
    {
        std::lock_guard<std::mutex> hold(queue.mutex);
        if (queue.posted.size() >= kQueueLimit) return FALSE;
        queue.posted.push_back(msg);
    }
    queue.Wake();
    return TRUE;
}

MSG MakeMsg(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = {};
    msg.hwnd = hwnd;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = GetTickCount();
    return msg;
}

struct Filter {
    HWND hwnd;
    UINT min;
    UINT max;
    bool Accepts(const MSG& msg) const {
        if (hwnd == reinterpret_cast<HWND>(-1)) {
            if (msg.hwnd != NULL) return false;
        } else if (hwnd != NULL && msg.hwnd != hwnd) {
            return false;
        }
        if (min == 0 && max == 0) return true;
        return msg.message >= min && msg.message <= max;
    }
};

// One look into the queue, in the order of GetMessageA.
bool TakeMessage(ThreadQueue& queue, const Filter& filter, bool remove, MSG* msg) {
    std::lock_guard<std::mutex> hold(queue.mutex);
    for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
        if (!filter.Accepts(*it)) continue;
        *msg = *it;
        if (remove) queue.posted.erase(it);
        return true;
    }
    if (queue.quitPending) {
        *msg = MSG{};
        msg->message = WM_QUIT;
        msg->wParam = WPARAM(queue.quitCode);
        msg->time = GetTickCount();
        if (remove) queue.quitPending = false;
        return true;
    }
    return queue.timers.TakeDue(
        GetTickCount(), remove, [&](const MSG& m) { return filter.Accepts(m); }, msg);
}

void WaitForInput(ThreadQueue& queue, const std::vector<MessageSource>& sources) {
    int timeout;
    {
        std::lock_guard<std::mutex> hold(queue.mutex);
        timeout = queue.timers.WaitTime(GetTickCount());
    }
    std::vector<pollfd> fds;
    std::vector<const MessageSource*> polled;  // the source of fds[i + 1]
    fds.push_back(pollfd{queue.wakeRead, POLLIN, 0});
    for (const MessageSource& source : sources) {
        int fd = source.fd ? source.fd(source.ctx) : -1;
        if (fd < 0) continue;
        fds.push_back(pollfd{fd, POLLIN, 0});
        polled.push_back(&source);
    }
    if (queue.wakeRead < 0 && fds.size() == 1 && timeout < 0) timeout = 10;  // no pipe: poll
    int ready = poll(fds.data(), fds.size(), timeout);
    for (size_t i = 0; i < polled.size(); i++)
        if (polled[i]->polled)
            polled[i]->polled(polled[i]->ctx, ready < 0 || fds[i + 1].revents != 0);
    if (ready < 0 && errno != EINTR) Sleep(1);  // never spin on a failing poll
    if (queue.wakeRead >= 0 && (fds[0].revents & POLLIN)) queue.Drain();
    // A source whose fd has failed or hung up stays "ready" until its pump deals
    // with it; meanwhile the loop must not spin.
    for (size_t i = 1; i < fds.size(); i++)
        if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            Sleep(1);
            break;
        }
}

}  // namespace

void AddMessageSource(const MessageSource& source) {
    Registry& registry = Reg();
    std::vector<std::shared_ptr<ThreadQueue>> waiting;
    {
        std::lock_guard<std::mutex> hold(registry.mutex);
        registry.sources.push_back(source);
        for (auto& entry : registry.queues)
            waiting.push_back(entry.second);
    }
    for (auto& queue : waiting)
        queue->Wake();  // waits pick the new fd up
}

WindowDispatcher SetWindowDispatcher(WindowDispatcher dispatch) {
    return g_dispatch.exchange(dispatch);
}
MessageTranslator SetMessageTranslator(MessageTranslator translate) {
    return g_translate.exchange(translate);
}
WindowThreadResolver SetWindowThreadResolver(WindowThreadResolver ownerThread) {
    return g_ownerThread.exchange(ownerThread);
}

BOOL PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd == NULL) return PostTo(*CurrentQueue(), MakeMsg(NULL, message, wParam, lParam));
    DWORD (*owner)(HWND) = g_ownerThread.load();
    DWORD threadId = owner ? owner(hwnd) : 0;
    if (threadId == 0) return FALSE;
    std::shared_ptr<ThreadQueue> queue = QueueOf(threadId);
    if (!queue) return FALSE;
    return PostTo(*queue, MakeMsg(hwnd, message, wParam, lParam));
}

void DiscardWindowMessages(HWND hwnd) {
    if (hwnd == NULL) return;
    std::vector<std::shared_ptr<ThreadQueue>> queues;
    {
        Registry& registry = Reg();
        std::lock_guard<std::mutex> hold(registry.mutex);
        for (auto& entry : registry.queues)
            queues.push_back(entry.second);
    }
    for (auto& queue : queues) {
        std::lock_guard<std::mutex> hold(queue->mutex);
        for (auto it = queue->posted.begin(); it != queue->posted.end();)
            it = it->hwnd == hwnd ? queue->posted.erase(it) : it + 1;
        queue->timers.ForgetWindow(hwnd);
    }
}

void EnsureThreadQueue() {
    CurrentQueue();
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == NULL) return -1;
    ThreadQueue& queue = *CurrentQueue();
    Filter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
    for (;;) {
        std::vector<MessageSource> sources = Sources();
        PumpSources(sources);
        if (TakeMessage(queue, filter, true, lpMsg)) return lpMsg->message == WM_QUIT ? 0 : 1;
        WaitForInput(queue, sources);
    }
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (lpMsg == NULL) return FALSE;
    ThreadQueue& queue = *CurrentQueue();
    PumpSources(Sources());
    Filter filter{hWnd, wMsgFilterMin, wMsgFilterMax};
    return TakeMessage(queue, filter, (wRemoveMsg & PM_REMOVE) != 0, lpMsg) ? TRUE : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    BOOL (*translate)(const MSG*) = g_translate.load();
    return lpMsg && translate ? translate(lpMsg) : FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == NULL) return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        // Only the procedure of a live timer of this thread is called, never an
        // address that some posted message happens to carry.
        TIMERPROC proc = reinterpret_cast<TIMERPROC>(static_cast<uintptr_t>(lpMsg->lParam));
        ThreadQueue& queue = *CurrentQueue();
        bool live;
        {
            std::lock_guard<std::mutex> hold(queue.mutex);
            live = queue.timers.Has(lpMsg->hwnd, UINT_PTR(lpMsg->wParam), proc);
        }
        if (live) {
            proc(lpMsg->hwnd, WM_TIMER, UINT_PTR(lpMsg->wParam), lpMsg->time);
            return 0;
        }
        if (lpMsg->hwnd == NULL) return 0;
    }
    if (lpMsg->hwnd == NULL) return 0;
    LRESULT (*dispatch)(const MSG*) = g_dispatch.load();
    return dispatch ? dispatch(lpMsg) : 0;
}

void WINAPI PostQuitMessage(int nExitCode) {
    ThreadQueue& queue = *CurrentQueue();
    {
        std::lock_guard<std::mutex> hold(queue.mutex);
        queue.quitPending = true;
        queue.quitCode = nExitCode;
    }
    queue.Wake();
}

BOOL WINAPI PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    std::shared_ptr<ThreadQueue> queue = QueueOf(idThread);
    if (!queue) return FALSE;
    return PostTo(*queue, MakeMsg(NULL, Msg, wParam, lParam));
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (hWnd != NULL) {
        // A window timer must be set by the window's own thread.
        DWORD (*owner)(HWND) = g_ownerThread.load();
        if (!owner || owner(hWnd) != GetCurrentThreadId()) return 0;
    }
    ThreadQueue& queue = *CurrentQueue();
    UINT_PTR id;
    {
        std::lock_guard<std::mutex> hold(queue.mutex);
        id = queue.timers.Set(hWnd, nIDEvent, uElapse, lpTimerFunc, GetTickCount());
    }
    return id;  // set by the owning thread itself, so no wait needs waking
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    ThreadQueue& queue = *CurrentQueue();
    std::lock_guard<std::mutex> hold(queue.mutex);
    return queue.timers.Kill(hWnd, uIDEvent) ? TRUE : FALSE;
}
