// The resource script that windres compiles for Windows holds the same
// resources as the POSIX build embeds: the version resource reads the same,
// the dialog template is the same, the icon group and images are the same.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <ostream>

#include "res/version_reader.h"
#include "platform/posix/resources_table.h"
#include "res/version_info.h"
#include "tests/support/res_file.h"

namespace restest {

// Readable failure messages for the parsed records.
void PrintTo(const DialogItem& i, std::ostream* os) {
    *os << "{style 0x" << std::hex << i.style << ", ex 0x" << i.exStyle << std::dec << ", " << i.x
        << "," << i.y << " " << i.cx << "x" << i.cy << ", id " << i.id << ", class \""
        << i.className << "\", text \"" << i.text << "\", extra " << i.extraBytes << "}";
}

void PrintTo(const VersionNode& n, std::ostream* os) {
    *os << "{" << n.path << ", length " << n.length << ", value length " << n.valueLength
        << ", type " << n.type << ", " << n.value.size() << " value bytes}";
}

}  // namespace restest

namespace {

using restest::Blob;
using restest::ResEntry;

constexpr uint16_t kRtIcon = 3, kRtDialog = 5, kRtGroupIcon = 14, kRtVersion = 16;

const std::vector<ResEntry>& WindowsResources() {
    static const std::vector<ResEntry> entries = [] {
        std::vector<ResEntry> parsed;
        std::string error;
        const Blob file = restest::ReadFile(QUORIX_WINDOWS_RES);
        EXPECT_FALSE(file.empty()) << QUORIX_WINDOWS_RES;
        EXPECT_TRUE(restest::ParseResFile(file, parsed, error)) << error;
        return parsed;
    }();
    return entries;
}

Blob WindowsBytes(uint16_t type, uint16_t id) {
    const ResEntry* e = restest::FindEntry(WindowsResources(), type, id);
    EXPECT_NE(e, nullptr) << "type " << type << " id " << id;
    return e != nullptr ? e->data : Blob{};
}

Blob EmbeddedBytes(uint16_t type, uint16_t id) {
    const EmbeddedResource* r = EmbeddedResource::Find(type, id);
    EXPECT_NE(r, nullptr) << "type " << type << " id " << id;
    if (r == nullptr) return {};
    const uint8_t* p = static_cast<const uint8_t*>(r->data());
    return Blob(p, p + r->size());
}

TEST(WindowsResources, ScriptHoldsExactlyTheProgramsResourcesInUsEnglish) {
    const std::vector<ResEntry>& entries = WindowsResources();
    ASSERT_EQ(entries.size(), 6u);
    // A .res file starts with an empty entry of type 0 and name 0.
    EXPECT_EQ(entries[0].typeId, 0);
    EXPECT_EQ(entries[0].nameId, 0);
    EXPECT_TRUE(entries[0].data.empty());
    const std::pair<uint16_t, uint16_t> expected[] = {
        {kRtVersion, 1}, {kRtDialog, 102}, {kRtIcon, 1}, {kRtIcon, 2}, {kRtGroupIcon, 128}};
    for (const auto& [type, id] : expected) {
        const ResEntry* e = restest::FindEntry(entries, type, id);
        ASSERT_NE(e, nullptr) << "type " << type << " id " << id;
        EXPECT_EQ(e->language, QUORIX_LANGUAGE) << "type " << type << " id " << id;
    }
}

// Puts bytes in place of the embedded version resource while it lives, in a
// 4-byte aligned buffer of their size.
class ShadowVersion {
  public:
    explicit ShadowVersion(const Blob& bytes)
        : m_words(std::make_unique<uint32_t[]>((bytes.size() + 3) / 4)) {
        std::memcpy(m_words.get(), bytes.data(), bytes.size());
        m_entry = std::make_unique<EmbeddedResource>(kRtVersion, 1, m_words.get(),
                                                     static_cast<DWORD>(bytes.size()));
    }

