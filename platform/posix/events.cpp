// Events: manual- or auto-reset kernel objects.
#include <memory>
#include <new>

#include "platform/posix/kernel_objects.h"

namespace {

struct EventObject : KernelObject {};

std::shared_ptr<EventObject> FindEvent(HANDLE handle) {
    return std::dynamic_pointer_cast<EventObject>(FindKernelObject(handle));
}

}  // namespace

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState,
                           LPCSTR lpName) {
    if (lpName != NULL) return NULL;
    std::shared_ptr<EventObject> event(new (std::nothrow) EventObject);
    if (!event) return NULL;
    event->manualReset = bManualReset != FALSE;
    event->signalled = bInitialState != FALSE;
    return AddKernelObject(std::move(event));
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
    std::shared_ptr<EventObject> event = FindEvent(hEvent);
    if (!event) return FALSE;
    {
        std::lock_guard<std::mutex> hold(event->mutex);
        event->signalled = true;
    }
    // An auto-reset event releases one waiter; a manual-reset event all of them.
    if (event->manualReset)
        event->changed.notify_all();
    else
        event->changed.notify_one();
    return TRUE;
}

BOOL WINAPI ResetEvent(HANDLE hEvent) {
    std::shared_ptr<EventObject> event = FindEvent(hEvent);
    if (!event) return FALSE;
    std::lock_guard<std::mutex> hold(event->mutex);
    event->signalled = false;
    return TRUE;
}
