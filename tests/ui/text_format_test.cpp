#include "ui/text_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Format(int32_t value, uint32_t flags) {
    char buffer[64];
    char* end = FormatNumber(buffer, value, static_cast<int32_t>(flags));
    EXPECT_EQ(*end, '\0');
    EXPECT_EQ(static_cast<size_t>(end - buffer), std::string(buffer).size());
    return buffer;
}

TEST(CopyText, LimitsAndReturnsTheEnd) {
    char buffer[16] = "zzzzzzzzzzzzzzz";
    char* end = CopyText("abcdef", buffer, 3);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(end, buffer + 3);
    EXPECT_EQ(CopyText("abcdef", buffer, 0), buffer + 6);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(CopyText("ab", buffer, -5), buffer + 2);
    EXPECT_EQ(CopyText("ab", buffer, 10), buffer + 2);
    EXPECT_EQ(CopyText("", buffer, 0), buffer);
    EXPECT_STREQ(buffer, "");
    // Chained calls build a line.
    char line[32];
    char* p = CopyText("quorix", line, 0);
    p = CopyText(" version ", p, 0);
    FormatNumber(p, 2, 4);
    EXPECT_STREQ(line, "quorix version 2");
}

TEST(FormatNumber, DecimalWidthPaddingAndCuts) {
    EXPECT_EQ(Format(7, 0x40000004), "0007");
    EXPECT_EQ(Format(7, 0x60000004), "   7");
    EXPECT_EQ(Format(7, 0x40000204), "+007");
    EXPECT_EQ(Format(7, 0x40000404), "0007");  // the "0" prefix, then padding
    EXPECT_EQ(Format(7, 0x40000604), "0007");  // 0x400 takes precedence over 0x200
    EXPECT_EQ(Format(7, 0x604), "07");
    EXPECT_EQ(Format(7, 0x204), "+7");
    EXPECT_EQ(Format(-5, 4), "-5");
    EXPECT_EQ(Format(-5, 0x40000004), "-005");
    EXPECT_EQ(Format(-5, 0x60000004), "-  5");
    EXPECT_EQ(Format(-5, 0x104), "5");
    EXPECT_EQ(Format(7, 0x304), "7");  // no sign: no "+" either
    EXPECT_EQ(Format(-12345, 4), "~345");
    EXPECT_EQ(Format(12345, 4), "~345");
    EXPECT_EQ(Format(1234, 0x40000204), "1234");  // exactly the width: no prefix
    EXPECT_EQ(Format(2, 4), "2");
    EXPECT_EQ(Format(87, 4), "87");
    EXPECT_EQ(Format(0, 4), "0");
    EXPECT_EQ(Format(5, 1), "5");
    EXPECT_EQ(Format(15, 1), "~");
}

TEST(FormatNumber, DecimalDefaultAndLargestWidths) {
    EXPECT_EQ(Format(INT32_MIN, 0), "-2147483648");  // 11, the default width
    EXPECT_EQ(Format(INT32_MAX, 0x40000000), "02147483647");
    EXPECT_EQ(Format(1, 0x40000000 | 200), std::string(37, '0') + "1");  // capped at 38
    EXPECT_EQ(Format(INT32_MIN, 0x100), "2147483648");
}

TEST(FormatNumber, NegativeFlagsFormatTheMagnitude) {
    EXPECT_EQ(Format(-42, -4), "42");
    EXPECT_EQ(Format(42, -1), "~");
    EXPECT_EQ(Format(-12345, -4), "~345");
    EXPECT_EQ(Format(-7, static_cast<uint32_t>(-(0x40000000 | 4))), "7");
    EXPECT_EQ(Format(INT32_MIN, static_cast<uint32_t>(INT32_MIN)), "2147483648");
}

TEST(FormatNumber, Hexadecimal) {
    EXPECT_EQ(Format(255, 0x1004), "0xFF");
    EXPECT_EQ(Format(255, 0x1104), "FF");
    EXPECT_EQ(Format(255, 0x1504), "FF");
    EXPECT_EQ(Format(255, 0x1404), "0XFF");
    EXPECT_EQ(Format(255, 0x1204), "0xff");
    EXPECT_EQ(Format(255, 0x40001008), "0x0000FF");
    EXPECT_EQ(Format(255, 0x40001108), "000000FF");
    EXPECT_EQ(Format(255, 0x1003), "xFF");  // one place left: "x" alone
    EXPECT_EQ(Format(255, 0x1002), "FF");
    EXPECT_EQ(Format(0x12345, 0x1002), "~5");
    EXPECT_EQ(Format(0x12345, 0x1000), "0x12345");  // default width 10
    EXPECT_EQ(Format(0, 0x1000), "0x0");
}

TEST(FormatNumber, NegativeHexadecimalUsesFFiller) {
    EXPECT_EQ(Format(-1, 0x1000), "0xFF");
    EXPECT_EQ(Format(-1, 0x1200), "0xff");
    EXPECT_EQ(Format(-256, 0x1000), "0xF00");
    EXPECT_EQ(Format(-1, 0x40001000), "0xFFFFFFFF");
    EXPECT_EQ(Format(-256, 0x4000100C), "0xFFFFFFFF00");
    EXPECT_EQ(Format(-1, 0x1100), "FF");
    EXPECT_EQ(Format(-2, 0x1003), "0xE");  // no room for a filler beside the prefix
    EXPECT_EQ(Format(-2, 0x1004), "0xFE");
    EXPECT_EQ(Format(-2, 0x1001), "E");
    EXPECT_EQ(Format(0x7FFFFFFF, 0x1000), "0x7FFFFFFF");
}

TEST(FormatNumber, Octal) {
    EXPECT_EQ(Format(8, 0x2000), "010");
    EXPECT_EQ(Format(8, 0x2200), "o10");
    EXPECT_EQ(Format(8, 0x2100), "10");
    EXPECT_EQ(Format(8, 0x40002006), "000010");
    EXPECT_EQ(Format(8, 0x40002106), "000010");
    EXPECT_EQ(Format(8, 0x2002), "10");
    EXPECT_EQ(Format(-1, 0x2000), "037777777777");  // the unsigned pattern, width 12
    EXPECT_EQ(Format(-1, 0x2004), "~777");
}

TEST(FormatNumber, Binary) {
    EXPECT_EQ(Format(5, 0x4000), "B101");
    EXPECT_EQ(Format(5, 0x4200), "b101");
    EXPECT_EQ(Format(5, 0x4100), "101");
    EXPECT_EQ(Format(5, 0x40004006), "B00101");
    EXPECT_EQ(Format(5, 0x4002), "01");  // cut without "~"
    EXPECT_EQ(Format(-1, 0x4000), "B" + std::string(32, '1'));
    // Another radix bit beside binary: that radix's digits, the binary layout.
    EXPECT_EQ(Format(255, 0x5000), "Bff");
    EXPECT_EQ(Format(8, 0x6000), "B10");
}

TEST(FormatNumber, HexAndOctalTogetherIsNoRadix) {
    EXPECT_EQ(Format(1, 0x3004), "?RADIX?");
    EXPECT_EQ(Format(-1, 0x40003000), "?RADIX?");
}

}  // namespace
