#include "res/version_reader.h"

#include <cstring>

namespace {

constexpr DWORD kSignature = 0xFEEF04BD;
constexpr WORD kTypeText = 1;

// Reader state. remaining counts what is left after the cursor: in 32-bit
// words after ReadFixedVersionInfo, in 16-bit units once the strings are
// searched. begin and end bound the resource, so that no entry, however its
// lengths are set, makes the reader look outside it.
int32_t remaining = 0;
const BYTE* cursor = nullptr;
const BYTE* begin = nullptr;
const BYTE* end = nullptr;

WORD UnitAt(const BYTE* p) {
    WORD unit;
    std::memcpy(&unit, p, sizeof unit);
    return unit;
}

DWORD WordAt(const BYTE* p) {
    DWORD word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// Units from p to the end of the resource.
int32_t UnitsLeft(const BYTE* p) {
    return static_cast<int32_t>((end - p) / 2);
}

}  // namespace

int ReadFixedVersionInfo(DWORD fixed[kFixedVersionWords]) {
    remaining = 0;
    cursor = begin = end = nullptr;
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION);
    if (info == nullptr) return 0;
    HGLOBAL handle = LoadResource(nullptr, info);
    if (handle == nullptr) return 0;
    auto* data = static_cast<const BYTE*>(LockResource(handle));
    if (data == nullptr) return 0;
    DWORD words = SizeofResource(nullptr, info) / 4;
    if (words == 0) return 0;

    DWORD n = 0;
    for (DWORD i = 0; i < words; ++i) {
        if (WordAt(data + 4 * i) == kSignature) {
            n = words - i;
            break;
        }
    }
    if (n < 13) return 0;

    const BYTE* after = data + 4 * (words - n + 1);
    for (int i = 0; i < kFixedVersionWords; ++i)
        fixed[i] = WordAt(after + 4 * i);
    remaining = static_cast<int32_t>(n - 13);
    cursor = after + 4 * kFixedVersionWords;
    begin = data;
    end = data + 4 * words;
    return 12;
}

int FindVersionKey(const char16_t* key, const BYTE** cursorInOut) {
    const BYTE* c = *cursorInOut;
    if (c == nullptr || c < begin || c > end) return -1;
    // The budget keeps 20 units between the search and the end, so a key of up
    // to 19 units is always compared inside the resource.
    int32_t budget = remaining;
    if (budget > UnitsLeft(c)) budget = UnitsLeft(c);
    budget -= 20;
    if (budget <= 0) return -1;

    int m = 0;
    while (budget > 0) {
        m = 0;
        while (key[m] != 0 && c + 2 * m + 2 <= end && UnitAt(c + 2 * m) == key[m])
            ++m;
        if (key[m] == 0) break;
        c += 2;
        --budget;
    }
    *cursorInOut = c;
    if (budget == 0) return -1;
    if (m > 0 && c + 2 * m + 2 <= end && UnitAt(c + 2 * m) == 0) {
        remaining = budget + 19;
        return m + 1;
    }
    return 0;
}

int ReadVersionString(const char16_t* key, const BYTE** cursorInOut, char* text) {
    if (FindVersionKey(key, cursorInOut) <= 0) return 0;
    const BYTE* c = *cursorInOut;
    if (c - begin < 6) return 0;
    const int32_t totalLength = UnitAt(c - 6);
    const int32_t valueLength = UnitAt(c - 4);
    const WORD type = UnitAt(c - 2);
    if (type != kTypeText) return 0;

    const int32_t n = totalLength / 2 - 4;
    remaining -= n;

    // From the key to the value: the key, its zero and the padding.
    const int32_t skip = n - valueLength;
    if (skip < 0 || skip >= UnitsLeft(c)) return 0;
    c += 2 * skip;
    if (reinterpret_cast<uintptr_t>(c) % 4 != 0) c += 2;
    *cursorInOut = c;

    int32_t limit = kVersionTextMax;
    if (n < limit) limit = n;
    int32_t copied = 0;
    while (copied < limit && c + 2 * copied + 2 <= end) {
        WORD unit = UnitAt(c + 2 * copied);
        if (unit == 0) break;
        text[copied++] = static_cast<char>(unit & 0xFF);
    }
    text[copied] = '\0';
    return valueLength;
}

int ReadVersionStrings(DWORD fixed[kFixedVersionWords], char (*texts)[kVersionTextSize]) {
    int r = ReadFixedVersionInfo(fixed);
    if (remaining == 0) return r;
    remaining *= 2;
    const BYTE* c = cursor;

    int k = FindVersionKey(u"StringFileInfo", &c);
    if (k <= 0) return r;
    c += 2 * k;

    static const char16_t* const kKeys[3] = {u"CompanyName", u"InternalName", u"LegalCopyright"};
    for (int i = 0; i < 3; ++i) {
        if (ReadVersionString(kKeys[i], &c, texts[i]) == 0) return r;
    }
    return r + 3;
}

int GetRegistryNames(std::string& company, std::string& internalName) {
    DWORD fixed[kFixedVersionWords];
    char texts[3][kVersionTextSize] = {};
    if (ReadVersionStrings(fixed, texts) < 15) {
        company.clear();
        internalName.clear();
        return 0;
    }
    company = texts[0];
    internalName = texts[1];
    return 1;
}
