// FindResourceA and friends over the table of embedded resources.
#include <gtest/gtest.h>

#include "platform/posix/resources_table.h"
#include "platform/win32.h"

namespace {

const unsigned char kDialogBytes[] = {1, 2, 3, 4, 5};
const unsigned char kOtherBytes[] = {9, 9};

TEST(Resources, FindsByIdAndTypeAndGivesTheBytes) {
    EmbeddedResource dialog(5, 4102, kDialogBytes, sizeof kDialogBytes);
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    HGLOBAL loaded = LoadResource(nullptr, found);
    EXPECT_EQ(LockResource(loaded), static_cast<const void*>(kDialogBytes));
    EXPECT_EQ(SizeofResource(nullptr, found), sizeof kDialogBytes);
    // The same id under another type, and another id, are not found.
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_ICON), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(4103), RT_DIALOG), nullptr);
}

TEST(Resources, NumberTextsNameIntegerResources) {
    EmbeddedResource dialog(5, 4102, kDialogBytes, sizeof kDialogBytes);
    EXPECT_EQ(FindResourceA(nullptr, "#4102", RT_DIALOG),
              FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_DIALOG));
    EXPECT_NE(FindResourceA(nullptr, "#4102", "#5"), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "#41x2", RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "#", RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "#99999999", RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "DIALOG", RT_DIALOG), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, nullptr, RT_DIALOG), nullptr);
}

TEST(Resources, LaterEntryShadowsUntilDestroyed) {
    EmbeddedResource first(5, 4102, kDialogBytes, sizeof kDialogBytes);
    {
        EmbeddedResource second(5, 4102, kOtherBytes, sizeof kOtherBytes);
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_DIALOG);
        EXPECT_EQ(SizeofResource(nullptr, found), sizeof kOtherBytes);
    }
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_DIALOG);
    EXPECT_EQ(SizeofResource(nullptr, found), sizeof kDialogBytes);
}

TEST(Resources, EarlierEntryCanGoFirst) {
    auto* first = new EmbeddedResource(5, 4102, kDialogBytes, sizeof kDialogBytes);
    EmbeddedResource second(5, 4102, kOtherBytes, sizeof kOtherBytes);
    delete first;  // unlinking from the middle keeps the newer entry
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(4102), RT_DIALOG);
    EXPECT_EQ(SizeofResource(nullptr, found), sizeof kOtherBytes);
}

TEST(Resources, NullHandlesAreHarmless) {
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

}  // namespace
