// The live-object registry of the GDI handles, brushes and DeleteObject.
#include "platform/x11/gdi_objects.h"

#include <mutex>
#include <unordered_map>

namespace {

std::mutex& ObjectLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::unordered_map<const void*, GdiKind>& Objects() {
    static auto* objects = new std::unordered_map<const void*, GdiKind>;
    return *objects;
}

}  // namespace

void X11RegisterGdiObject(const void* object, GdiKind kind) {
    std::lock_guard<std::mutex> guard(ObjectLock());
    Objects()[object] = kind;
}

void X11ForgetGdiObject(const void* object) {
    std::lock_guard<std::mutex> guard(ObjectLock());
    Objects().erase(object);
}

GdiKind X11GdiKind(HGDIOBJ object) {
    std::lock_guard<std::mutex> guard(ObjectLock());
    auto found = Objects().find(object);
    return found == Objects().end() ? GdiKind(0) : found->second;
}

bool X11IsLiveBitmap(HBITMAP bitmap) {
    return bitmap != nullptr && X11GdiKind(reinterpret_cast<HGDIOBJ>(bitmap)) == GdiKind::Bitmap;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    auto* brush = new HBRUSH__;
    brush->color = color & 0x00FFFFFF;
    X11RegisterGdiObject(brush, GdiKind::Brush);
    return brush;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    switch (X11GdiKind(ho)) {
        case GdiKind::Bitmap:
            X11ForgetGdiObject(ho);
            delete reinterpret_cast<HBITMAP>(ho);
            return TRUE;
        case GdiKind::Brush:
            X11ForgetGdiObject(ho);
            delete reinterpret_cast<HBRUSH>(ho);
            return TRUE;
        case GdiKind::Font:
            return TRUE;  // fonts are shared and live as long as the process
        default:
            return FALSE;
    }
}
