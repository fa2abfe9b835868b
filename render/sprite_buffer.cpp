#include "render/sprite_buffer.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {
constexpr std::align_val_t kBlockAlignment{64};
}

int32_t SpriteBuffer::Height() const {
    return header.bV4Height < 0 ? int32_t(0u - uint32_t(header.bV4Height)) : header.bV4Height;
}

void SpriteBuffer::Clear() {
    std::memset(&header, 0, sizeof(header));
    kind = 0;
    pixels = nullptr;
    capacity = 0;
}

void SpriteBuffer::Release() {
    if (pixels) ::operator delete(pixels, kBlockAlignment);
    pixels = nullptr;
    capacity = 0;
}

void SpriteBuffer::Reserve(int32_t count) {
    Release();
    if (count <= 0) return;
    // count x 4 rounded up to a multiple of 64 bytes; a block the capacity word cannot
    // describe fails as the allocator would.
    const int64_t bytes = (int64_t(count) * 4 + 60) & ~int64_t(63);
    if (bytes > INT32_MAX) throw std::bad_alloc();
    pixels = static_cast<uint32_t*>(::operator new(size_t(bytes), kBlockAlignment));
    capacity = int32_t(bytes);
}

void SpriteBuffer::Resize(int32_t width, int32_t height) {
    // Sizes are taken as width x |height| pixels; a negative width counts as 0, so the
    // block always covers what the header describes.
    if (width < 0) width = 0;
    const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
    const int64_t count = int64_t(width) * rows;
    if (count > (INT32_MAX - 60) / 4) throw std::bad_alloc();
    header.bV4SizeImage = DWORD(count * 4);
    if (capacity < count * 4) Reserve(int32_t(count));
    header.bV4Width = width;
    header.bV4Height = height;
    header.bV4Size = sizeof(BITMAPV4HEADER);
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    header.bV4V4Compression = BI_RGB;
}
