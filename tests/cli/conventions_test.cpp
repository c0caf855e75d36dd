#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kCube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";

std::uint64_t redPixels(const RgbaImage& image) {
    std::uint64_t count = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const std::uint8_t* p = image.pixel(i % image.width(), i / image.width());
        count += p[0] == 255 && p[1] == 0 && p[2] == 0;
    }
    return count;
}

TEST(KelRenderConventionsTest, ReferenceExitStatusesAndReports) {
    const test::KelRenderSandbox kelRender;
    ASSERT_EQ(kelRender.run({kCube, "--size=100x100", "--output", "expected.png"}).status, 0);
    std::ofstream(kelRender.dir / "text.png") << "not a png";
    // A reference that is not a plain file is refused at once, without blocking or reading.
    ASSERT_EQ(::mkfifo((kelRender.dir / "fifo.png").c_str(), 0600), 0);
    fs::create_directory(kelRender.dir / "folder.png");
    const std::string unread = "kel-render: Could not read the reference ";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string err;  // expected in stderr; empty: stderr is empty
    } cases[] = {
        {{kCube, "--size=100x100", "--reference", "expected.png", "--diff", "same.png"}, 0, ""},
        {{kCube, "--size=100x100", "--mode=gouraud", "--reference=expected.png", "--diff",
          "diff.png"},
         3,
         "kel-render: expected.png: "},
        {{kCube, "--size=120x100", "--reference", "expected.png"},
         3,
         "kel-render: expected.png: the image is 120x100 pixels, the reference 100x100\n"
         "kel-render: expected.png: the 10000 shared pixels are the same\n"},
        {{kCube, "--reference", "missing.png", "--output", "out.png"},
         1,
         unread + "missing.png: No such file or directory\n"},
        {{kCube, "--reference", "text.png", "--output", "out.png"}, 1, unread + "text.png: "},
        {{kCube, "--reference", "fifo.png"}, 1, unread + "fifo.png: not a regular file\n"},
        {{kCube, "--reference", "/dev/zero"}, 1, unread + "/dev/zero: not a regular file\n"},
        {{kCube, "--reference", "folder.png"}, 1, unread + "folder.png: Is a directory\n"},
    };
    std::vector<std::string> errs;
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args[3] << r.err;
        EXPECT_EQ(c.err.empty() ? r.err : r.err.substr(0, c.err.size()), c.err);
        errs.push_back(r.err);
    }
    EXPECT_FALSE(fs::exists(kelRender.dir / "out.png"));

    // The report and the difference image agree on how many pixels differ; an image equal
    // to its reference leaves no red in its faded difference.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(errs[1], m, std::regex("(\\d+) of 10000 pixels differ")))
        << errs[1];
    EXPECT_GT(std::stoull(m[1]), 0u);
    EXPECT_EQ(redPixels(test::readImage(kelRender.dir / "diff.png")), std::stoull(m[1]));
    const RgbaImage faded = test::readImage(kelRender.dir / "same.png");
    EXPECT_EQ(faded.width(), 100);
    EXPECT_EQ(redPixels(faded), 0u);
}

// A failed write keeps the old file and leaves no temporary: nor does a write cut short by
// the file-size limit (dash counts ulimit -f in 512-byte blocks: 1 KiB, far below the
// image), nor one to a stdout that cannot take it.
TEST(KelRenderConventionsTest, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const test::KelRenderSandbox kelRender;
    std::ofstream(kelRender.dir / "old.png") << "old";
    fs::create_directory(kelRender.dir / "folder.png");
    const struct {
        std::vector<std::string> args;
        std::string err;
        std::string prefix = "";
        std::string stdoutTarget = "out.txt";
    } cases[] = {
        {{kCube, "--reference", "missing.png", "--output", "old.png"}, "missing.png"},
        {{"missing.kel", "--output", "old.png"}, "missing.kel"},
        {{kCube, "--size=30x30", "--output", "folder.png"},
         "Could not write folder.png: Is a directory"},
        {{kCube, "--size=20x20", "--output", "/dev/full"},
         "Could not write /dev/full: No space left on device\n"},
        {{kCube, "--size=300x300", "--output", "old.png"},
         "kel-render: Could not write old.png: File too large\n",
         "ulimit -f 2;"},
        {{"--thumbnail", "32", "missing.kel", "old.png"}, "missing.kel"},
        {{"--thumbnail", "32", kCube, "no-dir/t.png"}, "Could not write no-dir/t.png: "},
        {{kCube, "--size=8x8", "--tree"},
         "kel-render: Could not write the standard output: No space left on device\n",
         "",
         "/dev/full"},
        {{"--help"}, "", "", "/dev/full"},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args, c.prefix, c.stdoutTarget);
        EXPECT_EQ(r.status, 1) << c.args[0];
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::readFile(kelRender.dir / "old.png"), "old");
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));  // written through, never replaced
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kelRender.dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"err.txt", "folder.png", "old.png", "out.txt"}));
}

// --save writes what the viewer's save writes: opening the saved scene shows the same tree,
// its object named relative to the new folder, and "foo" lands in the scene's folder.
TEST(KelRenderConventionsTest, SaveWritesASceneThatReadsBackTheSame) {
    const test::KelRenderSandbox kelRender;
    for (const char* name : {"cube.kel", "cube.obj"}) {
        fs::copy_file(fs::path(KEL_EXAMPLES_DIR) / name, kelRender.dir / name);
    }
    fs::create_directory(kelRender.dir / "out");
    const test::KelRenderRun before =
        kelRender.run({"cube.kel", "--size", "8x8", "--save", "out/copy.kel", "--tree"});
    ASSERT_EQ(before.status, 0) << before.err;
    EXPECT_EQ(test::readFile(kelRender.dir / "foo").substr(0, 3), "24\n");
    const test::KelRenderRun after = kelRender.run({"out/copy.kel", "--size", "8x8", "--tree"});
    ASSERT_EQ(after.status, 0) << after.err;
    EXPECT_GT(before.out.size(), 1000u);
    std::string expected = before.out;
    const std::size_t name = expected.find("\n  cube.obj\n");
    ASSERT_NE(name, std::string::npos);
    expected.replace(name, 12, "\n  ../cube.obj\n");
    EXPECT_EQ(after.out, expected);

    const test::KelRenderRun refused =
        kelRender.run({"cube.kel", "--size=8x8", "--save", "no-folder/x.kel"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "kel-render: Could not save " +
                               (kelRender.dir / "no-folder/x.kel").string() +
                               ": No such file or directory\n");
}
}  // namespace
}  // namespace kel
