#include "platform/posix/registry_text.h"

#include <cstdint>

namespace regfile {

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

void AppendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUnit(std::string& out, uint32_t unit, bool bigEndian) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
}

// The code point of the UTF-8 sequence at text[i], and its length in n; a
// byte that starts no whole sequence is its own code point of length 1.
uint32_t NextCodePoint(const std::string& text, size_t i, size_t& n) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[i + k]); };
    const uint8_t b = byte(0);
    n = 1;
    size_t length = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b < 0xE0 ? 2 : 1;
    if (b >= 0xF5) length = 1;
    if (length == 1 || i + length > text.size()) return b;
    uint32_t c = b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return b;
        c = (c << 6) | (byte(k) & 0x3F);
    }
    // Overlong forms and values past U+10FFFF are no sequences.
    if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF))) return b;
    n = length;
    return c;
}

}  // namespace

bool DecodeText(const std::string& bytes, Encoding& encoding, std::string& text) {
    text.clear();
    const bool le = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool be = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
    if (!le && !be) {
        if (bytes.compare(0, 3, kUtf8Bom) == 0) {
            encoding = Encoding::Utf8Bom;
            text = bytes.substr(3);
        } else {
            encoding = Encoding::Bytes;
            text = bytes;
        }
        return true;
    }
    encoding = le ? Encoding::Utf16Le : Encoding::Utf16Be;
    if (bytes.size() % 2 != 0) return false;
    const auto unitAt = [&](size_t i) {
        const uint32_t a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
        return le ? (b << 8 | a) : (a << 8 | b);
    };
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i < bytes.size(); i += 2) {
        uint32_t unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 2 < bytes.size()) {
            const uint32_t low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(text, unit);
    }
    return true;
}

std::string EncodeText(const std::string& text, Encoding encoding) {
    switch (encoding) {
        case Encoding::Bytes:
            return text;
        case Encoding::Utf8Bom:
            return kUtf8Bom + text;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be:
            break;
    }
    const bool be = encoding == Encoding::Utf16Be;
    std::string out;
    out.reserve(2 * text.size() + 2);
    AppendUnit(out, 0xFEFF, be);
    for (size_t i = 0, n = 0; i < text.size(); i += n) {
        const uint32_t c = NextCodePoint(text, i, n);
        if (c >= 0x10000) {
            AppendUnit(out, 0xD800 + ((c - 0x10000) >> 10), be);
            AppendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), be);
        } else {
            AppendUnit(out, c, be);
        }
    }
    return out;
}

}  // namespace regfile
