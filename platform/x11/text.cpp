// Fonts, text measurement and text drawing with Xft, the device-context
// state that text uses (selected font, colours, background mode), and the
// '&' prefixes of labels.
#include "platform/x11/text.h"

#include <X11/Xft/Xft.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <tuple>
#include <unordered_map>

#include "platform/x11/display.h"
#include "platform/x11/drawing.h"

namespace {

constexpr int kDefaultPixelSize = 11;  // 8 pt at 96 dots per inch

std::mutex& FontLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

// Fonts are made once per face, size and style and live as long as the process.
std::map<std::tuple<std::string, int, int, bool>, HFONT>& FontCache() {
    static auto* cache = new std::map<std::tuple<std::string, int, int, bool>, HFONT>;
    return *cache;
}

std::set<HFONT>& LiveFonts() {
    static auto* fonts = new std::set<HFONT>;
    return *fonts;
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Windows face names to the faces the set-up installs.
std::string FamilyFor(const std::string& face) {
    const std::string name = Lower(face);
    static const char* const kSans[] = {
        "",       "ms sans serif", "ms shell dlg", "ms shell dlg 2", "microsoft sans serif",
        "tahoma", "arial",         "helv",         "system",         "segoe ui",
        "verdana"};
    for (const char* sans : kSans)
        if (name == sans) return "DejaVu Sans";
    if (name == "courier" || name == "courier new" || name == "fixedsys" || name == "terminal")
        return "DejaVu Sans Mono";
    if (name == "times new roman" || name == "ms serif" || name == "tms rmn") return "DejaVu Serif";
    return face;
}

// Windows-1252 text into UTF-8 for Xft.
std::string ToUtf8(const char* text, int length) {
    static const uint16_t k80[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    out.reserve(static_cast<size_t>(length));
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t code = c;
        if (c >= 0x80 && c < 0xA0) code = k80[c - 0x80];
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

int MeasureWidth(HFONT font, const char* text, int length) {
    if (length <= 0) return 0;
    Display* display = X11Display();
    if (font->xft == nullptr || display == nullptr) return length * font->aveCharWidth;
    const std::string utf8 = ToUtf8(text, length);
    XGlyphInfo info = {};
    XftTextExtentsUtf8(display, font->xft, reinterpret_cast<const FcChar8*>(utf8.data()),
                       static_cast<int>(utf8.size()), &info);
    return info.xOff;
}

HFONT MakeFont(const LOGFONTA& logFont) {
    int pixelSize = kDefaultPixelSize;
    if (logFont.lfHeight < 0) pixelSize = -logFont.lfHeight;
    // A positive height is the cell height; DejaVu's cell is 1.164 em.
    if (logFont.lfHeight > 0) pixelSize = std::max(1, (logFont.lfHeight * 1000 + 582) / 1164);
    pixelSize = std::min(pixelSize, 512);
    const std::string family = FamilyFor(logFont.lfFaceName);
    const int weight = logFont.lfWeight >= 600 ? FW_BOLD : FW_NORMAL;
    const bool italic = logFont.lfItalic != 0;
    std::lock_guard<std::mutex> guard(FontLock());
    auto key = std::make_tuple(family, pixelSize, weight, italic);
    auto found = FontCache().find(key);
    if (found != FontCache().end()) return found->second;

    auto* font = new HFONT__;
    font->logFont = logFont;
    font->logFont.lfHeight = -pixelSize;
    font->logFont.lfWeight = weight;
    font->pixelSize = pixelSize;
    Display* display = X11Display();
    if (display != nullptr) {
        // On colour-map visuals (8 bits per pixel) blended glyphs come out as
        // solid boxes: there the glyphs are drawn as plain bitmaps without
        // the render extension.
        const int cls = DefaultVisual(display, DefaultScreen(display))->c_class;
        const Bool trueColour = cls == TrueColor || cls == DirectColor ? True : False;
        font->xft = XftFontOpen(
            display, DefaultScreen(display), XFT_FAMILY, XftTypeString, family.c_str(),
            XFT_PIXEL_SIZE, XftTypeDouble, static_cast<double>(pixelSize), XFT_WEIGHT,
            XftTypeInteger, weight == FW_BOLD ? XFT_WEIGHT_BOLD : XFT_WEIGHT_MEDIUM, XFT_SLANT,
            XftTypeInteger, italic ? XFT_SLANT_ITALIC : XFT_SLANT_ROMAN, XFT_ANTIALIAS, XftTypeBool,
            trueColour, XFT_RENDER, XftTypeBool, trueColour, nullptr);
    }
    if (font->xft != nullptr) {
        font->ascent = font->xft->ascent;
        font->descent = font->xft->descent;
    } else {
        font->ascent = (pixelSize * 93 + 50) / 100;
        font->descent = (pixelSize * 24 + 50) / 100;
        font->aveCharWidth = std::max(1, (pixelSize * 55 + 50) / 100);
    }
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (font->xft != nullptr) font->aveCharWidth = (MeasureWidth(font, kLetters, 52) / 26 + 1) / 2;
    FontCache().emplace(key, font);
    LiveFonts().insert(font);
    X11RegisterGdiObject(font, GdiKind::Font);
    return font;
}

// Device-context state used by text.
struct DcState {
    HFONT font = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
};

std::mutex& DcLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

std::unordered_map<HDC, DcState>& DcStates() {
    static auto* states = new std::unordered_map<HDC, DcState>;
    return *states;
}

DcState StateOf(HDC hdc) {
    std::lock_guard<std::mutex> guard(DcLock());
    auto found = DcStates().find(hdc);
    return found == DcStates().end() ? DcState{} : found->second;
}

XftDraw* DrawFor(Window xid) {
    static XftDraw* draw = nullptr;
    Display* display = X11Display();
    if (display == nullptr) return nullptr;
    if (draw == nullptr) {
        const int screen = DefaultScreen(display);
        draw = XftDrawCreate(display, xid, DefaultVisual(display, screen),
                             DefaultColormap(display, screen));
    } else {
        XftDrawChange(draw, xid);
    }
    return draw;
}

const XftColor* ColorFor(COLORREF color) {
    static auto* colors = new std::unordered_map<COLORREF, XftColor>;
    auto found = colors->find(color);
    if (found != colors->end()) return &found->second;
    Display* display = X11Display();
    const int screen = DefaultScreen(display);
    XRenderColor render = {static_cast<unsigned short>(GetRValue(color) * 257),
                           static_cast<unsigned short>(GetGValue(color) * 257),
                           static_cast<unsigned short>(GetBValue(color) * 257), 0xFFFF};
    XftColor xft = {};
    if (!XftColorAllocValue(display, DefaultVisual(display, screen),
                            DefaultColormap(display, screen), &render, &xft)) {
        xft.pixel = X11Pixel(color);
        xft.color = render;
    }
    return &colors->emplace(color, xft).first->second;
}

// Lines of a label: explicit breaks, then breaks at blanks to fit `width`.
std::vector<std::string> SplitLines(HFONT font, const std::string& text, bool wrap, int width) {
    std::vector<std::string> lines;
    std::string current;
    auto flush = [&](std::string line) {
        if (!wrap || MeasureWidth(font, line.data(), static_cast<int>(line.size())) <= width) {
            lines.push_back(line);
            return;
        }
        std::string out;
        size_t pos = 0;
        while (pos < line.size()) {
            size_t next = line.find(' ', pos);
            if (next == std::string::npos) next = line.size();
            std::string word = line.substr(pos, next - pos);
            std::string candidate = out.empty() ? word : out + " " + word;
            if (!out.empty() &&
                MeasureWidth(font, candidate.data(), static_cast<int>(candidate.size())) > width) {
                lines.push_back(out);
                out = word;
            } else {
                out = candidate;
            }
            pos = next + 1;
        }
        lines.push_back(out);
    };
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            flush(current);
            current.clear();
        } else {
            current += c;
        }
    }
    flush(current);
    return lines;
}

}  // namespace

void X11ForgetDcState(HDC hdc) {
    std::lock_guard<std::mutex> guard(DcLock());
    DcStates().erase(hdc);
}

bool X11IsLiveFont(HFONT font) {
    std::lock_guard<std::mutex> guard(FontLock());
    return LiveFonts().count(font) != 0;
}

HFONT X11DialogFont(const std::string& face, int pointSize, int weight, bool italic) {
    LOGFONTA logFont = {};
    // Points at 96 dots per inch, rounded as MulDiv does.
    logFont.lfHeight = pointSize > 0 ? -((pointSize * 96 + 36) / 72) : -kDefaultPixelSize;
    logFont.lfWeight = weight;
    logFont.lfItalic = italic ? 1 : 0;
    const size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
    face.copy(logFont.lfFaceName, n);
    return MakeFont(logFont);
}

HFONT X11DefaultFont() {
    return X11DialogFont("MS Sans Serif", 8, FW_NORMAL, false);
}

HFONT X11FontOrDefault(HFONT font) {
    return font != nullptr && X11IsLiveFont(font) ? font : X11DefaultFont();
}

SIZE X11TextExtent(HFONT font, const char* text, int length) {
    font = X11FontOrDefault(font);
    return SIZE{MeasureWidth(font, text, length), font->ascent + font->descent};
}

int X11FontHeight(HFONT font) {
    font = X11FontOrDefault(font);
    return font->ascent + font->descent;
}

void X11DrawText(Window xid, HFONT font, int x, int y, const char* text, int length,
                 COLORREF color) {
    font = X11FontOrDefault(font);
    Display* display = X11Display();
    if (display == nullptr || xid == 0 || length <= 0 || font->xft == nullptr) return;
    XftDraw* draw = DrawFor(xid);
    if (draw == nullptr) return;
    const std::string utf8 = ToUtf8(text, length);
    XftDrawStringUtf8(draw, ColorFor(color), font->xft, x, y + font->ascent,
                      reinterpret_cast<const FcChar8*>(utf8.data()), static_cast<int>(utf8.size()));
}

std::string X11StripPrefix(const std::string& text, int* underline) {
    std::string out;
    int mark = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && mark < 0) mark = static_cast<int>(out.size());
        }
        out += text[i];
    }
    if (underline != nullptr) *underline = mark;
    return out;
}

