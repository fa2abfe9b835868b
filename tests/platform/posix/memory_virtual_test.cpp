#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/win32.h"

namespace {

TEST(VirtualMemory, CommittedPagesAreZeroAndWritable) {
    const SIZE_T size = 3 * 4096 + 17;
    auto* p = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 4096, 0u);
    for (SIZE_T k = 0; k < size; ++k)
        ASSERT_EQ(p[k], 0) << k;
    std::memset(p, 0xAB, size);
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}

TEST(VirtualMemory, BadRequestsFail) {
    EXPECT_EQ(VirtualAlloc(nullptr, 0, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_EQ(VirtualAlloc(nullptr, 4096, 0, PAGE_READWRITE), nullptr);
    EXPECT_EQ(VirtualAlloc(nullptr, 4096, MEM_COMMIT, 0x40 /* execute */), nullptr);
    void* p = VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(VirtualFree(p, 4096, MEM_RELEASE));  // release takes size 0
    EXPECT_FALSE(VirtualFree(static_cast<char*>(p) + 1, 0, MEM_RELEASE));
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
    EXPECT_FALSE(VirtualFree(p, 0, MEM_RELEASE));  // already gone
    EXPECT_FALSE(VirtualFree(nullptr, 0, MEM_RELEASE));
}

TEST(VirtualMemory, ReserveThenCommitAndDecommit) {
    auto* p = static_cast<uint8_t*>(VirtualAlloc(nullptr, 8192, MEM_RESERVE, PAGE_NOACCESS));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(VirtualAlloc(p + 4096, 100, MEM_COMMIT, PAGE_READWRITE), p + 4096);
    p[4096] = 5;
    EXPECT_TRUE(VirtualFree(p + 4096, 4096, MEM_DECOMMIT));
    ASSERT_EQ(VirtualAlloc(p + 4096, 4096, MEM_COMMIT, PAGE_READWRITE), p + 4096);
    EXPECT_EQ(p[4096], 0);  // a page committed again reads zero
    // Committing outside any reserved region fails.
    void* elsewhere = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(p) + 8192 * 1024);
    EXPECT_EQ(VirtualAlloc(elsewhere, 4096, MEM_COMMIT, PAGE_READWRITE), nullptr);
    EXPECT_TRUE(VirtualFree(p, 0, MEM_RELEASE));
}

}  // namespace
