// The configuration dialog's corrections of stored settings.
#include <gtest/gtest.h>

#include <climits>

#include "ui/settings_dlg.h"

namespace {

struct Settings {
    int32_t style, number, size;
    bool operator==(const Settings&) const = default;
};
::std::ostream& operator<<(::std::ostream& os, const Settings& s) {
    return os << "{" << s.style << ", " << s.number << ", " << s.size << "}";
}

Settings Clamped(Settings s) {
    ClampDialogSettings(&s.style, &s.number, &s.size);
    return s;
}

TEST(SettingsClamps, NothingStoredShowsTheDefaults) {
    EXPECT_EQ(Clamped({0, 0, 0}), (Settings{0, 52, 38}));
}

TEST(SettingsClamps, OutOfRangeValuesAreCorrected) {
    EXPECT_EQ(Clamped({7, 10, 99}), (Settings{0, 52, 60}));
    EXPECT_EQ(Clamped({-1, -1, -1}), (Settings{0, 52, 30}));
    EXPECT_EQ(Clamped({4, 101, 29}), (Settings{0, 52, 30}));
    EXPECT_EQ(Clamped({INT_MIN, INT_MAX, INT_MAX}), (Settings{0, 52, 60}));
    EXPECT_EQ(Clamped({INT_MAX, INT_MIN, INT_MIN}), (Settings{0, 52, 30}));
}

TEST(SettingsClamps, ValuesInRangeAreKeptAtBothEnds) {
    EXPECT_EQ(Clamped({3, 20, 30}), (Settings{3, 20, 30}));
    EXPECT_EQ(Clamped({1, 100, 60}), (Settings{1, 100, 60}));
    EXPECT_EQ(Clamped({2, 19, 61}), (Settings{2, 52, 60}));
    // A size below the range is raised to it, never reset to the default.
    EXPECT_EQ(Clamped({2, 64, 1}), (Settings{2, 64, 30}));
}

}  // namespace
