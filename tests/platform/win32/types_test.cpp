#include <gtest/gtest.h>

#include "platform/win32.h"

// The Win32 types must keep their Windows sizes: records that hold them are laid
// out word by word, and version resources are read field by field.
TEST(Win32Types, KeepWindowsSizes) {
    EXPECT_EQ(sizeof(BYTE), 1u);
    EXPECT_EQ(sizeof(WORD), 2u);
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(RECT), 16u);
    EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
}

TEST(Win32Types, ColourAndWordMacros) {
    EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(GetRValue(0x563412u), 0x12);
    EXPECT_EQ(GetGValue(0x563412u), 0x34);
    EXPECT_EQ(GetBValue(0x563412u), 0x56);
    EXPECT_EQ(LOWORD(0x12345678), 0x5678);
    EXPECT_EQ(HIWORD(0x12345678), 0x1234);
    EXPECT_EQ(MAKELONG(0x5678, 0x1234), 0x12345678);
}
