// The program's icon: the group directory and its two ball images.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32.h"

namespace {

struct Resource {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Resource Find(WORD id, LPCSTR type) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    Resource r;
    if (info == nullptr) return r;
    r.data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    r.size = SizeofResource(nullptr, info);
    return r;
}

template <typename T>
T At(const BYTE* p, size_t offset) {
    T v;
    std::memcpy(&v, p + offset, sizeof v);
    return v;
}

TEST(IconResource, GroupListsA32AndA16Image) {
    Resource group = Find(128, RT_GROUP_ICON);
    ASSERT_NE(group.data, nullptr);
    ASSERT_EQ(group.size, 6u + 2 * 14);
    EXPECT_EQ(At<WORD>(group.data, 0), 0);
    EXPECT_EQ(At<WORD>(group.data, 2), 1);  // icons, not cursors
    ASSERT_EQ(At<WORD>(group.data, 4), 2);
    const int sizes[2] = {32, 16};
    for (int i = 0; i < 2; ++i) {
        const BYTE* entry = group.data + 6 + 14 * i;
        SCOPED_TRACE(sizes[i]);
        EXPECT_EQ(entry[0], sizes[i]);
        EXPECT_EQ(entry[1], sizes[i]);
        EXPECT_EQ(At<WORD>(entry, 4), 1);   // planes
        EXPECT_EQ(At<WORD>(entry, 6), 32);  // bits per pixel
        Resource image = Find(At<WORD>(entry, 12), RT_ICON);
        ASSERT_NE(image.data, nullptr);
        EXPECT_EQ(At<DWORD>(entry, 8), image.size);
    }
}

// Checks one image: its header, a ball that is opaque in the middle and empty
// in the corners (with the mask saying so), and the highlight at the upper left.
void CheckImage(WORD id, int size) {
    Resource image = Find(id, RT_ICON);
    ASSERT_NE(image.data, nullptr);
    const size_t maskStride = 4;  // 16 and 32 pixels fit one 32-bit word
    ASSERT_EQ(image.size, 40u + size * size * 4 + maskStride * size);
    EXPECT_EQ(At<DWORD>(image.data, 0), 40u);
    EXPECT_EQ(At<int32_t>(image.data, 4), size);
    EXPECT_EQ(At<int32_t>(image.data, 8), 2 * size);  // colour and mask
    EXPECT_EQ(At<WORD>(image.data, 12), 1);
    EXPECT_EQ(At<WORD>(image.data, 14), 32);
    EXPECT_EQ(At<DWORD>(image.data, 16), 0u);

    // Rows are bottom-up: row size - 1 is the top.
    auto pixel = [&](int x, int row) { return At<DWORD>(image.data, 40 + 4 * (row * size + x)); };
    auto masked = [&](int x, int row) {
        const BYTE* mask = image.data + 40 + size * size * 4 + maskStride * row;
        return (mask[x / 8] & (0x80 >> (x % 8))) != 0;
    };
    const int mid = size / 2;
    EXPECT_EQ(pixel(mid, mid) >> 24, 255u);
    EXPECT_FALSE(masked(mid, mid));
    for (int corner : {0, size - 1}) {
        EXPECT_EQ(pixel(corner, corner) >> 24, 0u);
        EXPECT_TRUE(masked(corner, corner));
    }
    auto brightness = [&](DWORD p) { return (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF); };
    const int q = size / 4;
    const DWORD upperLeft = pixel(mid - q, mid + q);
    const DWORD lowerRight = pixel(mid + q, mid - q);
    EXPECT_GT(brightness(upperLeft), brightness(lowerRight) + 60);
    // Mostly green.
    EXPECT_GT((pixel(mid, mid) >> 8) & 0xFF, (pixel(mid, mid) >> 16) & 0xFF);
}

TEST(IconResource, ImagesShowAShadedBall) {
    CheckImage(1, 32);
    CheckImage(2, 16);
}

}  // namespace
