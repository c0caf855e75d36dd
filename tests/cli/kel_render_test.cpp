#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "cli/cli_options.h"
#include "cli/render_command.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/png_file.h"
#include "render/rgba_image.h"
#include "render/supersampled_render.h"
#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kCube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";
const std::string kRoom = std::string(KEL_EXAMPLES_DIR) + "/room.kel";
const std::string kStdoutClash =
    "only one of the image, the difference image and the tree or probes can go to stdout";

std::string usageError(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runKelRender(args, out, err), kExitUsage) << err.str();
    EXPECT_EQ(out.str(), "");
    return err.str();
}

TEST(KelRenderTest, UsageErrorsExitTwoAndNameTheProblem) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no scene file given"},
        {{"a.kel", "b.kel"}, "more than one scene file given"},
        {{"--", "-odd.kel", "--mode"}, "more than one scene file given"},
        {{"a.kel", "-x"}, "unknown option '-x'"},
        {{"--version", "--bogus"}, "unknown option '--bogus'"},
        {{"a.kel", "--mode"}, "option '--mode' needs a value (wireframe|gouraud|phong)"},
        {{"a.kel", "--mode", "flat"}, "unknown mode 'flat' (expected wireframe, gouraud or phong)"},
        {{"a.kel", "--cull=1"}, "option '--cull' takes no value"},
        {{"a.kel", "--output="}, "the output file name is empty"},
        {{"a.kel", "--frames", "0"}, "invalid frame count '0' (expected 1 to 100000)"},
        {{"a.kel", "--output", "out.jpg"},
         "'out.jpg' names a JPEG image; kel-render writes PNG only"},
        {{"a.kel", "--reference", "r.png", "--diff", "d.Gif"},
         "'d.Gif' names a GIF image; kel-render writes PNG only"},
        {{"a.kel", "--diff", "d.png"}, "option '--diff' needs --reference"},
        {{"a.kel", "--reference"}, "option '--reference' needs a value (EXPECTED.png)"},
        {{"a.kel", "--reference="}, "the reference file name is empty"},
        {{"a.kel", "--supersample", "0"}, "invalid supersampling factor '0' (expected 1 to 16)"},
        {{"a.kel", "--supersample=2x"}, "invalid supersampling factor '2x' (expected 1 to 16)"},
        {{"a.kel", "--supersample", "16"},
         "--supersample 16 at 800x800 needs a viewport of 12480 pixels (at most 8192)"},
        {{"--thumbnail", "0", "a.kel", "o.png"}, "invalid thumbnail size '0' (expected 1 to 4096)"},
        {{"--thumbnail", "4097", "a.kel", "o.png"},
         "invalid thumbnail size '4097' (expected 1 to 4096)"},
        {{"--thumbnail", "64", "a.kel"}, "--thumbnail needs SIZE INPUT OUTPUT"},
        {{"--thumbnail", "64", "a.kel", "o.png", "--mode", "gouraud"},
         "option '--mode' cannot be used with --thumbnail"},
        {{"a.kel", "--output", "-", "--tree"}, kStdoutClash},
        {{"a.kel", "--output", "-", "--reference", "r.png", "--diff", "-"}, kStdoutClash},
        {{"a.kel", "--probe", "5,5", "--supersample", "2"},
         "option '--probe' cannot be used with --supersample above 1"},
        {{"--thumbnail", "64", "a.kel", "o.png", "--probe", "1,1"},
         "option '--probe' cannot be used with --thumbnail"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(usageError(args), "kel-render: " + message + "\nTry 'kel-render --help'.\n");
    }
    // Malformed numbers: refused, whatever the exact words.
    for (const std::string bad :
         {"--size=0x10", "--size=10x0", "--size=10x", "--size=x10", "--size=10", "--size=10x10x",
          "--size=-5x5", "--size=+5x5", "--size=8193x10", "--size=1e3x5", "--size=99999999999x1",
          "--size=10 x10", "--size=", "--frames=-1", "--frames=abc", "--frames=3.5",
          "--frames=100001", "--frames=2147483648", "--frames= 3"}) {
        EXPECT_NE(usageError({"a.kel", bad}), "") << bad;
    }
    for (const std::string value :
         {"", "5", "5,", ",5", "a,b", "-1,5", "5,-1", "1,2,3", "99999,1", "1.5,2", " 1,2"}) {
        EXPECT_NE(usageError({"a.kel", "--probe", value}).find("invalid pixel '" + value + "'"),
                  std::string::npos);
    }
}

