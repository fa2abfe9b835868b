// The About box's arithmetic: its texts built from the version resource, the
// placement of its controls from the measured texts, and the window's position
// over its owner inside the work area. Pure functions; CAboutDlg applies them.
#pragma once

#include <cstdint>
#include <string>

#include "res/version_reader.h"
#include "platform/win32.h"

// The lines of the box, from ReadVersionStrings' result, the fixed
// information and the texts "CompanyName", "InternalName", "LegalCopyright".
struct AboutTexts {
    std::string caption;  // "About " + internal name, empty without one
    std::string company;  // company name + " " + legal notice
    std::string version;  // internal name + " version " + the version numbers
};
AboutTexts BuildAboutTexts(int readResult, const DWORD fixed[kFixedVersionWords],
                           const char (*texts)[kVersionTextSize]);

// internal name + " version " + MS >> 16 (when MS >= 0x10000) + "." + MS & 0xFFFF,
// ".", LS >> 16 when LS > 0xFFFF, then " d.v. " + LS & 0xFFFF or " ", and " beta "
// for a pre-release. Each number is cut to 4 characters ("~" marks a cut).
std::string BuildVersionLine(const char* internalName, DWORD fileMS, DWORD fileLS, DWORD fileFlags);

// What the layout measures.
struct AboutMeasures {
    SIZE company{}, version{}, show{}, tag{};                      // extents of the four strings
    bool hasCompany = false, hasVersion = false, hasShow = false;  // non-empty lines
    SIZE zero{};                                                   // extent of "0"
    bool hasIcon = false;
    bool hasLines = false;
    int32_t linesWidth = 0, linesHeight = 0;  // widest message line, sum of heights
    bool wantBand = false;                    // a painter band is to be measured
    RECT band{};                              // the painter's answer to an empty rect
};

// Where everything goes, in client coordinates.
struct AboutPlacement {
    RECT icon{};
    RECT button{}, press{}, track{}, ok{};
    RECT version{}, show{}, tag{}, company{};  // empty for absent lines
    RECT lines{};                              // the message lines, empty without them
    bool hasBand = false;
    RECT band{};  // the painter's band, when hasBand
    int32_t clientWidth = 0, clientHeight = 0;
};
AboutPlacement ComputeAboutLayout(const AboutMeasures& m);

// The window rectangle (window size from CalcWindowRect) placed: at
// keepTopLeft when keepPosition, else centred on the owner's rectangle (or on
// (500, 200) when fallback is set, there is no owner, or the owner's centre is
// far off-screen); then pushed inside the work area, twice.
RECT PlaceAboutWindow(const RECT& windowRect, bool keepPosition, POINT keepTopLeft,
                      const RECT* owner, bool fallback, const RECT& workArea);
