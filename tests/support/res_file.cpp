// Readers of .res files, dialog templates and version trees for the tests.
#include "tests/support/res_file.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace restest {

namespace {

// A bounds-checked little-endian reader over a byte range.
class Cursor {
  public:
    Cursor(const Blob& data, size_t begin, size_t end) : m_data(data), m_at(begin), m_end(end) {}

    bool ok() const { return m_ok; }
    size_t at() const { return m_at; }
    size_t end() const { return m_end; }
    void Seek(size_t at) {
        if (at > m_end) m_ok = false;
        m_at = at > m_end ? m_end : at;
    }
    void AlignTo4() { Seek((m_at + 3) & ~size_t{3}); }

    uint16_t Word() {
        if (m_at + 2 > m_end) {
            m_ok = false;
            return 0;
        }
        const uint16_t w = static_cast<uint16_t>(m_data[m_at] | m_data[m_at + 1] << 8);
        m_at += 2;
        return w;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | static_cast<uint32_t>(Word()) << 16;
    }
    // A zero-terminated 16-bit text, narrowed (the texts here are ASCII).
    std::string Text() {
        std::string s;
        for (uint16_t w = Word(); m_ok && w != 0; w = Word())
            s.push_back(static_cast<char>(w));
        return s;
    }
    // 0xFFFF and an ordinal, or a text.
    // isOrdinal, when given, tells which of the two it was.
    std::string NameOrOrdinal(uint16_t* ordinal = nullptr, bool* isOrdinal = nullptr) {
        const bool byOrdinal =
            m_at + 2 <= m_end && m_data[m_at] == 0xFF && m_data[m_at + 1] == 0xFF;
        if (isOrdinal != nullptr) *isOrdinal = byOrdinal;
        if (byOrdinal) {
            Word();
            const uint16_t id = Word();
            if (ordinal != nullptr) *ordinal = id;
            char buf[8];
            std::snprintf(buf, sizeof buf, "#%04X", id);
            return buf;
        }
        if (ordinal != nullptr) *ordinal = 0;
        return Text();
    }

  private:
    const Blob& m_data;
    size_t m_at;
    size_t m_end;
    bool m_ok = true;
};

}  // namespace

Blob ReadFile(const std::string& path) {
    Blob bytes;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return bytes;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, in)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(in);
    return bytes;
}

bool ParseResFile(const Blob& file, std::vector<ResEntry>& entries, std::string& error) {
    entries.clear();
    size_t at = 0;
    while (at < file.size()) {
        Cursor c(file, at, file.size());
        const uint32_t dataSize = c.Dword();
        const uint32_t headerSize = c.Dword();
        if (!c.ok() || headerSize < 32 || headerSize > file.size() - at ||
            dataSize > file.size() - at - headerSize) {
            error = "entry at " + std::to_string(at) + " runs past the end of the file";
            return false;
        }
        Cursor h(file, at + 8, at + headerSize);
        ResEntry e;
        bool isOrdinal = false;
        std::string type = h.NameOrOrdinal(&e.typeId, &isOrdinal);
        if (!isOrdinal) e.typeName = type;
        std::string name = h.NameOrOrdinal(&e.nameId, &isOrdinal);
        if (!isOrdinal) e.name = name;
        h.AlignTo4();
        h.Dword();  // data version
        e.memoryFlags = h.Word();
        e.language = h.Word();
        h.Dword();  // version
        h.Dword();  // characteristics
        if (!h.ok()) {
            error = "header at " + std::to_string(at) + " is shorter than its fields";
            return false;
        }
        const size_t dataAt = at + headerSize;
        e.data.assign(file.begin() + static_cast<std::ptrdiff_t>(dataAt),
                      file.begin() + static_cast<std::ptrdiff_t>(dataAt + dataSize));
        entries.push_back(std::move(e));
        at = (dataAt + dataSize + 3) & ~size_t{3};
    }
    return true;
}

