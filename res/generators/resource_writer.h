// Helpers of the build-time resource generators: the little-endian byte
// builder for the platform's resource formats and the writer of the generated
// source file that embeds the bytes in the program.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace resgen {

struct Bytes {
    std::vector<uint8_t> data;

    size_t Size() const { return data.size(); }
    void Byte(uint32_t v) { data.push_back(static_cast<uint8_t>(v)); }
    void Word(uint32_t v) {
        Byte(v & 0xFF);
        Byte((v >> 8) & 0xFF);
    }
    void Dword(uint32_t v) {
        Word(v & 0xFFFF);
        Word(v >> 16);
    }
    // A text as 16-bit units (the texts here are ASCII), with its terminating zero.
    void Text16(const std::string& text) {
        for (unsigned char c : text)
            Word(c);
        Word(0);
    }
    void Append(const Bytes& other) {
        data.insert(data.end(), other.data.begin(), other.data.end());
    }
    void AlignTo(size_t n) {
        while (data.size() % n != 0)
            Byte(0);
    }
    void PatchWord(size_t at, uint32_t v) {
        data[at] = static_cast<uint8_t>(v & 0xFF);
        data[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    }
};

struct Resource {
    unsigned type;
    unsigned id;
    std::string name;  // name of the array in the generated source
    Bytes bytes;
};

// Writes a source file that defines each resource's bytes (4-byte aligned, as
// the loader of the platform guarantees) and registers it in the table of
// embedded resources. Returns 0 on success, 1 when the file cannot be written.
inline int WriteResourceSource(const char* path, const char* generator,
                               const std::vector<Resource>& resources) {
    FILE* out = std::fopen(path, "w");
    if (out == nullptr) {
        std::fprintf(stderr, "%s: cannot write %s\n", generator, path);
        return 1;
    }
    std::fprintf(out, "// Generated at build time by %s; do not edit.\n", generator);
    std::fprintf(out, "#include \"platform/posix/resources_table.h\"\n\nnamespace {\n\n");
    for (const Resource& r : resources) {
        std::fprintf(out, "alignas(4) const unsigned char %s[%zu] = {", r.name.c_str(),
                     r.bytes.Size());
        for (size_t i = 0; i < r.bytes.Size(); ++i) {
            std::fprintf(out, "%s0x%02x,", i % 12 == 0 ? "\n    " : " ", r.bytes.data[i]);
        }
        std::fprintf(out, "\n};\n");
        std::fprintf(out, "EmbeddedResource %sEntry(%u, %u, %s, sizeof %s);\n\n", r.name.c_str(),
                     r.type, r.id, r.name.c_str(), r.name.c_str());
    }
    std::fprintf(out, "}  // namespace\n");
    if (std::fclose(out) != 0) {
        std::fprintf(stderr, "%s: cannot write %s\n", generator, path);
        return 1;
    }
    return 0;
}

}  // namespace resgen
