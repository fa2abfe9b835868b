// Test helpers for dialogs: an Xvfb of this test program, dialog templates
// built in memory, a message pump, and window captures written as PNG files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/session.h"
#include "platform/win32.h"
#include "platform/x11/display.h"
#include "platform/x11/window.h"
#include "platform/x11/xlib.h"
#include "tests/support/xvfb_server.h"

namespace testd {

inline std::unique_ptr<testx::XvfbServer>& Server() {
    static std::unique_ptr<testx::XvfbServer> server;
    return server;
}

// The platform's connection on this program's own server (null if none).
inline Display* SharedDisplay() {
    static Display* display = nullptr;
    if (Server() == nullptr) {
        // QUORIX_DIALOG_TEST_DEPTH=8 runs the tests on a colour-map display.
        const char* depth = std::getenv("QUORIX_DIALOG_TEST_DEPTH");
        const bool low = depth != nullptr && std::string(depth) == "8";
        Server() = std::make_unique<testx::XvfbServer>(low ? "800x600x8" : "800x600x24");
        if (!Server()->Ok()) return nullptr;
        setenv("DISPLAY", Server()->Display().c_str(), 1);
        std::string error;
        HINSTANCE instance = nullptr;
        if (!StartSession(&instance, &error)) return nullptr;
        display = X11Display();
    }
    return display;
}

// Writes DLGTEMPLATE bytes: the header, then items.
class TemplateBuilder {
  public:
    TemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                    const char* caption, const char* face = nullptr, WORD pointSize = 8) {
        Dword(style);
        Dword(exStyle);
        m_countAt = m_bytes.size();
        Word(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(0);  // no menu
        Word(0);  // the dialog class
        String(caption);
        if (style & DS_SETFONT) {
            Word(pointSize);
            String(face != nullptr ? face : "");
        }
    }
    // classOrdinal 0x80 button, 0x82 static; or a class name.
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classOrdinal,
              const char* text, const char* className = nullptr) {
        Align();
        Dword(style);
        Dword(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        if (className != nullptr) {
            String(className);
        } else {
            Word(0xFFFF);
            Word(classOrdinal);
        }
        String(text);
        Word(0);  // no creation data
        ++m_count;
        m_bytes[m_countAt] = static_cast<uint8_t>(m_count);
        m_bytes[m_countAt + 1] = static_cast<uint8_t>(m_count >> 8);
    }
    const DLGTEMPLATE* Get() {
        m_aligned.assign((m_bytes.size() + 3) / 4, 0);
        std::memcpy(m_aligned.data(), m_bytes.data(), m_bytes.size());
        return reinterpret_cast<const DLGTEMPLATE*>(m_aligned.data());
    }
    size_t Size() const { return m_bytes.size(); }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

  private:
    void Word(WORD w) {
        m_bytes.push_back(static_cast<uint8_t>(w));
        m_bytes.push_back(static_cast<uint8_t>(w >> 8));
    }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d));
        Word(static_cast<WORD>(d >> 16));
    }
    void String(const char* text) {
        for (const char* p = text; *p != '\0'; ++p)
            Word(static_cast<unsigned char>(*p));
        Word(0);
    }
    void Align() {
        while (m_bytes.size() % 4 != 0)
            m_bytes.push_back(0);
    }
    std::vector<uint8_t> m_bytes;
    std::vector<uint32_t> m_aligned;
    size_t m_countAt = 0;
    int m_count = 0;
};

