// The registry as a text file in the registry-export format: a "REGEDIT4"
// first line, then per key a line [HKEY_CURRENT_USER\Software\...] and its
// values ("Name"=dword:0000002a, "Name"="text", "Name"=hex:2a,00,
// "Name"=hex(7):..., @=... for the default value). Key and value names
// compare without regard to case, as on Windows.
#pragma once

#include <string>
#include <vector>

#include "platform/win32/types.h"

namespace regfile {

struct Value {
    std::string name;  // empty: the key's default value
    DWORD type = 0;
    std::vector<BYTE> data;
};

struct Key {
    std::string path;  // full path from the root, e.g. HKEY_CURRENT_USER\Software
    std::vector<Value> values;
};

struct Hive {
    std::vector<Key> keys;  // in file order
};

bool SameName(const std::string& a, const std::string& b);

// Parses a whole file. Returns false when the text is not a registry file
// (no header, a line that does not parse, an unsupported entry, no line end
// after the last line, as in a file cut short); an empty or blank text is an
// empty hive.
bool Parse(const std::string& text, Hive& hive);

// The file text of a hive; Parse(Serialize(h)) gives h back.
std::string Serialize(const Hive& hive);

// A key by its full path, or null.
Key* FindKey(Hive& hive, const std::string& path);
const Key* FindKey(const Hive& hive, const std::string& path);

// True when the key is in the file, or any key below it (a file may leave
// out the lines of keys that only hold other keys).
bool KeyExists(const Hive& hive, const std::string& path);

// The key, created with every missing key above it below the root; new keys
// go after the last key of their parent's branch. Sets created when a key
// was added.
Key& EnsureKey(Hive& hive, const std::string& path, bool* created);

const Value* FindValue(const Key& key, const std::string& name);
void SetValue(Key& key, const std::string& name, DWORD type, const BYTE* data, size_t size);

// A name that the file format can hold: no control characters.
bool IsStorableName(const std::string& name);

}  // namespace regfile
