// The registry-export text format: parsing, writing back what was read, the
// keys and values the lines leave, and changes that touch only their lines.
#include "platform/posix/registry_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using regfile::Hive;
using regfile::Value;

const char kSettings[] = "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings";

const char kSample[] =
    "REGEDIT4\n"
    "\n"
    "; a comment\n"
    "[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
    "\"Style\"=dword:00000002\n"
    "\"Name\"=\"say \\\"hi\\\" \\\\ there\"\n"
    "\"Data\"=hex:2a,00,\\\n"
    "  00,00\n"
    "@=\"default\"\n"
    "\"Multi\"=hex(7):61,00,00\n";

// A registry editor's export of version 5, before its encoding: CR LF, a
// comment, indenting, a deleted value and key, a QWORD and hex data that goes
// on over lines.
const char kExport[] =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
    "\"Size\"=hex(b):00,01,00,00,00,00,00,00\r\n"
    "\"Gone\"=-\r\n"
    "  \"Path\"=hex(2):25,00,41,00,\\\r\n"
    "    00,00\r\n"
    "\r\n"
    "; settings of quorix\r\n"
    "[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\r\n"
    "\"Style\"=dword:00000002\r\n"
    "\"NumOfBalls\"=dword:00000028\r\n"
    "\r\n"
    "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
    "\r\n";

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> out;
    for (int b : list)
        out.push_back(static_cast<BYTE>(b));
    return out;
}

// UTF-16LE with a byte-order mark, from ASCII text.
std::string Utf16(const std::string& text) {
    std::string out = "\xFF\xFE";
    for (char c : text) {
        out.push_back(c);
        out.push_back('\0');
    }
    return out;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

const Value* Find(const Hive& hive, const std::string& path, const std::string& name) {
    return regfile::FindValue(hive, path, name);
}

void SetDword(Hive& hive, const std::string& path, const std::string& name, DWORD v) {
    const BYTE data[4] = {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
    regfile::SetValue(hive, path, name, 4, data, 4);
}

TEST(RegistryFile, ParsesEveryValueForm) {
    Hive hive;
    ASSERT_TRUE(regfile::Parse(kSample, hive));
    const Value* style = Find(hive, kSettings, "STYLE");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->type, 4u);
    EXPECT_EQ(style->data, Bytes({2, 0, 0, 0}));
    const Value* name = Find(hive, kSettings, "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->type, 1u);
    EXPECT_EQ(std::string(name->data.begin(), name->data.end()),
              std::string("say \"hi\" \\ there") + '\0');
    const Value* data = Find(hive, kSettings, "Data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->type, 3u);
    EXPECT_EQ(data->data, Bytes({0x2a, 0, 0, 0}));
    const Value* def = Find(hive, kSettings, "");
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->type, 1u);
    const Value* multi = Find(hive, kSettings, "Multi");
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->type, 7u);
    EXPECT_EQ(regfile::Serialize(hive), kSample);
}

TEST(RegistryFile, ReadsAVersion5ExportAndWritesBackOnlyItsChange) {
    const std::string file = Utf16(kExport);
    Hive hive;
    ASSERT_TRUE(regfile::Parse(file, hive));
    EXPECT_EQ(regfile::Serialize(hive), file);  // untouched, byte for byte

    const std::string other = "HKEY_CURRENT_USER\\Software\\Other";
    const Value* size = Find(hive, other, "Size");
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->type, 11u);
    EXPECT_EQ(size->data, Bytes({0, 1, 0, 0, 0, 0, 0, 0}));
    const Value* path = Find(hive, other, "Path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->data, Bytes({0x25, 0, 0x41, 0, 0, 0}));
    EXPECT_EQ(Find(hive, other, "Gone"), nullptr);
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software\\Old"));
    const Value* balls = Find(hive, kSettings, "NumOfBalls");
    ASSERT_NE(balls, nullptr);
    EXPECT_EQ(balls->data, Bytes({0x28, 0, 0, 0}));

    // quorix's change replaces its own line; a new value goes after the key's
    // last one. Everything else stays, in UTF-16 with CR LF.
    SetDword(hive, kSettings, "style", 3);
    SetDword(hive, kSettings, "SizOfBalls", 40);
    std::string expected = Replace(kExport, "\"Style\"=dword:00000002", "\"Style\"=dword:00000003");
    expected = Replace(expected, "\"NumOfBalls\"=dword:00000028\r\n",
                       "\"NumOfBalls\"=dword:00000028\r\n\"SizOfBalls\"=dword:00000028\r\n");
    EXPECT_EQ(regfile::Serialize(hive), Utf16(expected));
}

TEST(RegistryFile, NewKeysGoAfterTheirParentsBranchAndOutlastDeletions) {
    Hive hive;
    ASSERT_TRUE(regfile::Parse(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\A]\n"
        "\"x\"=dword:00000001\n\n[HKEY_CURRENT_USER\\Zeta]\n\n",
        hive));
    bool created = false;
    SetDword(hive, "HKEY_CURRENT_USER\\Software\\B\\C", "v", 7);
    EXPECT_EQ(regfile::Serialize(hive),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\A]\n"
              "\"x\"=dword:00000001\n\n[HKEY_CURRENT_USER\\Software\\B]\n\n"
              "[HKEY_CURRENT_USER\\Software\\B\\C]\n\"v\"=dword:00000007\n\n"
              "[HKEY_CURRENT_USER\\Zeta]\n\n");
    regfile::EnsureKey(hive, "HKEY_CURRENT_USER\\software\\b\\c", &created);
    EXPECT_FALSE(created);

    // A key deleted further down is made anew at the end, and a value deleted
    // in its key is set in the deletion's place.
    ASSERT_TRUE(
        regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:00000001\n"
                       "[-HKEY_CURRENT_USER\\A]\n[HKEY_CURRENT_USER\\B]\n\"w\"=-\n",
                       hive));
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\A"));
    EXPECT_EQ(Find(hive, "HKEY_CURRENT_USER\\A", "v"), nullptr);
    regfile::EnsureKey(hive, "HKEY_CURRENT_USER\\A", &created);
    EXPECT_TRUE(created);
    EXPECT_EQ(Find(hive, "HKEY_CURRENT_USER\\A", "v"), nullptr);  // the old value stays gone
    SetDword(hive, "HKEY_CURRENT_USER\\A", "v", 2);
    SetDword(hive, "HKEY_CURRENT_USER\\B", "W", 3);
    EXPECT_EQ(regfile::Serialize(hive),
              "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=dword:00000001\n[-HKEY_CURRENT_USER\\A]\n"
              "[HKEY_CURRENT_USER\\B]\n\"W\"=dword:00000003\n\n[HKEY_CURRENT_USER\\A]\n"
              "\"v\"=dword:00000002\n\n");
    ASSERT_NE(Find(hive, "HKEY_CURRENT_USER\\A", "V"), nullptr);
    EXPECT_EQ(Find(hive, "HKEY_CURRENT_USER\\A", "V")->data, Bytes({2, 0, 0, 0}));
}

