// The version reader on the program's own version resource, as the resource
// compiler of the build made it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/version_reader.h"

namespace {

TEST(VersionReader, ProgramResourceHasItsNamesAndVersion) {
    DWORD fixed[kFixedVersionWords] = {};
    char texts[3][kVersionTextSize] = {"unset", "unset", "unset"};
    EXPECT_EQ(ReadVersionStrings(fixed, texts), 15);
    EXPECT_STREQ(texts[0], "Ostrevane");
    EXPECT_STREQ(texts[1], "quorix");
    EXPECT_EQ(std::strlen(texts[2]), 4u);
    EXPECT_EQ(fixed[VersionStructVersion], 0x00010000u);
    EXPECT_EQ(fixed[VersionFileMS], 0x00020057u);
    EXPECT_EQ(fixed[VersionFileLS], 0u);
    EXPECT_EQ(fixed[VersionFileFlags] & VS_FF_PRERELEASE, 0u);

    std::string company = "x", internal = "y";
    EXPECT_EQ(GetRegistryNames(company, internal), 1);
    EXPECT_EQ(company, "Ostrevane");
    EXPECT_EQ(internal, "quorix");
}

}  // namespace