  private:
    std::unique_ptr<uint32_t[]> m_words;
    std::unique_ptr<EmbeddedResource> m_entry;
};

struct VersionReading {
    int code = 0;
    DWORD fixed[kFixedVersionWords] = {};
    char texts[3][kVersionTextSize] = {};
};

VersionReading ReadVersion() {
    VersionReading r;
    r.code = ReadVersionStrings(r.fixed, r.texts);
    return r;
}

TEST(WindowsResources, VersionReadsTheSameThroughTheReader) {
    const VersionReading embedded = ReadVersion();
    VersionReading windows;
    {
        ShadowVersion shadow(WindowsBytes(kRtVersion, 1));
        windows = ReadVersion();
    }
    EXPECT_EQ(embedded.code, 15);
    EXPECT_EQ(windows.code, 15);
    for (int i = 0; i < kFixedVersionWords; ++i)
        EXPECT_EQ(windows.fixed[i], embedded.fixed[i]) << "fixed word " << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_STREQ(windows.texts[i], embedded.texts[i]) << "text " << i;

    // And both carry the values of version_info.h.
    const DWORD file[4] = {QUORIX_FILE_VERSION};
    const DWORD product[4] = {QUORIX_PRODUCT_VERSION};
    EXPECT_EQ(windows.fixed[VersionStructVersion], 0x00010000u);
    EXPECT_EQ(windows.fixed[VersionFileMS], file[0] << 16 | file[1]);
    EXPECT_EQ(windows.fixed[VersionFileLS], file[2] << 16 | file[3]);
    EXPECT_EQ(windows.fixed[VersionProductMS], product[0] << 16 | product[1]);
    EXPECT_EQ(windows.fixed[VersionProductLS], product[2] << 16 | product[3]);
    EXPECT_EQ(windows.fixed[VersionFileFlagsMask], DWORD{QUORIX_FILE_FLAGS_MASK});
    EXPECT_EQ(windows.fixed[VersionFileFlags], DWORD{QUORIX_FILE_FLAGS});
    EXPECT_EQ(windows.fixed[VersionFileOS], DWORD{QUORIX_FILE_OS});
    EXPECT_EQ(windows.fixed[VersionFileType], DWORD{QUORIX_FILE_TYPE});
    EXPECT_EQ(windows.fixed[VersionFileSubtype], DWORD{QUORIX_FILE_SUBTYPE});
    EXPECT_STREQ(windows.texts[0], QUORIX_COMPANY_NAME);
    EXPECT_STREQ(windows.texts[1], QUORIX_INTERNAL_NAME);
    EXPECT_STREQ(windows.texts[2], QUORIX_LEGAL_COPYRIGHT);
}

std::string Narrow(const Blob& utf16) {
    std::string s;
    for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
        if (utf16[i] == 0 && utf16[i + 1] == 0) break;
        s.push_back(static_cast<char>(utf16[i]));
    }
    return s;
}

TEST(WindowsResources, VersionTreesAreNodeForNodeTheSame) {
    const Blob embeddedBytes = EmbeddedBytes(kRtVersion, 1);
    const Blob windowsBytes = WindowsBytes(kRtVersion, 1);
    std::vector<restest::VersionNode> embedded, windows;
    std::string error;
    ASSERT_TRUE(restest::ParseVersionTree(embeddedBytes, embedded, error)) << error;
    ASSERT_TRUE(restest::ParseVersionTree(windowsBytes, windows, error)) << error;
    ASSERT_EQ(windows.size(), embedded.size());
    for (size_t i = 0; i < windows.size(); ++i)
        EXPECT_EQ(windows[i], embedded[i]) << "node " << embedded[i].path;

    // The string table in the order of version_info.h, under the key of the
    // translation.
    const std::string table =
        std::string("VS_VERSION_INFO/StringFileInfo/") + QUORIX_STRING_TABLE_KEY + "/";
    const std::pair<std::string, std::string> strings[] = {
#define QUORIX_EXPECTED_STRING(key, text) {key, text},
        QUORIX_VERSION_STRINGS(QUORIX_EXPECTED_STRING)
#undef QUORIX_EXPECTED_STRING
    };
    std::vector<std::pair<std::string, std::string>> found;
    for (const restest::VersionNode& n : windows) {
        if (n.path.rfind(table, 0) == 0)
            found.emplace_back(n.path.substr(table.size()), Narrow(n.value));
        if (n.path == "VS_VERSION_INFO/VarFileInfo/Translation") {
            ASSERT_EQ(n.value.size(), 4u);
            char key[16];
            std::snprintf(key, sizeof key, "%02x%02x%02x%02x", n.value[1], n.value[0], n.value[3],
                          n.value[2]);
            EXPECT_STREQ(key, QUORIX_STRING_TABLE_KEY);
        }
    }
    ASSERT_EQ(found.size(), std::size(strings));
    for (size_t i = 0; i < found.size(); ++i)
        EXPECT_EQ(found[i], strings[i]) << "entry " << i;

    // windres lays the tree out as the generator does, to the byte.
    EXPECT_EQ(windowsBytes, embeddedBytes);
}

