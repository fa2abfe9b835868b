#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/memory_dc.h"
#include "render/frame_buffer.h"

namespace {

struct MemoryDc {
    HDC hdc;
    MemoryDc(int w, int h) : hdc((CountMemoryDCTransfers(), CreateMemoryDC(w, h))) {}
    ~MemoryDc() { DeleteMemoryDC(hdc); }
};

TEST(FrameBuffer, CreateSetsUpZeroedPlanesAndHeader) {
    MemoryDc dc(6, 4);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 6, 4), 1);
    EXPECT_EQ(fb.width, 6);
    EXPECT_EQ(fb.height, 4);
    EXPECT_EQ(fb.byteSize, 96);
    EXPECT_EQ(fb.hdc, dc.hdc);
    const RECT whole = {0, 0, 6, 4};
    EXPECT_TRUE(EqualRect(&fb.wholeRect, &whole));
    EXPECT_TRUE(EqualRect(&fb.workRect, &whole));
    EXPECT_EQ(fb.header.bV4Size, 108u);
    EXPECT_EQ(fb.header.bV4Width, 6);
    EXPECT_EQ(fb.header.bV4Height, 4);
    EXPECT_EQ(fb.header.bV4Planes, 1);
    EXPECT_EQ(fb.header.bV4BitCount, 32);
    EXPECT_EQ(fb.header.bV4SizeImage, 0u);
    ASSERT_NE(fb.frontPixels, nullptr);
    ASSERT_NE(fb.backgroundPixels, nullptr);
    EXPECT_NE(fb.frontPixels, fb.backgroundPixels);
    for (int k = 0; k < 24; ++k) {
        EXPECT_EQ(fb.frontPixels[k], 0u);
        EXPECT_EQ(fb.backgroundPixels[k], 0u);
    }
}

TEST(FrameBuffer, SecondCreateChangesNothing) {
    MemoryDc dc(6, 4), other(8, 8);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 6, 4), 1);
    uint32_t* front = fb.frontPixels;
    EXPECT_EQ(fb.Create(other.hdc, 8, 8), 0);
    EXPECT_EQ(fb.hdc, dc.hdc);
    EXPECT_EQ(fb.width, 6);
    EXPECT_EQ(fb.frontPixels, front);
}

TEST(FrameBuffer, EmptySizeFailsAndMayBeRetried) {
    MemoryDc dc(6, 4);
    FrameBuffer fb;
    EXPECT_EQ(fb.Create(dc.hdc, 0, 5), -1);
    EXPECT_EQ(fb.byteSize, 0);
    EXPECT_EQ(fb.Create(dc.hdc, 6, 0), -1);
    EXPECT_EQ(fb.Create(dc.hdc, -6, 4), -1);
    EXPECT_EQ(fb.byteSize, 0);
    EXPECT_EQ(fb.Create(dc.hdc, 6, 4), 1);
}

TEST(FrameBuffer, PresentRectTurnsPlaneRowsIntoWindowRows) {
    MemoryDc dc(6, 4);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 6, 4), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            fb.frontPixels[y * 6 + x] = 0xFF000000u | uint32_t(y * 16 + x + 1);
    // Plane rows 0..1 (touching the bottom) are window rows 3..2.
    fb.PresentRect(RECT{1, 0, 3, 2});
    EXPECT_EQ(GetMemoryDCTransferCount(dc.hdc), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const int planeRow = 3 - y;
            const bool inside = x >= 1 && x < 3 && planeRow < 2;
            EXPECT_EQ(GetMemoryDCPixel(dc.hdc, x, y), inside ? uint32_t(planeRow * 16 + x + 1) : 0u)
                << x << "," << y;  // GDI ignores the top byte
        }
}

TEST(FrameBuffer, PresentFromAChosenPlaneAndWhole) {
    MemoryDc dc(3, 2);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 3, 2), 1);
    for (int k = 0; k < 6; ++k) {
        fb.frontPixels[k] = 0x100u + k;
        fb.backgroundPixels[k] = 0x200u + k;
    }
    fb.PresentRect(RECT{2, 1, 3, 2}, fb.backgroundPixels);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 2, 0), 0x205u);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 1, 0), 0u);
    fb.PresentAll(fb.frontPixels);
    std::vector<uint32_t> shown(6);
    ASSERT_EQ(ReadMemoryDCPixels(dc.hdc, shown.data(), shown.size()), 6u);
    EXPECT_EQ(shown, (std::vector<uint32_t>{0x103, 0x104, 0x105, 0x100, 0x101, 0x102}));
}

TEST(FrameBuffer, EmptyRectanglesPresentNothing) {
    MemoryDc dc(3, 2);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 3, 2), 1);
    fb.PresentRect(RECT{1, 1, 1, 2});
    fb.PresentRect(RECT{2, 1, 0, 0});
    fb.PresentRect(RECT{5, 5, 9, 9});  // wholly outside
    EXPECT_EQ(GetMemoryDCTransferCount(dc.hdc), 0);
}

TEST(FrameBuffer, RestoreRectCopiesFromTheBackground) {
    MemoryDc dc(5, 4);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 5, 4), 1);
    for (int k = 0; k < 20; ++k) {
        fb.frontPixels[k] = 0xAAu;
        fb.backgroundPixels[k] = uint32_t(k);
    }
    fb.RestoreRect(RECT{1, 2, 3, 4});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 2;
            EXPECT_EQ(fb.frontPixels[y * 5 + x], inside ? uint32_t(y * 5 + x) : 0xAAu);
        }
    // A rectangle reaching past the planes is cut to them.
    fb.RestoreRect(RECT{-3, -3, 1, 10});
    EXPECT_EQ(fb.frontPixels[0], 0u);
    EXPECT_EQ(fb.frontPixels[15], 15u);
    EXPECT_EQ(fb.frontPixels[1], 0xAAu);
}

// The worker thread presents while another thread reads the device.
TEST(FrameBuffer, PresentsFromAWorkerThread) {
    MemoryDc dc(32, 32);
    FrameBuffer fb;
    ASSERT_EQ(fb.Create(dc.hdc, 32, 32), 1);
    for (int k = 0; k < 32 * 32; ++k)
        fb.frontPixels[k] = 0x123456u;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int k = 0; k < 200; ++k)
            fb.PresentRect(RECT{k % 16, k % 16, 32, 32});
        done = true;
    });
    std::vector<uint32_t> shown(32 * 32);
    while (!done)
        ReadMemoryDCPixels(dc.hdc, shown.data(), shown.size());
    worker.join();
    EXPECT_EQ(GetMemoryDCTransferCount(dc.hdc), 200);
    EXPECT_EQ(GetMemoryDCPixel(dc.hdc, 31, 0), 0x123456u);
}

}  // namespace
