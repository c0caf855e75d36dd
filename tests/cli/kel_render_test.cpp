#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// The written image equals an in-process render of the same fresh scene; a relative
// output path is relative to where kel-render was started, not to the scene's folder. On
// stdout, by "-" or by name, come the same bytes.
TEST(KelRenderTest, OutputEqualsTheInProcessRender) {
    const test::KelRenderSandbox kelRender;
    using enum RenderMode;
    const struct {
        std::string output;
        RenderMode mode;
        bool cull;
        int width, height, factor;
        std::vector<std::string> options;
    } cases[] = {
        {"room.png", Wireframe, false, 300, 240, 1, {"--mode", "wireframe", "--size", "300x240"}},
        {"-", Wireframe, true, 300, 240, 1, {"--mode=wireframe", "--cull", "--size=300x240"}},
        {"/dev/stdout", Gouraud, false, 240, 300, 1, {"--mode", "gouraud", "--size", "240x300"}},
        {"room.png", Phong, false, 800, 800, 1, {}},  // the defaults
        {"-", Phong, false, 150, 130, 3, {"--size=150x130", "--supersample=3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(renderModeName(c.mode)) + (c.cull ? " culled" : "") + " x" +
                     std::to_string(c.factor) + " to " + c.output);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {kRoom, "--output", c.output});
        fs::remove(kelRender.dir / "room.png");
        const auto stdoutFile = [&kelRender] {
            struct stat info {};
            ::stat((kelRender.dir / "out.txt").c_str(), &info);
            return info.st_ino;
        };
        const ino_t before = stdoutFile();
        const test::KelRenderRun r = kelRender.run(args);
        ASSERT_EQ(r.status, 0) << r.err;
        // /dev/stdout names the open file: it is written in place, never replaced.
        EXPECT_TRUE(c.output != "/dev/stdout" || stdoutFile() == before);
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
// Other thumbnails equal the in-process ones. A file manager's sandbox may let the
// thumbnailer read the scene but not its object files: those are left out, or when nothing
// is left, no thumbnail is written.
TEST(KelRenderTest, ThumbnailsMatchTheGoldenAndTheInProcessOnesWithUnreadableObjectsLeftOut) {
    const test::KelRenderSandbox kelRender;
    const test::KelRenderRun cube = kelRender.run({"--thumbnail", "64", "--", kCube, "cube.png"});
    ASSERT_EQ(cube.status, 0) << cube.err;
    EXPECT_EQ(cube.out + cube.err, "");
    EXPECT_TRUE(test::readImage(kelRender.dir / "cube.png") ==
                test::readImage(std::string(KEL_TEST_DATA_DIR) + "/render/cube_thumbnail_64.png"));

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

    const std::string partly = (kelRender.dir / "partly/room.kel").string();
    for (const auto& [scene, size] :
         {std::pair{kRoom, 1}, {kRoom, 37}, {kRoom, 128}, {partly, 48}}) {
        const test::KelRenderRun r =
            kelRender.run({"--thumbnail", std::to_string(size), scene, "thumb.png"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err.empty(), scene == kRoom) << r.err;  // the objects left out are named
        test::InProcessScene fresh(scene, RenderMode::Phong);
        Thumbnail expected;
        ASSERT_TRUE(
            renderThumbnail(*makePipeline(RenderMode::Phong), fresh.scene(), size, 2, expected));
        EXPECT_TRUE(test::readImage(kelRender.dir / "thumb.png") == expected.image) << size;
    }
}

// Every example's tree after a default render matches its checked-in text, printed once
// however many frames were drawn. After a deliberate change to an example, regenerate with:
//   kel-render examples/NAME.kel --tree > tests/data/tree/NAME.txt
TEST(TreeOptionTest, EveryExampleMatchesItsExpectedTree) {
    const test::KelRenderSandbox kelRender;
    for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".kel") {
            continue;
        }
        const fs::path expected =
            fs::path(KEL_TEST_DATA_DIR) / "tree" / (entry.path().stem().string() + ".txt");
        ASSERT_TRUE(fs::exists(expected)) << "no expected tree for " << entry.path();
        const test::KelRenderRun run = kelRender.run({entry.path(), "--tree", "--frames=2"});
        EXPECT_EQ(run.status, 0) << entry.path();
        EXPECT_EQ(run.out, test::readFile(expected)) << entry.path();
    }
}

// kel-render prints, for each pixel asked for, what the viewer's pick tells of the same
// render.
TEST(ProbeOptionTest, PrintsTheStoryOfEachPixel) {
    const test::KelRenderSandbox kelRender;
    const std::vector<std::pair<int, int>> pixels = {{150, 210}, {60, 250}, {200, 120}, {12, 12}};
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        const std::string name = renderModeName(mode);
        std::vector<std::string> args = {kRoom, "--mode", name, "--size", "300x280"};
        for (const auto& [x, y] : pixels) {
            args.push_back("--probe=" + std::to_string(x) + "," + std::to_string(y));
        }
        args.push_back("--probe=3,3");  // the margin: not a pixel of the viewport
        const test::KelRenderRun run = kelRender.run(args);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "kel-render: 3,3 is not a pixel of the viewport\n");

        test::InProcessScene fresh(kRoom, mode);
        ImageSurface image(300, 280);
        makePipeline(mode)->run(image, fresh.scene());
        std::string expected;
        for (const auto& [x, y] : pixels) {
            expected += expected.empty() ? "" : "\n";
            for (const std::string& line : describePixel(probePixel(fresh.scene(), mode, x, y))) {
                expected += line + "\n";
            }
        }
        EXPECT_EQ(run.out, expected + "\n") << name;  // and the empty story of 3,3
    }
}

