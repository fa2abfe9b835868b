// Icons from the program's icon resources (LoadIconA), DrawIcon, and the
// icons of top-level windows for the window manager.
#include "platform/x11/icons.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <set>

#include "platform/x11/drawing.h"

namespace {

std::mutex& IconLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::set<HICON>& LiveIcons() {
    static auto* icons = new std::set<HICON>;
    return *icons;
}

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// One RT_ICON entry: a DIB of twice the icon's height (colour rows, then the
// AND mask), bottom-up. PNG entries are not read.
bool ParseIconDib(const uint8_t* data, size_t size, IconImage* out) {
    if (size < sizeof(BITMAPINFOHEADER)) return false;
    BITMAPINFOHEADER header;
    std::memcpy(&header, data, sizeof header);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > size) return false;
    const int width = header.biWidth;
    const int height = header.biHeight / 2;
    const int bpp = header.biBitCount;
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || header.biPlanes != 1 ||
        header.biCompression != BI_RGB)
        return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;
    size_t offset = header.biSize;
    uint32_t colours = 0;
    if (bpp <= 8) colours = header.biClrUsed != 0 ? header.biClrUsed : (1u << bpp);
    if (colours > 256) return false;
    const uint8_t* palette = data + offset;
    offset += colours * 4;
    const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32 * 4;
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t colourBytes = stride * static_cast<size_t>(height);
    const size_t maskBytes = maskStride * static_cast<size_t>(height);
    if (offset + colourBytes > size) return false;
    const uint8_t* colour = data + offset;
    const uint8_t* mask = offset + colourBytes + maskBytes <= size ? colour + colourBytes : nullptr;
    out->width = width;
    out->height = height;
    out->argb.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = colour + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bpp == 32) {
                pixel = ReadU32(row + x * 4);
                if ((pixel >> 24) != 0) anyAlpha = true;
            } else if (bpp == 24) {
                pixel = 0xFF000000u | uint32_t(row[x * 3 + 2]) << 16 |
                        uint32_t(row[x * 3 + 1]) << 8 | row[x * 3];
            } else {
                const int perByte = 8 / bpp;
                const uint8_t byte = row[x / perByte];
                const int shift = 8 - bpp * (x % perByte + 1);
                const uint32_t index = (byte >> shift) & ((1u << bpp) - 1);
                if (index < colours) {
                    const uint8_t* q = palette + index * 4;
                    pixel = 0xFF000000u | uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
                }
            }
            out->argb[static_cast<size_t>(y) * static_cast<size_t>(width) +
                      static_cast<size_t>(x)] = pixel;
        }
    }
    if (bpp == 32 && anyAlpha) return true;
    // No alpha channel: the AND mask says which pixels are transparent.
    for (int y = 0; y < height; ++y) {
        const uint8_t* row =
            mask != nullptr ? mask + maskStride * static_cast<size_t>(height - 1 - y) : nullptr;
        for (int x = 0; x < width; ++x) {
            uint32_t& pixel = out->argb[static_cast<size_t>(y) * static_cast<size_t>(width) +
                                        static_cast<size_t>(x)];
            const bool transparent = row != nullptr && ((row[x / 8] >> (7 - x % 8)) & 1) != 0;
            pixel = transparent ? 0 : (pixel | 0xFF000000u);
        }
    }
    return true;
}

HICON LoadIconResource(LPCSTR name) {
    HRSRC group = FindResourceA(nullptr, name, RT_GROUP_ICON);
    if (group == nullptr) return nullptr;
    const auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, group)));
    const DWORD size = SizeofResource(nullptr, group);
    if (dir == nullptr || size < 6 || ReadU16(dir + 2) != 1) return nullptr;
    const int count = ReadU16(dir + 4);
    auto* icon = new HICON__;
    icon->shared = true;
    for (int i = 0; i < count && 6 + size_t(i + 1) * 14 <= size; ++i) {
        const uint8_t* entry = dir + 6 + i * 14;
        const WORD id = ReadU16(entry + 12);
        HRSRC image = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_ICON);
        if (image == nullptr) continue;
        const auto* bits = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, image)));
        IconImage parsed;
        if (bits != nullptr && ParseIconDib(bits, SizeofResource(nullptr, image), &parsed))
            icon->images.push_back(std::move(parsed));
    }
    if (icon->images.empty()) {
        delete icon;
        return nullptr;
    }
    return icon;
}

