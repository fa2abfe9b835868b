// The registry file's parser and writer over any text: what parses is written,
// and the written text parses again to the same keys and values and is
// written the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/posix/registry_file.h"

namespace {

bool SameHive(const regfile::Hive& a, const regfile::Hive& b) {
    if (a.keys.size() != b.keys.size()) return false;
    for (size_t k = 0; k < a.keys.size(); ++k) {
        const regfile::Key& x = a.keys[k];
        const regfile::Key& y = b.keys[k];
        if (x.path != y.path || x.values.size() != y.values.size()) return false;
        for (size_t v = 0; v < x.values.size(); ++v) {
            if (x.values[v].name != y.values[v].name || x.values[v].type != y.values[v].type ||
                x.values[v].data != y.values[v].data) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    regfile::Hive hive;
    if (!regfile::Parse(text, hive)) return 0;
    const std::string written = regfile::Serialize(hive);
    regfile::Hive again;
    if (!regfile::Parse(written, again)) std::abort();
    if (!SameHive(hive, again)) std::abort();
    if (regfile::Serialize(again) != written) std::abort();
    return 0;
}
