#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/stderr_user_messages.h"

namespace kel {
namespace {

CliParseResult parse(std::vector<std::string> args) {
    return parseCommandLine(args);
}

TEST(CliOptionsTest, DefaultsAreAnEightHundredSquarePhongRenderWithoutOutput) {
    const CliParseResult r = parse({"scene.kel"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.scenePath, "scene.kel");
    EXPECT_EQ(r.options.mode, RenderMode::Phong);
    EXPECT_EQ(r.options.width, 800);
    EXPECT_EQ(r.options.height, 800);
    EXPECT_FALSE(r.options.cull);
    EXPECT_EQ(r.options.outputPath, "");
    EXPECT_EQ(r.options.frames, 1);
    EXPECT_FALSE(r.options.timeFrames);
    EXPECT_FALSE(r.options.help);
}

TEST(CliOptionsTest, EveryOptionInBothSpellings) {
    const CliParseResult r = parse({"--mode", "wireframe", "--size=640x480", "--cull", "a.kel",
                                    "--output", "out.png", "--frames=12"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.scenePath, "a.kel");
    EXPECT_EQ(r.options.mode, RenderMode::Wireframe);
    EXPECT_EQ(r.options.width, 640);
    EXPECT_EQ(r.options.height, 480);
    EXPECT_TRUE(r.options.cull);
    EXPECT_EQ(r.options.outputPath, "out.png");
    EXPECT_EQ(r.options.frames, 12);
    EXPECT_TRUE(r.options.timeFrames);
    EXPECT_EQ(parse({"--mode=gouraud", "a.kel"}).options.mode, RenderMode::Gouraud);
    // Sizes below the margins are allowed: they draw nothing but are not an error.
    EXPECT_EQ(parse({"a.kel", "--size", "1x1"}).error, "");
    EXPECT_EQ(parse({"a.kel", "--size", "8192x8192"}).error, "");
}

TEST(CliOptionsTest, HelpNeedsNoScene) {
    const CliParseResult r = parse({"--help"});
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.options.help);
}

TEST(CliOptionsTest, UsageErrorsNameTheProblem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no scene file given"},
        {{"a.kel", "b.kel"}, "more than one scene file given"},
        {{"a.kel", "--bogus"}, "unknown option '--bogus'"},
        {{"a.kel", "-x"}, "unknown option '-x'"},
        {{"a.kel", "--mode"}, "option '--mode' needs a value (wireframe|gouraud|phong)"},
        {{"a.kel", "--mode", "flat"}, "unknown mode 'flat' (expected wireframe, gouraud or phong)"},
        {{"a.kel", "--cull=1"}, "option '--cull' takes no value"},
        {{"a.kel", "--output="}, "the output file name is empty"},
        {{"a.kel", "--frames", "0"}, "invalid frame count '0' (expected 1 to 100000)"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(parse(args).error, message);
    }
    for (const std::string size : {"0x10", "10x0", "10x", "x10", "10", "10x10x", "-5x5", "+5x5",
                                   "8193x10", "1e3x5", "99999999999x1", "10 x10", ""}) {
        EXPECT_NE(parse({"a.kel", "--size", size}).error, "") << size;
    }
    for (const std::string frames : {"-1", "abc", "3.5", "100001", "2147483648", " 3"}) {
        EXPECT_NE(parse({"a.kel", "--frames", frames}).error, "") << frames;
    }
}

TEST(StderrUserMessagesTest, PrefixesEveryMessageAndAnswersNo) {
    std::ostringstream out;
    StderrUserMessages messages(out);
    messages.showError("No object file found");
    EXPECT_FALSE(messages.askYesNo("x has been changed, save it?"));
    EXPECT_EQ(out.str(),
              "kel-render: No object file found\n"
              "kel-render: x has been changed, save it? (answered No)\n");
    EXPECT_EQ(messages.shownCount(), 2);
}

}  // namespace
}  // namespace kel
