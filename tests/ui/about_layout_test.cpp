// The About box's texts, control placement and window position.
#include "ui/about_layout.h"

#include <gtest/gtest.h>

#include <cstring>

// RECT lives in the global namespace, so its comparison and printing must too.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline ::std::ostream& operator<<(::std::ostream& os, const RECT& r) {
    return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}
#define EXPECT_RECT(actual, l, t, r, b) EXPECT_EQ((actual), (RECT{l, t, r, b}))

namespace {

struct VersionTexts {
    DWORD fixed[kFixedVersionWords] = {};
    char texts[3][kVersionTextSize] = {};
    VersionTexts(const char* company, const char* internalName, const char* legal, DWORD ms,
                 DWORD ls, DWORD flags = 0) {
        std::strcpy(texts[0], company);
        std::strcpy(texts[1], internalName);
        std::strcpy(texts[2], legal);
        fixed[VersionFileMS] = ms;
        fixed[VersionFileLS] = ls;
        fixed[VersionFileFlags] = flags;
    }
};

TEST(AboutTexts, VersionLineParts) {
    EXPECT_EQ(BuildVersionLine("quorix", 0x00010002, 0x00030000, 0), "quorix version 1.2.3 ");
    EXPECT_EQ(BuildVersionLine("quorix", 0x00010002, 0x00030004, 0), "quorix version 1.2.3 d.v. 4");
    // Without a major number its point stays.
    EXPECT_EQ(BuildVersionLine("quorix", 0x00000002, 0x00030000, 0), "quorix version .2.3 ");
    // LS of at most 0xFFFF has no third number.
    EXPECT_EQ(BuildVersionLine("quorix", 0x00020057, 0x00000000, 0), "quorix version 2.87 ");
    EXPECT_EQ(BuildVersionLine("quorix", 0x00020057, 0x00000009, 0), "quorix version 2.87 d.v. 9");
    EXPECT_EQ(BuildVersionLine("quorix", 0x00020057, 0, VS_FF_PRERELEASE),
              "quorix version 2.87  beta ");
    // Numbers of more than 4 digits are cut with "~".
    EXPECT_EQ(BuildVersionLine("q", 0x3039FFFF, 0, 0), "q version ~345.~535 ");
}

TEST(AboutTexts, CompleteReadingGivesCaptionVersionAndCompanyLines) {
    const VersionTexts v("Ostrevane", "quorix", "2026", 0x00020057, 0);
    const AboutTexts t = BuildAboutTexts(15, v.fixed, v.texts);
    EXPECT_EQ(t.caption, "About quorix");
    EXPECT_EQ(t.version, "quorix version 2.87 ");
    EXPECT_EQ(t.company, "Ostrevane 2026");
}

TEST(AboutTexts, IncompleteReadingOrEmptyNamesLeaveLinesOut) {
    const VersionTexts v("Ostrevane", "quorix", "2026", 0x00020057, 0);
    for (int result : {0, 12, 14}) {
        const AboutTexts t = BuildAboutTexts(result, v.fixed, v.texts);
        EXPECT_TRUE(t.caption.empty() && t.version.empty() && t.company.empty()) << result;
    }
    const VersionTexts noInternal("Ostrevane", "", "2026", 0x00020057, 0);
    AboutTexts t = BuildAboutTexts(15, noInternal.fixed, noInternal.texts);
    EXPECT_TRUE(t.caption.empty());
    EXPECT_TRUE(t.version.empty());
    EXPECT_EQ(t.company, "Ostrevane 2026");
    const VersionTexts noCompany("", "quorix", "2026", 0x00020057, 0);
    t = BuildAboutTexts(15, noCompany.fixed, noCompany.texts);
    EXPECT_TRUE(t.company.empty());
    EXPECT_EQ(t.caption, "About quorix");
}

TEST(AboutTexts, ProgramsOwnResource) {
    DWORD fixed[kFixedVersionWords];
    char texts[3][kVersionTextSize];
    const int result = ReadVersionStrings(fixed, texts);
    ASSERT_EQ(result, 15);
    const AboutTexts t = BuildAboutTexts(result, fixed, texts);
    EXPECT_EQ(t.caption, "About quorix");
    EXPECT_EQ(t.version, "quorix version 2.87 ");
    EXPECT_EQ(t.company.rfind("Ostrevane ", 0), 0u);
    EXPECT_EQ(t.company.size(), 14u) << "company, blank, 4-character notice";
}

// Two lines, an icon and the painter's band, as the settings dialog shows it.
AboutMeasures TypicalMeasures() {
    AboutMeasures m;
    m.version = {120, 13};
    m.company = {100, 13};
    m.tag = {30, 13};
    m.hasVersion = m.hasCompany = true;
    m.zero = {7, 13};
    m.hasIcon = true;
    m.wantBand = true;
    m.band = {0, 0, 191, 18};
    return m;
}

TEST(AboutLayout, TwoLinesIconAndBand) {
    const AboutPlacement p = ComputeAboutLayout(TypicalMeasures());
    // lineHeight 19, half 19, centre 42; text from 52, 200 + 2 x 7 wide.
    EXPECT_RECT(p.icon, 10, 26, 42, 58);
    EXPECT_RECT(p.button, 271, 10, 355, 78);
    EXPECT_RECT(p.press, 275, 14, 339, 62);
    EXPECT_RECT(p.track, 275, 14, 343, 66);
    EXPECT_RECT(p.ok, 281, 20, 345, 68);
    EXPECT_RECT(p.version, 52, 22, 266, 41);
    EXPECT_RECT(p.company, 52, 42, 266, 61);
    EXPECT_TRUE(IsRectEmpty(&p.show));
    EXPECT_TRUE(p.hasBand);
    EXPECT_RECT(p.band, 10, 85, 201, 103);
    EXPECT_EQ(p.clientWidth, 358);
    EXPECT_EQ(p.clientHeight, 113);
}

TEST(AboutLayout, WideBandWidensTheClient) {
    AboutMeasures m = TypicalMeasures();
    m.band = {100, 0, 400, 18};
    const AboutPlacement p = ComputeAboutLayout(m);
    EXPECT_RECT(p.band, 110, 85, 410, 103);
    EXPECT_EQ(p.clientWidth, 430);
}

TEST(AboutLayout, EmptyBandFallsBackToMessageLines) {
    AboutMeasures m = TypicalMeasures();
    m.band = {};
    m.hasLines = true;
    m.linesWidth = 180;
    m.linesHeight = 13;
    const AboutPlacement p = ComputeAboutLayout(m);
    EXPECT_FALSE(p.hasBand);
    EXPECT_RECT(p.lines, 10, 85, 190, 98);
    EXPECT_EQ(p.clientHeight, 108);
}

TEST(AboutLayout, LongMessageLinesWidenTheText) {
    AboutMeasures m = TypicalMeasures();
    m.wantBand = false;
    m.hasLines = true;
    m.linesWidth = 400;  // 42 less beside an icon, then 99 less: 259
    m.linesHeight = 26;
    AboutPlacement p = ComputeAboutLayout(m);
    EXPECT_EQ(p.version.right - p.version.left, 259 + 14);
    EXPECT_EQ(p.button.left, 52 + 273 + 5);
    EXPECT_RECT(p.lines, 10, 85, 410, 111);
    EXPECT_EQ(p.clientWidth, 52 + 273 + 82 + 10);
    EXPECT_EQ(p.clientHeight, 85 + 26 + 10);
    // Without an icon the text starts at 10 and the full width counts.
    m.hasIcon = false;
    p = ComputeAboutLayout(m);
    EXPECT_TRUE(IsRectEmpty(&p.icon));
    EXPECT_EQ(p.version.left, 10);
    EXPECT_EQ(p.version.right - p.version.left, 301 + 14);
}

TEST(AboutLayout, ShowLineCarriesTheTagAndTallLinesMoveTheCentre) {
    AboutMeasures m;
    m.zero = {8, 30};  // lineHeight 45
    m.version = {150, 30};
    m.show = {250, 30};
    m.tag = {40, 30};
    m.company = {90, 30};
    m.hasVersion = m.hasShow = m.hasCompany = true;
    const AboutPlacement p = ComputeAboutLayout(m);
    // The show line counts with its tag (40 + 16): 306; half = 3 x 45 / 2 = 67.
    const int textWidth = 306 + 16;
    const int centreY = 67 + 2 + 10;
    EXPECT_RECT(p.version, 10, centreY - 1 - 67, 10 + textWidth, centreY - 1 - 67 + 45);
    EXPECT_RECT(p.show, 10, 57, 10 + textWidth - 56, 102);
    EXPECT_RECT(p.tag, 10 + textWidth - 56, 57, 10 + textWidth, 102);
    EXPECT_RECT(p.company, 10, 103, 10 + textWidth, 148);
    EXPECT_EQ(p.button.top, centreY - 32);
    // Lines end below the button: height follows them.
    EXPECT_EQ(p.clientHeight, 149 + 10);
}

TEST(AboutLayout, NoLinesKeepTheMinimumCentre) {
    AboutMeasures m;
    m.zero = {7, 13};
    const AboutPlacement p = ComputeAboutLayout(m);
    EXPECT_RECT(p.button, 10 + 214 + 5, 10, 10 + 214 + 5 + 84, 78);
    EXPECT_EQ(p.clientWidth, 10 + 214 + 82 + 10);
    EXPECT_EQ(p.clientHeight, 42 + 33 + 10);
}

TEST(AboutPlacementTest, CentresOnTheOwnerAndKeepsPositionLater) {
    const RECT wa{0, 0, 1024, 768};
    const RECT window{-3, -22, 297, 178};  // 300 x 200
    const RECT owner{100, 100, 400, 400};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &owner, false, wa), (RECT{100, 150, 400, 350}));
    EXPECT_EQ(PlaceAboutWindow(window, true, {7, 9}, &owner, false, wa), (RECT{7, 9, 307, 209}));
}

