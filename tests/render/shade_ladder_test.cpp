// The AVX2 and AVX-512 shading against the portable one where the shift ladders of the scaled
// squares change step: slopes at and around every power of two, so that the squared lengths and the
// light products cross each mask's lowest bit, for the looks of the ordinary balls and of lights
// from every side.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "render/default_look.h"
#include "render/shade_pixels.h"
#include "render/vector_paths.h"

namespace {

using ShadeKernel = void (*)(const ShadeSetup&, uint32_t*, const int32_t*, const int32_t*, int32_t);

void CheckAcrossEveryPowerOfTwo(ShadeKernel kernel) {
    std::vector<int32_t> slopes;
    for (int32_t bit = 0; bit < 31; ++bit) {
        for (int32_t d : {-1, 0, 1}) {
            const int32_t v = int32_t((uint32_t(1) << bit) + uint32_t(d));
            slopes.push_back(v);
            slopes.push_back(int32_t(0u - uint32_t(v)));
        }
    }
    const int32_t n = int32_t(slopes.size());
    for (int32_t radius : {2, 5, 38, 120, 2000}) {
        for (int32_t light : {0x880180, 0x640190, 0xBE0190, 0x0000FF38, 0x03FF0100, 0x200}) {
            for (int32_t flags : {kShadeSpherical, kShadeSpherical | kShadeSimple, 0}) {
                ShadeParams look = DefaultLook(60);
                look.normalRadius = radius;
                look.lightDirection = light;
                look.shadingFlags = flags;
                look.sharpenShift = radius == 38 ? 10 : 0;
                look.secondSpecularIndex = radius == 120 ? 7 : 0;
                look.backLight = radius == 5 ? -3 : 0;
                const ShadeSetup setup = MakeShadeSetup(look);
                for (int32_t shift = 0; shift < n; shift += 7) {
                    std::vector<uint32_t> height(slopes.size());
                    std::vector<int32_t> xs(slopes.size()), ys(slopes.size());
                    for (int32_t k = 0; k < n; ++k) {
                        height[size_t(k)] = uint32_t(k * 0x2A5) & 0x7FFF;
                        xs[size_t(k)] = slopes[size_t(k)];
                        ys[size_t(k)] = slopes[size_t((k + shift) % n)];
                    }
                    std::vector<uint32_t> portable = height, wide = height;
                    ShadePixelsPortable(setup, portable.data(), xs.data(), ys.data(), n);
                    kernel(setup, wide.data(), xs.data(), ys.data(), n);
                    ASSERT_EQ(wide, portable) << radius << " " << std::hex << light << " " << flags;
                }
            }
        }
    }
}

TEST(ShadeLadders, KernelsAgreeAcrossEveryPowerOfTwo) {
    if (!Avx2Available()) GTEST_SKIP() << "no AVX2 on this processor or in this build";
    CheckAcrossEveryPowerOfTwo(ShadePixelsAvx2);
}

TEST(ShadeLadders, Avx512AgreesAcrossEveryPowerOfTwo) {
    if (!Avx512Available()) GTEST_SKIP() << "no AVX-512 on this processor or in this build";
    CheckAcrossEveryPowerOfTwo(ShadePixelsAvx512);
}

}  // namespace
