// Memory device contexts on GDI: CreateCompatibleDC with a 32-bit top-down DIB section
// selected, read back through the section's bits. One lock guards the table of memory DCs
// and every transfer into them, so that a worker thread can present into a DC while
// another thread reads it.
//
// GDI reports no count of transfers. When a test asks for counting, the program's import
// address table entry for SetDIBitsToDevice is pointed at a function that calls GDI's
// and counts the calls that reach a memory DC after the same clipping GDI applies (source
// to the DIB and the scan lines passed, destination to the bitmap).
#include "platform/memory_dc.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct MemoryDC {
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int transfers = 0;
};

std::mutex g_lock;
std::map<HDC, MemoryDC> g_dcs;

using SetDIBitsToDeviceFn = int(WINAPI*)(HDC, int, int, DWORD, DWORD, int, int, UINT, UINT,
                                         const void*, const BITMAPINFO*, UINT);
SetDIBitsToDeviceFn g_gdiSetDIBitsToDevice = nullptr;
bool g_counting = false;

struct Span {
    int64_t begin, end;
    bool Empty() const { return end <= begin; }
};
Span Intersect(Span a, Span b) {
    return {std::max(a.begin, b.begin), std::min(a.end, b.end)};
}

// Whether a SetDIBitsToDevice call draws at least one pixel of a width x height device.
bool DrawsPixels(int width, int height, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                 UINT startScan, UINT lines, const BITMAPINFO* info) {
    if (!info || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0) return false;
    const BITMAPINFOHEADER& bi = info->bmiHeader;
    const int64_t dibHeight = bi.biHeight < 0 ? -int64_t(bi.biHeight) : int64_t(bi.biHeight);
    if (lines == 0 || startScan >= dibHeight) return false;
    const int64_t passed = std::min<int64_t>(lines, dibHeight - startScan);
    const Span cols = Intersect({xSrc, int64_t(xSrc) + int64_t(w)}, {0, bi.biWidth});
    const Span rows = Intersect({ySrc, int64_t(ySrc) + int64_t(h)},
                                {int64_t(startScan), int64_t(startScan) + passed});
    if (cols.Empty() || rows.Empty()) return false;
    const Span destX =
        Intersect({xDest + (cols.begin - xSrc), xDest + (cols.end - xSrc)}, {0, width});
    const Span destY =
        Intersect(bi.biHeight > 0 ? Span{yDest + (int64_t(ySrc) + int64_t(h) - rows.end),
                                         yDest + (int64_t(ySrc) + int64_t(h) - rows.begin)}
                                  : Span{yDest + (rows.begin - ySrc), yDest + (rows.end - ySrc)},
                  {0, height});
    return !destX.Empty() && !destY.Empty();
}

int WINAPI CountingSetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc,
                                     int ySrc, UINT startScan, UINT lines, const void* bits,
                                     const BITMAPINFO* info, UINT colorUse) {
    std::unique_lock<std::mutex> lock(g_lock);
    const auto found = g_dcs.find(hdc);
    if (found == g_dcs.end()) {
        lock.unlock();
        return g_gdiSetDIBitsToDevice(hdc, xDest, yDest, w, h, xSrc, ySrc, startScan, lines, bits,
                                      info, colorUse);
    }
    const int result = g_gdiSetDIBitsToDevice(hdc, xDest, yDest, w, h, xSrc, ySrc, startScan, lines,
                                              bits, info, colorUse);
    GdiFlush();
    MemoryDC& dc = found->second;
    if (result != 0 &&
        DrawsPixels(dc.width, dc.height, xDest, yDest, w, h, xSrc, ySrc, startScan, lines, info))
        ++dc.transfers;
    return result;
}

// Points the program's imports of gdi32's SetDIBitsToDevice at the counting function.
bool RouteSetDIBitsToDevice() {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    if (!base) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    bool routed = false;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "gdi32.dll") != 0 ||
            d->OriginalFirstThunk == 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "SetDIBitsToDevice") != 0)
                continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                                &protection))
                return false;
            g_gdiSetDIBitsToDevice = reinterpret_cast<SetDIBitsToDeviceFn>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&CountingSetDIBitsToDevice);
            VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection,
                           &protection);
            routed = true;
        }
    }
    return routed;
}

}  // namespace

bool CountMemoryDCTransfers() {
    static std::once_flag routing;
    std::call_once(routing, [] { g_counting = RouteSetDIBitsToDevice(); });
    return g_counting;
}

HDC CreateMemoryDC(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    if (!hdc) return nullptr;
    MemoryDC dc;
    dc.width = width;
    dc.height = height;
    if (width > 0 && height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc.bitmap = CreateDIBSection(hdc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dc.bitmap || !bits) {
            DeleteDC(hdc);
            return nullptr;
        }
        dc.bits = static_cast<uint32_t*>(bits);
        std::memset(dc.bits, 0, size_t(width) * size_t(height) * 4);
        dc.previous = SelectObject(hdc, dc.bitmap);
    }
    std::lock_guard<std::mutex> lock(g_lock);
    g_dcs[hdc] = dc;
    return hdc;
}

void DeleteMemoryDC(HDC hdc) {
    std::lock_guard<std::mutex> lock(g_lock);
    const auto found = g_dcs.find(hdc);
    if (found == g_dcs.end()) return;
    if (found->second.bitmap) {
        SelectObject(hdc, found->second.previous);
        DeleteObject(found->second.bitmap);
    }
    DeleteDC(hdc);
    g_dcs.erase(found);
}

size_t ReadMemoryDCPixels(HDC hdc, uint32_t* out, size_t count) {
    std::lock_guard<std::mutex> lock(g_lock);
    const auto found = g_dcs.find(hdc);
    if (!out || found == g_dcs.end()) return 0;
    const MemoryDC& dc = found->second;
    const size_t size = size_t(dc.width) * size_t(dc.height);
    if (count < size) return 0;
    GdiFlush();
    // GDI may leave the top byte of a 32-bit pixel as the source had it; pixels are 0x00RRGGBB.
    for (size_t k = 0; k < size; ++k)
        out[k] = dc.bits[k] & 0x00FFFFFFu;
    return size;
}

uint32_t GetMemoryDCPixel(HDC hdc, int x, int y) {
    std::lock_guard<std::mutex> lock(g_lock);
    const auto found = g_dcs.find(hdc);
    if (found == g_dcs.end()) return 0;
    const MemoryDC& dc = found->second;
    if (x < 0 || y < 0 || x >= dc.width || y >= dc.height) return 0;
    GdiFlush();
    return dc.bits[size_t(y) * size_t(dc.width) + size_t(x)] & 0x00FFFFFFu;
}

int GetMemoryDCTransferCount(HDC hdc) {
    std::lock_guard<std::mutex> lock(g_lock);
    const auto found = g_dcs.find(hdc);
    if (found == g_dcs.end()) return 0;
    return g_counting ? found->second.transfers : -1;
}
