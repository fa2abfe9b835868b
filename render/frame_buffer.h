// The frame buffer: front and background 32-bit planes of the target area (bottom-up,
// pixels 0x00RRGGBB), with the bitmap header that presents either plane to a window.
#pragma once

#include <cstdint>

#include "platform/win32.h"
#include "render/fade_map.h"

struct FrameBuffer {
    int32_t width = 0;  // also the row length of both planes
    int32_t height = 0;
    RECT wholeRect = {};                   // {0, 0, width, height}
    RECT workRect = {};                    // the intro's update rectangle
    int32_t byteSize = 0;                  // bytes of one plane, 0 = not created
    uint32_t* frontPixels = nullptr;       // background plus this frame's balls
    uint32_t* backgroundPixels = nullptr;  // the picture without moving balls
    HDC hdc = nullptr;
    BITMAPV4HEADER header = {};
    // The background tiles that may still fade; whoever writes backgroundPixels marks
    // what it wrote (fadeMap.Mark, or fadeMap.MarkAll after any other write).
    FadeMap fadeMap;

    // Creates both zero-filled planes once. Returns 1, 0 if already created, -1 if an
    // allocation failed (the plane obtained is kept).
    int32_t Create(HDC targetDc, int32_t newWidth, int32_t newHeight);
    // Copies rect (plane coordinates) of the front plane, or of plane, to the window.
    void PresentRect(const RECT& rect) const;
    void PresentRect(const RECT& rect, const uint32_t* plane) const;
    // Copies a whole plane to the window.
    void PresentAll(const uint32_t* plane) const;
    // Sends the frame's copies on to the window at once (GdiFlush), instead of leaving
    // the device to find out when the frame's copies are over.
    void EndPresent() const;
    // Copies rect from the background plane into the front plane.
    void RestoreRect(const RECT& rect);
};
