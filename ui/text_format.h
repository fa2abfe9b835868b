// Text helpers of the About box: a bounded copy that returns the end of the
// copied text, and an integer formatter driven by a flag word.
#pragma once

#include <cstdint>

// Flag bits of FormatNumber; the low 8 bits are the width (1..38, 0 for the
// radix's default width).
enum FormatNumberFlag : uint32_t {
    FlagNoSign = 0x100,      // no sign or prefix character
    FlagPlusLower = 0x200,   // "+", lower-case hex, prefixes "o" and "b"
    FlagZeroUpperX = 0x400,  // "0" before a decimal >= 0, hex prefix "0X"
    FlagHex = 0x1000,
    FlagOctal = 0x2000,
    FlagBinary = 0x4000,
    FlagPadSpaces = 0x20000000,  // decimal: pad with spaces instead of "0"
    FlagPadFull = 0x40000000,    // pad to the full width
};

// Copies source to destination: all of it when limit <= 0, else at most limit
// characters. Returns the address of the terminating zero written.
char* CopyText(const char* source, char* destination, int limit);

// Formats value as the flag word says (at most 38 characters) into
// destination and returns the end as CopyText does. A negative flag word
// formats the value's magnitude in decimal with width = the flags' magnitude.
char* FormatNumber(char* destination, int32_t value, int32_t flags);