// Nothing is written when the command line is refused, and "--" lets a name start with "-".
TEST(KelRenderTest, ExitStatusesAndMessagesOfTheExecutable) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "truncated.kel") << "0 0 -5\n0 0 0\n0 1";
    fs::copy_file(kCube, kelRender.dir / "-cube.kel");
    fs::copy_file(std::string(KEL_EXAMPLES_DIR) + "/cube.obj", kelRender.dir / "cube.obj");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;  // expected in stderr after "kel-render: "; nothing if empty
    } cases[] = {
        {{"--version"}, 0, std::string("kel-render (Kel) ") + KEL_VERSION + "\n", ""},
        {{"--size", "1x1", kCube}, 0, "", ""},  // too small to draw, but not an error
        {{}, 2, "", "no scene file given\nTry 'kel-render --help'.\n"},
        {{kCube, "--output", "out.jpg"}, 2, "", "'out.jpg' names a JPEG image"},
        {{"--thumbnail", "64", kCube, "t.bmp"}, 2, "", "'t.bmp' names a BMP image"},
        {{"no-such-scene.kel", "--output", "x.png"}, 1, "", "no-such-scene.kel"},
        {{"truncated.kel"}, 1, "", "truncated.kel"},
        {{kCube, "--size", "40x40", "--frames", "1"}, 0, "", "1 frame, median "},
        {{kCube, "--size", "40x40", "--frames=3"}, 0, "", "3 frames, median "},
        {{"--size", "60x60", "--output", "dash.png", "--", "-cube.kel"}, 0, "", ""},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.substr(0, 12), c.err.empty() ? "" : "kel-render: ");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    for (const char* refused : {"x.png", "out.jpg", "t.bmp"}) {
        EXPECT_FALSE(fs::exists(kelRender.dir / refused)) << refused;
    }
    EXPECT_TRUE(fs::exists(kelRender.dir / "dash.png"));

    const test::KelRenderRun help = kelRender.run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: kel-render SCENE.kel", 0), 0u);
    for (const CliOptionDef& def : cliOptionDefs()) {
        EXPECT_NE(help.out.find("\n  " + def.name), std::string::npos) << def.name;
    }
    for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "}) {
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
    }
}

// The written image equals an in-process render of the same fresh scene; a relative
// output path is relative to where kel-render was started, not to the scene's folder. On
// stdout, by "-" or by name, come the same bytes.
TEST(KelRenderTest, OutputEqualsTheInProcessRender) {
    const test::KelRenderSandbox kelRender;
    const struct {
        std::vector<std::string> options;
        RenderMode mode;
        bool cull;
        int width, height, factor;
        std::string output;
    } cases[] = {
        {{"--mode", "wireframe", "--size", "300x240"},
         RenderMode::Wireframe,
         false,
         300,
         240,
         1,
         "room.png"},
        // clang-format off
        {{"--mode=wireframe", "--cull", "--size=300x240"}, RenderMode::Wireframe, true, 300, 240, 1,
         "/dev/stdout"},
        // clang-format on
        {{"--mode", "gouraud", "--size", "240x300"}, RenderMode::Gouraud, false, 240, 300, 1, "-"},
        {{}, RenderMode::Phong, false, 800, 800, 1, "room.png"},  // the defaults
        {{"--size=150x130", "--supersample=3"}, RenderMode::Phong, false, 150, 130, 3, "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(renderModeName(c.mode)) + (c.cull ? " culled" : "") + " x" +
                     std::to_string(c.factor) + " to " + c.output);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {kRoom, "--output", c.output});
        fs::remove(kelRender.dir / "room.png");
        const test::KelRenderRun r = kelRender.run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        if (c.output != "room.png") {
            std::ofstream(kelRender.dir / "room.png", std::ios::binary) << r.out;
        }
        test::InProcessScene fresh(kRoom, c.mode, c.cull);
        ImageSurface expected(c.width, c.height);
        SupersampledRender(c.factor).run(*makePipeline(c.mode), fresh.scene(), expected);
        EXPECT_TRUE(test::readImage(kelRender.dir / "room.png") == toRgba(expected));
    }
}

