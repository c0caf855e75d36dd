#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iostream>
#include <regex>
#include <sstream>

#include "cli/cli_options.h"
#include "cli/png_input.h"
#include "cli/render_command.h"
#include "cli/stderr_user_messages.h"
#include "files/kel_doc.h"
#include "render/image_compare.h"
#include "render/render_mode.h"
#include "render/supersampled_render.h"
#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kCube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";

const std::string kStdoutClash =
    "only one of the image, the difference image and the tree or probes can go to stdout";

std::string usageError(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runKelRender(args, out, err), kExitUsage) << err.str();
    EXPECT_EQ(out.str(), "");
    return err.str();
}

TEST(KelRenderConventionsTest, VersionAndHelpGoToStdout) {
    const test::KelRenderSandbox kelRender;
    const test::KelRenderRun version = kelRender.run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("kel-render (Kel) ") + KEL_VERSION + "\n");
    EXPECT_EQ(version.err, "");

    const test::KelRenderRun help = kelRender.run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const CliOptionDef& def : cliOptionDefs()) {
        EXPECT_NE(help.out.find("\n  " + def.name), std::string::npos) << def.name;
    }
    for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  ", "\n  3  "}) {
        EXPECT_NE(help.out.find(status), std::string::npos) << status;
    }
    EXPECT_NE(help.out.find("--thumbnail SIZE INPUT OUTPUT"), std::string::npos);
    std::istringstream lines(help.out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;  // a terminal's width, and help2man's input
    }
}

TEST(KelRenderConventionsTest, BadCombinationsAndValuesAreUsageErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"a.kel", "--output", "out.jpg"},
         "'out.jpg' names a JPEG image; kel-render writes PNG only"},
        {{"a.kel", "--output=dir/OUT.TIFF"},
         "'dir/OUT.TIFF' names a TIFF image; kel-render writes PNG only"},
        {{"a.kel", "--reference", "r.png", "--diff", "d.Gif"},
         "'d.Gif' names a GIF image; kel-render writes PNG only"},
        {{"a.kel", "--diff", "d.png"}, "option '--diff' needs --reference"},
        {{"a.kel", "--reference"}, "option '--reference' needs a value (EXPECTED.png)"},
        {{"a.kel", "--reference="}, "the reference file name is empty"},
        {{"a.kel", "--supersample", "0"}, "invalid supersampling factor '0' (expected 1 to 16)"},
        {{"a.kel", "--supersample=17"}, "invalid supersampling factor '17' (expected 1 to 16)"},
        {{"a.kel", "--supersample=2x"}, "invalid supersampling factor '2x' (expected 1 to 16)"},
        {{"a.kel", "--supersample", "16"},
         "--supersample 16 at 800x800 needs a viewport of 12480 pixels (at most 8192)"},
        {{"--thumbnail", "0", "a.kel", "o.png"}, "invalid thumbnail size '0' (expected 1 to 4096)"},
        {{"--thumbnail", "1e9", "a.kel", "o.png"},
         "invalid thumbnail size '1e9' (expected 1 to 4096)"},
        {{"--thumbnail=1000000000", "a.kel", "o.png"},
         "invalid thumbnail size '1000000000' (expected 1 to 4096)"},
        {{"--thumbnail", "4097", "a.kel", "o.png"},
         "invalid thumbnail size '4097' (expected 1 to 4096)"},
        {{"--thumbnail", "64", "a.kel"}, "--thumbnail needs SIZE INPUT OUTPUT"},
        {{"--thumbnail", "64", "a.kel", "o.png", "p.png"}, "--thumbnail needs SIZE INPUT OUTPUT"},
        {{"--thumbnail", "64", "a.kel", "o.png", "--mode", "gouraud"},
         "option '--mode' cannot be used with --thumbnail"},
        {{"--thumbnail", "64", "a.kel", "o.png", "--size=9x9"},
         "option '--size' cannot be used with --thumbnail"},
        {{"--thumbnail", "64", "a.kel", "o.webp"},
         "'o.webp' names a WebP image; kel-render writes PNG only"},
        {{"a.kel", "--output", "-", "--tree"}, kStdoutClash},
        {{"a.kel", "--output", "-", "--reference", "r.png", "--diff", "-"}, kStdoutClash},
        {{"a.kel", "--probe", "5,5", "--output", "-"}, kStdoutClash},
        {{"a.kel", "--probe", "5,5", "--supersample", "2"},
         "option '--probe' cannot be used with --supersample above 1"},
        {{"--thumbnail", "64", "a.kel", "o.png", "--probe", "1,1"},
         "option '--probe' cannot be used with --thumbnail"},
        {{"--", "-odd.kel", "--mode"}, "more than one scene file given"},
        {{"--version", "--bogus"}, "unknown option '--bogus'"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(usageError(args), "kel-render: " + message + "\nTry 'kel-render --help'.\n");
    }
}

