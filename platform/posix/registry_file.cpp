#include "platform/posix/registry_file.h"

#include <cstdio>

namespace regfile {

namespace {

constexpr DWORD kTypeSz = 1;
constexpr DWORD kTypeBinary = 3;
constexpr DWORD kTypeDword = 4;
constexpr size_t kHexLineLimit = 76;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\t' || s[n - 1] == '\r'))
        --n;
    return s.substr(0, n);
}

std::string TrimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    return s.substr(i);
}

bool IsParent(const std::string& parent, const std::string& path) {
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           SameName(parent, path.substr(0, parent.size()));
}

// A quoted text from s at i (at the opening quote); i is left after the
// closing quote. Only \\ and \" are escapes.
bool ParseQuoted(const std::string& s, size_t& i, std::string& out) {
    if (i >= s.size() || s[i] != '"') return false;
    out.clear();
    for (++i; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            ++i;
            return true;
        }
        if (c == '\\') {
            if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"')) return false;
            c = s[++i];
        }
        out.push_back(c);
    }
    return false;
}

bool ParseHexBytes(const std::string& s, std::vector<BYTE>& out) {
    out.clear();
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i == s.size()) return true;
    for (;;) {
        skipBlanks();
        if (i + 1 >= s.size()) return false;
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out.push_back(static_cast<BYTE>(hi * 16 + lo));
        i += 2;
        skipBlanks();
        if (i == s.size()) return true;
        if (s[i] != ',') return false;
        ++i;
    }
}

// The data after "=": dword:, hex:, hex(N): or a quoted text.
bool ParseData(const std::string& s, Value& value) {
    if (s.compare(0, 6, "dword:") == 0) {
        std::string digits = TrimRight(s.substr(6));
        if (digits.empty() || digits.size() > 8) return false;
        DWORD v = 0;
        for (char c : digits) {
            int d = HexDigit(c);
            if (d < 0) return false;
            v = v * 16 + static_cast<DWORD>(d);
        }
        value.type = kTypeDword;
        value.data = {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                      static_cast<BYTE>(v >> 24)};
        return true;
    }
    if (s.compare(0, 4, "hex:") == 0) {
        value.type = kTypeBinary;
        return ParseHexBytes(s.substr(4), value.data);
    }
    if (s.compare(0, 4, "hex(") == 0) {
        size_t close = s.find(')', 4);
        if (close == std::string::npos || close == 4 || close > 12 || close + 1 >= s.size() ||
            s[close + 1] != ':') {
            return false;
        }
        DWORD type = 0;
        for (size_t k = 4; k < close; ++k) {
            int d = HexDigit(s[k]);
            if (d < 0) return false;
            type = type * 16 + static_cast<DWORD>(d);
        }
        value.type = type;
        return ParseHexBytes(s.substr(close + 2), value.data);
    }
    if (!s.empty() && s[0] == '"') {
        size_t i = 0;
        std::string text;
        if (!ParseQuoted(s, i, text) || !TrimRight(s.substr(i)).empty()) return false;
        value.type = kTypeSz;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    return false;
}

bool ParseValueLine(const std::string& line, Value& value) {
    size_t i = 0;
    if (line[0] == '@') {
        value.name.clear();
        i = 1;
    } else if (!ParseQuoted(line, i, value.name)) {
        return false;
    }
    if (i >= line.size() || line[i] != '=') return false;
    return ParseData(line.substr(i + 1), value);
}

bool ParseKeyLine(const std::string& line, std::string& path) {
    size_t close = line.rfind(']');
    if (close == std::string::npos || close < 2 || !TrimRight(line.substr(close + 1)).empty()) {
        return false;
    }
    path = line.substr(1, close - 1);
    if (path[0] == '-') return false;  // deleting keys is not supported
    if (!IsStorableName(path)) return false;
    // Every piece of the path must be present.
    size_t start = 0;
    for (;;) {
        size_t end = path.find('\\', start);
        if (end == start || (end == std::string::npos && start >= path.size())) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

// A REG_SZ that a quoted text holds: one terminating zero, no other zero and
// no control characters.
bool IsPlainText(const Value& value) {
    if (value.type != kTypeSz || value.data.empty() || value.data.back() != 0) return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        BYTE b = value.data[i];
        if (b < 0x20 || b == 0x7F) return false;
    }
    return true;
}

std::string HexList(const std::string& head, const std::vector<BYTE>& data) {
    std::string out = head;
    size_t lineStart = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        out += byte;
        if (i + 1 < data.size()) {
            out += ",";
            if (out.size() - lineStart > kHexLineLimit) {
                out += "\\\n";
                lineStart = out.size();
                out += "  ";
            }
        }
    }
    return out;
}

}  // namespace

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

