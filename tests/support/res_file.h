// Readers of the files and formats windres writes, for the tests that compare
// the Windows resource script's output with the resources the POSIX build
// embeds: the .res file (a sequence of RESOURCEHEADER + data, each on a 4-byte
// boundary), the dialog template and the version resource's tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace restest {

using Blob = std::vector<uint8_t>;

// One resource of a .res file. A type or name given as an ordinal has it in
// typeId / nameId and an empty text; one given as a text has id 0.
struct ResEntry {
    uint16_t typeId = 0;
    std::string typeName;
    uint16_t nameId = 0;
    std::string name;
    uint16_t memoryFlags = 0;
    uint16_t language = 0;
    Blob data;
};

// Parses a whole .res file into its entries, the leading empty entry
// included. Returns false with a reason in error when a header or its data
// runs past the end, a header is shorter than its fixed fields, or a name has
// no terminating zero.
bool ParseResFile(const Blob& file, std::vector<ResEntry>& entries, std::string& error);

// The file's bytes; empty when it cannot be read.
Blob ReadFile(const std::string& path);

// The entry of this type and id, or null.
const ResEntry* FindEntry(const std::vector<ResEntry>& entries, uint16_t type, uint16_t id);

// A dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs), field by field.
// Ordinals of class and text fields read as "#0080" and the like.
struct DialogItem {
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    std::string className, text;
    uint16_t extraBytes = 0;
    bool operator==(const DialogItem&) const = default;
};

struct DialogTemplate {
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, className, caption;
    uint16_t pointSize = 0;
    std::string face;
    std::vector<DialogItem> items;
};

// The text with ASCII capitals made small: window class names compare without
// regard to case, and resource compilers may write them in capitals.
std::string AsciiLower(std::string text);

// Returns false with a reason when the template runs past the end of data or
// leaves bytes after its last item (beyond the 4-byte padding).
bool ParseDialogTemplate(const Blob& data, DialogTemplate& dialog, std::string& error);

// One node of a version resource's tree: its path of keys from the root
// ("VS_VERSION_INFO/StringFileInfo/040904b0/CompanyName"), the header words
// and the value's bytes.
struct VersionNode {
    std::string path;
    uint16_t length = 0, valueLength = 0, type = 0;
    Blob value;
    bool operator==(const VersionNode&) const = default;
};

// Walks the tree depth first. Returns false with a reason when a node's
// length is too small for its header or runs past its parent's end.
bool ParseVersionTree(const Blob& data, std::vector<VersionNode>& nodes, std::string& error);

}  // namespace restest
