// Icons on X11: icons loaded from the program's icon resources, drawn on our
// windows and handed to the window manager as _NET_WM_ICON.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/win32.h"
#include "platform/x11/xlib.h"

// One image of an icon: 0xAARRGGBB, top-down, alpha 255 opaque.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
};

struct HICON__ {
    std::vector<IconImage> images;
    bool shared = false;  // loaded from a resource: DestroyIcon leaves it
};

bool X11IsLiveIcon(HICON icon);
// Draws the icon image closest to size x size, scaled to it, at (x, y).
void X11DrawIconImage(Window xid, HICON icon, int x, int y, int size, COLORREF background);
// Sets _NET_WM_ICON of a top-level window from the big and small icons.
void X11SetNetWmIcon(Window xid, HICON big, HICON small);
