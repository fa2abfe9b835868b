// The configuration dialog's template, read back from the embedded bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/res_file.h"

namespace {

restest::DialogTemplate ReadTemplate() {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(102), RT_DIALOG);
    EXPECT_NE(info, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    const size_t size = SizeofResource(nullptr, info);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(data) % 4, 0u);
    restest::DialogTemplate t;
    if (data == nullptr) return t;
    std::string error;
    EXPECT_TRUE(restest::ParseDialogTemplate(restest::Blob(data, data + size), t, error)) << error;
    return t;
}

TEST(DialogResource, FrameCaptionAndFont) {
    restest::DialogTemplate t = ReadTemplate();
    EXPECT_EQ(t.menu, "");       // no menu
    EXPECT_EQ(t.className, "");  // the standard dialog class
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU |
                                          DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(t.exStyle, 0x00040000u);  // application window
    EXPECT_EQ(t.cx, 145);
    EXPECT_EQ(t.cy, 168);
    EXPECT_EQ(t.caption, "quorix");
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.face, "MS Sans Serif");
}

TEST(DialogResource, ControlsWithTheirTextsStylesAndPlaces) {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    // Classes by atom read as "#0080"; no control has creation data.
    const restest::DialogItem expected[] = {
        {child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 90, 5, 50, 14, 1, "#0080", "OK"},
        {child | BS_PUSHBUTTON | WS_TABSTOP, 0, 90, 23, 50, 14, 2, "#0080", "Cancel"},
        {child | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, 10, 8, 50, 10, 1001, "#0080",
         "&Random of:"},
        {child | BS_AUTORADIOBUTTON, 0, 10, 23, 50, 10, 1002, "#0080", "&Normal"},
        {child | BS_AUTORADIOBUTTON, 0, 10, 38, 50, 10, 1003, "#0080", "&Green"},
        {child | BS_AUTORADIOBUTTON, 0, 10, 53, 50, 10, 1004, "#0080", "&Squash"},
        {child | BS_GROUPBOX | WS_GROUP, 0, 5, 72, 135, 42, 1008, "#0080", "No of balls"},
        {child | SS_LEFT | WS_GROUP, 0, 11, 80, 18, 8, 1006, "#0082", "many"},
        {child | SS_LEFT | WS_GROUP, 0, 116, 80, 17, 8, 1007, "#0082", "more"},
        {child | TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP, 0, 11, 90, 119, 15, 1000,
         "msctls_trackbar32", ""},
        {child | BS_GROUPBOX | WS_GROUP, 0, 5, 121, 135, 42, 1005, "#0080", "Size of balls"},
        {child | SS_LEFT | WS_GROUP, 0, 11, 129, 17, 8, 1009, "#0082", "good"},
        {child | SS_LEFT | WS_GROUP, 0, 116, 129, 14, 8, 1010, "#0082", "best"},
        {child | TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP, 0, 11, 139, 119, 15, 1011,
         "msctls_trackbar32", ""},
    };
    const restest::DialogTemplate t = ReadTemplate();
    ASSERT_EQ(t.items.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < t.items.size(); ++i) {
        restest::DialogItem a = t.items[i];
        const restest::DialogItem& e = expected[i];
        SCOPED_TRACE(e.text + " " + std::to_string(e.id));
        a.className = restest::AsciiLower(a.className);
        EXPECT_EQ(a, e);
    }
}

TEST(DialogResource, EveryControlFitsTheDialog) {
    const restest::DialogTemplate t = ReadTemplate();
    for (const restest::DialogItem& item : t.items) {
        EXPECT_GE(item.x, 0);
        EXPECT_GE(item.y, 0);
        EXPECT_LE(item.x + item.cx, t.cx) << item.id;
        EXPECT_LE(item.y + item.cy, t.cy) << item.id;
    }
}

}  // namespace
