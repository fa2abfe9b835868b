#include "platform/x11/dialog_template.h"

#include <cstring>

namespace {

class Reader {
  public:
    Reader(const uint8_t* base, size_t limit) : m_base(base), m_limit(limit) {}
    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_pos; }
    void AlignTo(size_t n) { m_pos = (m_pos + n - 1) / n * n; }
    uint16_t Word() {
        if (!Need(2)) return 0;
        const uint16_t v = static_cast<uint16_t>(m_base[m_pos] | m_base[m_pos + 1] << 8);
        m_pos += 2;
        return v;
    }
    uint32_t Dword() {
        const uint32_t lo = Word();
        return lo | uint32_t(Word()) << 16;
    }
    uint8_t Byte() {
        if (!Need(1)) return 0;
        return m_base[m_pos++];
    }
    // A zero-terminated UTF-16 string, into Windows-1252 ('?' for the rest).
    std::string String() {
        std::string out;
        for (;;) {
            const uint16_t c = Word();
            if (!m_ok || c == 0) break;
            out += c < 0x100 ? static_cast<char>(c) : '?';
        }
        return out;
    }
    // 0x0000: none; 0xFFFF + ordinal; else a string.
    void NameOrOrdinal(std::string* name, int* ordinal) {
        const size_t at = m_pos;
        const uint16_t first = Word();
        *ordinal = -1;
        name->clear();
        if (first == 0) return;
        if (first == 0xFFFF) {
            *ordinal = Word();
            return;
        }
        m_pos = at;
        *name = String();
    }
    void Skip(size_t n) {
        if (Need(n)) m_pos += n;
    }

  private:
    bool Need(size_t n) {
        if (!m_ok || m_pos + n > m_limit) {
            m_ok = false;
            return false;
        }
        return true;
    }
    const uint8_t* m_base;
    size_t m_limit;
    size_t m_pos = 0;
    bool m_ok = true;
};

std::string ClassForOrdinal(int ordinal) {
    switch (ordinal) {
        case 0x80:
            return "Button";
        case 0x81:
            return "Edit";
        case 0x82:
            return "Static";
        case 0x83:
            return "ListBox";
        case 0x84:
            return "ScrollBar";
        case 0x85:
            return "ComboBox";
        default:
            return std::string("#").append(std::to_string(ordinal));
    }
}

RECT Units(short x, short y, short cx, short cy) {
    return RECT{x, y, x + cx, y + cy};
}

}  // namespace

bool ParseDialogTemplate(const void* dialogTemplate, size_t limit, DialogLayout* out) {
    if (dialogTemplate == nullptr || out == nullptr) return false;
    *out = DialogLayout{};
    Reader in(static_cast<const uint8_t*>(dialogTemplate), limit);
    // DLGTEMPLATEEX starts with version 1 and the signature 0xFFFF.
    const uint16_t version = in.Word();
    const uint16_t signature = in.Word();
    int count = 0;
    if (version == 1 && signature == 0xFFFF) {
        out->extended = true;
        in.Dword();  // help id
        out->exStyle = in.Dword();
        out->style = in.Dword();
    } else {
        out->style = uint32_t(version) | uint32_t(signature) << 16;
        out->exStyle = in.Dword();
    }
    count = in.Word();
    const short x = static_cast<short>(in.Word());
    const short y = static_cast<short>(in.Word());
    const short cx = static_cast<short>(in.Word());
    const short cy = static_cast<short>(in.Word());
    out->units = Units(x, y, cx, cy);
    std::string menu;
    int ordinal = -1;
    in.NameOrOrdinal(&menu, &ordinal);
    in.NameOrOrdinal(&out->className, &ordinal);
    if (ordinal >= 0) out->className = ordinal == 0x8002 ? std::string() : ClassForOrdinal(ordinal);
    out->caption = in.String();
    if ((out->style & (DS_SETFONT | DS_FIXEDSYS)) != 0) {
        out->hasFont = (out->style & DS_SETFONT) != 0;
        out->pointSize = in.Word();
        if (out->extended) {
            out->weight = in.Word();
            out->italic = in.Byte() != 0;
            in.Byte();  // character set
        }
        out->face = in.String();
    }
    if (!in.Ok()) return false;
    for (int i = 0; i < count; ++i) {
        in.AlignTo(4);
        DialogItemLayout item;
        if (out->extended) {
            in.Dword();  // help id
            item.exStyle = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.exStyle = in.Dword();
        }
        const short ix = static_cast<short>(in.Word());
        const short iy = static_cast<short>(in.Word());
        const short icx = static_cast<short>(in.Word());
        const short icy = static_cast<short>(in.Word());
        item.units = Units(ix, iy, icx, icy);
        item.id = out->extended ? in.Dword() : in.Word();
        int classOrdinal = -1;
        in.NameOrOrdinal(&item.className, &classOrdinal);
        if (classOrdinal >= 0) item.className = ClassForOrdinal(classOrdinal);
        in.NameOrOrdinal(&item.text, &item.textOrdinal);
        // Creation data: its size word counts itself in DLGITEMTEMPLATE, not in the
        // extended form.
        const uint16_t extra = in.Word();
        if (out->extended)
            in.Skip(extra);
        else if (extra >= 2)
            in.Skip(extra - 2u);
        if (!in.Ok()) return false;
        out->items.push_back(std::move(item));
    }
    return true;
}