const ResEntry* FindEntry(const std::vector<ResEntry>& entries, uint16_t type, uint16_t id) {
    for (const ResEntry& e : entries) {
        if (e.typeName.empty() && e.name.empty() && e.typeId == type && e.nameId == id) return &e;
    }
    return nullptr;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool ParseDialogTemplate(const Blob& data, DialogTemplate& dialog, std::string& error) {
    constexpr uint32_t kSetFont = 0x40;  // DS_SETFONT
    Cursor c(data, 0, data.size());
    dialog = DialogTemplate{};
    dialog.style = c.Dword();
    dialog.exStyle = c.Dword();
    const uint16_t count = c.Word();
    dialog.x = static_cast<int16_t>(c.Word());
    dialog.y = static_cast<int16_t>(c.Word());
    dialog.cx = static_cast<int16_t>(c.Word());
    dialog.cy = static_cast<int16_t>(c.Word());
    dialog.menu = c.NameOrOrdinal();
    dialog.className = c.NameOrOrdinal();
    dialog.caption = c.Text();
    if (dialog.style & kSetFont) {
        dialog.pointSize = c.Word();
        dialog.face = c.Text();
    }
    for (uint16_t i = 0; i < count && c.ok(); ++i) {
        c.AlignTo4();
        DialogItem item;
        item.style = c.Dword();
        item.exStyle = c.Dword();
        item.x = static_cast<int16_t>(c.Word());
        item.y = static_cast<int16_t>(c.Word());
        item.cx = static_cast<int16_t>(c.Word());
        item.cy = static_cast<int16_t>(c.Word());
        item.id = c.Word();
        item.className = c.NameOrOrdinal();
        item.text = c.NameOrOrdinal();
        item.extraBytes = c.Word();
        c.Seek(c.at() + item.extraBytes);
        dialog.items.push_back(item);
    }
    if (!c.ok()) {
        error = "the template runs past the end of its " + std::to_string(data.size()) + " bytes";
        return false;
    }
    if (((c.at() + 3) & ~size_t{3}) < data.size()) {
        error = "bytes left after the last item at " + std::to_string(c.at());
        return false;
    }
    return true;
}

namespace {

bool ParseVersionNode(const Blob& data, size_t at, size_t parentEnd, const std::string& parent,
                      std::vector<VersionNode>& nodes, std::string& error, size_t& next) {
    Cursor c(data, at, parentEnd);
    VersionNode node;
    node.length = c.Word();
    node.valueLength = c.Word();
    node.type = c.Word();
    const size_t end = at + node.length;
    if (!c.ok() || node.length < 6 || end > parentEnd) {
        error = "node at " + std::to_string(at) + " does not fit its parent";
        return false;
    }
    Cursor body(data, c.at(), end);
    const std::string key = body.Text();
    node.path = parent.empty() ? key : parent + "/" + key;
    body.AlignTo4();
    // Text values count 16-bit units, binary ones bytes.
    const size_t valueBytes = node.type == 1 ? node.valueLength * size_t{2} : node.valueLength;
    if (!body.ok() || valueBytes > end - body.at()) {
        error = "value of " + node.path + " runs past its node";
        return false;
    }
    node.value.assign(data.begin() + static_cast<std::ptrdiff_t>(body.at()),
                      data.begin() + static_cast<std::ptrdiff_t>(body.at() + valueBytes));
    nodes.push_back(node);
    size_t child = (body.at() + valueBytes + 3) & ~size_t{3};
    while (child < end) {
        size_t after = 0;
        if (!ParseVersionNode(data, child, end, node.path, nodes, error, after)) return false;
        child = (after + 3) & ~size_t{3};
    }
    next = end;
    return true;
}

}  // namespace

bool ParseVersionTree(const Blob& data, std::vector<VersionNode>& nodes, std::string& error) {
    nodes.clear();
    size_t next = 0;
    return ParseVersionNode(data, 0, data.size(), "", nodes, error, next);
}

}  // namespace restest