TEST(RegistryFile, WritesNewValuesInTheEditorsForms) {
    Hive hive;
    std::vector<BYTE> big(200);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i);
    regfile::SetValue(hive, kSettings, "Big", 3, big.data(), big.size());
    const BYTE odd[] = {'a', 0, 'b', 0};  // a text with an inner zero
    regfile::SetValue(hive, kSettings, "Odd", 1, odd, sizeof odd);
    const BYTE shortDword[] = {1, 2};
    regfile::SetValue(hive, kSettings, "Short", 4, shortDword, sizeof shortDword);
    regfile::SetValue(hive, kSettings, "Empty", 3, nullptr, 0);
    const BYTE text[] = "a \"b\" \\";
    regfile::SetValue(hive, kSettings, "", 1, text, sizeof text);

    const std::string file = regfile::Serialize(hive);
    EXPECT_EQ(file.compare(0, 9, "REGEDIT4\n"), 0);
    EXPECT_NE(
        file.find("\n\n[HKEY_CURRENT_USER\\Software]\n\n[HKEY_CURRENT_USER\\Software\\Ostrevane]"),
        std::string::npos);
    EXPECT_NE(file.find("\"Odd\"=hex(1):61,00,62,00\n"), std::string::npos);
    EXPECT_NE(file.find("\"Short\"=hex(4):01,02\n"), std::string::npos);
    EXPECT_NE(file.find("\"Empty\"=hex:\n"), std::string::npos);
    EXPECT_NE(file.find("@=\"a \\\"b\\\" \\\\\"\n"), std::string::npos);
    // Long hex data is wrapped as the registry editor does.
    size_t start = 0, longest = 0;
    for (size_t nl = file.find('\n'); nl != std::string::npos; nl = file.find('\n', start)) {
        longest = std::max(longest, nl - start);
        start = nl + 1;
    }
    EXPECT_LE(longest, 80u);

    Hive again;
    ASSERT_TRUE(regfile::Parse(file, again));
    for (const char* name : {"Big", "Odd", "Short", "Empty", ""}) {
        const Value* a = Find(hive, kSettings, name);
        const Value* b = Find(again, kSettings, name);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->type, a->type);
        EXPECT_EQ(b->data, a->data) << name;
    }
    EXPECT_EQ(regfile::Serialize(again), file);
}

