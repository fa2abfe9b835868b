// Writing pictures as PNG files, for the tools.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height pixels of 4 bytes (red, green, blue, alpha; top row first) to
// path. Returns false and a one-line reason in *error on failure.
bool WritePngRgba(const std::string& path, int width, int height, const uint8_t* rgba,
                  std::string* error);

// Enlarges an RGBA picture zoom times in each direction (each pixel a zoom x zoom block).
// Returns the enlarged pixels; zoom below 1 counts as 1.
std::string ZoomRgba(const uint8_t* rgba, int width, int height, int zoom);
