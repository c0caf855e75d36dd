#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "cli/render_command.h"
#include "cli/stderr_user_messages.h"
#include "files/kel_doc.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kCube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";

TEST(KelRenderTest, UsageErrorsExitTwoAndNameTheProblem) {
    const auto run = [](const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runKelRender(args, out, err), kExitUsage) << err.str();
        EXPECT_EQ(out.str(), "");
        return err.str();
    };
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
        EXPECT_EQ(run(args), "kel-render: " + message + "\nTry 'kel-render --help'.\n");
    }
    for (const std::string bad :
         {"--size=0x10", "--size=10x0", "--size=10x", "--size=x10", "--size=10", "--size=10x10x",
          "--size=-5x5", "--size=+5x5", "--size=8193x10", "--size=1e3x5", "--size=99999999999x1",
          "--size=10 x10", "--size=", "--frames=-1", "--frames=abc", "--frames=3.5",
          "--frames=100001", "--frames=2147483648", "--frames= 3"}) {
        EXPECT_NE(run({"a.kel", bad}), "") << bad;
    }
}

TEST(KelRenderTest, ExitStatusesAndMessagesOfTheExecutable) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "truncated.kel") << "0 0 -5\n0 0 0\n0 1";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;  // expected in stdout
        std::string err;  // expected in stderr after "kel-render: "; nothing if empty
    } cases[] = {
        {{"--help"}, 0, "Usage: kel-render SCENE.kel", ""},
        {{"--size", "1x1", kCube}, 0, "", ""},  // too small to draw, but not an error
        {{}, 2, "", "no scene file given\nTry 'kel-render --help'.\n"},
        {{"no-such-scene.kel", "--output", "x.png"}, 1, "", "no-such-scene.kel"},
        {{"truncated.kel"}, 1, "", "truncated.kel"},
        {{kCube, "--output", "no-dir/out.png"}, 1, "", "Could not write no-dir/out.png"},
        {{kCube, "--size", "40x40", "--frames", "1"}, 0, "", "1 frame, median "},
        {{kCube, "--size", "40x40", "--frames=3"}, 0, "", "3 frames, median "},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
        EXPECT_EQ(r.err.substr(0, 12), c.err.empty() ? "" : "kel-render: ");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(kelRender.dir / "x.png"));
}

// The written image equals an in-process render of the same fresh scene; a relative
// output path is relative to where kel-render was started, not to the scene's folder.
TEST(KelRenderTest, OutputEqualsTheInProcessRender) {
    const test::KelRenderSandbox kelRender;
    const std::string room = std::string(KEL_EXAMPLES_DIR) + "/room.kel";
    const struct {
        std::vector<std::string> options;
        RenderMode mode;
        bool cull;
        int width, height;
    } cases[] = {
        {{"--mode", "wireframe", "--size", "300x240"}, RenderMode::Wireframe, false, 300, 240},
        {{"--mode=wireframe", "--cull", "--size=300x240"}, RenderMode::Wireframe, true, 300, 240},
        {{"--mode", "gouraud", "--size", "240x300"}, RenderMode::Gouraud, false, 240, 300},
        {{}, RenderMode::Phong, false, 800, 800},  // the defaults
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {room, "--output", "room.png"});
        const test::KelRenderRun r = kelRender.run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        ImageSurface written(0, 0);
        std::string error;
        ASSERT_TRUE(readPng((kelRender.dir / "room.png").string(), written, error)) << error;

        const fs::path cwd = fs::current_path();
        StderrUserMessages messages(std::cerr);
        CKelDoc document(messages);
        ASSERT_TRUE(document.onOpenDocument(room));
        fs::current_path(cwd);
        applyViewState(*document.scene(), c.mode, c.cull);
        ImageSurface expected(c.width, c.height);
        makePipeline(c.mode)->run(expected, *document.scene());
        EXPECT_EQ(written.width(), c.width);
        EXPECT_TRUE(written.pixels() == expected.pixels()) << renderModeName(c.mode) << c.cull;
    }
}

}  // namespace
}  // namespace kel
