// The display connection of the user-interface thread, the process's X
// error handling and the screen geometry. No Xlib types here, so that the
// framework can include it.
#pragma once

#include <string>

// Opens the user-interface thread's connection (once). False with a one-line
// reason in *error when there is no display.
bool X11OpenDisplay(std::string* error);

// The primary monitor in root-window coordinates: the RandR primary output
// where there is one, else the output at the root's origin, else the screen.
struct X11ScreenArea {
    int x;
    int y;
    int width;
    int height;
};
X11ScreenArea X11PrimaryArea();
