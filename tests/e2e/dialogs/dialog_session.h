// Test helpers for driving the real program's dialogs: an Xvfb of our own,
// the program started on it with a registry file of the test's, window
// lookups by title over the X window tree, xdotool for the user's keys and
// clicks, and xwd for reading the screen back.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/xvfb_server.h"

namespace uie2e {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;  // root coordinates
};

using testx::WaitUntil;

inline void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// The screen as xwd writes it, 0x00RRGGBB, top row first.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool Ok() const { return width > 0; }
};

inline uint32_t Card32(const std::string& d, size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(d.data() + at);
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Reads an xwd dump of a TrueColor screen of 24 or 32 bits per pixel, or of a
// PseudoColor screen of 8 bits per pixel (through its colour map). TrueColor
// pixels are taken as 0x00RRGGBB, as Xvfb lays them out.
inline Shot ReadXwd(const std::string& path) {
    Shot shot;
    std::ifstream in(path, std::ios::binary);
    const std::string d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.size() < 100) return shot;
    const uint32_t headerSize = Card32(d, 0), width = Card32(d, 16), height = Card32(d, 20);
    const uint32_t byteOrder = Card32(d, 28), bitsPerPixel = Card32(d, 44);
    const uint32_t bytesPerLine = Card32(d, 48);
    const uint32_t colours = Card32(d, 76);
    const size_t start = size_t(headerSize) + size_t(colours) * 12;
    if (d.size() < start + size_t(bytesPerLine) * height) return shot;
    std::map<uint32_t, uint32_t> map;  // pixel -> 0x00RRGGBB
    for (uint32_t i = 0; i < colours; ++i) {
        const size_t e = size_t(headerSize) + size_t(i) * 12;
        const auto* p = reinterpret_cast<const unsigned char*>(d.data() + e);
        map[Card32(d, e)] = (uint32_t(p[4]) << 16) | (uint32_t(p[6]) << 8) | p[8];
    }
    shot.width = int(width);
    shot.height = int(height);
    shot.pixels.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const unsigned char*>(d.data() + start) + size_t(y) * bytesPerLine;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t v = 0;
            if (bitsPerPixel == 8) {
                v = map[row[x]];
            } else if (bitsPerPixel == 32 || bitsPerPixel == 24) {
                const size_t n = bitsPerPixel / 8;
                const unsigned char* p = row + size_t(x) * n;
                for (size_t k = 0; k < n; ++k)
                    v |= uint32_t(p[k]) << (byteOrder == 0 ? 8 * k : 8 * (n - 1 - k));
            } else {
                return Shot{};
            }
            shot.pixels[size_t(y) * width + x] = v & 0xFFFFFF;
        }
    }
    return shot;
}

// One Xvfb with a connection of the test's own.
class Screen {
  public:
    explicit Screen(int depth = 24, int width = 1024, int height = 768)
        : m_server(std::to_string(width) + "x" + std::to_string(height) + "x" +
                   std::to_string(depth)) {
        if (m_server.Ok()) m_display = XOpenDisplay(m_server.Display().c_str());
        // Windows come and go while the tree is walked: a window that is gone
        // reads as having no title and no geometry instead of ending the test.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~Screen() {
        if (m_display != nullptr) XCloseDisplay(m_display);
    }
    bool Ok() const { return m_display != nullptr; }
    const std::string& Name() const { return m_server.Display(); }
    Display* X() const { return m_display; }

    // Windows whose title is exactly name, in tree order; viewable ones only
    // when viewableOnly.
    std::vector<Window> FindByName(const std::string& name, bool viewableOnly = true) const {
        std::vector<Window> found;
        Walk(DefaultRootWindow(m_display), [&](Window w) {
            if (Title(w) == name && (!viewableOnly || Viewable(w))) found.push_back(w);
        });
        return found;
    }
    Window WaitForWindow(const std::string& name, int timeoutMs = 10000) const {
        Window w = 0;
        WaitUntil(
            [&] {
                const auto f = FindByName(name);
                w = f.empty() ? 0 : f.front();
                return w != 0;
            },
            timeoutMs);
        return w;
    }
    bool WaitGone(const std::string& name, int timeoutMs = 10000) const {
        return WaitUntil([&] { return FindByName(name).empty(); }, timeoutMs);
    }