std::uint64_t redPixels(const RgbaImage& image) {
    std::uint64_t count = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const std::uint8_t* p = image.pixel(i % image.width(), i / image.width());
        count += p[0] == 255 && p[1] == 0 && p[2] == 0;
    }
    return count;
}

// Every row runs in one folder, so that no temporary of any failed write can hide: a failed
// write keeps the old file, also when cut short by the file-size limit (dash counts ulimit -f
// in 512-byte blocks: 1 KiB, far below the image). "--" lets a scene name start with "-". A
// reference that is not a plain file is refused at once, without blocking or reading.
TEST(KelRenderTest, ExitStatusesAndMessagesOfTheExecutable) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "truncated.kel") << "0 0 -5\n0 0 0\n0 1";
    fs::copy_file(kCube, kelRender.dir / "-cube.kel");
    fs::copy_file(std::string(KEL_EXAMPLES_DIR) + "/cube.obj", kelRender.dir / "cube.obj");
    std::ofstream(kelRender.dir / "old.png") << "old";
    std::ofstream(kelRender.dir / "text.png") << "not a png";
    ASSERT_EQ(::mkfifo((kelRender.dir / "fifo.png").c_str(), 0600), 0);
    fs::create_directory(kelRender.dir / "folder.png");
    fs::create_directory(kelRender.dir / "out");
    const std::string unread = "kel-render: Could not read the reference ";
    const std::string same = "kel-render: expected.png: the 10000 shared pixels are the same\n";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // expected in stderr; empty: stderr is empty
        std::string out = "";
        std::string prefix = "";
        std::string stdoutTarget = "out.txt";
    } cases[] = {
        {{"--version"}, 0, "", std::string("kel-render (Kel) ") + KEL_VERSION + "\n"},
        {{"--size", "1x1", kCube}, 0, ""},  // too small to draw, but not an error
        {{}, 2, "kel-render: no scene file given\nTry 'kel-render --help'.\n"},
        {{"truncated.kel"}, 1, "kel-render: truncated.kel"},
        {{kCube, "--size", "40x40", "--frames", "1"}, 0, "kel-render: 1 frame, median "},
        {{kCube, "--size", "40x40", "--frames=3"}, 0, "kel-render: 3 frames, median "},
        {{"--size", "60x60", "--output", "dash.png", "--", "-cube.kel"}, 0, ""},
        {{kCube, "--size=100x100", "--output", "expected.png"}, 0, ""},
        {{kCube, "--size=100x100", "--reference", "expected.png", "--diff", "same.png"}, 0, ""},
        {{kCube, "--size=100x100", "--mode=gouraud", "--reference=expected.png", "--diff",
          "diff.png"},
         3,
         "kel-render: expected.png: "},
        {{kCube, "--size=120x100", "--reference", "expected.png"},
         3,
         "kel-render: expected.png: the image is 120x100 pixels, the reference 100x100\n" + same},
        {{kCube, "--reference", "missing.png", "--output", "old.png"},
         1,
         unread + "missing.png: No such file or directory\n"},
        {{kCube, "--reference", "text.png"}, 1, unread + "text.png: "},
        {{kCube, "--reference", "fifo.png"}, 1, unread + "fifo.png: not a regular file\n"},
        {{kCube, "--reference", "folder.png"}, 1, unread + "folder.png: Is a directory\n"},
        {{"missing.kel", "--output", "old.png"},
         1,
         "kel-render: Cannot open missing.kel: No such file or directory\n"},
        {{kCube, "--size=300x300", "--output", "old.png"},
         1,
         "kel-render: Could not write old.png: File too large\n",
         "",
         "ulimit -f 2;"},
        {{"--thumbnail", "32", "missing.kel", "old.png"}, 1, "missing.kel"},
        {{"--thumbnail", "32", kCube, "no-dir/t.png"}, 1, "Could not write no-dir/t.png: "},
        {{kCube, "--size=8x8", "--tree"},
         1,
         "kel-render: Could not write the standard output: No space left on device\n",
         "",
         "",
         "/dev/full"},
        {{"--help"}, 1, "kel-render: Could not write the standard output: ", "", "", "/dev/full"},
        {{"--size=8x8", "--save", "no-folder/x.kel", "--", "-cube.kel"},
         1,
         "kel-render: Could not save " + (kelRender.dir / "no-folder/x.kel").string() +
             ": No such file or directory\n"},
        // The saved scene names its object relative to its own folder.
        {{"--size=8x8", "--save", "out/copy.kel", "--", "-cube.kel"}, 0, ""},
    };
    std::vector<std::string> errs;
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args, c.prefix, c.stdoutTarget);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.empty(), c.err.empty()) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        errs.push_back(r.err);
    }
    EXPECT_EQ(test::readFile(kelRender.dir / "old.png"), "old");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kelRender.dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"-cube.kel", "cube.obj", "dash.png", "diff.png",
                                               "err.txt", "expected.png", "fifo.png", "folder.png",
                                               "foo", "old.png", "out", "out.txt", "same.png",
                                               "text.png", "truncated.kel"}));
    EXPECT_NE(test::readFile(kelRender.dir / "out/copy.kel").find("\n1\n../cube.obj\n"),
              std::string::npos);
    EXPECT_EQ(test::readFile(kelRender.dir / "foo").substr(0, 3), "24\n");

    // The report and the difference image agree on how many pixels differ; an image equal
    // to its reference leaves no red in its faded difference.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(errs[9], m, std::regex("(\\d+) of 10000 pixels differ")))
        << errs[9];
    EXPECT_EQ(redPixels(test::readImage(kelRender.dir / "diff.png")), std::stoull(m[1]));
    EXPECT_EQ(redPixels(test::readImage(kelRender.dir / "same.png")), 0u);

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

}  // namespace
}  // namespace kel
