// Writes the program's version resource in the platform's version format
// (VS_VERSIONINFO with the fixed file information, a StringFileInfo with one
// string table and a VarFileInfo with the translation) into a source file
// that embeds it as resource RT_VERSION 1.
//
// Usage: quorix-version-gen OUTPUT.cpp
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <utility>

#include "res/generators/resource_writer.h"
#include "res/version_info.h"

namespace {

using resgen::Bytes;

constexpr uint32_t kSignature = 0xFEEF04BD;
constexpr uint32_t kStructVersion = 0x00010000;

// One node of the version tree: length in bytes (without trailing padding),
// value length, type (1 text, 0 binary), the key, padding to 4 bytes, the
// value, then each child on a 4-byte boundary.
Bytes Node(const std::string& key, const Bytes& value, uint32_t valueLength, uint32_t type,
           std::initializer_list<Bytes> children = {}) {
    Bytes node;
    node.Word(0);
    node.Word(valueLength);
    node.Word(type);
    node.Text16(key);
    node.AlignTo(4);
    node.Append(value);
    for (const Bytes& child : children) {
        node.AlignTo(4);
        node.Append(child);
    }
    node.PatchWord(0, static_cast<uint32_t>(node.Size()));
    return node;
}

// A string entry; the value length counts 16-bit units with the terminating zero.
Bytes StringEntry(const std::string& key, const std::string& text) {
    Bytes value;
    value.Text16(text);
    return Node(key, value, static_cast<uint32_t>(text.size() + 1), 1);
}

Bytes FixedFileInfo() {
    const uint32_t file[4] = {QUORIX_FILE_VERSION};
    const uint32_t product[4] = {QUORIX_PRODUCT_VERSION};
    Bytes fixed;
    fixed.Dword(kSignature);
    fixed.Dword(kStructVersion);
    fixed.Dword(file[0] << 16 | file[1]);
    fixed.Dword(file[2] << 16 | file[3]);
    fixed.Dword(product[0] << 16 | product[1]);
    fixed.Dword(product[2] << 16 | product[3]);
    fixed.Dword(QUORIX_FILE_FLAGS_MASK);
    fixed.Dword(QUORIX_FILE_FLAGS);
    fixed.Dword(QUORIX_FILE_OS);
    fixed.Dword(QUORIX_FILE_TYPE);
    fixed.Dword(QUORIX_FILE_SUBTYPE);
    fixed.Dword(0);  // file date, high
    fixed.Dword(0);  // file date, low
    return fixed;
}

Bytes StringTable() {
#define QUORIX_STRING_ENTRY(key, text) {key, text},
    const std::pair<const char*, const char*> strings[] = {
        QUORIX_VERSION_STRINGS(QUORIX_STRING_ENTRY)};
#undef QUORIX_STRING_ENTRY
    // The table's key names the language and code page of the translation.
    char tableKey[16];
    std::snprintf(tableKey, sizeof tableKey, "%04x%04x", QUORIX_LANGUAGE, QUORIX_CODE_PAGE);
    if (std::string(tableKey) != QUORIX_STRING_TABLE_KEY) {
        std::fprintf(stderr, "quorix-version-gen: string table key %s does not match %s\n",
                     QUORIX_STRING_TABLE_KEY, tableKey);
        std::exit(1);
    }
    Bytes table = Node(tableKey, Bytes{}, 0, 1);
    for (const auto& [key, text] : strings) {
        table.AlignTo(4);
        table.Append(StringEntry(key, text));
    }
    table.PatchWord(0, static_cast<uint32_t>(table.Size()));
    return table;
}

Bytes VersionInfo() {
    Bytes translation;
    translation.Word(QUORIX_LANGUAGE);
    translation.Word(QUORIX_CODE_PAGE);
    Bytes stringFileInfo = Node("StringFileInfo", Bytes{}, 0, 1, {StringTable()});
    Bytes var = Node("Translation", translation, 4, 0);
    Bytes varFileInfo = Node("VarFileInfo", Bytes{}, 0, 1, {var});
    Bytes fixed = FixedFileInfo();
    return Node("VS_VERSION_INFO", fixed, static_cast<uint32_t>(fixed.Size()), 0,
                {stringFileInfo, varFileInfo});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorix-version-gen OUTPUT.cpp\n");
        return 2;
    }
    constexpr unsigned kRtVersion = 16;
    return resgen::WriteResourceSource(argv[1], "quorix-version-gen",
                                       {{kRtVersion, 1, "kVersionResource", VersionInfo()}});
}
