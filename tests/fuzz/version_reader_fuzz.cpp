// The version-resource reader over any bytes given as the program's version
// resource: it must stay inside the resource and its text buffers, and every
// text it reports ends within 60 characters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "res/version_reader.h"
#include "platform/posix/resources_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is the resource; registered last, it shadows the program's own.
    EmbeddedResource resource(16, 1, data, static_cast<DWORD>(size));

    DWORD fixed[kFixedVersionWords];
    auto* texts = new char[3][kVersionTextSize];
    std::memset(texts, 0x55, sizeof(char[3][kVersionTextSize]));
    const int r = ReadVersionStrings(fixed, texts);
    if (r != 0 && r != 12 && r != 15) std::abort();
    if (r == 15) {
        for (int i = 0; i < 3; ++i) {
            if (std::memchr(texts[i], 0, kVersionTextMax + 1) == nullptr) std::abort();
        }
    }
    delete[] texts;

    std::string company, internalName;
    const int ok = GetRegistryNames(company, internalName);
    if (ok != (r == 15 ? 1 : 0)) std::abort();
    if (company.size() > kVersionTextMax || internalName.size() > kVersionTextMax) std::abort();
    if (!ok && (!company.empty() || !internalName.empty())) std::abort();
    return 0;
}
