// Writes the configuration dialog, resource RT_DIALOG 102, as an in-memory
// dialog template (DLGTEMPLATE with its font, then one DLGITEMTEMPLATE per
// control) into a source file that embeds it. With a second argument it also
// writes the same dialog from the same table as a DIALOG statement for the
// Windows resource script.
//
// Usage: quorix-dialog-gen OUTPUT.cpp [OUTPUT.rc]
#include <string>
#include <vector>

#include "platform/win32.h"
#include "res/generators/resource_writer.h"

namespace {

using resgen::Bytes;

constexpr DWORD kAppWindow = 0x00040000;  // WS_EX_APPWINDOW
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;

constexpr WORD kDialogId = 102;
constexpr DWORD kDialogStyle =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr short kDialogWidth = 145, kDialogHeight = 168;  // dialog units
constexpr const char* kCaption = "quorix";
constexpr WORD kPointSize = 8;
constexpr const char* kFace = "MS Sans Serif";

struct Control {
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    short x, y, cx, cy;
    WORD id;
    WORD classAtom;         // 0: classText names the class
    const char* classText;  // for a class without an atom
    const char* text;
};

// In tab order; positions in dialog units.
const Control kControls[] = {
    {BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 5, 50, 14, 1, kButtonAtom, nullptr, "OK"},
    {BS_PUSHBUTTON | WS_TABSTOP, 90, 23, 50, 14, 2, kButtonAtom, nullptr, "Cancel"},
    {BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 8, 50, 10, 1001, kButtonAtom, nullptr,
     "&Random of:"},
    {BS_AUTORADIOBUTTON, 10, 23, 50, 10, 1002, kButtonAtom, nullptr, "&Normal"},
    {BS_AUTORADIOBUTTON, 10, 38, 50, 10, 1003, kButtonAtom, nullptr, "&Green"},
    {BS_AUTORADIOBUTTON, 10, 53, 50, 10, 1004, kButtonAtom, nullptr, "&Squash"},
    {BS_GROUPBOX | WS_GROUP, 5, 72, 135, 42, 1008, kButtonAtom, nullptr, "No of balls"},
    {SS_LEFT | WS_GROUP, 11, 80, 18, 8, 1006, kStaticAtom, nullptr, "many"},
    {SS_LEFT | WS_GROUP, 116, 80, 17, 8, 1007, kStaticAtom, nullptr, "more"},
    {TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP, 11, 90, 119, 15, 1000, 0, TRACKBAR_CLASSA, ""},
    {BS_GROUPBOX | WS_GROUP, 5, 121, 135, 42, 1005, kButtonAtom, nullptr, "Size of balls"},
    {SS_LEFT | WS_GROUP, 11, 129, 17, 8, 1009, kStaticAtom, nullptr, "good"},
    {SS_LEFT | WS_GROUP, 116, 129, 14, 8, 1010, kStaticAtom, nullptr, "best"},
    {TBS_AUTOTICKS | TBS_TOP | WS_TABSTOP, 11, 139, 119, 15, 1011, 0, TRACKBAR_CLASSA, ""},
};

Bytes SettingsDialog() {
    Bytes t;
    t.Dword(kDialogStyle);
    t.Dword(kAppWindow);
    t.Word(sizeof kControls / sizeof kControls[0]);
    t.Word(0);  // x
    t.Word(0);  // y
    t.Word(kDialogWidth);
    t.Word(kDialogHeight);
    t.Word(0);  // no menu
    t.Word(0);  // the standard dialog class
    t.Text16(kCaption);
    t.Word(kPointSize);
    t.Text16(kFace);
    for (const Control& c : kControls) {
        t.AlignTo(4);
        t.Dword(WS_CHILD | WS_VISIBLE | c.style);
        t.Dword(0);
        t.Word(static_cast<uint16_t>(c.x));
        t.Word(static_cast<uint16_t>(c.y));
        t.Word(static_cast<uint16_t>(c.cx));
        t.Word(static_cast<uint16_t>(c.cy));
        t.Word(c.id);
        if (c.classAtom != 0) {
            t.Word(0xFFFF);
            t.Word(c.classAtom);
        } else {
            t.Text16(c.classText);
        }
        t.Text16(c.text);
        t.Word(0);  // no creation data
    }
    return t;
}

// A text as a resource-script string: quotes doubled, backslashes escaped.
std::string RcString(const char* text) {
    std::string s = "\"";
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"') s += '"';
        if (*p == '\\') s += '\\';
        s += *p;
    }
    return s + "\"";
}

// The same template as a DIALOG statement: styles as numbers, so that windres
// adds no bits of its own, and the button and static classes as their atoms.
// Returns 0 on success, 1 when the file cannot be written.
int WriteDialogScript(const char* path) {
    FILE* out = std::fopen(path, "w");
    if (out == nullptr) {
        std::fprintf(stderr, "quorix-dialog-gen: cannot write %s\n", path);
        return 1;
    }
    std::fprintf(out, "// Generated at build time by quorix-dialog-gen; do not edit.\n");
    std::fprintf(out, "%u DIALOG 0, 0, %d, %d\n", kDialogId, kDialogWidth, kDialogHeight);
    std::fprintf(out, "STYLE 0x%08lX\nEXSTYLE 0x%08lX\n", static_cast<unsigned long>(kDialogStyle),
                 static_cast<unsigned long>(kAppWindow));
    std::fprintf(out, "CAPTION %s\nFONT %u, %s\nBEGIN\n", RcString(kCaption).c_str(), kPointSize,
                 RcString(kFace).c_str());
    for (const Control& c : kControls) {
        char cls[16];
        std::snprintf(cls, sizeof cls, "0x%04X", c.classAtom);
        std::fprintf(
            out, "    CONTROL %s, %u, %s, 0x%08lX, %d, %d, %d, %d\n", RcString(c.text).c_str(),
            c.id, c.classAtom != 0 ? cls : RcString(c.classText).c_str(),
            static_cast<unsigned long>(WS_CHILD | WS_VISIBLE | c.style), c.x, c.y, c.cx, c.cy);
    }
    std::fprintf(out, "END\n");
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "quorix-dialog-gen: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: quorix-dialog-gen OUTPUT.cpp [OUTPUT.rc]\n");
        return 2;
    }
    constexpr unsigned kRtDialog = 5;
    if (argc == 3 && WriteDialogScript(argv[2]) != 0) return 1;
    return resgen::WriteResourceSource(
        argv[1], "quorix-dialog-gen",
        {{kRtDialog, kDialogId, "kSettingsDialog", SettingsDialog()}});
}
