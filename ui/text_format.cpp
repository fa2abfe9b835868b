#include "ui/text_format.h"

#include <string>

namespace {

constexpr int kMaxWidth = 38;

int DefaultWidth(int radix) {
    switch (radix) {
        case 16:
            return 10;
        case 8:
            return 12;
        case 2:
            return 33;
        default:
            return 11;
    }
}

// The digits of the unsigned 32-bit pattern in the radix, lower case.
std::string UnsignedDigits(uint32_t value, int radix) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value % static_cast<uint32_t>(radix)]);
        value /= static_cast<uint32_t>(radix);
    } while (value != 0);
    return digits;
}

// The last width characters of text, the first of them replaced by "~" when
// marked.
std::string CutToWidth(const std::string& text, size_t width, bool marked) {
    std::string cut = text.substr(text.size() - width);
    if (marked && !cut.empty()) cut[0] = '~';
    return cut;
}

// Octal and binary: the digits right-aligned in the width, one place reserved
// for the prefix character unless noSign, zero padding only with padFull.
std::string PrefixedLayout(const std::string& digits, size_t width, uint32_t flags, char prefix) {
    size_t pos = width - digits.size();
    size_t reserve = (flags & FlagNoSign) ? 0 : 1;
    std::string field(width, ' ');
    field.replace(pos, digits.size(), digits);
    if (flags & FlagPadFull) {
        while (pos > reserve)
            field[--pos] = '0';
    }
    if (!(flags & FlagNoSign) && pos >= 1) field[--pos] = prefix;
    return field.substr(pos);
}

std::string HexLayout(std::string digits, bool negative, size_t width, uint32_t flags) {
    const bool upper = !(flags & FlagPlusLower);
    if (upper) {
        for (char& c : digits) {
            if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        }
    }
    const char fill = negative ? (upper ? 'F' : 'f') : '0';
    // A negative value's leading F digits are the sign; the filler restores them.
    if (negative) {
        while (digits.size() > 1 && digits[0] == fill)
            digits.erase(0, 1);
    }
    if (digits.size() > width) return CutToWidth(digits, width, true);

    size_t pos = width - digits.size();
    const size_t reserve = (flags & FlagNoSign) ? 0 : 2;
    std::string field(width, ' ');
    field.replace(pos, digits.size(), digits);
    if (flags & FlagPadFull) {
        while (pos > reserve)
            field[--pos] = fill;
    } else if (negative && pos > reserve) {
        field[--pos] = fill;
    }
    if (!(flags & FlagNoSign)) {
        const char x = (flags & FlagZeroUpperX) ? 'X' : 'x';
        if (pos >= 2) {
            field[--pos] = x;
            field[--pos] = '0';
        } else if (pos == 1) {
            field[--pos] = x;
        }
    }
    return field.substr(pos);
}

std::string DecimalLayout(int64_t value, size_t width, uint32_t flags) {
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    const bool showMinus = negative && !(flags & FlagNoSign);
    std::string text = showMinus ? "-" + digits : digits;
    if (text.size() > width) return CutToWidth(text, width, true);
    if (text.size() == width) return text;

    std::string prefix;
    if (showMinus) {
        prefix = "-";
    } else if (!negative && !(flags & FlagNoSign)) {
        if (flags & FlagZeroUpperX) {
            prefix = "0";
        } else if (flags & FlagPlusLower) {
            prefix = "+";
        }
    }
    std::string out = prefix;
    if ((flags & FlagPadFull) && prefix.size() + digits.size() < width) {
        out.append(width - prefix.size() - digits.size(), (flags & FlagPadSpaces) ? ' ' : '0');
    }
    return out + digits;
}

}  // namespace

char* CopyText(const char* source, char* destination, int limit) {
    int i = 0;
    while (source[i] != '\0' && (limit <= 0 || i < limit)) {
        destination[i] = source[i];
        ++i;
    }
    destination[i] = '\0';
    return destination + i;
}

char* FormatNumber(char* destination, int32_t value, int32_t flags) {
    int64_t number = value;
    uint32_t bits;
    int64_t width;
    if (flags < 0) {
        // Width from the magnitude, nothing else: the magnitude in decimal.
        width = -static_cast<int64_t>(flags);
        bits = 0;
        if (number < 0) number = -number;
    } else {
        bits = static_cast<uint32_t>(flags);
        width = bits & 0xFF;
    }
    const uint32_t radixBits = bits & (FlagHex | FlagOctal | FlagBinary);
    const int radix = (radixBits & FlagHex)      ? 16
                      : (radixBits & FlagOctal)  ? 8
                      : (radixBits & FlagBinary) ? 2
                                                 : 10;
    if (width == 0) width = DefaultWidth(radix);
    if (width > kMaxWidth) width = kMaxWidth;
    const size_t w = static_cast<size_t>(width);

    std::string text;
    if (radixBits == 0) {
        text = DecimalLayout(number, w, bits);
    } else if (radixBits == (FlagHex | FlagOctal)) {
        text = "?RADIX?";
    } else {
        const std::string digits = UnsignedDigits(static_cast<uint32_t>(value), radix);
        if (radixBits == FlagHex) {
            text = HexLayout(digits, value < 0, w, bits);
        } else if (radixBits == FlagOctal) {
            text = digits.size() > w
                       ? CutToWidth(digits, w, true)
                       : PrefixedLayout(digits, w, bits, (bits & FlagPlusLower) ? 'o' : '0');
        } else {
            // Binary, also with another radix bit beside it: no "~" on a cut.
            text = digits.size() > w
                       ? CutToWidth(digits, w, false)
                       : PrefixedLayout(digits, w, bits, (bits & FlagPlusLower) ? 'b' : 'B');
        }
    }
    return CopyText(text.c_str(), destination, 0);
}
