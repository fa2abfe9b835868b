// The command line a screen saver is started with: the run-mode letter (as in
// /s, /p 1234, /c:1234, /w 2 30) and the texts that go with it. Only the first
// three arguments are looked at.
#pragma once

#include <cstdint>

// The value is the position of the option letter in the option tables.
enum RunMode : int32_t {
    Windowed = 0,    // "W", no argument, or no option letter: the windowed trial
    Configure = 1,   // "C": the configuration dialog
    FullScreen = 2,  // "S": the saver over the whole primary screen
    Preview = 3,     // "P": the preview inside a given window
};

// The two option tables, each ended by a null entry; position i selects mode i.
extern const char* const kOptionLettersUpper[5];
extern const char* const kOptionLettersLower[5];

struct CommandLine {
    RunMode mode = Windowed;
    // The first argument from its option letter on (Configure, Preview).
    const char* optionText = nullptr;
    // Windowed: the style and number-of-balls texts.
    const char* valueText1 = nullptr;
    const char* valueText2 = nullptr;
    // Preview: the window-handle text (the second argument, else the option text).
    const char* handleText = nullptr;
};

// argv[0] is the program; the first argument is argv[1].
CommandLine ParseCommandLine(int argc, char** argv);

// A decimal integer as the runtime's conversion reads it: leading white space,
// one sign, digits up to the first non-digit; 0 without digits. Values beyond
// 32 bits stop at the nearest bound.
int32_t DecimalValue(const char* text);

// Configure: the owner window's handle number, read after the first two
// characters of an option text of at least 3 (as in c:1234); 0 for none.
int32_t ConfigureOwnerNumber(const CommandLine& commandLine);
