// The registry-export text format: parsing, writing and the key rules.
#include "platform/posix/registry_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using regfile::Hive;
using regfile::Key;
using regfile::Value;

const char kSample[] =
    "REGEDIT4\r\n"
    "\r\n"
    "; a comment\n"
    "[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings]\n"
    "\"Style\"=dword:00000002\n"
    "\"Name\"=\"say \\\"hi\\\" \\\\ there\"\n"
    "\"Data\"=hex:2a,00,\\\n"
    "  00,00\n"
    "@=\"default\"\n"
    "\"Multi\"=hex(7):61,00,00\n";

std::vector<BYTE> Bytes(std::initializer_list<int> list) {
    std::vector<BYTE> out;
    for (int b : list)
        out.push_back(static_cast<BYTE>(b));
    return out;
}

TEST(RegistryFile, ParsesEveryValueForm) {
    Hive hive;
    ASSERT_TRUE(regfile::Parse(kSample, hive));
    ASSERT_EQ(hive.keys.size(), 1u);
    const Key& key = hive.keys[0];
    EXPECT_EQ(key.path, "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings");
    const Value* style = regfile::FindValue(key, "STYLE");
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->type, 4u);
    EXPECT_EQ(style->data, Bytes({2, 0, 0, 0}));
    const Value* name = regfile::FindValue(key, "Name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->type, 1u);
    EXPECT_EQ(std::string(name->data.begin(), name->data.end()),
              std::string("say \"hi\" \\ there") + '\0');
    const Value* data = regfile::FindValue(key, "Data");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->type, 3u);
    EXPECT_EQ(data->data, Bytes({0x2a, 0, 0, 0}));
    const Value* def = regfile::FindValue(key, "");
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->type, 1u);
    const Value* multi = regfile::FindValue(key, "Multi");
    ASSERT_NE(multi, nullptr);
    EXPECT_EQ(multi->type, 7u);
}

TEST(RegistryFile, WritesWhatItReads) {
    Hive hive;
    ASSERT_TRUE(regfile::Parse(kSample, hive));
    Key& key = hive.keys[0];
    std::vector<BYTE> big(200);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i);
    regfile::SetValue(key, "Big", 3, big.data(), big.size());
    const BYTE odd[] = {'a', 0, 'b', 0};  // a text with an inner zero
    regfile::SetValue(key, "Odd", 1, odd, sizeof odd);
    const BYTE shortDword[] = {1, 2};
    regfile::SetValue(key, "Short", 4, shortDword, sizeof shortDword);
    regfile::SetValue(key, "Empty", 3, nullptr, 0);

    std::string text = regfile::Serialize(hive);
    EXPECT_EQ(text.compare(0, 9, "REGEDIT4\n"), 0);
    EXPECT_NE(text.find("\"Style\"=dword:00000002\n"), std::string::npos);
    EXPECT_NE(text.find("\"Odd\"=hex(1):61,00,62,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"Short\"=hex(4):01,02\n"), std::string::npos);
    EXPECT_NE(text.find("\"Empty\"=hex:\n"), std::string::npos);
    // Long hex data is wrapped as the registry editor does.
    size_t start = 0, longest = 0;
    for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        longest = std::max(longest, nl - start);
        start = nl + 1;
    }
    EXPECT_LE(longest, 80u);

    Hive again;
    ASSERT_TRUE(regfile::Parse(text, again));
    ASSERT_EQ(again.keys.size(), 1u);
    const Key& k2 = again.keys[0];
    ASSERT_EQ(k2.values.size(), key.values.size());
    for (size_t i = 0; i < key.values.size(); ++i) {
        EXPECT_EQ(k2.values[i].name, key.values[i].name);
        EXPECT_EQ(k2.values[i].type, key.values[i].type);
        EXPECT_EQ(k2.values[i].data, key.values[i].data) << key.values[i].name;
    }
    EXPECT_EQ(regfile::Serialize(again), text);
}

TEST(RegistryFile, BlankTextIsAnEmptyHive) {
    Hive hive;
    EXPECT_TRUE(regfile::Parse("", hive));
    EXPECT_TRUE(regfile::Parse("\n\n  \r\n", hive));
    EXPECT_TRUE(hive.keys.empty());
    EXPECT_TRUE(regfile::Parse("REGEDIT4\n", hive));
    EXPECT_TRUE(regfile::Parse("\xEF\xBB\xBFREGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n", hive));
    EXPECT_EQ(hive.keys.size(), 1u);
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
        "REGEDIT4\n[-HKEY_CURRENT_USER\\A]\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"\n",
        "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=\"a\"junk\n",
    };
    for (const char* text : damaged) {
        Hive hive;
        EXPECT_FALSE(regfile::Parse(text, hive)) << text;
    }
    // A file cut short at a place where its last line still parses is caught
    // by the missing line end.
    Hive cut;
    EXPECT_FALSE(regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Style\"=dword:000", cut));
    EXPECT_TRUE(regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"Style\"=dword:000\n", cut));
    std::string garbage = "REGEDIT4\n";
    garbage += std::string("\0\x01\xff\xfe", 4);
    Hive hive;
    EXPECT_FALSE(regfile::Parse(garbage, hive));
}

TEST(RegistryFile, KeysAreFoundWithoutCaseAndThroughTheirChildren) {
    Hive hive;
    ASSERT_TRUE(
        regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix]\n", hive));
    EXPECT_TRUE(regfile::KeyExists(hive, "hkey_current_user\\software\\OSTREVANE\\quorix"));
    EXPECT_TRUE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software"));  // a parent
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Soft"));
    EXPECT_FALSE(regfile::KeyExists(hive, "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\X"));
    EXPECT_EQ(regfile::FindKey(hive, "HKEY_CURRENT_USER\\Software"), nullptr);
}

TEST(RegistryFile, EnsureKeyMakesEveryPieceInItsBranch) {
    Hive hive;
    ASSERT_TRUE(
        regfile::Parse("REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n[HKEY_CURRENT_USER\\Software\\A]\n"
                       "[HKEY_CURRENT_USER\\Zeta]\n",
                       hive));
    bool created = false;
    regfile::EnsureKey(hive, "HKEY_CURRENT_USER\\Software\\B\\C", &created);
    EXPECT_TRUE(created);
    ASSERT_EQ(hive.keys.size(), 5u);
    EXPECT_EQ(hive.keys[2].path, "HKEY_CURRENT_USER\\Software\\B");
    EXPECT_EQ(hive.keys[3].path, "HKEY_CURRENT_USER\\Software\\B\\C");
    EXPECT_EQ(hive.keys[4].path, "HKEY_CURRENT_USER\\Zeta");
    regfile::EnsureKey(hive, "HKEY_CURRENT_USER\\software\\b\\c", &created);
    EXPECT_FALSE(created);
    EXPECT_EQ(hive.keys.size(), 5u);
}

TEST(RegistryFile, StorableNames) {
    EXPECT_TRUE(regfile::IsStorableName("Style"));
    EXPECT_TRUE(regfile::IsStorableName("with \"quotes\" and \\"));
    EXPECT_FALSE(regfile::IsStorableName("two\nlines"));
    EXPECT_FALSE(regfile::IsStorableName(std::string("nul\0", 4)));
}

}  // namespace
