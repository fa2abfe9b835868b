#include "tools/common/png_write.h"

#include <png.h>

#include <cstring>

bool WritePngRgba(const std::string& path, int width, int height, const uint8_t* rgba,
                  std::string* error) {
    if (width <= 0 || height <= 0 || !rgba) {
        if (error) *error = "a picture needs a width and a height of at least 1";
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba, 0, nullptr)) {
        if (error) *error = std::string("cannot write ") + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

std::string ZoomRgba(const uint8_t* rgba, int width, int height, int zoom) {
    if (zoom < 1) zoom = 1;
    const size_t outWidth = size_t(width) * size_t(zoom);
    std::string out(outWidth * size_t(height) * size_t(zoom) * 4, '\0');
    for (int y = 0; y < height; ++y) {
        char* line = &out[size_t(y) * size_t(zoom) * outWidth * 4];
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < zoom; ++k)
                std::memcpy(line + (size_t(x) * size_t(zoom) + size_t(k)) * 4,
                            rgba + (size_t(y) * size_t(width) + size_t(x)) * 4, 4);
        for (int k = 1; k < zoom; ++k)
            std::memcpy(line + size_t(k) * outWidth * 4, line, outWidth * 4);
    }
    return out;
}