// The settings dialog's layout (caption, font, controls and positions).
inline TemplateBuilder SettingsTemplate() {
    const DWORD style = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    TemplateBuilder t(style, 0x00040000L, 0, 0, 145, 168, "quorix", "MS Sans Serif", 8);
    const DWORD child = WS_CHILD | WS_VISIBLE;
    t.Item(child | WS_TABSTOP | BS_DEFPUSHBUTTON, 90, 5, 50, 14, IDOK, 0x80, "OK");
    t.Item(child | WS_TABSTOP | BS_PUSHBUTTON, 90, 23, 50, 14, IDCANCEL, 0x80, "Cancel");
    t.Item(child | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 10, 8, 50, 10, 1001, 0x80,
           "&Random of:");
    t.Item(child | BS_AUTORADIOBUTTON, 10, 23, 50, 10, 1002, 0x80, "&Normal");
    t.Item(child | BS_AUTORADIOBUTTON, 10, 38, 50, 10, 1003, 0x80, "&Green");
    t.Item(child | BS_AUTORADIOBUTTON, 10, 53, 50, 10, 1004, 0x80, "&Squash");
    t.Item(child | BS_GROUPBOX, 5, 72, 135, 42, 1008, 0x80, "No of balls");
    t.Item(child | SS_LEFT, 11, 80, 18, 8, 1006, 0x82, "many");
    t.Item(child | SS_LEFT, 116, 80, 17, 8, 1007, 0x82, "more");
    t.Item(child | WS_TABSTOP | TBS_AUTOTICKS | TBS_TOP, 11, 90, 119, 15, 1000, 0, "",
           TRACKBAR_CLASSA);
    t.Item(child | BS_GROUPBOX, 5, 121, 135, 42, 1005, 0x80, "Size of balls");
    t.Item(child | SS_LEFT, 11, 129, 17, 8, 1009, 0x82, "good");
    t.Item(child | SS_LEFT, 116, 129, 14, 8, 1010, 0x82, "best");
    t.Item(child | WS_TABSTOP | TBS_AUTOTICKS | TBS_TOP, 11, 139, 119, 15, 1011, 0, "",
           TRACKBAR_CLASSA);
    return t;
}

// Handles what is pending (posted messages, timers, X events) until the
// queue stays empty for a moment.
inline void Pump() {
    Display* display = X11Display();
    MSG msg;
    for (int idle = 0; idle < 4;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            idle = 0;
        } else {
            XSync(display, False);
            usleep(3000);
            ++idle;
        }
    }
}

// The window's pixels on screen (children included) as 0x00RRGGBB, top-down.
inline std::vector<uint32_t> Capture(HWND hWnd, int* width, int* height) {
    Display* display = X11Display();
    XWindowAttributes attributes;
    XGetWindowAttributes(display, X11WindowId(hWnd), &attributes);
    *width = attributes.width;
    *height = attributes.height;
    XImage* image =
        XGetImage(display, X11WindowId(hWnd), 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    std::vector<uint32_t> pixels;
    if (image == nullptr) return pixels;
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF);
    XDestroyImage(image);
    return pixels;
}

inline uint32_t PixelAt(const std::vector<uint32_t>& pixels, int width, int x, int y) {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

// A PNG with stored (uncompressed) deflate blocks.
inline bool WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width,
                     int height) {
    auto crcTable = [] {
        std::vector<uint32_t> table(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto be32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int s = 24; s >= 0; s -= 8)
            v.push_back(static_cast<uint8_t>(x >> s));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        be32(out, static_cast<uint32_t>(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        uint32_t crc = 0xFFFFFFFFu;
        for (uint8_t b : body)
            crc = crcTable[(crc ^ b) & 0xFF] ^ (crc >> 8);
        out.insert(out.end(), body.begin(), body.end());
        be32(out, crc ^ 0xFFFFFFFFu);
    };
    std::vector<uint8_t> header;
    be32(header, static_cast<uint32_t>(width));
    be32(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    chunk("IHDR", header);
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = PixelAt(pixels, width, x, y);
            raw.push_back(static_cast<uint8_t>(p >> 16));
            raw.push_back(static_cast<uint8_t>(p >> 8));
            raw.push_back(static_cast<uint8_t>(p));
        }
    }
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || raw.empty(); at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(static_cast<uint8_t>(n));
        z.push_back(static_cast<uint8_t>(n >> 8));
        z.push_back(static_cast<uint8_t>(~n));
        z.push_back(static_cast<uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + n));
        if (raw.empty()) break;
    }
    be32(z, (b << 16) | a);
    chunk("IDAT", z);
    chunk("IEND", {});
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace testd
