#include "app/command_line.h"

#include <cstring>

const char* const kOptionLettersUpper[5] = {"W", "C", "S", "P", nullptr};
const char* const kOptionLettersLower[5] = {"w", "c", "s", "p", nullptr};

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) return line;
    const char* second = argc > 2 ? argv[2] : nullptr;
    const char* third = argc > 3 ? argv[3] : nullptr;

    const char* p = argv[1];
    while (*p == ' ')
        ++p;  // blanks only, not tabs
    if (*p == '-' || *p == '/') ++p;

    int position = -1;
    for (int i = 0; kOptionLettersUpper[i] != nullptr; ++i) {
        if (*p == kOptionLettersUpper[i][0] || *p == kOptionLettersLower[i][0]) {
            position = i;
            break;
        }
    }
    switch (position) {
        case Windowed:
            line.mode = Windowed;
            line.valueText1 = second != nullptr ? second : p;
            line.valueText2 = third;
            break;
        case Configure:
            line.mode = Configure;
            line.optionText = p;
            break;
        case FullScreen:
            line.mode = FullScreen;
            break;
        case Preview:
            line.mode = Preview;
            line.optionText = p;
            line.handleText = second != nullptr ? second : p;
            break;
        default:
            // No option letter: the arguments are the style and the number of
            // balls of the windowed trial (as in "3 40").
            line.mode = Windowed;
            line.valueText1 = p;
            line.valueText2 = second;
            break;
    }
    return line;
}

int32_t DecimalValue(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT32_MAX + int64_t{1}) value = INT32_MAX + int64_t{1};
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t ConfigureOwnerNumber(const CommandLine& commandLine) {
    if (commandLine.mode != Configure || commandLine.optionText == nullptr) return 0;
    if (std::strlen(commandLine.optionText) < 3) return 0;
    return DecimalValue(commandLine.optionText + 2);
}