// Nothing is written when the command line is refused, and "--" lets a name start with "-".
TEST(KelRenderConventionsTest, RefusedCommandsWriteNothing) {
    const test::KelRenderSandbox kelRender;
    fs::copy_file(kCube, kelRender.dir / "-cube.kel");
    fs::copy_file(std::string(KEL_EXAMPLES_DIR) + "/cube.obj", kelRender.dir / "cube.obj");
    EXPECT_EQ(kelRender.run({kCube, "--output", "out.jpg"}).status, 2);
    EXPECT_EQ(kelRender.run({"--thumbnail", "64", kCube, "t.bmp"}).status, 2);
    EXPECT_EQ(kelRender.run({"--size", "60x60", "--output", "dash.png", "--", "-cube.kel"}).status,
              0);
    EXPECT_FALSE(fs::exists(kelRender.dir / "out.jpg"));
    EXPECT_FALSE(fs::exists(kelRender.dir / "t.bmp"));
    EXPECT_TRUE(fs::exists(kelRender.dir / "dash.png"));
}

RgbaImage readImage(const fs::path& path) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(readPngFile(path.string(), image, error)) << path << ": " << error;
    return image;
}

std::uint64_t redPixels(const RgbaImage& image) {
    std::uint64_t count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            count += p[0] == 255 && p[1] == 0 && p[2] == 0;
        }
    }
    return count;
}

TEST(KelRenderConventionsTest, ReferenceExitStatusesAndReports) {
    const test::KelRenderSandbox kelRender;
    ASSERT_EQ(kelRender.run({kCube, "--size=100x100", "--output", "expected.png"}).status, 0);
    std::ofstream(kelRender.dir / "text.png") << "not a png";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // expected in stderr; empty: stderr is empty
    } cases[] = {
        {{kCube, "--size=100x100", "--reference", "expected.png"}, 0, ""},
        {{kCube, "--size=100x100", "--mode=gouraud", "--reference=expected.png"},
         3,
         "kel-render: expected.png: "},
        {{kCube, "--size=120x100", "--reference", "expected.png"},
         3,
         "kel-render: expected.png: the image is 120x100 pixels, the reference 100x100\n"
         "kel-render: expected.png: the 10000 shared pixels are the same\n"},
        {{kCube, "--reference", "missing.png", "--output", "out.png"},
         1,
         "kel-render: Could not read the reference missing.png: No such file or directory\n"},
        {{kCube, "--reference", "text.png", "--output", "out.png"},
         1,
         "kel-render: Could not read the reference text.png: "},
        {{"missing.kel", "--reference", "expected.png", "--output", "out.png"}, 1, "missing.kel"},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[1] << r.err;
        if (c.err.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(kelRender.dir / "out.png"));

    // A reference that is not a plain file is refused at once, without blocking or reading.
    ASSERT_EQ(::mkfifo((kelRender.dir / "fifo.png").c_str(), 0600), 0);
    fs::create_directory(kelRender.dir / "folder.png");
    for (const auto& [reference, reason] : {std::pair{"fifo.png", "not a regular file"},
                                            {"/dev/zero", "not a regular file"},
                                            {"folder.png", "Is a directory"}}) {
        const test::KelRenderRun r = kelRender.run({kCube, "--reference", reference});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string("kel-render: Could not read the reference ") + reference +
                             ": " + reason + "\n");
    }

    // The report and the difference image agree on how many pixels differ.
    const test::KelRenderRun r =
        kelRender.run({kCube, "--size=100x100", "--mode", "gouraud", "--reference", "expected.png",
                       "--diff", "diff.png"});
    ASSERT_EQ(r.status, 3);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.err, m, std::regex("(\\d+) of 10000 pixels differ"))) << r.err;
    EXPECT_GT(std::stoull(m[1]), 0u);
    EXPECT_EQ(redPixels(readImage(kelRender.dir / "diff.png")), std::stoull(m[1]));

    const test::KelRenderRun same = kelRender.run(
        {kCube, "--size=100x100", "--reference", "expected.png", "--diff", "same.png"});
    EXPECT_EQ(same.status, 0);
    const RgbaImage faded = readImage(kelRender.dir / "same.png");
    EXPECT_EQ(faded.width(), 100);
    EXPECT_EQ(redPixels(faded), 0u);
}

