#include "ui/about_layout.h"

#include <algorithm>

#include "ui/text_format.h"

namespace {

constexpr int32_t kNumberFlags = 4;  // decimal, at most 4 characters, no padding

RECT MakeRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    return RECT{left, top, left + width, top + height};
}

}  // namespace

std::string BuildVersionLine(const char* internalName, DWORD fileMS, DWORD fileLS,
                             DWORD fileFlags) {
    // 60 characters of name, 9 of " version ", five numbers of at most 4
    // characters with their separators and " beta ": well inside the buffer.
    char line[256];
    char* p = CopyText(internalName, line, kVersionTextMax);
    p = CopyText(" version ", p, 0);
    if (fileMS >= 0x10000) p = FormatNumber(p, int32_t(fileMS >> 16), kNumberFlags);
    p = CopyText(".", p, 0);
    p = FormatNumber(p, int32_t(fileMS & 0xFFFF), kNumberFlags);
    if (fileLS > 0xFFFF) {
        p = CopyText(".", p, 0);
        p = FormatNumber(p, int32_t(fileLS >> 16), kNumberFlags);
    }
    if ((fileLS & 0xFFFF) != 0) {
        p = CopyText(" d.v. ", p, 0);
        p = FormatNumber(p, int32_t(fileLS & 0xFFFF), kNumberFlags);
    } else {
        p = CopyText(" ", p, 0);
    }
    if (fileFlags & VS_FF_PRERELEASE) p = CopyText(" beta ", p, 0);
    return std::string(line, size_t(p - line));
}

AboutTexts BuildAboutTexts(int readResult, const DWORD fixed[kFixedVersionWords],
                           const char (*texts)[kVersionTextSize]) {
    AboutTexts out;
    // Only a complete reading (fixed information and all three strings) counts.
    if (readResult <= 14) return out;
    const char* company = texts[0];
    const char* internalName = texts[1];
    const char* legal = texts[2];
    if (company[0] != '\0') out.company = std::string(company) + " " + legal;
    if (internalName[0] != '\0') {
        out.caption = std::string("About ") + internalName;
        out.version = BuildVersionLine(internalName, fixed[VersionFileMS], fixed[VersionFileLS],
                                       fixed[VersionFileFlags]);
    }
    return out;
}

AboutPlacement ComputeAboutLayout(const AboutMeasures& m) {
    AboutPlacement out;
    const int32_t d = m.zero.cx;
    const int32_t lineHeight = m.zero.cy + (m.zero.cy >> 1);
    const int32_t tagWidth = m.tag.cx + 2 * d;
    const int32_t showWidth = m.show.cx + tagWidth;

    int32_t n = 0;
    int32_t textWidth = 200;
    if (m.hasCompany) ++n, textWidth = std::max(textWidth, int32_t(m.company.cx));
    if (m.hasVersion) ++n, textWidth = std::max(textWidth, int32_t(m.version.cx));
    if (m.hasShow) ++n, textWidth = std::max(textWidth, showWidth);

    const int32_t half = (n * lineHeight) >> 1;
    const int32_t centreY = std::max(half + 2, 32) + 10;
    int32_t textLeft = 10;
    int32_t linesWidth = m.linesWidth;
    if (m.hasIcon) {
        out.icon = MakeRect(10, centreY - 16, 32, 32);
        textLeft = 52;
        linesWidth -= 42;
    }
    textWidth = std::max(textWidth, linesWidth - 99);
    textWidth += 2 * d;

    // The picture button beside the texts; a press counts on the resting
    // button's face, a held press inside the face's pressed position.
    out.button = MakeRect(textLeft + textWidth + 5, centreY - 32, 84, 68);
    out.press = MakeRect(out.button.left, out.button.top, 72, 56);
    InflateRect(&out.press, -4, -4);
    out.track = out.press;
    out.track.right += 4;
    out.track.bottom += 4;
    out.ok = out.button;
    InflateRect(&out.ok, -10, -10);

    int32_t width = textLeft + textWidth + 82;
    int32_t height = centreY + 33;
    int32_t y = centreY - 1 - half;
    if (m.hasVersion) {
        out.version = MakeRect(textLeft, y, textWidth, lineHeight);
        y += lineHeight + 1;
    }
    if (m.hasShow) {
        out.show = MakeRect(textLeft, y, textWidth - tagWidth, lineHeight);
        out.tag = MakeRect(textLeft + textWidth - tagWidth, y, tagWidth, lineHeight);
        y += lineHeight + 1;
    }
    if (m.hasCompany) {
        out.company = MakeRect(textLeft, y, textWidth, lineHeight);
        y += lineHeight + 1;
    }
    width += 10;
    height = std::max(height, y) + 10;

    if (m.wantBand && !IsRectEmpty(&m.band)) {
        out.hasBand = true;
        out.band = m.band;
        OffsetRect(&out.band, 10, height);
        height = out.band.bottom + 10;
        width = std::max(width, int32_t(out.band.right + 20));
    } else if (m.hasLines) {
        out.lines = MakeRect(10, height, m.linesWidth, m.linesHeight);
        height += m.linesHeight + 10;
    }
    out.clientWidth = width;
    out.clientHeight = height;
    return out;
}

RECT PlaceAboutWindow(const RECT& windowRect, bool keepPosition, POINT keepTopLeft,
                      const RECT* owner, bool fallback, const RECT& workArea) {
    RECT r = windowRect;
    const int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (keepPosition) {
        r = MakeRect(keepTopLeft.x, keepTopLeft.y, w, h);
    } else {
        int32_t cx = 500, cy = 200;
        if (owner != nullptr && !fallback) {
            // A minimised or negative owner puts its centre far out: bit 0x40000000
            // is set in such a coordinate (two's complement for negative ones).
            const int32_t ox = int32_t((int64_t(owner->left) + owner->right) / 2);
            const int32_t oy = int32_t((int64_t(owner->top) + owner->bottom) / 2);
            if (((uint32_t(ox) | uint32_t(oy)) & 0x40000000u) == 0) cx = ox, cy = oy;
        }
        r = MakeRect(cx - w / 2, cy - h / 2, w, h);
    }
    for (int pass = 0; pass < 2; ++pass) {
        if (r.right > workArea.right) OffsetRect(&r, workArea.right - r.right, 0);
        if (r.left < workArea.left) OffsetRect(&r, workArea.left - r.left, 0);
        if (r.bottom > workArea.bottom) OffsetRect(&r, 0, workArea.bottom - r.bottom);
        if (r.top < workArea.top) OffsetRect(&r, 0, workArea.top - r.top);
    }
    return r;
}