const IconImage* ClosestImage(HICON icon, int size) {
    const IconImage* best = nullptr;
    for (const IconImage& image : icon->images) {
        if (best == nullptr) {
            best = &image;
            continue;
        }
        const int d = std::abs(image.width - size);
        const int bestD = std::abs(best->width - size);
        // Prefer the exact size, then a larger image (scaled down), then the nearest.
        if (d < bestD || (d == bestD && image.width > best->width)) best = &image;
    }
    return best;
}

}  // namespace

bool X11IsLiveIcon(HICON icon) {
    std::lock_guard<std::mutex> guard(IconLock());
    return icon != nullptr && LiveIcons().count(icon) != 0;
}

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR lpIconName) {
    if (lpIconName == nullptr) return nullptr;
    // Loaded once per integer name; the same handle every time, as on Windows.
    static auto* loaded = new std::map<uintptr_t, HICON>;
    const bool integer = IS_INTRESOURCE(lpIconName);
    const uintptr_t key = reinterpret_cast<uintptr_t>(lpIconName);
    if (integer) {
        auto found = loaded->find(key);
        if (found != loaded->end()) return found->second;
    }
    HICON icon = LoadIconResource(lpIconName);
    if (icon == nullptr) return nullptr;
    {
        std::lock_guard<std::mutex> guard(IconLock());
        LiveIcons().insert(icon);
    }
    if (integer) loaded->emplace(key, icon);
    return icon;
}

BOOL WINAPI DestroyIcon(HICON hIcon) {
    if (!X11IsLiveIcon(hIcon)) return FALSE;
    if (hIcon->shared) return TRUE;
    {
        std::lock_guard<std::mutex> guard(IconLock());
        LiveIcons().erase(hIcon);
    }
    delete hIcon;
    return TRUE;
}

void X11DrawIconImage(Window xid, HICON icon, int x, int y, int size, COLORREF background) {
    if (!X11IsLiveIcon(icon) || size <= 0) return;
    const IconImage* image = ClosestImage(icon, size);
    if (image == nullptr) return;
    std::vector<uint32_t> scaled(static_cast<size_t>(size) * static_cast<size_t>(size));
    for (int row = 0; row < size; ++row)
        for (int col = 0; col < size; ++col)
            scaled[static_cast<size_t>(row * size + col)] = image->argb[static_cast<size_t>(
                (row * image->height / size) * image->width + col * image->width / size)];
    X11PutPixels(xid, x, y, size, size, scaled.data(), background);
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    const Window xid = X11DrawableOf(hDC);
    if (xid == 0 || !X11IsLiveIcon(hIcon)) return FALSE;
    X11DrawIconImage(xid, hIcon, X, Y, 32, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void X11SetNetWmIcon(Window xid, HICON big, HICON small) {
    Display* display = X11Display();
    if (display == nullptr || xid == 0) return;
    std::vector<unsigned long> data;  // format 32 properties travel as longs
    for (HICON icon : {big, small}) {
        if (!X11IsLiveIcon(icon)) continue;
        for (const IconImage& image : icon->images) {
            data.push_back(static_cast<unsigned long>(image.width));
            data.push_back(static_cast<unsigned long>(image.height));
            for (uint32_t pixel : image.argb)
                data.push_back(pixel);
        }
        if (icon == big && big == small) break;
    }
    const Atom netWmIcon = XInternAtom(display, "_NET_WM_ICON", False);
    if (data.empty()) {
        XDeleteProperty(display, xid, netWmIcon);
    } else {
        XChangeProperty(display, xid, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    }
    XFlush(display);
}
