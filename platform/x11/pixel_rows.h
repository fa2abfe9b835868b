// Rows of 0x00RRGGBB pixels converted into the bytes of a window's visual,
// with everything that depends only on the pixel format (channel shifts,
// lookup tables, byte order) worked out once, when the converter is made.
// The values and bytes are those of MapPixel; on x86 whole groups of pixels
// are converted at once with SSE2, AVX2 or AVX-512 (platform/x11/pixel_kernels.h).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/x11/pixel_format.h"
#include "platform/x11/pixel_kernels.h"

class RowConverter {
  public:
    // Best: the widest kernels the processor has (AVX-512, AVX2, SSE2);
    // Avx2: never AVX-512; Sse2: never AVX2; Portable: the plain loops only.
    // All give the same bytes (the tests compare them).
    enum class Kernels { Best, Avx2, Sse2, Portable };
    explicit RowConverter(const PixelFormat& format, Kernels kernels = Kernels::Best);

    // Whether Convert can write this format's rows (8, 16, 24 or 32 bits per
    // pixel); other depths are written pixel by pixel with Pixel.
    bool WholeBytes() const { return m_bytes != 0; }

    // The device pixel value of one colour.
    uint32_t Pixel(uint32_t rgb) const;

    // Writes count pixels from src as device bytes at dst, which has room for
    // count pixels of the format. Nothing is written for formats without
    // WholeBytes().
    void Convert(const uint32_t* src, int count, uint8_t* dst) const;

  private:
    enum class Path : uint8_t { Copy, Shifts, Tables, Cube, Gray, Zero };
    struct Shift {
        uint32_t right = 0, left = 0, mask = 0;
    };
    template <typename Map>
    void Write(const Map& mapping, const uint32_t* src, int count, uint8_t* dst) const;
    void ConvertPlain(const uint32_t* src, int count, uint8_t* dst) const;
    void ChooseKernel(Kernels kernels);

    Path m_path = Path::Zero;
    int m_bytes = 0;                 // bytes per pixel, 0 for formats narrower than a byte
    bool m_nativeOrder = true;       // the image's byte order is the host's
    bool m_shiftsDown = false;       // Shifts: no channel moves to higher bits
    uint32_t m_alpha = 0;            // bits set in every pixel
    uint32_t m_keep = 0;             // Copy: the bits of the pixel that stay
    Shift m_shift[3];                // Shifts: red, green, blue
    int m_levels = 0;                // Cube: levels per channel
    std::vector<uint32_t> m_tables;  // Tables, Cube: 3 x 256, each channel's share
    std::vector<uint32_t> m_pixels;  // Cube: the cube's pixels; Gray: the ramp
    std::vector<uint8_t> m_bytes8;   // Cube, Gray at 8 bits: m_pixels as bytes
    std::vector<uint8_t> m_levels8;  // Cube at 8 bits: CubeLevel of each channel value
    // The vector kernel for the leading pixels of each row, if one applies.
    int (*m_kernel)(const RowKernel&, const uint32_t*, int, uint8_t*) = nullptr;
    RowKernel m_params;
};
