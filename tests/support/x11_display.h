// The display of this test program: one Xvfb, started on first use, with
// the platform layer's connection open on it.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/session.h"
#include "platform/x11/display.h"
#include "platform/x11/xlib.h"
#include "tests/support/xvfb_server.h"

namespace testx {

inline constexpr int kScreenWidth = 320;
inline constexpr int kScreenHeight = 240;

// The platform's connection on the shared server (null if it cannot start).
// The server is never destroyed: the windows' engine workers go on drawing
// until the process ends, and a server stopped under them at exit would end
// the program as a lost display does (status 1). The server ends with the
// process instead.
inline Display* SharedDisplay() {
    static XvfbServer* server = nullptr;
    static Display* display = nullptr;
    if (server == nullptr) {
        server = new XvfbServer(std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) +
                                "x24");
        if (!server->Ok()) return nullptr;
        setenv("DISPLAY", server->Display().c_str(), 1);
        std::string error;
        HINSTANCE instance = nullptr;
        if (!StartSession(&instance, &error)) return nullptr;
        display = X11Display();
    }
    return display;
}

// A second connection of the test itself, as a foreign program would have.
inline Display* ForeignDisplay() {
    static Display* display = nullptr;
    if (display == nullptr && SharedDisplay() != nullptr) display = XOpenDisplay(nullptr);
    return display;
}

}  // namespace testx
