#include <gtest/gtest.h>

#include <cstdint>

#include "render/sprite_buffer.h"

namespace {

TEST(SpriteBuffer, StartsCleared) {
    SpriteBuffer b;
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(b.capacity, 0);
    EXPECT_EQ(b.kind, 0u);
    EXPECT_EQ(b.header.bV4Size, 0u);
    EXPECT_EQ(b.Width(), 0);
}

TEST(SpriteBuffer, ReserveRoundsUpTo64Bytes) {
    SpriteBuffer b;
    b.Reserve(1);
    EXPECT_EQ(b.capacity, 64);
    b.Reserve(16);
    EXPECT_EQ(b.capacity, 64);
    b.Reserve(17);
    EXPECT_EQ(b.capacity, 128);
    ASSERT_NE(b.pixels, nullptr);
    b.pixels[31] = 7;  // the whole rounded block is usable
    b.Reserve(0);
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(b.capacity, 0);
    b.Reserve(-4);
    EXPECT_EQ(b.pixels, nullptr);
}

TEST(SpriteBuffer, ResizeGrowsButNeverShrinks) {
    SpriteBuffer b;
    b.Resize(10, 10);
    EXPECT_EQ(b.capacity, 448);
    EXPECT_EQ(b.header.bV4SizeImage, 400u);
    EXPECT_EQ(b.header.bV4Size, 108u);
    EXPECT_EQ(b.header.bV4Planes, 1);
    EXPECT_EQ(b.header.bV4BitCount, 32);
    EXPECT_EQ(b.header.bV4V4Compression, DWORD(BI_RGB));
    for (uint32_t k = 0; k < 100; ++k)
        b.pixels[k] = k;
    uint32_t* block = b.pixels;

    b.Resize(3, 3);
    EXPECT_EQ(b.pixels, block);
    EXPECT_EQ(b.capacity, 448);
    EXPECT_EQ(b.header.bV4SizeImage, 36u);
    for (uint32_t k = 0; k < 9; ++k)
        EXPECT_EQ(b.pixels[k], k);

    b.Resize(0, 0);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.pixels, block);

    b.Resize(12, 12);  // 576 bytes: a new block
    EXPECT_EQ(b.capacity, 576);
}

TEST(SpriteBuffer, HeightIsTakenAsItsMagnitude) {
    SpriteBuffer b;
    b.Resize(4, -5);
    EXPECT_EQ(b.header.bV4Height, -5);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_GE(b.capacity, 4 * 5 * 4);
    // A negative width is no pixels at all.
    SpriteBuffer c;
    c.Resize(-4, 5);
    EXPECT_EQ(c.Width(), 0);
}

TEST(SpriteBuffer, KindKeepsItsUpperBits) {
    SpriteBuffer b;
    b.kind = 0xABCD8000u | 3;
    EXPECT_EQ(b.Kind(), 3u);
    b.SetKind(1);
    EXPECT_EQ(b.kind, 0xABCD8001u);
    b.Resize(2, 2);
    EXPECT_EQ(b.kind, 0xABCD8001u);  // resizing leaves the kind alone
}

TEST(SpriteBuffer, ReleaseFreesTheBlock) {
    SpriteBuffer b;
    b.Resize(8, 8);
    b.Release();
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(b.capacity, 0);
    b.Release();  // twice is harmless
}

}  // namespace