void X11DrawLabel(Window xid, HFONT font, const RECT& rect, const std::string& text, int align,
                  bool vCentre, bool wrap, bool noPrefix, bool disabled, COLORREF color) {
    font = X11FontOrDefault(font);
    int underline = -1;
    const std::string shown = noPrefix ? text : X11StripPrefix(text, &underline);
    const int width = rect.right - rect.left;
    const std::vector<std::string> lines = SplitLines(font, shown, wrap, width);
    const int lineHeight = font->ascent + font->descent;
    int y = rect.top;
    if (vCentre && lines.size() == 1) y = rect.top + (rect.bottom - rect.top - lineHeight) / 2;
    int offset = 0;  // index of the line's first character in `shown`
    for (const std::string& line : lines) {
        const int length = static_cast<int>(line.size());
        const int lineWidth = MeasureWidth(font, line.data(), length);
        int x = rect.left;
        if (align == 1) x = rect.left + (width - lineWidth) / 2;
        if (align == 2) x = rect.right - lineWidth;
        auto paint = [&](int dx, COLORREF ink) {
            X11DrawText(xid, font, x + dx, y + dx, line.data(), length, ink);
            if (underline >= offset && underline < offset + length) {
                const int ux = x + dx + MeasureWidth(font, line.data(), underline - offset);
                const int uw = MeasureWidth(font, line.data() + (underline - offset), 1);
                X11Line(xid, ux, y + dx + font->ascent + 1, ux + uw - 1, y + dx + font->ascent + 1,
                        ink);
            }
        };
        if (disabled) {
            paint(1, GetSysColor(COLOR_BTNHIGHLIGHT));
            paint(0, GetSysColor(COLOR_GRAYTEXT));
        } else {
            paint(0, color);
        }
        offset += length;
        // A wrapped line dropped one blank; an explicit break one newline.
        if (offset < static_cast<int>(shown.size()) &&
            (shown[static_cast<size_t>(offset)] == ' ' ||
             shown[static_cast<size_t>(offset)] == '\n' ||
             shown[static_cast<size_t>(offset)] == '\r'))
            ++offset;
        if (offset < static_cast<int>(shown.size()) &&
            shown[static_cast<size_t>(offset - 1)] == '\r' &&
            shown[static_cast<size_t>(offset)] == '\n')
            ++offset;
        y += lineHeight;
    }
}

