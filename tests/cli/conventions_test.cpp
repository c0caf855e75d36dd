#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/render_command.h"
#include "render/image_compare.h"
#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kCube = std::string(KEL_EXAMPLES_DIR) + "/cube.kel";

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
    EXPECT_EQ(redPixels(test::readImage(kelRender.dir / "diff.png")), std::stoull(m[1]));

    const test::KelRenderRun same = kelRender.run(
        {kCube, "--size=100x100", "--reference", "expected.png", "--diff", "same.png"});
    EXPECT_EQ(same.status, 0);
    const RgbaImage faded = test::readImage(kelRender.dir / "same.png");
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
        {{kCube, "--size=20x20", "--output", "/dev/full"},
         "Could not write /dev/full: No space left on device\n"},
        {{"--thumbnail", "32", "missing.kel", "old.png"}, "missing.kel"},
        {{"--thumbnail", "32", kCube, "no-dir/t.png"}, "Could not write no-dir/t.png: "},
        {{"--thumbnail", "32", kCube, "."}, "Could not write .: Is a directory"},
    };
    for (const auto& c : cases) {
        const test::KelRenderRun r = kelRender.run(c.args);
        EXPECT_EQ(r.status, 1);
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

// Runs kel-render in dir through the shell, with prefix before it (ulimit) and the given
// redirection of stdout; stderr goes to dir/err.txt.
int runShell(const fs::path& dir, const std::string& prefix, const std::string& args,
             const std::string& stdoutTarget) {
    const std::string command = "cd " + test::quoted(dir.string()) + " && " + prefix + " " +
                                test::quoted(KEL_RENDER_PATH) + " " + args + " >" + stdoutTarget +
                                " 2>err.txt";
    const int raw = std::system(("sh -c " + test::quoted(command)).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class KelRenderFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"cube.kel", "cube.obj"}) {
            fs::copy_file(fs::path(KEL_EXAMPLES_DIR) / name, sandbox_.dir / name);
        }
    }
    std::string err() const { return test::readFile(sandbox_.dir / "err.txt"); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(sandbox_.dir), {}));
    }

    test::KelRenderSandbox sandbox_;
};

TEST_F(KelRenderFilesTest, StdoutThatCannotBeWrittenExitsOne) {
    EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --tree", "/dev/full"), 1);
    EXPECT_EQ(err(), "kel-render: Could not write the standard output: No space left on device\n");
    EXPECT_EQ(runShell(sandbox_.dir, "", "--help", "/dev/full"), 1);
    EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --tree", "/dev/null"), 0) << err();
}

// Under a file-size limit the PNG cannot be written: the old image stays as it was.
TEST_F(KelRenderFilesTest, FailedImageWriteKeepsTheOldImage) {
    std::ofstream(sandbox_.dir / "old.png") << "the old image";
    const std::size_t files = entryCount();
    // dash counts ulimit -f in 512-byte blocks: 1 KiB, far below a 300 x 300 image.
    EXPECT_EQ(runShell(sandbox_.dir, "ulimit -f 2;", "cube.kel --size 300x300 --output old.png",
                       "out.txt"),
              1);
    EXPECT_EQ(err(), "kel-render: Could not write old.png: File too large\n");
    EXPECT_EQ(test::readFile(sandbox_.dir / "old.png"), "the old image");
    EXPECT_EQ(entryCount(), files + 2);  // out.txt and err.txt, no temporary
}

// --save writes what the viewer's save writes: opening the saved scene shows the same tree,
// its object named relative to the new folder, and "foo" lands in the scene's folder.
TEST_F(KelRenderFilesTest, SaveWritesASceneThatReadsBackTheSame) {
    fs::create_directory(sandbox_.dir / "out");
    ASSERT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --save out/copy.kel --tree",
                       "tree-before.txt"),
              0)
        << err();
    EXPECT_EQ(test::readFile(sandbox_.dir / "foo").substr(0, 3), "24\n");
    ASSERT_EQ(runShell(sandbox_.dir, "", "out/copy.kel --size 8x8 --tree", "tree-after.txt"), 0)
        << err();
    const std::string before = test::readFile(sandbox_.dir / "tree-before.txt");
    EXPECT_GT(before.size(), 1000u);
    std::string expected = before;
    const std::size_t name = expected.find("\n  cube.obj\n");
    ASSERT_NE(name, std::string::npos);
    expected.replace(name, 12, "\n  ../cube.obj\n");
    EXPECT_EQ(test::readFile(sandbox_.dir / "tree-after.txt"), expected);

    EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --save no-folder/x.kel", "out.txt"),
              1);
    EXPECT_EQ(err(), "kel-render: Could not save " + (sandbox_.dir / "no-folder/x.kel").string() +
                         ": No such file or directory\n");
}
}  // namespace
}  // namespace kel