TEST(WindowsResources, DialogIsTheSameTemplateUpToTheLetterCaseOfClassNames) {
    const Blob embeddedBytes = EmbeddedBytes(kRtDialog, 102);
    const Blob windowsBytes = WindowsBytes(kRtDialog, 102);
    restest::DialogTemplate embedded, windows;
    std::string error;
    ASSERT_TRUE(restest::ParseDialogTemplate(embeddedBytes, embedded, error)) << error;
    ASSERT_TRUE(restest::ParseDialogTemplate(windowsBytes, windows, error)) << error;

    EXPECT_EQ(windows.style, embedded.style);
    EXPECT_EQ(windows.exStyle, embedded.exStyle);
    EXPECT_EQ(windows.x, embedded.x);
    EXPECT_EQ(windows.y, embedded.y);
    EXPECT_EQ(windows.cx, embedded.cx);
    EXPECT_EQ(windows.cy, embedded.cy);
    EXPECT_EQ(windows.menu, embedded.menu);
    EXPECT_EQ(windows.className, embedded.className);
    EXPECT_EQ(windows.caption, embedded.caption);
    EXPECT_EQ(windows.pointSize, embedded.pointSize);
    EXPECT_EQ(windows.face, embedded.face);
    ASSERT_EQ(windows.items.size(), embedded.items.size());
    ASSERT_EQ(embedded.items.size(), 14u);
    for (size_t i = 0; i < windows.items.size(); ++i) {
        restest::DialogItem w = windows.items[i], e = embedded.items[i];
        // windres writes a class given by name in capitals; window class
        // names are compared without regard to case, so both name the same
        // class.
        w.className = restest::AsciiLower(w.className);
        EXPECT_EQ(w, e) << "control " << e.id;
    }

    // That is the only difference: byte for byte, the two differ only in the
    // case of letters.
    ASSERT_EQ(windowsBytes.size(), embeddedBytes.size());
    size_t caseDifferences = 0;
    for (size_t i = 0; i < windowsBytes.size(); ++i) {
        if (windowsBytes[i] == embeddedBytes[i]) continue;
        EXPECT_EQ(std::tolower(windowsBytes[i]), std::tolower(embeddedBytes[i])) << "byte " << i;
        ++caseDifferences;
    }
    EXPECT_EQ(caseDifferences, 2 * std::strlen("msctls") + 2 * std::strlen("trackbar"));
}

TEST(WindowsResources, IconGroupAndImagesAreTheSame) {
    const Blob embeddedGroup = EmbeddedBytes(kRtGroupIcon, 128);
    const Blob windowsGroup = WindowsBytes(kRtGroupIcon, 128);
    ASSERT_EQ(embeddedGroup.size(), 6u + 2 * 14u);
    EXPECT_EQ(windowsGroup, embeddedGroup);

    // Each entry names its image by id: the images behind the ids are the same.
    auto word = [](const Blob& b, size_t at) {
        return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
    };
    ASSERT_EQ(windowsGroup.size(), embeddedGroup.size());
    const uint16_t count = word(embeddedGroup, 4);
    ASSERT_EQ(count, 2);
    for (uint16_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 14 * size_t{i};
        const uint16_t windowsId = word(windowsGroup, entry + 12);
        const uint16_t embeddedId = word(embeddedGroup, entry + 12);
        const Blob windowsImage = WindowsBytes(kRtIcon, windowsId);
        const Blob embeddedImage = EmbeddedBytes(kRtIcon, embeddedId);
        EXPECT_EQ(windowsImage.size(), embeddedImage.size()) << "image " << i;
        EXPECT_TRUE(windowsImage == embeddedImage) << "image " << i;
        // The group's size field is the image's size.
        const uint32_t size = word(windowsGroup, entry + 8) |
                              static_cast<uint32_t>(word(windowsGroup, entry + 10)) << 16;
        EXPECT_EQ(size, windowsImage.size()) << "image " << i;
    }
}

}  // namespace
