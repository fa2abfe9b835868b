// Drawing on our windows: colour pixels on the default visual and the
// painting primitives of GDI, text and the controls.
#include "platform/x11/drawing.h"

#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "platform/x11/window_dc.h"

namespace {

std::mutex& PixelLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

int Shift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

unsigned long Scale(unsigned value, unsigned long mask) {
    const unsigned long max = mask >> Shift(mask);
    return ((value * max + 127) / 255) << Shift(mask);
}

}  // namespace

unsigned long X11Pixel(COLORREF color) {
    Display* display = X11Display();
    if (display == nullptr) return 0;
    const int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    if (visual->c_class == TrueColor || visual->c_class == DirectColor) {
        return Scale(GetRValue(color), visual->red_mask) |
               Scale(GetGValue(color), visual->green_mask) |
               Scale(GetBValue(color), visual->blue_mask);
    }
    // Colour-map visuals: a shared cell per colour, quantised so that
    // pictures do not fill the map; black or white when it is full.
    const COLORREF key = color & 0x00F8F8F8;
    std::lock_guard<std::mutex> guard(PixelLock());
    static auto* cells = new std::unordered_map<COLORREF, unsigned long>;
    auto found = cells->find(key);
    if (found != cells->end()) return found->second;
    XColor cell = {};
    cell.red = static_cast<unsigned short>(GetRValue(key) * 257);
    cell.green = static_cast<unsigned short>(GetGValue(key) * 257);
    cell.blue = static_cast<unsigned short>(GetBValue(key) * 257);
    cell.flags = DoRed | DoGreen | DoBlue;
    unsigned long pixel;
    if (XAllocColor(display, DefaultColormap(display, screen), &cell)) {
        pixel = cell.pixel;
    } else {
        const unsigned luminance =
            (GetRValue(key) * 77u + GetGValue(key) * 150u + GetBValue(key) * 29u) >> 8;
        pixel = luminance >= 128 ? WhitePixel(display, screen) : BlackPixel(display, screen);
    }
    cells->emplace(key, pixel);
    return pixel;
}

GC X11PaintGC() {
    static GC gc = nullptr;
    Display* display = X11Display();
    if (gc == nullptr && display != nullptr)
        gc = XCreateGC(display, DefaultRootWindow(display), 0, nullptr);
    return gc;
}

void X11FillRect(Window xid, int x, int y, int width, int height, COLORREF color) {
    Display* display = X11Display();
    if (display == nullptr || xid == 0 || width <= 0 || height <= 0) return;
    GC gc = X11PaintGC();
    XSetForeground(display, gc, X11Pixel(color));
    XFillRectangle(display, xid, gc, x, y, static_cast<unsigned>(width),
                   static_cast<unsigned>(height));
}

void X11Line(Window xid, int x1, int y1, int x2, int y2, COLORREF color) {
    Display* display = X11Display();
    if (display == nullptr || xid == 0) return;
    GC gc = X11PaintGC();
    XSetForeground(display, gc, X11Pixel(color));
    XDrawLine(display, xid, gc, x1, y1, x2, y2);
}

void X11Point(Window xid, int x, int y, COLORREF color) {
    Display* display = X11Display();
    if (display == nullptr || xid == 0) return;
    GC gc = X11PaintGC();
    XSetForeground(display, gc, X11Pixel(color));
    XDrawPoint(display, xid, gc, x, y);
}

void X11Frame(Window xid, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    if (r.right - r.left < 1 || r.bottom - r.top < 1) return;
    X11FillRect(xid, r.left, r.top, r.right - r.left - 1, 1, topLeft);
    X11FillRect(xid, r.left, r.top, 1, r.bottom - r.top - 1, topLeft);
    X11FillRect(xid, r.left, r.bottom - 1, r.right - r.left, 1, bottomRight);
    X11FillRect(xid, r.right - 1, r.top, 1, r.bottom - r.top, bottomRight);
}

void X11RaisedEdge(Window xid, const RECT& r) {
    X11Frame(xid, r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    const RECT inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    X11Frame(xid, inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

void X11SunkenEdge(Window xid, const RECT& r) {
    X11Frame(xid, r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    const RECT inner = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    X11Frame(xid, inner, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
}

void X11FocusRect(Window xid, const RECT& r) {
    // Every other pixel, as the classic focus rectangle.
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (int x = r.left; x < r.right; x += 2) {
        X11Point(xid, x, r.top, ink);
        X11Point(xid, x, r.bottom - 1, ink);
    }
    for (int y = r.top; y < r.bottom; y += 2) {
        X11Point(xid, r.left, y, ink);
        X11Point(xid, r.right - 1, y, ink);
    }
}

void X11PutPixels(Window xid, int x, int y, int width, int height, const uint32_t* argb,
                  COLORREF background) {
    Display* display = X11Display();
    if (display == nullptr || xid == 0 || width <= 0 || height <= 0) return;
    const int screen = DefaultScreen(display);
    XImage* image =
        XCreateImage(display, DefaultVisual(display, screen),
                     static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, 0, nullptr,
                     static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image == nullptr) return;
    image->data = static_cast<char*>(
        calloc(static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(height), 1));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    const uint32_t br = GetRValue(background), bg = GetGValue(background),
                   bb = GetBValue(background);
    uint32_t lastColor = 0xFFFFFFFF;
    unsigned long lastPixel = 0;
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const uint32_t p = argb[static_cast<size_t>(row) * static_cast<size_t>(width) +
                                    static_cast<size_t>(col)];
            const uint32_t a = p >> 24;
            const uint32_t r = (((p >> 16) & 0xFF) * a + br * (255 - a) + 127) / 255;
            const uint32_t g = (((p >> 8) & 0xFF) * a + bg * (255 - a) + 127) / 255;
            const uint32_t b = ((p & 0xFF) * a + bb * (255 - a) + 127) / 255;
            const uint32_t rgb = (r << 16) | (g << 8) | b;
            if (rgb != lastColor) {
                lastColor = rgb;
                lastPixel = X11Pixel(RGB(r, g, b));
            }
            XPutPixel(image, col, row, lastPixel);
        }
    }
    XPutImage(display, xid, X11PaintGC(), image, 0, 0, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XDestroyImage(image);  // frees the data too
}

Window X11DrawableOf(HDC hdc) {
    auto* dc = dynamic_cast<X11WindowDC*>(hdc);
    return dc != nullptr ? dc->WindowId() : 0;
}
