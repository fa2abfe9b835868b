#include "platform/posix/registry_file.h"

#include <cstdio>

namespace regfile {

namespace {

constexpr DWORD kTypeSz = 1;
constexpr DWORD kTypeBinary = 3;
constexpr DWORD kTypeDword = 4;
constexpr size_t kHexLineLimit = 76;
const char kVersion5[] = "Windows Registry Editor Version 5.00";

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

std::string TrimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string Trim(const std::string& s) {
    return TrimLeft(TrimRight(s));
}

// True when path lies below parent.
bool IsBelow(const std::string& path, const std::string& parent) {
    return path.size() > parent.size() && path[parent.size()] == '\\' &&
           SameName(parent, path.substr(0, parent.size()));
}

bool AtOrBelow(const std::string& path, const std::string& top) {
    return SameName(path, top) || IsBelow(path, top);
}

bool IsSection(const Line& line) {
    return line.kind == LineKind::Key || line.kind == LineKind::KeyDeletion;
}

bool IsValueEntry(const Line& line) {
    return line.kind == LineKind::Value || line.kind == LineKind::ValueDeletion;
}

// ---- Reading ----

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
        while (i < s.size() && IsBlank(s[i]))
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

// The data after "=": dword:, hex:, hex(N):, a quoted text, or "-" for a
// deletion.
bool ParseData(const std::string& data, Line& line) {
    const std::string s = TrimRight(data);
    Value& value = line.value;
    line.kind = LineKind::Value;
    if (s == "-") {
        line.kind = LineKind::ValueDeletion;
        return true;
    }
    if (s.compare(0, 6, "dword:") == 0) {
        const std::string digits = s.substr(6);
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
        if (!ParseQuoted(s, i, text) || i != s.size()) return false;
        value.type = kTypeSz;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
        return true;
    }
    return false;
}

// The name of a value line (@ or a quoted name) and where its data starts,
// after the "=" and any blanks around it.
bool ParseValueName(const std::string& s, std::string& name, size_t& dataStart) {
    size_t i = 0;
    if (s[0] == '@') {
        name.clear();
        i = 1;
    } else if (!ParseQuoted(s, i, name)) {
        return false;
    }
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    if (i >= s.size() || s[i] != '=') return false;
    ++i;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    dataStart = i;
    return true;
}

// A key line, trimmed: [path] or [-path]. Every piece of the path must be
// present.
bool ParseKeyLine(const std::string& s, Line& line) {
    if (s.size() < 3 || s.back() != ']') return false;
    std::string path = s.substr(1, s.size() - 2);
    line.kind = LineKind::Key;
    if (path[0] == '-') {
        line.kind = LineKind::KeyDeletion;
        path.erase(0, 1);
    }
    if (path.empty() || !IsStorableName(path)) return false;
    for (size_t start = 0;;) {
        size_t end = path.find('\\', start);
        if (end == start || (end == std::string::npos && start >= path.size())) return false;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    line.path = path;
    return true;
}

// The physical lines of a text, without their ends; the first line end
// decides whether the file uses CR LF. Carriage returns at the end of a line
// carry nothing and are dropped, so that a line reads the same in either.
std::vector<std::string> SplitLines(const std::string& text, bool& crlf) {
    std::vector<std::string> out;
    crlf = false;
    bool first = true;
    for (size_t pos = 0; pos < text.size();) {
        size_t nl = text.find('\n', pos);
        const bool ended = nl != std::string::npos;
        if (!ended) nl = text.size();
        std::string line = text.substr(pos, nl - pos);
        if (ended && first) crlf = !line.empty() && line.back() == '\r';
        if (ended) first = false;
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(std::move(line));
        pos = nl + 1;
    }
    return out;
}

// ---- Writing ----

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

// Hex data wrapped as the registry editor does: a "\" ends every line but the
// last, and the next one is indented by two blanks.
std::vector<std::string> HexLines(const std::string& head, const std::vector<BYTE>& data) {
    std::vector<std::string> out(1, head);
    for (size_t i = 0; i < data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", data[i]);
        out.back() += byte;
        if (i + 1 < data.size()) {
            out.back() += ",";
            if (out.back().size() > kHexLineLimit) {
                out.back() += "\\";
                out.emplace_back("  ");
            }
        }
    }
    return out;
}

std::vector<std::string> FormatValue(const Value& value) {
    const std::string name = value.name.empty() ? "@" : Quote(value.name);
    if (value.type == kTypeDword && value.data.size() == 4) {
        char digits[16];
        DWORD v = static_cast<DWORD>(value.data[0]) | static_cast<DWORD>(value.data[1]) << 8 |
                  static_cast<DWORD>(value.data[2]) << 16 | static_cast<DWORD>(value.data[3]) << 24;
        std::snprintf(digits, sizeof digits, "%08x", v);
        return {name + "=dword:" + digits};
    }
    if (IsPlainText(value)) {
        return {name + "=" + Quote(std::string(value.data.begin(), value.data.end() - 1))};
    }
    if (value.type == kTypeBinary) return HexLines(name + "=hex:", value.data);
    char head[24];
    std::snprintf(head, sizeof head, "=hex(%x):", static_cast<unsigned>(value.type));
    return HexLines(name + head, value.data);
}

std::vector<std::string> FormatLine(const Line& line) {
    switch (line.kind) {
        case LineKind::Other:
            return {""};
        case LineKind::Key:
            return {"[" + line.path + "]"};
        case LineKind::KeyDeletion:
            return {"[-" + line.path + "]"};
        case LineKind::Value:
            return FormatValue(line.value);
        case LineKind::ValueDeletion:
            return {(line.value.name.empty() ? "@" : Quote(line.value.name)) + "=-"};
    }
    return {""};
}

// ---- The keys and values the lines leave ----

// For each line, true when it is a key line that no later deletion removes.
std::vector<bool> LiveKeys(const Hive& hive) {
    std::vector<bool> live(hive.lines.size(), false);
    std::vector<const std::string*> deletions;
    for (size_t i = hive.lines.size(); i-- > 0;) {
        const Line& line = hive.lines[i];
        if (line.kind == LineKind::KeyDeletion) {
            deletions.push_back(&line.path);
        } else if (line.kind == LineKind::Key) {
            bool removed = false;
            for (const std::string* d : deletions) {
                if (AtOrBelow(line.path, *d)) {
                    removed = true;
                    break;
                }
            }
            live[i] = !removed;
        }
    }
    return live;
}

// The last line that set or deleted the value in a live line of its key, or
// npos.
size_t LastValueLine(const Hive& hive, const std::string& path, const std::string& name) {
    const std::vector<bool> live = LiveKeys(hive);
    size_t found = std::string::npos;
    bool inKey = false;
    for (size_t i = 0; i < hive.lines.size(); ++i) {
        const Line& line = hive.lines[i];
        if (IsSection(line)) {
            inKey = live[i] && SameName(line.path, path);
        } else if (inKey && IsValueEntry(line) && SameName(line.value.name, name)) {
            found = i;
        }
    }
    return found;
}

// The last live line of the key itself, or npos.
size_t LastKeyLine(const Hive& hive, const std::string& path) {
    const std::vector<bool> live = LiveKeys(hive);
    for (size_t i = hive.lines.size(); i-- > 0;) {
        if (live[i] && SameName(hive.lines[i].path, path)) return i;
    }
    return std::string::npos;
}

// Where a new key below parent goes: after the last entry (not a blank or a
// comment) of the last key at or below parent, or of the file when there is
// none.
size_t EndOfBranch(const Hive& hive, const std::string& parent) {
    size_t end = 0, endOfFile = 0;
    bool inBranch = false;
    for (size_t i = 0; i < hive.lines.size(); ++i) {
        const Line& line = hive.lines[i];
        if (IsSection(line)) inBranch = !parent.empty() && AtOrBelow(line.path, parent);
        if (line.kind == LineKind::Other) continue;
        endOfFile = i + 1;
        if (inBranch) end = i + 1;
    }
    return end != 0 ? end : endOfFile;
}

void InsertKeyLine(Hive& hive, const std::string& path) {
    const size_t slash = path.rfind('\\');
    const std::string parent = slash == std::string::npos ? "" : path.substr(0, slash);
    Line key;
    key.kind = LineKind::Key;
    key.path = path;
    size_t at = EndOfBranch(hive, parent);
    const bool atEnd = at == hive.lines.size();
    hive.lines.insert(hive.lines.begin() + static_cast<std::ptrdiff_t>(at), {Line{}, key});
    // The file ends with a blank line, as the registry editor writes it.
    if (atEnd) hive.lines.push_back(Line{});
    // A deletion of the key or one above it later in the file would take the
    // new key away: then it goes at the very end.
    if (LastKeyLine(hive, path) == std::string::npos) {
        hive.lines.erase(hive.lines.begin() + static_cast<std::ptrdiff_t>(at),
                         hive.lines.begin() + static_cast<std::ptrdiff_t>(at + 2));
        hive.lines.insert(hive.lines.end(), {Line{}, key, Line{}});
    }
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

bool Parse(const std::string& bytes, Hive& hive) {
    hive = Hive{};
    std::string text;
    if (!DecodeText(bytes, hive.encoding, text)) return false;
    if (text.find('\0') != std::string::npos) return false;
    const bool utf16 = hive.encoding == Encoding::Utf16Le || hive.encoding == Encoding::Utf16Be;
    if (utf16) hive.header = kVersion5;
    const std::vector<std::string> physical = SplitLines(text, hive.crlf);

    size_t n = 0;
    while (n < physical.size() && Trim(physical[n]).empty())
        hive.leading.push_back(physical[n++]);
    if (n == physical.size()) return true;  // a blank file holds nothing
    const std::string first = Trim(physical[n]);
    if (first != "REGEDIT4" && first != kVersion5) return false;
    hive.header = physical[n++];

    bool inKey = false;
    while (n < physical.size()) {
        Line line;
        line.text.push_back(physical[n++]);
        const std::string s = Trim(line.text[0]);
        if (s.empty() || s[0] == ';') {
            hive.lines.push_back(std::move(line));
            continue;
        }
        if (s[0] == '[') {
            if (!ParseKeyLine(s, line)) return false;
            inKey = true;
            hive.lines.push_back(std::move(line));
            continue;
        }
        size_t dataStart = 0;
        if (!inKey || !ParseValueName(s, line.value.name, dataStart)) return false;
        std::string data = s.substr(dataStart);
        // Hex data goes on in the next line after a "\".
        if (data.compare(0, 3, "hex") == 0) {
            while (!data.empty() && data.back() == '\\') {
                if (n == physical.size()) return false;  // the file ends inside the value
                data.pop_back();
                line.text.push_back(physical[n++]);
                data += Trim(line.text.back());
            }
        }
        if (!ParseData(data, line)) return false;
        hive.lines.push_back(std::move(line));
    }
    return true;
}

std::string Serialize(const Hive& hive) {
    const char* end = hive.crlf ? "\r\n" : "\n";
    std::string out;
    for (const std::string& line : hive.leading)
        out += line + end;
    out += hive.header + end;
    for (const Line& line : hive.lines) {
        for (const std::string& text : line.text.empty() ? FormatLine(line) : line.text)
            out += text + end;
    }
    return EncodeText(out, hive.encoding);
}

bool KeyExists(const Hive& hive, const std::string& path) {
    const std::vector<bool> live = LiveKeys(hive);
    for (size_t i = 0; i < hive.lines.size(); ++i) {
        if (live[i] && AtOrBelow(hive.lines[i].path, path)) return true;
    }
    return false;
}

const Value* FindValue(const Hive& hive, const std::string& path, const std::string& name) {
    const size_t i = LastValueLine(hive, path, name);
    if (i == std::string::npos || hive.lines[i].kind != LineKind::Value) return nullptr;
    return &hive.lines[i].value;
}

void EnsureKey(Hive& hive, const std::string& path, bool* created) {
    const bool existed = KeyExists(hive, path);
    if (created) *created = !existed;
    // Each missing key above it, from the top down (the root needs no line).
    for (size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1)) {
        const std::string piece = path.substr(0, end);
        if (piece.find('\\') != std::string::npos && !KeyExists(hive, piece)) {
            InsertKeyLine(hive, piece);
        }
    }
    // The key itself needs a line of its own to hold values.
    if (LastKeyLine(hive, path) == std::string::npos) InsertKeyLine(hive, path);
}

void SetValue(Hive& hive, const std::string& path, const std::string& name, DWORD type,
              const BYTE* data, size_t size) {
    EnsureKey(hive, path, nullptr);
    Line line;
    line.kind = LineKind::Value;
    line.value = Value{name, type, std::vector<BYTE>(data, data + size)};
    const size_t last = LastValueLine(hive, path, name);
    if (last != std::string::npos) {
        Line& old = hive.lines[last];
        if (old.kind == LineKind::Value) line.value.name = old.value.name;
        old = std::move(line);
        return;
    }
    size_t at = LastKeyLine(hive, path) + 1;
    for (size_t i = at; i < hive.lines.size() && !IsSection(hive.lines[i]); ++i) {
        if (hive.lines[i].kind != LineKind::Other) at = i + 1;
    }
    hive.lines.insert(hive.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

}  // namespace regfile
