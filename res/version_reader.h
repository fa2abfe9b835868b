// Reader of the program's own version resource: a small, tolerant linear
// scanner over the raw resource bytes. It finds the fixed file information by
// its signature and then searches forward for each key text in a fixed order.
// Its state is process-wide and used only by the user-interface thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

// Words of the fixed file information, in resource order (after the signature).
enum FixedVersionWord {
    VersionStructVersion = 0,
    VersionFileMS = 1,
    VersionFileLS = 2,
    VersionProductMS = 3,
    VersionProductLS = 4,
    VersionFileFlagsMask = 5,
    VersionFileFlags = 6,
    VersionFileOS = 7,
    VersionFileType = 8,
    VersionFileSubtype = 9,
    VersionFileDateMS = 10,
    VersionFileDateLS = 11,
    kFixedVersionWords = 12
};

// Size of each text buffer of ReadVersionStrings; values keep at most
// kVersionTextMax characters.
constexpr int kVersionTextSize = 128;
constexpr int kVersionTextMax = 60;

// Reads the 12 words after the signature into fixed. Returns 12, or 0 when
// there is no version resource, no signature, or fewer than 12 words after it.
int ReadFixedVersionInfo(DWORD fixed[kFixedVersionWords]);

// Reads the fixed information and then the values of "CompanyName",
// "InternalName" and "LegalCopyright" into texts[0..2]. Returns the result of
// ReadFixedVersionInfo, plus 3 when all three strings were found (15).
int ReadVersionStrings(DWORD fixed[kFixedVersionWords], char (*texts)[kVersionTextSize]);

// Searches forward from *cursor for the zero-terminated key. Returns the key's
// length plus 1 when found (cursor left at the key), 0 when the key matched
// only as the start of a longer text, -1 when the search ran out.
int FindVersionKey(const char16_t* key, const BYTE** cursor);

// Finds the string entry of key and copies its value (at most 60 characters,
// each narrowed to its low byte) into text. Returns the value length in units,
// 0 on failure. The cursor is left at the value.
int ReadVersionString(const char16_t* key, const BYTE** cursor, char* text);

// The company and internal names of the version resource. Returns 1, or 0 with
// both strings emptied when the resource or one of the three strings is missing.
int GetRegistryNames(std::string& company, std::string& internalName);
