// The registry file's parser and writer over any bytes: what parses is
// written, and the written file parses again to the same lines, keys and
// values and is written the same. A change to a parsed file keeps every other
// line and is read back as made.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/registry_file.h"

namespace {

bool SameValue(const regfile::Value& a, const regfile::Value& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

bool SameHive(const regfile::Hive& a, const regfile::Hive& b) {
    if (a.lines.size() != b.lines.size() || a.header != b.header || a.encoding != b.encoding) {
        return false;
    }
    for (size_t i = 0; i < a.lines.size(); ++i) {
        const regfile::Line& x = a.lines[i];
        const regfile::Line& y = b.lines[i];
        if (x.kind != y.kind || x.path != y.path || !SameValue(x.value, y.value)) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    regfile::Hive hive;
    if (!regfile::Parse(bytes, hive)) return 0;
    const std::string written = regfile::Serialize(hive);
    regfile::Hive again;
    if (!regfile::Parse(written, again)) std::abort();
    if (!SameHive(hive, again)) std::abort();
    if (regfile::Serialize(again) != written) std::abort();

    // The program's own change: its settings key and one value.
    const std::string key = "HKEY_CURRENT_USER\\Software\\Ostrevane\\quorix\\Settings";
    const BYTE value[4] = {static_cast<BYTE>(size), 0, 0, 0};
    regfile::SetValue(again, key, "Style", 4, value, sizeof value);
    const regfile::Value* set = regfile::FindValue(again, key, "style");
    if (set == nullptr || set->type != 4 || set->data.size() != 4 || set->data[0] != value[0]) {
        std::abort();
    }
    regfile::Hive changed;
    if (!regfile::Parse(regfile::Serialize(again), changed)) std::abort();
    const regfile::Value* read = regfile::FindValue(changed, key, "Style");
    if (read == nullptr || read->data != set->data) std::abort();
    return 0;
}
