// VirtualAlloc and VirtualFree over mmap. Regions are recorded with their size so that
// MEM_RELEASE with a size of 0 can unmap a whole region, as on Windows. Committed pages
// are anonymous mappings and therefore read as zero.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <map>
#include <mutex>

#include "platform/win32/kernel.h"

namespace {

std::mutex g_regionLock;
std::map<uintptr_t, size_t>& Regions() {
    static std::map<uintptr_t, size_t> regions;
    return regions;
}

size_t PageSize() {
    static const size_t size = size_t(sysconf(_SC_PAGESIZE));
    return size;
}

bool ProtectionFor(DWORD protect, int* prot) {
    switch (protect) {
        case PAGE_NOACCESS:
            *prot = PROT_NONE;
            return true;
        case PAGE_READONLY:
            *prot = PROT_READ;
            return true;
        case PAGE_READWRITE:
            *prot = PROT_READ | PROT_WRITE;
            return true;
        default:
            return false;
    }
}

// The recorded region holding [address, address + size), or Regions().end(). Caller holds
// the lock.
std::map<uintptr_t, size_t>::iterator FindRegion(uintptr_t address, size_t size) {
    auto& regions = Regions();
    auto it = regions.upper_bound(address);
    if (it == regions.begin()) return regions.end();
    --it;
    const uintptr_t begin = it->first;
    const uintptr_t end = begin + it->second;
    if (address < begin || address >= end || size > end - address) return regions.end();
    return it;
}

}  // namespace

LPVOID WINAPI VirtualAlloc(LPVOID lpAddress, SIZE_T dwSize, DWORD flAllocationType,
                           DWORD flProtect) {
    int prot = 0;
    if (dwSize == 0 || !ProtectionFor(flProtect, &prot)) return nullptr;
    if ((flAllocationType & (MEM_RESERVE | MEM_COMMIT)) == 0 ||
        (flAllocationType & ~DWORD(MEM_RESERVE | MEM_COMMIT)) != 0)
        return nullptr;
    const size_t page = PageSize();
    if (dwSize > SIZE_MAX - page) return nullptr;

    if (lpAddress == nullptr) {
        // A new region: reserved pages are inaccessible until committed.
        const size_t size = (dwSize + page - 1) / page * page;
        const int mapProt = (flAllocationType & MEM_COMMIT) ? prot : PROT_NONE;
        void* base =
            mmap(nullptr, size, mapProt, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (base == MAP_FAILED) return nullptr;
        std::lock_guard<std::mutex> lock(g_regionLock);
        Regions()[reinterpret_cast<uintptr_t>(base)] = size;
        return base;
    }

    // Committing pages of a region reserved earlier; placing a new reservation at a
    // chosen address is not supported.
    if (flAllocationType & MEM_RESERVE) return nullptr;
    const uintptr_t address = reinterpret_cast<uintptr_t>(lpAddress);
    const uintptr_t first = address / page * page;
    const uintptr_t last = (address + dwSize + page - 1) / page * page;
    std::lock_guard<std::mutex> lock(g_regionLock);
    if (FindRegion(first, last - first) == Regions().end()) return nullptr;
    if (mprotect(reinterpret_cast<void*>(first), last - first, prot) != 0) return nullptr;
    return reinterpret_cast<LPVOID>(first);
}

BOOL WINAPI VirtualFree(LPVOID lpAddress, SIZE_T dwSize, DWORD dwFreeType) {
    if (lpAddress == nullptr) return FALSE;
    const uintptr_t address = reinterpret_cast<uintptr_t>(lpAddress);
    const size_t page = PageSize();
    std::lock_guard<std::mutex> lock(g_regionLock);
    auto& regions = Regions();
    if (dwFreeType == MEM_RELEASE) {
        auto it = regions.find(address);
        if (dwSize != 0 || it == regions.end()) return FALSE;
        munmap(lpAddress, it->second);
        regions.erase(it);
        return TRUE;
    }
    if (dwFreeType == MEM_DECOMMIT) {
        uintptr_t first = address / page * page;
        uintptr_t last;
        if (dwSize == 0) {
            auto it = regions.find(address);
            if (it == regions.end()) return FALSE;
            last = first + it->second;
        } else {
            if (dwSize > SIZE_MAX - page - address) return FALSE;
            last = (address + dwSize + page - 1) / page * page;
            if (FindRegion(first, last - first) == regions.end()) return FALSE;
        }
        // Dropping the pages makes a later commit read zeros again.
        void* start = reinterpret_cast<void*>(first);
        madvise(start, last - first, MADV_DONTNEED);
        mprotect(start, last - first, PROT_NONE);
        return TRUE;
    }
    return FALSE;
}
