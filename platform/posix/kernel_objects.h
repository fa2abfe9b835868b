// Kernel objects behind HANDLEs on POSIX: a table from handle values to shared
// objects, each with a signalled flag that WaitForSingleObject waits for.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/win32.h"

struct KernelObject {
    virtual ~KernelObject() = default;
    std::mutex mutex;
    std::condition_variable changed;  // notified when `signalled` (or other state) changes
    bool signalled = false;
    bool manualReset = true;  // false: a successful wait clears `signalled`
};

// Handle values are never reused, so a closed handle stays invalid.
HANDLE AddKernelObject(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle);