// ---------------------------------------------------------------------------
// The GDI text calls.

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    if (lplf == nullptr) return nullptr;
    LOGFONTA copy = *lplf;
    copy.lfFaceName[LF_FACESIZE - 1] = '\0';
    return MakeFont(copy);
}

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i == DEFAULT_GUI_FONT || i == SYSTEM_FONT)
        return reinterpret_cast<HGDIOBJ>(X11DefaultFont());
    return nullptr;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    if (hdc == nullptr || h == nullptr) return nullptr;
    if (X11GdiKind(h) != GdiKind::Font) return nullptr;  // window DCs select fonts only
    std::lock_guard<std::mutex> guard(DcLock());
    DcState& state = DcStates()[hdc];
    HFONT previous = state.font != nullptr ? state.font : X11DefaultFont();
    state.font = reinterpret_cast<HFONT>(h);
    return reinterpret_cast<HGDIOBJ>(previous);
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl) {
    if (hdc == nullptr || psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
    *psizl = X11TextExtent(StateOf(hdc).font, lpString, c);
    return TRUE;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
    if (hdc == nullptr || lptm == nullptr) return FALSE;
    HFONT font = X11FontOrDefault(StateOf(hdc).font);
    *lptm = TEXTMETRICA{};
    lptm->tmAscent = font->ascent;
    lptm->tmDescent = font->descent;
    lptm->tmHeight = font->ascent + font->descent;
    lptm->tmInternalLeading = lptm->tmHeight - font->pixelSize;
    lptm->tmAveCharWidth = font->aveCharWidth;
    lptm->tmMaxCharWidth = font->pixelSize;
    lptm->tmWeight = font->logFont.lfWeight;
    lptm->tmItalic = font->logFont.lfItalic;
    lptm->tmDigitizedAspectX = 96;
    lptm->tmDigitizedAspectY = 96;
    lptm->tmFirstChar = 0x20;
    lptm->tmLastChar = 0xFF;
    lptm->tmDefaultChar = '?';
    lptm->tmBreakChar = ' ';
    return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    if (hdc == nullptr || c < 0 || (lpString == nullptr && c > 0)) return FALSE;
    const Window xid = X11DrawableOf(hdc);
    if (xid == 0) return FALSE;
    const DcState state = StateOf(hdc);
    const SIZE size = X11TextExtent(state.font, lpString, c);
    if (state.bkMode == OPAQUE) X11FillRect(xid, x, y, size.cx, size.cy, state.bkColor);
    X11DrawText(xid, state.font, x, y, lpString, c, state.textColor);
    return TRUE;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    std::lock_guard<std::mutex> guard(DcLock());
    DcState& state = DcStates()[hdc];
    const COLORREF previous = state.textColor;
    state.textColor = color;
    return previous;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    std::lock_guard<std::mutex> guard(DcLock());
    DcState& state = DcStates()[hdc];
    const COLORREF previous = state.bkColor;
    state.bkColor = color;
    return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    std::lock_guard<std::mutex> guard(DcLock());
    DcState& state = DcStates()[hdc];
    const int previous = state.bkMode;
    state.bkMode = mode;
    return previous;
}

int WINAPI GetDeviceCaps(HDC hdc, int index) {
    if (hdc == nullptr) return 0;
    Display* display = X11Display();
    switch (index) {
        case BITSPIXEL:
            // The depth of the visual the windows use.
            return display != nullptr ? DefaultDepth(display, DefaultScreen(display)) : 32;
        case PLANES:
            return 1;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case HORZRES:
            return display != nullptr ? X11PrimaryArea().width : 0;
        case VERTRES:
            return display != nullptr ? X11PrimaryArea().height : 0;
        default:
            return 0;
    }
}

char X11Mnemonic(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}
