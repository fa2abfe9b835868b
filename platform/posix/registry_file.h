// The registry as a text file in the registry-export format, as the registry
// editor writes and reads it: a "REGEDIT4" or "Windows Registry Editor
// Version 5.00" first line, then per key a line [HKEY_CURRENT_USER\...] and
// its values ("Name"=dword:0000002a, "Name"="text", "Name"=hex:2a,00,
// "Name"=hex(b):..., @=... for the default value, hex data going on in the
// next line after a "\"), with "Name"=- deleting a value and [-KEY] a key
// with everything below it; ";" starts a comment, blank lines and indenting
// are free. Key and value names compare without regard to case, as on
// Windows.
//
// A hive is the file itself, line by line: the keys and values are what its
// lines leave when they are applied in order, as an import would. A change
// edits the lines it concerns and no other, so that everything else (keys
// and values of other programs, comments, deletions, the encoding and the
// line ends) is written back exactly as it was read.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/registry_text.h"
#include "platform/win32/types.h"

namespace regfile {

struct Value {
    std::string name;  // empty: the key's default value
    DWORD type = 0;
    std::vector<BYTE> data;
};

enum class LineKind {
    Other,          // blank or comment
    Key,            // [path]
    KeyDeletion,    // [-path]
    Value,          // name=data
    ValueDeletion,  // name=-
};

// One entry of the file: a line, or a value with its continuation lines.
struct Line {
    LineKind kind = LineKind::Other;
    std::string path;  // Key, KeyDeletion: the full path from the root
    Value value;       // Value; ValueDeletion: its name only
    // The file's lines of this entry as they were read (line ends removed),
    // written back as they are; empty for an entry written from its fields.
    std::vector<std::string> text;
};

struct Hive {
    Encoding encoding = Encoding::Bytes;
    bool crlf = false;                 // line ends CR LF, else LF
    std::vector<std::string> leading;  // blank lines before the first line
    std::string header = "REGEDIT4";   // the first line as read
    std::vector<Line> lines;           // after the first line, in file order
};

bool SameName(const std::string& a, const std::string& b);

// Parses a whole file (its bytes, in any of the encodings). Returns false when
// it is not a registry file: no known first line, a line that does not parse,
// a value before any key, a zero character, a value that goes on past the
// end, or UTF-16 cut in a character. An empty or blank file is an empty hive.
bool Parse(const std::string& bytes, Hive& hive);

// The file's bytes for a hive, in its encoding and with its line ends;
// Parse(Serialize(h)) gives h's lines back.
std::string Serialize(const Hive& hive);

// True when the key is in the file, or any key below it (a file may leave
// out the lines of keys that only hold other keys).
bool KeyExists(const Hive& hive, const std::string& path);

// The value as the file leaves it, or null.
const Value* FindValue(const Hive& hive, const std::string& path, const std::string& name);

// Makes the key, with every missing key above it, each in a new line after
// the last key of its parent's branch. Sets created when the key did not
// exist.
void EnsureKey(Hive& hive, const std::string& path, bool* created);

// Sets a value of the key (made when missing): the line that gave the value
// its present state is replaced, else a line is added after the key's last
// value. A name that matches in another case keeps its stored spelling.
void SetValue(Hive& hive, const std::string& path, const std::string& name, DWORD type,
              const BYTE* data, size_t size);

// A name that the file format can hold: no control characters.
bool IsStorableName(const std::string& name);

}  // namespace regfile