    std::string Title(Window w) const {
        char* name = nullptr;
        std::string title;
        if (XFetchName(m_display, w, &name) && name != nullptr) title = name;
        if (name != nullptr) XFree(name);
        return title;
    }
    bool Viewable(Window w) const {
        XWindowAttributes a;
        return XGetWindowAttributes(m_display, w, &a) && a.map_state == IsViewable;
    }
    Box Geometry(Window w) const {
        XWindowAttributes a;
        Box box;
        if (!XGetWindowAttributes(m_display, w, &a)) return box;
        Window child;
        XTranslateCoordinates(m_display, w, DefaultRootWindow(m_display), 0, 0, &box.x, &box.y,
                              &child);
        box.width = a.width;
        box.height = a.height;
        return box;
    }
    std::vector<Window> Children(Window w) const {
        Window root, parent, *kids = nullptr;
        unsigned count = 0;
        std::vector<Window> out;
        if (XQueryTree(m_display, w, &root, &parent, &kids, &count)) {
            out.assign(kids, kids + count);
            if (kids != nullptr) XFree(kids);
        }
        return out;
    }
    std::vector<Window> ViewableChildren(Window w) const {
        std::vector<Window> out;
        for (Window c : Children(w))
            if (Viewable(c)) out.push_back(c);
        return out;
    }

    // What a window manager sends when the user clicks the close box.
    void ClickCloseBox(Window w) const {
        XEvent e = {};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_display, w, False, NoEventMask, &e);
        XSync(m_display, False);
    }
    void Focus(Window w) const {
        XSetInputFocus(m_display, w, RevertToPointerRoot, CurrentTime);
        XSync(m_display, False);
    }

    // xdotool with the given arguments on this display; its exit code.
    int Xdo(const std::vector<std::string>& args) const {
        std::vector<std::string> argv = {"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        testx::ChildProcess p(argv, {"DISPLAY=" + Name()});
        int code = -1;
        return p.Wait(10000, &code) ? code : -1;
    }
    void Key(const std::string& keys) const { Xdo({"key", "--clearmodifiers", keys}); }
    void MoveTo(int x, int y) const { Xdo({"mousemove", std::to_string(x), std::to_string(y)}); }
    void ClickAt(int x, int y) const {
        MoveTo(x, y);
        Xdo({"click", "1"});
    }

    Shot TakeShot(const std::string& path) const {
        testx::ChildProcess xwd({"xwd", "-silent", "-root", "-display", Name(), "-out", path});
        int code = -1;
        if (!xwd.Wait(15000, &code) || code != 0) return {};
        return ReadXwd(path);
    }

  private:
    void Walk(Window w, const std::function<void(Window)>& visit) const {
        visit(w);
        for (Window c : Children(w))
            Walk(c, visit);
    }

    testx::XvfbServer m_server;
    Display* m_display = nullptr;
};

// The registry file in the registry-export format the program keeps.
inline void WriteStoredSettings(const std::string& path, uint32_t style, uint32_t number,
                                uint32_t size) {
    char line[64];
    std::ofstream out(path, std::ios::trunc);
    out << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\r\n";
    std::snprintf(line, sizeof(line), "\"Style\"=dword:%08x\r\n", style);
    out << line;
    std::snprintf(line, sizeof(line), "\"NumOfBalls\"=dword:%08x\r\n", number);
    out << line;
    std::snprintf(line, sizeof(line), "\"SizOfBalls\"=dword:%08x\r\n", size);
    out << line << "\r\n";
}

// The dword values of the file, by name; empty when there is no file.
inline std::map<std::string, uint32_t> ReadStoredValues(const std::string& path) {
    std::map<std::string, uint32_t> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const size_t eq = line.find("\"=dword:");
        if (line.empty() || line[0] != '"' || eq == std::string::npos) continue;
        values[line.substr(1, eq - 1)] = uint32_t(std::stoul(line.substr(eq + 8), nullptr, 16));
    }
    return values;
}

}  // namespace uie2e
