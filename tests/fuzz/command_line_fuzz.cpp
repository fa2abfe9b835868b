// The command-line parser over any arguments: the input's zero bytes split it
// into up to four arguments. Every text it hands back points into the
// arguments, and the number conversions read only their own text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Each argument in a block of its own, so that a read past its end is seen.
    std::vector<std::unique_ptr<char[]>> blocks;
    std::vector<size_t> lengths;
    auto add = [&](const char* text, size_t length) {
        blocks.emplace_back(new char[length + 1]);
        std::memcpy(blocks.back().get(), text, length);
        blocks.back()[length] = '\0';
        lengths.push_back(length);
    };
    add("quorix", 6);
    const char* text = reinterpret_cast<const char*>(data);
    for (size_t start = 0; start <= size && blocks.size() < 5;) {
        const void* zero = size > start ? std::memchr(text + start, 0, size - start) : nullptr;
        const size_t end =
            zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - text) : size;
        add(text + start, end - start);
        start = end + 1;
    }
    std::vector<char*> argv;
    for (auto& block : blocks)
        argv.push_back(block.get());
    argv.push_back(nullptr);

    const CommandLine line = ParseCommandLine(static_cast<int>(blocks.size()), argv.data());
    if (line.mode < Windowed || line.mode > Preview) std::abort();
    for (const char* p : {line.optionText, line.valueText1, line.valueText2, line.handleText}) {
        if (p == nullptr) continue;
        bool inside = false;
        for (size_t i = 0; i < blocks.size(); ++i) {
            if (p >= argv[i] && p <= argv[i] + lengths[i]) inside = true;
        }
        if (!inside) std::abort();
        DecimalValue(p);
    }
    ConfigureOwnerNumber(line);
    return 0;
}
