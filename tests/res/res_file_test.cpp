// The test readers themselves on hand-made bytes: a reader that accepted
// broken input would let the comparisons pass on nothing.
#include "tests/support/res_file.h"

#include <gtest/gtest.h>

#include "res/generators/resource_writer.h"

namespace {

using resgen::Bytes;
using restest::Blob;

// A RESOURCEHEADER with ordinals or (when the text is given) names.
Bytes Entry(uint16_t type, const char* typeName, uint16_t id, const char* name, const Bytes& data) {
    Bytes h;
    h.Dword(static_cast<uint32_t>(data.Size()));
    h.Dword(0);  // header size, patched below
    if (typeName != nullptr) {
        h.Text16(typeName);
    } else {
        h.Word(0xFFFF);
        h.Word(type);
    }
    if (name != nullptr) {
        h.Text16(name);
    } else {
        h.Word(0xFFFF);
        h.Word(id);
    }
    h.AlignTo(4);
    h.Dword(0);      // data version
    h.Word(0x1030);  // memory flags
    h.Word(0x0407);  // language
    h.Dword(0);      // version
    h.Dword(0);      // characteristics
    h.PatchWord(4, static_cast<uint32_t>(h.Size()));
    h.Append(data);
    h.AlignTo(4);
    return h;
}

Bytes Data(size_t n) {
    Bytes d;
    for (size_t i = 0; i < n; ++i)
        d.Byte(static_cast<uint32_t>(i + 1));
    return d;
}

TEST(ResFile, ReadsOrdinalsNamesAndDataAcrossThePadding) {
    Bytes file = Entry(0, nullptr, 0, nullptr, Bytes{});
    file.Append(Entry(10, nullptr, 7, "ODD", Data(5)));  // padded to 4 after the data
    file.Append(Entry(0, "MYTYPE", 3, nullptr, Data(8)));
    std::vector<restest::ResEntry> entries;
    std::string error;
    ASSERT_TRUE(restest::ParseResFile(file.data, entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].typeId, 10);
    EXPECT_EQ(entries[1].nameId, 0);
    EXPECT_EQ(entries[1].name, "ODD");
    EXPECT_EQ(entries[1].data, Data(5).data);
    EXPECT_EQ(entries[1].memoryFlags, 0x1030);
    EXPECT_EQ(entries[1].language, 0x0407);
    EXPECT_EQ(entries[2].typeName, "MYTYPE");
    EXPECT_EQ(entries[2].nameId, 3);
    EXPECT_EQ(entries[2].data, Data(8).data);
    // Named entries are not found by ordinal.
    EXPECT_EQ(restest::FindEntry(entries, 10, 7), nullptr);
    EXPECT_EQ(restest::FindEntry(entries, 0, 0), &entries[0]);
}

TEST(ResFile, RejectsEntriesThatRunPastTheEndOrHaveShortHeaders) {
    std::vector<restest::ResEntry> entries;
    std::string error;
    Bytes whole = Entry(5, nullptr, 102, nullptr, Data(12));

    Blob truncated(whole.data.begin(), whole.data.end() - 4);
    EXPECT_FALSE(restest::ParseResFile(truncated, entries, error));
    EXPECT_FALSE(error.empty());

    Bytes shortHeader = whole;
    shortHeader.PatchWord(4, 16);
    EXPECT_FALSE(restest::ParseResFile(shortHeader.data, entries, error));

    // A name without its terminating zero inside the header.
    Bytes unterminated = Entry(0, "ABCDEFGHIJKL", 1, nullptr, Bytes{});
    unterminated.PatchWord(4, 20);
    EXPECT_FALSE(restest::ParseResFile(unterminated.data, entries, error));

    Blob headerOnly(whole.data.begin(), whole.data.begin() + 6);
    EXPECT_FALSE(restest::ParseResFile(headerOnly, entries, error));
}

Bytes Dialog(uint16_t count, bool withItem) {
    Bytes t;
    t.Dword(0x80C00040);  // with DS_SETFONT
    t.Dword(0);
    t.Word(count);
    t.Word(1);
    t.Word(2);
    t.Word(30);
    t.Word(40);
    t.Word(0);
    t.Word(0);
    t.Text16("cap");
    t.Word(9);
    t.Text16("Face");
    if (withItem) {
        t.AlignTo(4);
        t.Dword(0x50000000);
        t.Dword(0);
        for (int i = 0; i < 4; ++i)
            t.Word(static_cast<uint32_t>(i));
        t.Word(1000);
        t.Word(0xFFFF);
        t.Word(0x0080);
        t.Text16("go");
        t.Word(0);
    }
    return t;
}

TEST(ResFile, DialogTemplateNeedsAllItsItemsAndNothingAfterThem) {
    restest::DialogTemplate dialog;
    std::string error;
    ASSERT_TRUE(restest::ParseDialogTemplate(Dialog(1, true).data, dialog, error)) << error;
    EXPECT_EQ(dialog.caption, "cap");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.face, "Face");
    ASSERT_EQ(dialog.items.size(), 1u);
    EXPECT_EQ(dialog.items[0].id, 1000);
    EXPECT_EQ(dialog.items[0].className, "#0080");
    EXPECT_EQ(dialog.items[0].text, "go");

    EXPECT_FALSE(restest::ParseDialogTemplate(Dialog(2, true).data, dialog, error));
    Bytes trailing = Dialog(0, true);
    EXPECT_FALSE(restest::ParseDialogTemplate(trailing.data, dialog, error));
}

TEST(ResFile, VersionTreeRejectsNodesLongerThanTheirParent) {
    Bytes child;
    child.Word(0);
    child.Word(2);
    child.Word(1);
    child.Text16("Key");
    child.AlignTo(4);
    child.Text16("v");
    child.PatchWord(0, static_cast<uint32_t>(child.Size()));
    Bytes root;
    root.Word(0);
    root.Word(0);
    root.Word(1);
    root.Text16("Root");
    root.AlignTo(4);
    root.Append(child);
    root.PatchWord(0, static_cast<uint32_t>(root.Size()));

    std::vector<restest::VersionNode> nodes;
    std::string error;
    ASSERT_TRUE(restest::ParseVersionTree(root.data, nodes, error)) << error;
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(nodes[1].path, "Root/Key");
    EXPECT_EQ(nodes[1].value, (Blob{'v', 0, 0, 0}));

    Bytes tooLong = root;
    tooLong.PatchWord(16, static_cast<uint32_t>(child.Size() + 4));  // the child's length
    EXPECT_FALSE(restest::ParseVersionTree(tooLong.data, nodes, error));
    Bytes valueTooLong = root;
    valueTooLong.PatchWord(18, 40);  // the child's value length
    EXPECT_FALSE(restest::ParseVersionTree(valueTooLong.data, nodes, error));
}

}  // namespace
