#include "platform/x11/display.h"

#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/posix/process_exit.h"
#include "platform/x11/xlib.h"

namespace {

Display* g_display = nullptr;

// First error code of the current trap on this thread; -1 outside a trap.
thread_local int t_trapped = -1;

int OnXError(Display*, XErrorEvent* event) {
    // Errors inside a trap become its result; others (late errors of requests
    // on windows that went away, such as frames presented to a destroyed
    // preview) are dropped.
    if (t_trapped == 0) t_trapped = event->error_code;
    return 0;
}

int OnXIOError(Display*) {
    // The server went away or the connection broke: nothing can be shown any
    // more. Xlib ends the process if this returns; any connection (the
    // user-interface thread's or a worker's) may notice first, so the end is
    // the same from every thread: one line and status 1, exactly once.
    PosixFatalExit("quorix: lost the connection to the X display\n", 1);
}

}  // namespace

void X11InstallErrorHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        PosixIgnoreBrokenPipes();
        XInitThreads();
        XSetErrorHandler(OnXError);
        XSetIOErrorHandler(OnXIOError);
    });
}

X11ErrorTrap::X11ErrorTrap(Display* display) : m_display(display), m_saved(t_trapped) {
    if (m_display != nullptr) XSync(m_display, False);  // earlier errors are not ours
    t_trapped = 0;
}

X11ErrorTrap::~X11ErrorTrap() {
    t_trapped = m_saved;
}

int X11ErrorTrap::Sync() {
    if (m_display != nullptr) XSync(m_display, False);
    return t_trapped;
}

Display* X11Display() {
    return g_display;
}

bool X11OpenDisplay(std::string* error) {
    if (g_display != nullptr) return true;
    X11InstallErrorHandlers();
    const char* name = std::getenv("DISPLAY");
    g_display = XOpenDisplay(nullptr);
    if (g_display != nullptr) return true;
    if (error != nullptr) {
        if (name == nullptr || *name == '\0')
            *error = "cannot open the X display: DISPLAY is not set";
        else
            *error = std::string("cannot open the X display \"") + name + "\"";
    }
    return false;
}

namespace {

X11ScreenArea QueryPrimaryArea() {
    Display* display = g_display;
    if (display == nullptr) return {0, 0, 0, 0};
    const int screen = DefaultScreen(display);
    X11ScreenArea area = {0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return area;
    const Window root = RootWindow(display, screen);
    X11ErrorTrap trap(display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root);
    if (resources == nullptr) return area;
    const RROutput primary = XRRGetOutputPrimary(display, root);
    bool found = false;
    X11ScreenArea atOrigin = area;
    bool originFound = false;
    for (int i = 0; i < resources->noutput && !found; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (output == nullptr) continue;
        if (output->crtc != 0 && output->connection != RR_Disconnected) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc);
            if (crtc != nullptr && crtc->width > 0 && crtc->height > 0) {
                const X11ScreenArea here = {crtc->x, crtc->y, static_cast<int>(crtc->width),
                                            static_cast<int>(crtc->height)};
                if (resources->outputs[i] == primary) {
                    area = here;
                    found = true;
                } else if (!originFound && crtc->x == 0 && crtc->y == 0) {
                    atOrigin = here;
                    originFound = true;
                }
            }
            if (crtc != nullptr) XRRFreeCrtcInfo(crtc);
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    if (!found && originFound) area = atOrigin;
    return area;
}

}  // namespace

X11ScreenArea X11PrimaryArea() {
    // Asked once: the monitors are not expected to change while the saver runs.
    static const X11ScreenArea area = QueryPrimaryArea();
    return area;
}