TEST(AboutPlacementTest, FallbackCentreForTheFlagAndFarOffOwners) {
    const RECT wa{0, 0, 1024, 768};
    const RECT window{0, 0, 300, 200};
    const RECT owner{100, 100, 400, 400};
    const RECT fallback{350, 100, 650, 300};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &owner, true, wa), fallback);
    const RECT minimised{-32000, -32000, -31840, -31970};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &minimised, false, wa), fallback);
    const RECT huge{0x40000000, 0, 0x40000100, 100};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &huge, false, wa), fallback);
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, nullptr, false, wa), fallback);
}

TEST(AboutPlacementTest, StaysInsideTheWorkArea) {
    const RECT wa{0, 30, 800, 600};
    const RECT window{0, 0, 300, 200};
    const RECT nearCorner{700, 550, 800, 600};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &nearCorner, false, wa),
              (RECT{500, 400, 800, 600}));
    const RECT topLeft{0, 0, 10, 10};
    EXPECT_EQ(PlaceAboutWindow(window, false, {}, &topLeft, false, wa), (RECT{0, 30, 300, 230}));
    // Larger than the work area: aligned to its left and top edges.
    const RECT big{0, 0, 1000, 700};
    EXPECT_EQ(PlaceAboutWindow(big, true, {-50, 500}, nullptr, false, wa),
              (RECT{0, 30, 1000, 730}));
}

}  // namespace
