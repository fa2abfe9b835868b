// The character encodings of registry files: 8-bit text (REGEDIT4, or UTF-8
// with or without a byte-order mark) and UTF-16 with a byte-order mark, as
// the registry editor exports "Windows Registry Editor Version 5.00" files.
// The text is handled as UTF-8; a file is written back in the encoding it
// was read in.
#pragma once

#include <string>

namespace regfile {

enum class Encoding {
    Bytes,    // 8-bit text as it is
    Utf8Bom,  // UTF-8 after EF BB BF
    Utf16Le,  // UTF-16 after FF FE
    Utf16Be,  // UTF-16 after FE FF
};

// The text of a file's bytes, without its byte-order mark. UTF-16 becomes
// UTF-8; a lone surrogate is kept as its own three-byte sequence, so that
// writing the text back gives the same units. False for UTF-16 of an odd
// number of bytes (a file cut short).
bool DecodeText(const std::string& bytes, Encoding& encoding, std::string& text);

// The bytes of a text in an encoding, with its byte-order mark. For UTF-16 a
// byte that is not part of a UTF-8 sequence stands for the character of the
// same number.
std::string EncodeText(const std::string& text, Encoding encoding);

}  // namespace regfile
