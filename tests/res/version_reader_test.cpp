// The version reader on hand-made blocks that shadow the program's resource in
// the POSIX layer's resource table (program_version_test.cpp reads the real one).
#include "res/version_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/resources_table.h"
#include "res/generators/resource_writer.h"

namespace {

using resgen::Bytes;

struct Entry {
    std::string key;
    std::string value;
    int type = 1;
    int valueLength = -1;  // -1: the text's length with its zero
};

Bytes Node(const std::string& key, const Bytes& value, uint32_t valueLength, uint32_t type,
           const std::vector<Bytes>& children) {
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

Bytes Fixed(uint32_t fileMS, uint32_t fileLS, bool signature = true) {
    Bytes fixed;
    fixed.Dword(signature ? 0xFEEF04BD : 0x12345678);
    fixed.Dword(0x00010000);
    fixed.Dword(fileMS);
    fixed.Dword(fileLS);
    for (int i = 0; i < 9; ++i)
        fixed.Dword(0x100 + i);
    return fixed;
}

// The root with its StringFileInfo around the table and the VarFileInfo after it.
Bytes Root(const Bytes& fixed, const Bytes& table) {
    Bytes sfi = Node("StringFileInfo", Bytes{}, 0, 1, {table});
    Bytes translation;
    translation.Dword(0x04B00409);
    Bytes var = Node("Translation", translation, 4, 0, {});
    Bytes vfi = Node("VarFileInfo", Bytes{}, 0, 1, {var});
    return Node("VS_VERSION_INFO", fixed, 52, 0, {sfi, vfi});
}

Bytes VersionBlock(const std::vector<Entry>& entries, const Bytes& fixed) {
    std::vector<Bytes> strings;
    for (const Entry& e : entries) {
        Bytes value;
        value.Text16(e.value);
        uint32_t v = e.valueLength < 0 ? static_cast<uint32_t>(e.value.size() + 1)
                                       : static_cast<uint32_t>(e.valueLength);
        strings.push_back(Node(e.key, value, v, static_cast<uint32_t>(e.type), {}));
    }
    Bytes table = Node("040904b0", Bytes{}, 0, 1, strings);
    return Root(fixed, table);
}

std::vector<Entry> Standard() {
    return {{"CompanyName", "Acme"}, {"InternalName", "thing"}, {"LegalCopyright", "(c)1"}};
}

// Puts a block in place of the program's version resource while it lives. The
// bytes sit in a buffer of exactly their size, so the address sanitizer sees
// any read past the end.
class ShadowVersion {
  public:
    explicit ShadowVersion(const Bytes& bytes)
        : m_words(std::make_unique<uint32_t[]>((bytes.Size() + 3) / 4)) {
        std::memcpy(m_words.get(), bytes.data.data(), bytes.Size());
        m_entry = std::make_unique<EmbeddedResource>(16, 1, m_words.get(),
                                                     static_cast<DWORD>((bytes.Size() + 3) & ~3u));
    }

  private:
    std::unique_ptr<uint32_t[]> m_words;
    std::unique_ptr<EmbeddedResource> m_entry;
};

struct Result {
    int code;
    DWORD fixed[kFixedVersionWords];
    char texts[3][kVersionTextSize];
};

Result Read() {
    Result r;
    std::memset(&r, 0, sizeof r);
    std::strcpy(r.texts[0], "unset");
    std::strcpy(r.texts[1], "unset");
    std::strcpy(r.texts[2], "unset");
    r.code = ReadVersionStrings(r.fixed, r.texts);
    return r;
}

TEST(VersionReader, HandMadeBlockReadsFixedWordsAndStrings) {
    ShadowVersion shadow(VersionBlock(Standard(), Fixed(0x00010002, 0x00030004)));
    Result r = Read();
    EXPECT_EQ(r.code, 15);
    EXPECT_EQ(r.fixed[VersionFileMS], 0x00010002u);
    EXPECT_EQ(r.fixed[VersionFileLS], 0x00030004u);
    EXPECT_EQ(r.fixed[VersionFileDateLS], 0x108u);
    EXPECT_STREQ(r.texts[0], "Acme");
    EXPECT_STREQ(r.texts[1], "thing");
    EXPECT_STREQ(r.texts[2], "(c)1");
}

TEST(VersionReader, StringsMustComeInTheirOrder) {
    ShadowVersion shadow(VersionBlock(
        {{"InternalName", "thing"}, {"CompanyName", "Acme"}, {"LegalCopyright", "(c)1"}},
        Fixed(1, 0)));
    Result r = Read();
    EXPECT_EQ(r.code, 12);
    EXPECT_STREQ(r.texts[0], "Acme");
    std::string company = "x", internal = "y";
    EXPECT_EQ(GetRegistryNames(company, internal), 0);
    EXPECT_EQ(company, "");
    EXPECT_EQ(internal, "");
}

TEST(VersionReader, LongerKeyFirstStopsTheSearch) {
    std::vector<Entry> entries = Standard();
    entries.insert(entries.begin(), Entry{"CompanyNameExtra", "Other"});
    ShadowVersion shadow(VersionBlock(entries, Fixed(1, 0)));
    EXPECT_EQ(Read().code, 12);
}

TEST(VersionReader, ValuesAreCutToSixtyCharacters) {
    std::vector<Entry> entries = Standard();
    std::string longName(80, 'n');
    for (int i = 0; i < 80; ++i)
        longName[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);
    entries[0].value = longName;
    // As in a real resource, more strings follow; the search after a long
    // value needs the room (its budget counts the value twice).
    entries.push_back({"ProductName", std::string(40, 'p')});
    entries.push_back({"ProductVersion", std::string(40, 'v')});
    ShadowVersion shadow(VersionBlock(entries, Fixed(1, 0)));
    Result r = Read();
    EXPECT_EQ(r.code, 15);
    EXPECT_EQ(std::string(r.texts[0]), longName.substr(0, 60));
    EXPECT_STREQ(r.texts[1], "thing");
}

TEST(VersionReader, UnitsAreNarrowedToTheirLowByte) {
    Bytes value;
    value.Word(0x0141);  // 'A' with a high byte
    value.Word(0x0042);
    value.Word(0);
    Bytes company = Node("CompanyName", value, 3, 1, {});
    std::vector<Bytes> strings = {company};
    for (const Entry& e : {Entry{"InternalName", "i"}, Entry{"LegalCopyright", "l"}}) {
        Bytes v;
        v.Text16(e.value);
        strings.push_back(Node(e.key, v, 2, 1, {}));
    }
    ShadowVersion shadow(Root(Fixed(1, 0), Node("040904b0", Bytes{}, 0, 1, strings)));
    Result r = Read();
    EXPECT_EQ(r.code, 15);
    EXPECT_STREQ(r.texts[0], "AB");
}

TEST(VersionReader, WithoutSignatureNothingIsRead) {
    ShadowVersion shadow(VersionBlock(Standard(), Fixed(1, 0, false)));
    DWORD fixed[kFixedVersionWords] = {};
    EXPECT_EQ(ReadFixedVersionInfo(fixed), 0);
    EXPECT_EQ(Read().code, 0);
    std::string company = "x", internal = "y";
    EXPECT_EQ(GetRegistryNames(company, internal), 0);
    EXPECT_TRUE(company.empty() && internal.empty());
}

TEST(VersionReader, SignatureTooCloseToTheEndFails) {
    Bytes block;
    block.Dword(0);
    block.Dword(0xFEEF04BD);
    for (int i = 0; i < 11; ++i)
        block.Dword(i);  // only 11 words after it
    {
        ShadowVersion shadow(block);
        DWORD fixed[kFixedVersionWords] = {};
        EXPECT_EQ(ReadFixedVersionInfo(fixed), 0);
    }
    block.Dword(11);  // exactly 12 words: the fixed part reads, no strings
    ShadowVersion shadow(block);
    Result r = Read();
    EXPECT_EQ(r.code, 12);
    EXPECT_EQ(r.fixed[0], 0u);
    EXPECT_EQ(r.fixed[11], 11u);
}

TEST(VersionReader, EmptyResourceFails) {
    static const uint32_t kNothing[1] = {0};
    EmbeddedResource empty(16, 1, kNothing, 3);  // no whole word
    DWORD fixed[kFixedVersionWords] = {};
    EXPECT_EQ(ReadFixedVersionInfo(fixed), 0);
    EXPECT_EQ(Read().code, 0);
}

TEST(VersionReader, NonTextOrEmptyValueCountsAsMissing) {
    {
        std::vector<Entry> entries = Standard();
        entries[1].type = 0;
        ShadowVersion shadow(VersionBlock(entries, Fixed(1, 0)));
        EXPECT_EQ(Read().code, 12);
    }
    {
        std::vector<Entry> entries = Standard();
        entries[2].valueLength = 0;
        ShadowVersion shadow(VersionBlock(entries, Fixed(1, 0)));
        EXPECT_EQ(Read().code, 12);
    }
}

TEST(VersionReader, FindVersionKeyReportsItsOutcomes) {
    ShadowVersion shadow(VersionBlock(Standard(), Fixed(1, 0)));
    DWORD fixed[kFixedVersionWords];
    ASSERT_EQ(ReadFixedVersionInfo(fixed), 12);
    const BYTE* start = static_cast<const BYTE*>(LockResource(
        LoadResource(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION))));
    // After the root header (6 bytes), its key (32), the signature and 12 words.
    const BYTE* c = start + 40 + 4 + 48;
    const BYTE* k = c;
    EXPECT_EQ(FindVersionKey(u"StringFileInfo", &k), 15);
    EXPECT_EQ(k, c + 6);  // at the key, after the node's header
    const BYTE* p = k;
    EXPECT_EQ(FindVersionKey(u"String", &p), 0);  // only the start of a longer text
    EXPECT_EQ(p, k);
}

TEST(VersionReader, BudgetRunsOutInASmallResource) {
    Bytes block;
    block.Dword(0xFEEF04BD);
    for (int i = 0; i < 12; ++i)
        block.Dword(0);
    for (int i = 0; i < 10; ++i)
        block.Dword(0);  // 10 words = 20 units: no budget
    ShadowVersion shadow(block);
    DWORD fixed[kFixedVersionWords];
    char texts[3][kVersionTextSize];
    EXPECT_EQ(ReadVersionStrings(fixed, texts), 12);
    ASSERT_EQ(ReadFixedVersionInfo(fixed), 12);
    const BYTE* start = static_cast<const BYTE*>(LockResource(
        LoadResource(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION))));
    const BYTE* c = start + 52;
    EXPECT_EQ(FindVersionKey(u"StringFileInfo", &c), -1);
}

// Entries whose lengths point outside the resource must not make the reader
// look outside it (the address sanitizer checks the reads).
TEST(VersionReader, BrokenLengthsStayInsideTheResource) {
    for (uint32_t total : {0u, 2u, 8u, 30u, 0xFFFEu}) {
        for (uint32_t valueLength : {0u, 1u, 5u, 200u, 0xFFFFu}) {
            Bytes value;
            value.Text16("Acme");
            Bytes company = Node("CompanyName", value, valueLength, 1, {});
            company.PatchWord(0, total);
            Bytes table = Node("040904b0", Bytes{}, 0, 1, {company});
            Bytes sfi = Node("StringFileInfo", Bytes{}, 0, 1, {table});
            Bytes block = Node("VS_VERSION_INFO", Fixed(1, 0), 52, 0, {sfi});
            // Padding so the key lies inside the search budget.
            for (int i = 0; i < 12; ++i)
                block.Word(0);
            ShadowVersion shadow(block);
            Result r = Read();
            EXPECT_LE(r.code, 12) << total << " " << valueLength;
            EXPECT_LE(std::strlen(r.texts[0]), 60u);
        }
    }
}

}  // namespace
