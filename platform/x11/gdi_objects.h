// GDI objects on X11: the bitmap and brush objects behind HBITMAP and HBRUSH
// (fonts are in text.h), and the registry of live objects that tells a
// handle's kind and keeps a stale or foreign handle from being read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"

// Every object starts with its kind so that an HGDIOBJ can be told apart.
enum class GdiKind : uint32_t { Font = 0x464F4E54, Bitmap = 0x424D4150, Brush = 0x42525348 };

struct HBITMAP__ {
    GdiKind kind = GdiKind::Bitmap;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top-down rows of 0x00RRGGBB
};

struct HBRUSH__ {
    GdiKind kind = GdiKind::Brush;
    COLORREF color = 0;
};

// Live GDI objects by address, so that a stale or foreign handle is never read.
void X11RegisterGdiObject(const void* object, GdiKind kind);
void X11ForgetGdiObject(const void* object);
GdiKind X11GdiKind(HGDIOBJ object);  // of a live object; GdiKind(0) for unknown handles
bool X11IsLiveBitmap(HBITMAP bitmap);