bool IsStorableName(const std::string& name) {
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

bool Parse(const std::string& text, Hive& hive) {
    hive.keys.clear();
    // Split into logical lines: a line of hex data ending in "\" goes on in
    // the next line.
    std::vector<std::string> lines;
    std::string current;
    size_t pos = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.size();
        std::string line = TrimRight(text.substr(pos, nl - pos));
        if (line.find('\0') != std::string::npos) return false;
        if (!current.empty()) line = TrimLeft(line);
        current += line;
        if (!current.empty() && current.back() == '\\' &&
            current.find("=hex") != std::string::npos) {
            current.pop_back();
        } else {
            lines.push_back(current);
            current.clear();
        }
        pos = nl + 1;
    }
    if (!current.empty()) return false;  // the file ends inside a value

    size_t first = 0;
    while (first < lines.size() && lines[first].empty())
        ++first;
    if (first == lines.size()) return true;  // a blank file holds nothing
    // Every writer ends its last line; a file without that end was cut short.
    if (text.back() != '\n') return false;
    if (lines[first] != "REGEDIT4" && lines[first] != "Windows Registry Editor Version 5.00") {
        return false;
    }
    Key* key = nullptr;
    for (size_t n = first + 1; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            std::string path;
            if (!ParseKeyLine(line, path)) return false;
            key = FindKey(hive, path);
            if (key == nullptr) {
                hive.keys.push_back(Key{path, {}});
                key = &hive.keys.back();
            }
            continue;
        }
        if (key == nullptr) return false;
        Value value;
        if (!ParseValueLine(line, value)) return false;
        SetValue(*key, value.name, value.type, value.data.data(), value.data.size());
    }
    return true;
}

std::string Serialize(const Hive& hive) {
    std::string out = "REGEDIT4\n";
    for (const Key& key : hive.keys) {
        out += "\n[" + key.path + "]\n";
        for (const Value& value : key.values) {
            std::string name = value.name.empty() ? "@" : Quote(value.name);
            if (value.type == kTypeDword && value.data.size() == 4) {
                char digits[16];
                DWORD v = static_cast<DWORD>(value.data[0]) |
                          static_cast<DWORD>(value.data[1]) << 8 |
                          static_cast<DWORD>(value.data[2]) << 16 |
                          static_cast<DWORD>(value.data[3]) << 24;
                std::snprintf(digits, sizeof digits, "%08x", v);
                out += name + "=dword:" + digits + "\n";
            } else if (IsPlainText(value)) {
                std::string text(value.data.begin(), value.data.end() - 1);
                out += name + "=" + Quote(text) + "\n";
            } else if (value.type == kTypeBinary) {
                out += HexList(name + "=hex:", value.data) + "\n";
            } else {
                char head[24];
                std::snprintf(head, sizeof head, "=hex(%x):", static_cast<unsigned>(value.type));
                out += HexList(name + head, value.data) + "\n";
            }
        }
    }
    out += "\n";
    return out;
}

Key* FindKey(Hive& hive, const std::string& path) {
    for (Key& key : hive.keys) {
        if (SameName(key.path, path)) return &key;
    }
    return nullptr;
}

const Key* FindKey(const Hive& hive, const std::string& path) {
    return FindKey(const_cast<Hive&>(hive), path);
}

bool KeyExists(const Hive& hive, const std::string& path) {
    for (const Key& key : hive.keys) {
        if (SameName(key.path, path) || IsParent(path, key.path)) return true;
    }
    return false;
}

Key& EnsureKey(Hive& hive, const std::string& path, bool* created) {
    if (created) *created = false;
    // Each key below the root, from the top down; a root alone is a key too.
    size_t end = path.find('\\');
    if (end == std::string::npos) end = path.size();
    for (;;) {
        end = path.find('\\', end + 1);
        std::string piece = path.substr(0, end);
        if (FindKey(hive, piece) == nullptr) {
            std::string parent = piece.substr(0, piece.rfind('\\'));
            size_t at = hive.keys.size();
            for (size_t i = 0; i < hive.keys.size(); ++i) {
                if (SameName(hive.keys[i].path, parent) || IsParent(parent, hive.keys[i].path)) {
                    at = i + 1;
                }
            }
            hive.keys.insert(hive.keys.begin() + static_cast<std::ptrdiff_t>(at), Key{piece, {}});
            if (created) *created = true;
        }
        if (end == std::string::npos) break;
    }
    return *FindKey(hive, path);
}

const Value* FindValue(const Key& key, const std::string& name) {
    for (const Value& value : key.values) {
        if (SameName(value.name, name)) return &value;
    }
    return nullptr;
}

void SetValue(Key& key, const std::string& name, DWORD type, const BYTE* data, size_t size) {
    std::vector<BYTE> bytes(data, data + size);
    for (Value& value : key.values) {
        if (SameName(value.name, name)) {
            value.type = type;
            value.data = std::move(bytes);
            return;
        }
    }
    key.values.push_back(Value{name, type, std::move(bytes)});
}

}  // namespace regfile
