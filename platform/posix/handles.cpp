// The handle table, CloseHandle and WaitForSingleObject.
#include <chrono>
#include <cstdint>
#include <unordered_map>

#include "platform/posix/kernel_objects.h"

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 4;  // multiples of 4: never NULL nor INVALID_HANDLE_VALUE
};

// Never destroyed: threads may still wait on objects while the process exits.
HandleTable& Table() {
    static HandleTable* table = new HandleTable;
    return *table;
}

}  // namespace

HANDLE AddKernelObject(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> hold(table.mutex);
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle) {
    HandleTable& table = Table();
    std::lock_guard<std::mutex> hold(table.mutex);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end()) return nullptr;
    return found->second;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    std::shared_ptr<KernelObject> object;  // released outside the table lock
    HandleTable& table = Table();
    std::lock_guard<std::mutex> hold(table.mutex);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(hObject));
    if (found == table.objects.end()) return FALSE;
    object = std::move(found->second);
    table.objects.erase(found);
    return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    std::shared_ptr<KernelObject> object = FindKernelObject(hHandle);
    if (!object) return WAIT_FAILED;
    std::unique_lock<std::mutex> hold(object->mutex);
    if (dwMilliseconds == INFINITE) {
        object->changed.wait(hold, [&] { return object->signalled; });
    } else {
        auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(dwMilliseconds);
        if (!object->changed.wait_until(hold, deadline, [&] { return object->signalled; }))
            return WAIT_TIMEOUT;
    }
    if (!object->manualReset) object->signalled = false;
    return WAIT_OBJECT_0;
}
