// The session on X11: the user-interface thread's display connection, then
// the translation of its events into window messages.
#include "platform/session.h"

#include "platform/posix/process_exit.h"
#include "platform/x11/display.h"
#include "platform/x11/events.h"

bool StartSession(HINSTANCE* instance, std::string* error) {
    *instance = nullptr;
    if (!X11OpenDisplay(error)) return false;
    X11StartEvents();
    return true;
}

int EndSession(int status) {
    PosixEndProcess(status);
}