TEST(RegistryFile, KeepsTheEncodingItRead) {
    Hive hive;
    // UTF-8 with a byte-order mark stays so; a file without a last line end
    // (as Notepad saves it) is read and written with one.
    ASSERT_TRUE(regfile::Parse(
        "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"\xC3\xA9\"", hive));
    ASSERT_NE(Find(hive, "HKEY_CURRENT_USER\\A", "v"), nullptr);
    EXPECT_EQ(regfile::Serialize(hive),
              "\xEF\xBB\xBFREGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"\xC3\xA9\"\r\n");

    // UTF-16: characters beyond 16 bits and a lone surrogate come back as the
    // same units, big-endian files stay big-endian.
    const std::string units(
        "\xFF\xFE"
        "R\0E\0G\0E\0D\0I\0T\0"
        "4\0\n\0[\0H\0]\0\n\0\"\0v\0\"\0=\0\"\0"
        "\x3D\xD8\x00\xDE"
        "\x00\xD8"
        "\xE9\x00"
        "\"\0\n\0",
        50);
    ASSERT_TRUE(regfile::Parse(units, hive));
    const Value* v = Find(hive, "H", "v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()),
              std::string("\xF0\x9F\x98\x80\xED\xA0\x80\xC3\xA9", 10));
    EXPECT_EQ(regfile::Serialize(hive), units);
    std::string big = units;
    for (size_t i = 0; i < big.size(); i += 2)
        std::swap(big[i], big[i + 1]);
    ASSERT_TRUE(regfile::Parse(big, hive));
    EXPECT_EQ(regfile::Serialize(hive), big);
    EXPECT_FALSE(regfile::Parse(units.substr(0, units.size() - 1), hive));  // cut in a unit
}

TEST(RegistryFile, BlankTextIsAnEmptyHive) {
    Hive hive;
    EXPECT_TRUE(regfile::Parse("", hive));
    EXPECT_TRUE(regfile::Parse("\n\n  \r\n", hive));
    EXPECT_TRUE(hive.lines.empty());
    EXPECT_TRUE(regfile::Parse("REGEDIT4\n", hive));
    EXPECT_TRUE(regfile::Parse("\r\n  Windows Registry Editor Version 5.00  \r\n", hive));
    EXPECT_TRUE(hive.lines.empty());
}

// Found by fuzzing: a line ending in a carriage return, written back in a
// file of LF line ends, read as a CR LF file the next time.
TEST(RegistryFile, LinesReadTheSameAfterEveryWriting) {
    for (const char* text : {"\r", "REGEDIT4\r\r\n[HKEY_CURRENT_USER\\A]\r\n",
                             "REGEDIT4\n[HKEY_CURRENT_USER\\A]\r\r\n; x\r"}) {
        Hive once, twice;
        ASSERT_TRUE(regfile::Parse(text, once)) << text;
        const std::string written = regfile::Serialize(once);
        ASSERT_TRUE(regfile::Parse(written, twice));
        EXPECT_EQ(regfile::Serialize(twice), written);
    }
}

TEST(RegistryFile, RejectsWhatIsNotARegistryFile) {
    const char* damaged[] = {
        "REGEDIT",                                          // truncated header
        "hello\n",                                          // no header
        "REGEDIT4\n\"Style\"=dword:1\n",                    // value before any key
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Style\"=dwo",  // cut in the type
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Style\"=dword:123456789\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Style\"=dword:12g4\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Name\"=\"unterminated\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Name\"=\"bad \\q escape\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Data\"=hex:2a,0\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Data\"=hex:2a,\\\n",  // ends inside the value
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Data\"=hex(zz):00\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\\\A]\n",
        "REGEDIT4\n[-]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\"junk\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=-1\n",
    };
    for (const char* text : damaged) {
        Hive hive;
        EXPECT_FALSE(regfile::Parse(text, hive)) << text;
    }
    std::string garbage = "REGEDIT4\n";
    garbage += std::string("\0\x01\xff\xfe", 4);
    Hive hive;
    EXPECT_FALSE(regfile::Parse(garbage, hive));
    EXPECT_FALSE(regfile::Parse(Utf16("REGEDIT4\n[A]\n") + std::string("\0\0", 2), hive));
}

TEST(RegistryFile, KeysAreFoundWithoutCaseAndThroughTheirChildren) {
    Hive hive;
    ASSERT_TRUE(
        regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix]\n", hive));
    EXPECT_TRUE(regfile::KeyExists(hive, "hkey_current_user\\software\\OSTREVANE\\quorix"));
    EXPECT_TRUE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software"));  // a parent
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Soft"));
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\X"));
    // Deleting a parent takes the key with it.
    ASSERT_TRUE(
        regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\A]\n\"v\"=dword:1\n"
                       "[-HKEY_CURRENT_USER\\SOFTWARE]\n",
                       hive));
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software\\A"));
    EXPECT_EQ(Find(hive, "HKEY_CURRENT_USER\\Software\\A", "v"), nullptr);
}

TEST(RegistryFile, StorableNames) {
    EXPECT_TRUE(regfile::IsStorableName("Style"));
    EXPECT_TRUE(regfile::IsStorableName("with \"quotes\" and \\"));
    EXPECT_FALSE(regfile::IsStorableName("two\nlines"));
    EXPECT_FALSE(regfile::IsStorableName(std::string("nul\0", 4)));
}

}  // namespace
