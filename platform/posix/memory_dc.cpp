// Memory device contexts: a top-down 32-bit pixel area behind an HDC, guarded by a mutex
// so that a worker thread can present into it while another thread reads it.
#include "platform/memory_dc.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/posix/device_context.h"

namespace {

class MemoryDC final : public HDC__ {
  public:
    MemoryDC(int width, int height)
        : m_width(width), m_height(height), m_pixels(size_t(width) * size_t(height), 0) {}

    RECT DeviceBounds() const override { return {0, 0, m_width, m_height}; }

    void TransferDib(const DibTransfer& transfer) override {
        std::lock_guard<std::mutex> lock(m_lock);
        // The bounds are read once: the stores into the rows could otherwise alias the
        // transfer, which keeps the compiler from vectorising the copy.
        const RECT d = transfer.dest;
        const size_t width = size_t(d.right - d.left);
        for (LONG y = d.top; y < d.bottom; ++y) {
            const uint32_t* __restrict source = transfer.SourceRow(y);
            uint32_t* __restrict row = &m_pixels[size_t(y) * size_t(m_width) + size_t(d.left)];
            for (size_t x = 0; x < width; ++x)
                row[x] = source[x] & 0x00FFFFFFu;
        }
        ++m_transfers;
    }

    size_t Read(uint32_t* out, size_t count) const {
        std::lock_guard<std::mutex> lock(m_lock);
        if (count < m_pixels.size()) return 0;
        std::copy(m_pixels.begin(), m_pixels.end(), out);
        return m_pixels.size();
    }

    uint32_t Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
        std::lock_guard<std::mutex> lock(m_lock);
        return m_pixels[size_t(y) * size_t(m_width) + size_t(x)];
    }

    int Transfers() const {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_transfers;
    }

  private:
    const int m_width;
    const int m_height;
    mutable std::mutex m_lock;
    std::vector<uint32_t> m_pixels;
    int m_transfers = 0;
};

const MemoryDC* AsMemoryDC(HDC hdc) {
    return dynamic_cast<const MemoryDC*>(hdc);
}

}  // namespace

HDC CreateMemoryDC(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return new MemoryDC(width, height);
}

void DeleteMemoryDC(HDC hdc) {
    if (const MemoryDC* dc = AsMemoryDC(hdc)) delete dc;
}

size_t ReadMemoryDCPixels(HDC hdc, uint32_t* out, size_t count) {
    const MemoryDC* dc = AsMemoryDC(hdc);
    return dc && out ? dc->Read(out, count) : 0;
}

uint32_t GetMemoryDCPixel(HDC hdc, int x, int y) {
    const MemoryDC* dc = AsMemoryDC(hdc);
    return dc ? dc->Pixel(x, y) : 0;
}

int GetMemoryDCTransferCount(HDC hdc) {
    const MemoryDC* dc = AsMemoryDC(hdc);
    return dc ? dc->Transfers() : 0;
}

bool CountMemoryDCTransfers() {
    return true;  // the device counts every transfer
}