// The cube's thumbnail is checked in; after a deliberate change regenerate it with
//   kel-render --thumbnail 64 examples/cube.kel tests/data/render/cube_thumbnail_64.png
// At other sizes the thumbnail equals the in-process one.
TEST(KelRenderTest, ThumbnailsMatchTheGoldenAndTheInProcessThumbnail) {
    const test::KelRenderSandbox kelRender;
    const test::KelRenderRun cube = kelRender.run({"--thumbnail", "64", "--", kCube, "cube.png"});
    ASSERT_EQ(cube.status, 0) << cube.err;
    EXPECT_EQ(cube.out + cube.err, "");
    EXPECT_TRUE(test::readImage(kelRender.dir / "cube.png") ==
                test::readImage(std::string(KEL_TEST_DATA_DIR) + "/render/cube_thumbnail_64.png"));
    for (const int size : {1, 37, 128}) {
        ASSERT_EQ(kelRender.run({"--thumbnail", std::to_string(size), kRoom, "room.png"}).status,
                  0);
        test::InProcessScene fresh(kRoom, RenderMode::Phong);
        Thumbnail expected;
        ASSERT_TRUE(
            renderThumbnail(*makePipeline(RenderMode::Phong), fresh.scene(), size, 2, expected));
        EXPECT_TRUE(test::readImage(kelRender.dir / "room.png") == expected.image) << size;
    }
}

// A file manager's sandbox may let the thumbnailer read the scene but not its object files.
TEST(KelRenderTest, UnreadableObjectsAreLeftOutOrTheThumbnailFailsCleanly) {
    const test::KelRenderSandbox kelRender;
    for (const char* folder : {"alone", "partly"}) {
        fs::create_directories(kelRender.dir / folder);
        fs::copy_file(kRoom, kelRender.dir / folder / "room.kel");
    }
    fs::copy_file(std::string(KEL_EXAMPLES_DIR) + "/floor.obj", kelRender.dir / "partly/floor.obj");
    std::ofstream(kelRender.dir / "old.png") << "old";

    const test::KelRenderRun alone =
        kelRender.run({"--thumbnail", "48", "alone/room.kel", "old.png"});
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.err.find("kel-render: Nothing of alone/room.kel is in view; no thumbnail "
                             "written\n"),
              std::string::npos)
        << alone.err;
    EXPECT_EQ(test::readFile(kelRender.dir / "old.png"), "old");

    const test::KelRenderRun partly =
        kelRender.run({"--thumbnail", "48", "partly/room.kel", "partly.png"});
    EXPECT_EQ(partly.status, 0) << partly.err;
    EXPECT_NE(partly.err.find("kel-render: "), std::string::npos);  // the missing objects
    const RgbaImage floorOnly = test::readImage(kelRender.dir / "partly.png");
    ASSERT_EQ(kelRender.run({"--thumbnail", "48", kRoom, "full.png"}).status, 0);
    EXPECT_FALSE(floorOnly == test::readImage(kelRender.dir / "full.png"));
    EXPECT_FALSE(floorOnly.opaque());
}

