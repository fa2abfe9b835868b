#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/quorix-ball/ball_cli.h"

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun Ball(std::vector<std::string> args) {
    args.insert(args.begin(), "quorix-ball");
    std::vector<const char*> argv;
    for (const std::string& a : args)
        argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status = RunQuorixBall(int(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(BallTool, PrintsTheDefaultBall) {
    const ToolRun r = Ball({});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "8 8 1");
    for (size_t k = 1; k < lines.size(); ++k)
        EXPECT_EQ(lines[k].size(), 8u * 9 - 1) << k;
    // Row 0 first: the bottom row's corners are outside the ball.
    EXPECT_EQ(lines[1].substr(0, 8), "ff000000");
    EXPECT_TRUE(r.err.empty());
}

TEST(BallTool, NumbersInDecimalHexAndNegative) {
    const ToolRun hex = Ball({"spriteWidth=0x3", "spriteHeight=2", "opacityControl=-0x10"});
    ASSERT_EQ(hex.status, 0) << hex.err;
    EXPECT_EQ(Lines(hex.out)[0], "3 2 1");
    const ToolRun colour = Ball({"topColour=255,0x10,-1", "spriteWidth=1", "spriteHeight=1"});
    EXPECT_EQ(colour.status, 0) << colour.err;
}

TEST(BallTool, BadInputIsOneLineAndStatus2) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"bogus=1"},
             {"spriteWidth=12x"},
             {"spriteWidth="},
             {"spriteWidth"},
             {"topColour=1,2"},
             {"topColour=1,2,3,4"},
             {"lightDirection=0x1FFFFFFFF"},
             {"--shift"},
             {"--shift", "1"},
             {"--blend", "0x10"},
             {"--flatten", "red"},
             {"--png"},
             {"--zoom", "2"},
             {"--png", "x.png", "--zoom", "0"},
             {"--frobnicate"},
             {"spriteWidth=-1"},
             {"spriteHeight=100000"},
         }) {
        const ToolRun r = Ball(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_TRUE(r.out.empty()) << args[0];
        const std::vector<std::string> lines = Lines(r.err);
        ASSERT_EQ(lines.size(), 1u) << args[0] << ": " << r.err;
        EXPECT_EQ(lines[0].rfind("quorix-ball: ", 0), 0u) << lines[0];
    }
}

TEST(BallTool, ShiftFlattenAndBlend) {
    const ToolRun shifted = Ball({"--shift", "0x180,0"});
    ASSERT_EQ(shifted.status, 0);
    EXPECT_EQ(Lines(shifted.out)[0], "9 8 1");

    const ToolRun flat = Ball({"--flatten", "0x000000FF"});
    ASSERT_EQ(flat.status, 0);
    // The empty corner becomes the flattening colour (red).
    EXPECT_EQ(Lines(flat.out)[1].substr(0, 8), "00ff0000");

    const ToolRun blended = Ball({"--shift", "0,0x40", "--blend", "0x00102030,64"});
    ASSERT_EQ(blended.status, 0);
    const std::vector<std::string> lines = Lines(blended.out);
    EXPECT_EQ(lines[0], "8 9 0");
    EXPECT_EQ(lines[1].substr(0, 8), "00102030");  // the plane shows through
    for (size_t k = 1; k < lines.size(); ++k)
        for (size_t w = 0; w < lines[k].size(); w += 9)
            EXPECT_EQ(lines[k].substr(w, 2), "00");
}

TEST(BallTool, EmptySprites) {
    const ToolRun r = Ball({"spriteWidth=0", "spriteHeight=3"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0 3 1\n\n\n\n");
    const ToolRun shifted = Ball({"spriteWidth=0", "--shift", "0x80,0x80"});
    EXPECT_EQ(shifted.out, "0 0 1\n");
    const ToolRun png = Ball({"spriteWidth=0", "--png", "/tmp/never.png"});
    EXPECT_EQ(png.status, 2);
}

TEST(BallTool, LargestSizesRender) {
    const ToolRun r = Ball({"spriteWidth=1024", "spriteHeight=1024", "ellipseWidth=2000",
                            "ellipseHeight=1", "normalRadius=1", "slopeRamp=0x7FFFFFFF",
                            "lightDirection=-1", "specularIndex=8", "secondSpecularIndex=-3",
                            "sharpenShift=-7", "--shift", "-1,-1", "--blend", "0xFFFFFFFF,-5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out)[0], "1025 1025 0");
}

TEST(BallTool, WritesAPngAsTheScreenShowsIt) {
    const std::string path = testing::TempDir() + "quorix_ball_test.png";
    const ToolRun r = Ball({"spriteWidth=5", "spriteHeight=3", "--png", path, "--zoom", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    // IHDR: 15 x 9 pixels.
    const auto word = [&](size_t at) {
        return (uint32_t(uint8_t(bytes[at])) << 24) | (uint32_t(uint8_t(bytes[at + 1])) << 16) |
               (uint32_t(uint8_t(bytes[at + 2])) << 8) | uint32_t(uint8_t(bytes[at + 3]));
    };
    EXPECT_EQ(word(16), 15u);
    EXPECT_EQ(word(20), 9u);
    std::remove(path.c_str());

    const ToolRun bad = Ball({"--png", "/nonexistent-dir/x.png"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(Lines(bad.err).size(), 1u);
}

}  // namespace
