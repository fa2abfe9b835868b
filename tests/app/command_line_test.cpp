#include "app/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Parses the arguments after the program name.
CommandLine Parse(std::initializer_list<const char*> args) {
    static std::vector<std::string> storage;
    static std::vector<char*> argv;
    storage.assign({"quorix"});
    for (const char* a : args)
        storage.emplace_back(a);
    argv.clear();
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    return ParseCommandLine(static_cast<int>(storage.size()), argv.data());
}

int32_t Value(const char* text) {
    return text != nullptr ? DecimalValue(text) : -999;
}

TEST(CommandLine, NoArgumentIsTheWindowedTrialWithDefaults) {
    CommandLine line = Parse({});
    EXPECT_EQ(line.mode, Windowed);
    EXPECT_EQ(line.optionText, nullptr);
    EXPECT_EQ(line.valueText1, nullptr);
    EXPECT_EQ(line.valueText2, nullptr);
}

TEST(CommandLine, ConfigureAndItsOwner) {
    CommandLine alone = Parse({"/c"});
    EXPECT_EQ(alone.mode, Configure);
    EXPECT_STREQ(alone.optionText, "c");
    EXPECT_EQ(ConfigureOwnerNumber(alone), 0);

    CommandLine separate = Parse({"/c", "1234"});  // handle as its own argument: ignored
    EXPECT_EQ(separate.mode, Configure);
    EXPECT_EQ(ConfigureOwnerNumber(separate), 0);

    CommandLine joined = Parse({"/c:1234"});
    EXPECT_EQ(joined.mode, Configure);
    EXPECT_STREQ(joined.optionText, "c:1234");
    EXPECT_EQ(ConfigureOwnerNumber(joined), 1234);

    EXPECT_EQ(ConfigureOwnerNumber(Parse({"/C:abc"})), 0);
    EXPECT_EQ(ConfigureOwnerNumber(Parse({"/c:"})), 0);
    EXPECT_EQ(ConfigureOwnerNumber(Parse({"-c 77"})), 77);   // any separator character
    EXPECT_EQ(ConfigureOwnerNumber(Parse({"/s:1234"})), 0);  // not Configure
}

TEST(CommandLine, PreviewHandleFromTheSecondArgumentOrTheOptionText) {
    CommandLine separate = Parse({"/p", "1234"});
    EXPECT_EQ(separate.mode, Preview);
    EXPECT_STREQ(separate.handleText, "1234");
    EXPECT_EQ(DecimalValue(separate.handleText), 1234);

    CommandLine joined = Parse({"/p:1234"});  // reads the text p:1234, which is 0
    EXPECT_EQ(joined.mode, Preview);
    EXPECT_STREQ(joined.handleText, "p:1234");
    EXPECT_EQ(DecimalValue(joined.handleText), 0);

    EXPECT_EQ(DecimalValue(Parse({"/P", "-5"}).handleText), -5);
    EXPECT_EQ(DecimalValue(Parse({"/p", "window"}).handleText), 0);
}

TEST(CommandLine, OnlyOneCharacterIsExamined) {
    for (const char* arg : {"/s", "/S", "s", "S", "-s", "/S:123", "-screen", "   -S", " /s"}) {
        EXPECT_EQ(Parse({arg}).mode, FullScreen) << arg;
    }
    // Two prefix characters: the second is no option letter.
    CommandLine dashes = Parse({"--s"});
    EXPECT_EQ(dashes.mode, Windowed);
    EXPECT_STREQ(dashes.valueText1, "-s");
    EXPECT_EQ(Value(dashes.valueText1), 0);
    // Tabs are not skipped.
    EXPECT_EQ(Parse({"\t/s"}).mode, Windowed);
    EXPECT_EQ(Parse({"//s"}).mode, Windowed);
    EXPECT_EQ(Parse({""}).mode, Windowed);
}

TEST(CommandLine, WindowedStyleAndNumberOfBalls) {
    CommandLine full = Parse({"/w", "2", "30"});
    EXPECT_EQ(full.mode, Windowed);
    EXPECT_EQ(Value(full.valueText1), 2);
    EXPECT_EQ(Value(full.valueText2), 30);

    CommandLine alone = Parse({"/w"});  // the text w reads as style 0
    EXPECT_STREQ(alone.valueText1, "w");
    EXPECT_EQ(Value(alone.valueText1), 0);
    EXPECT_EQ(alone.valueText2, nullptr);

    CommandLine noLetter = Parse({"x"});
    EXPECT_EQ(noLetter.mode, Windowed);
    EXPECT_EQ(Value(noLetter.valueText1), 0);

    CommandLine numbers = Parse({"3", "40"});
    EXPECT_EQ(numbers.mode, Windowed);
    EXPECT_EQ(Value(numbers.valueText1), 3);
    EXPECT_EQ(Value(numbers.valueText2), 40);

    CommandLine prefixed = Parse({"  /7", "60", "ignored"});
    EXPECT_EQ(Value(prefixed.valueText1), 7);
    EXPECT_EQ(Value(prefixed.valueText2), 60);
}

TEST(CommandLine, OnlyTheFirstThreeArgumentsCount) {
    CommandLine line = Parse({"/w", "1", "2", "3", "4"});
    EXPECT_EQ(Value(line.valueText1), 1);
    EXPECT_EQ(Value(line.valueText2), 2);
}

TEST(DecimalValue, ReadsLikeTheRuntimeConversion) {
    EXPECT_EQ(DecimalValue("1234"), 1234);
    EXPECT_EQ(DecimalValue("  \t\n 42abc"), 42);
    EXPECT_EQ(DecimalValue("+17"), 17);
    EXPECT_EQ(DecimalValue("-17"), -17);
    EXPECT_EQ(DecimalValue("--17"), 0);
    EXPECT_EQ(DecimalValue("- 17"), 0);
    EXPECT_EQ(DecimalValue(""), 0);
    EXPECT_EQ(DecimalValue("x"), 0);
    EXPECT_EQ(DecimalValue(nullptr), 0);
    EXPECT_EQ(DecimalValue("2147483647"), INT32_MAX);
    EXPECT_EQ(DecimalValue("-2147483648"), INT32_MIN);
    EXPECT_EQ(DecimalValue("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(DecimalValue("-99999999999999999999"), INT32_MIN);
}

}  // namespace