// Every example's tree after a default render matches its checked-in text. After a
// deliberate change to an example, regenerate with:
//   kel-render examples/NAME.kel --tree > tests/data/tree/NAME.txt
TEST(TreeOptionTest, EveryExampleMatchesItsExpectedTree) {
    const test::KelRenderSandbox kelRender;
    std::size_t scenes = 0;
    for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".kel") {
            continue;
        }
        ++scenes;
        const fs::path expected =
            fs::path(KEL_TEST_DATA_DIR) / "tree" / (entry.path().stem().string() + ".txt");
        ASSERT_TRUE(fs::exists(expected)) << "no expected tree for " << entry.path();
        const test::KelRenderRun run = kelRender.run({entry.path(), "--tree"});
        EXPECT_EQ(run.status, 0) << entry.path();
        EXPECT_EQ(run.out, test::readFile(expected)) << entry.path();
    }
    EXPECT_GT(scenes, 0u);
}

TEST(TreeOptionTest, TreeFollowsTheRenderStateAndIsPrintedOnce) {
    const test::KelRenderSandbox kelRender;
    // Shaded modes cull the three faces turned away; wireframe only when asked to.
    for (const auto& [mode, cull, culled] :
         {std::tuple{"gouraud", false, 3u}, {"wireframe", false, 0u}, {"wireframe", true, 3u}}) {
        std::vector<std::string> args = {kCube, "--mode", mode, "--tree"};
        if (cull) {
            args.push_back("--cull");
        }
        const std::string tree = kelRender.run(args).out;
        const auto count = [&tree](const char* line) {
            const std::regex pattern(std::string("\n {10}") + line + "\n");
            return std::distance(std::sregex_iterator(tree.begin(), tree.end(), pattern), {});
        };
        EXPECT_EQ(count("Not Visible"), culled) << mode << cull;
        EXPECT_EQ(count("Visible"), 6 - culled) << mode << cull;
    }
    EXPECT_EQ(kelRender.run({kCube, "--frames", "3", "--tree"}).out,
              kelRender.run({kCube, "--tree"}).out);
}

// kel-render prints, for each pixel asked for, what the viewer's pick tells: the story of
// the same render, whose colour is the pixel of the PNG it writes.
TEST(ProbeOptionTest, PrintsTheStoryWhoseColourIsThePngPixel) {
    test::KelRenderSandbox sandbox;
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        const std::string name = renderModeName(mode);
        const std::vector<std::pair<int, int>> pixels = {
            {150, 210}, {60, 250}, {200, 120}, {12, 12}};
        std::vector<std::string> args = {kRoom,     "--mode",   name,       "--size",
                                         "300x280", "--output", "probe.png"};
        for (const auto& [x, y] : pixels) {
            args.push_back("--probe");
            args.push_back(std::to_string(x) + "," + std::to_string(y));
        }
        args.push_back("--probe=3,3");  // the margin: not a pixel of the viewport
        const test::KelRenderRun run = sandbox.run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "kel-render: 3,3 is not a pixel of the viewport\n");

        ImageSurface png(0, 0);
        std::string error;
        ASSERT_TRUE(readPng((sandbox.dir / "probe.png").string(), png, error)) << error;

        test::InProcessScene fresh(kRoom, mode);
        ImageSurface image(300, 280);
        makePipeline(mode)->run(image, fresh.scene());

        std::string expected;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const auto [x, y] = pixels[i];
            const PixelStory story = probePixel(fresh.scene(), mode, x, y);
            EXPECT_EQ(story.color, png.pixel(x, y)) << name << " " << x << "," << y;
            expected += i > 0 ? "\n" : "";
            for (const std::string& line : describePixel(story)) {
                expected += line + "\n";
            }
        }
        EXPECT_EQ(run.out, expected + "\n") << name;  // and the empty story of 3,3
    }
}
}  // namespace
}  // namespace kel
