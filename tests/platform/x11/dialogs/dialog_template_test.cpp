// Reading dialog templates: both layouts, names given as ordinals or texts,
// the font block, creation data, and templates that are cut short.
#include <gtest/gtest.h>

#include "platform/x11/dialog_template.h"
#include "tests/support/dialog_support.h"

namespace {

TEST(DialogTemplate, ReadsHeaderFontAndItemsOfTheSettingsLayout) {
    testd::TemplateBuilder t = testd::SettingsTemplate();
    DialogLayout layout;
    ASSERT_TRUE(ParseDialogTemplate(t.Get(), t.Size(), &layout));
    EXPECT_FALSE(layout.extended);
    EXPECT_EQ(layout.style, DWORD(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(layout.exStyle, 0x00040000u);
    EXPECT_EQ(layout.units.right, 145);
    EXPECT_EQ(layout.units.bottom, 168);
    EXPECT_EQ(layout.caption, "quorix");
    EXPECT_TRUE(layout.hasFont);
    EXPECT_EQ(layout.pointSize, 8);
    EXPECT_EQ(layout.face, "MS Sans Serif");
    EXPECT_TRUE(layout.className.empty());
    ASSERT_EQ(layout.items.size(), 14u);
    EXPECT_EQ(layout.items[0].className, "Button");
    EXPECT_EQ(layout.items[0].text, "OK");
    EXPECT_EQ(layout.items[0].id, DWORD(IDOK));
    EXPECT_EQ(layout.items[2].text, "&Random of:");
    EXPECT_NE(layout.items[2].style & WS_GROUP, 0u);
    EXPECT_EQ(layout.items[7].className, "Static");
    EXPECT_EQ(layout.items[9].className, TRACKBAR_CLASSA);
    EXPECT_EQ(layout.items[9].text, "");
    const RECT box = layout.items[10].units;  // "Size of balls": 5, 121, 135 x 42
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 121);
    EXPECT_EQ(box.right, 140);
    EXPECT_EQ(box.bottom, 163);
}

TEST(DialogTemplate, ReadsTheExtendedLayoutAndSkipsCreationData) {
    // DLGTEMPLATEEX with one item that carries four bytes of creation data,
    // and a text given as an ordinal (an icon id).
    std::vector<uint8_t> b;
    auto w = [&](uint16_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto d = [&](uint32_t v) {
        w(static_cast<uint16_t>(v));
        w(static_cast<uint16_t>(v >> 16));
    };
    w(1);
    w(0xFFFF);
    d(0);                      // help id
    d(0);                      // extended style
    d(WS_POPUP | DS_SETFONT);  // style
    w(2);                      // two items
    w(1), w(2), w(30), w(40);
    w(0), w(0), w('A'), w(0);  // no menu, dialog class, caption "A"
    w(9), w(FW_BOLD), b.push_back(1), b.push_back(0), w('X'), w(0);
    while (b.size() % 4)
        b.push_back(0);
    d(0), d(0), d(WS_CHILD | SS_ICON);
    w(3), w(4), w(20), w(20);
    d(1234);
    w(0xFFFF), w(0x82), w(0xFFFF), w(128);
    w(4), d(0xDEADBEEF);  // creation data: four bytes after the count
    while (b.size() % 4)
        b.push_back(0);
    d(0), d(0), d(WS_CHILD | BS_PUSHBUTTON);
    w(5), w(6), w(7), w(8);
    d(77);
    w('B'), w('u'), w('t'), w('t'), w('o'), w('n'), w(0), w('G'), w('o'), w(0), w(0);
    std::vector<uint32_t> aligned((b.size() + 3) / 4);
    std::memcpy(aligned.data(), b.data(), b.size());

    DialogLayout layout;
    ASSERT_TRUE(ParseDialogTemplate(aligned.data(), b.size(), &layout));
    EXPECT_TRUE(layout.extended);
    EXPECT_EQ(layout.caption, "A");
    EXPECT_EQ(layout.pointSize, 9);
    EXPECT_EQ(layout.weight, FW_BOLD);
    EXPECT_TRUE(layout.italic);
    EXPECT_EQ(layout.face, "X");
    ASSERT_EQ(layout.items.size(), 2u);
    EXPECT_EQ(layout.items[0].id, 1234u);
    EXPECT_EQ(layout.items[0].className, "Static");
    EXPECT_EQ(layout.items[0].textOrdinal, 128);
    EXPECT_EQ(layout.items[1].id, 77u);
    EXPECT_EQ(layout.items[1].className, "Button");
    EXPECT_EQ(layout.items[1].text, "Go");
}

TEST(DialogTemplate, RefusesTemplatesCutShortAndNull) {
    testd::TemplateBuilder t = testd::SettingsTemplate();
    DialogLayout layout;
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 100, &layout));
    // Every cut inside the template is noticed, never read past.
    for (size_t cut : {size_t(4), size_t(17), size_t(30), t.Size() / 2, t.Size() - 1})
        EXPECT_FALSE(ParseDialogTemplate(t.Get(), cut, &layout)) << cut;
    EXPECT_TRUE(ParseDialogTemplate(t.Get(), t.Size(), &layout));
}

TEST(DialogTemplate, DialogWithoutFontOrItems) {
    testd::TemplateBuilder t(WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 40, "");
    DialogLayout layout;
    ASSERT_TRUE(ParseDialogTemplate(t.Get(), t.Size(), &layout));
    EXPECT_FALSE(layout.hasFont);
    EXPECT_TRUE(layout.items.empty());
    EXPECT_EQ(layout.caption, "");
}

}  // namespace