TEST(KelRenderConventionsTest, StdoutCarriesThePngAndAFailedStdoutIsAnError) {
    const test::KelRenderSandbox kelRender;
    for (const std::string factor : {"1", "2"}) {
        const std::vector<std::string> common = {kCube, "--size", "90x70", "--supersample", factor};
        std::vector<std::string> toFile = common;
        toFile.insert(toFile.end(), {"--output", "file.png"});
        std::vector<std::string> toStdout = common;
        toStdout.insert(toStdout.end(), {"--output", "-"});
        ASSERT_EQ(kelRender.run(toFile).status, 0);
        const test::KelRenderRun piped = kelRender.run(toStdout);
        ASSERT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out, test::readFile(kelRender.dir / "file.png")) << factor;
        EXPECT_EQ(piped.out.substr(1, 3), "PNG");
    }

    std::ostream broken(nullptr);  // every write fails
    std::ostringstream err;
    EXPECT_EQ(runKelRender({kCube, "--size", "40x40", "--output", "-"}, broken, err), kExitFailure);
    EXPECT_NE(err.str().find("kel-render: Could not write the standard output"), std::string::npos)
        << err.str();
}

// kel-render's supersampled image is the in-process supersampled render of the fresh scene.
TEST(KelRenderConventionsTest, SupersampledOutputEqualsTheInProcessRender) {
    const test::KelRenderSandbox kelRender;
    const std::string room = std::string(KEL_EXAMPLES_DIR) + "/room.kel";
    ASSERT_EQ(kelRender.run({room, "--size=150x130", "--supersample=3", "--output=ss.png"}).status,
              0);
    const fs::path cwd = fs::current_path();
    StderrUserMessages messages(std::cerr);
    CKelDoc document(messages);
    ASSERT_TRUE(document.onOpenDocument(room));
    fs::current_path(cwd);
    applyViewState(*document.scene(), RenderMode::Phong, false);
    ImageSurface expected(150, 130);
    SupersampledRender(3).run(*makePipeline(RenderMode::Phong), *document.scene(), expected);
    EXPECT_TRUE(readImage(kelRender.dir / "ss.png") == toRgba(expected));
}

TEST(KelRenderConventionsTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "old.png") << "old";
    fs::create_directory(kelRender.dir / "folder.png");
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{kCube, "--reference", "missing.png", "--output", "old.png"}, "missing.png"},
        {{"missing.kel", "--output", "old.png"}, "missing.kel"},
        {{kCube, "--size=30x30", "--output", "folder.png"},
         "Could not write folder.png: Is a directory"},
        {{kCube, "--size=30x30", "--output", "no-dir/x.png"}, "Could not write no-dir/x.png: "},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readFile(kelRender.dir / "old.png"), "old");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kelRender.dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"err.txt", "folder.png", "old.png", "out.txt"}));
}

}  // namespace
}  // namespace kel
