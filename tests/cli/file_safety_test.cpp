#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

std::string quoted(const std::string& s) {
    std::string result = "'";
    for (const char ch : s) {
        result += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return result + "'";
}

// Runs kel-render in dir through the shell, with prefix before it (ulimit) and the given
// redirection of stdout; stderr goes to dir/err.txt.
int runShell(const fs::path& dir, const std::string& prefix, const std::string& args,
             const std::string& stdoutTarget) {
    const std::string command = "cd " + quoted(dir.string()) + " && " + prefix + " " +
                                quoted(KEL_RENDER_PATH) + " " + args + " >" + stdoutTarget +
                                " 2>err.txt";
    const int raw = std::system(("sh -c " + quoted(command)).c_str());
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

// A device is written through, never removed or replaced.
TEST_F(KelRenderFilesTest, ImageOverADeviceNodeLeavesTheNode) {
    std::vector<std::string> devices = {"/dev/null"};
    const fs::path node = sandbox_.dir / "null-node";
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        devices.push_back(node.string());
    }
    for (const std::string& device : devices) {
        EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 20x20 --output " + quoted(device),
                           "out.txt"),
                  0)
            << err();
        struct stat info {};
        ASSERT_EQ(::stat(device.c_str(), &info), 0) << device;
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << device;
    }
    EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 20x20 --output /dev/full", "out.txt"), 1);
    EXPECT_EQ(err(), "kel-render: Could not write /dev/full: No space left on device\n");
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(KelRenderFilesTest, FifoOrDeviceAsSceneFailsAtOnce) {
    ASSERT_EQ(::mkfifo((sandbox_.dir / "pipe.kel").c_str(), 0600), 0);
    for (const std::string scene : {"pipe.kel", "/dev/zero"}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runShell(sandbox_.dir, "", quoted(scene), "out.txt"), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(err(), "kel-render: Cannot open " + scene + ": not a regular file\n");
    }
}

// --save writes what the viewer's save writes: opening the saved scene shows the same tree
// (its object named relative to the new folder, so it reads the same file), and "foo" lands
// in the scene's folder.
TEST_F(KelRenderFilesTest, SaveWritesASceneThatReadsBackTheSame) {
    fs::create_directory(sandbox_.dir / "out");
    ASSERT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --save out/copy.kel --tree",
                       "tree-before.txt"),
              0)
        << err();
    EXPECT_EQ(test::readFile(sandbox_.dir / "foo").substr(0, 3), "24\n");
    EXPECT_NE(test::readFile(sandbox_.dir / "out" / "copy.kel").find("\n../cube.obj\n"),
              std::string::npos);
    ASSERT_EQ(runShell(sandbox_.dir, "", "out/copy.kel --size 8x8 --tree", "tree-after.txt"), 0)
        << err();
    std::string before = test::readFile(sandbox_.dir / "tree-before.txt");
    EXPECT_GT(before.size(), 1000u);
    const std::size_t name = before.find("\n  cube.obj\n");
    ASSERT_NE(name, std::string::npos);
    before.replace(name, 12, "\n  ../cube.obj\n");
    EXPECT_EQ(test::readFile(sandbox_.dir / "tree-after.txt"), before);

    EXPECT_EQ(runShell(sandbox_.dir, "", "cube.kel --size 8x8 --save no-folder/x.kel", "out.txt"),
              1);
    EXPECT_EQ(err(), "kel-render: Could not save " + (sandbox_.dir / "no-folder/x.kel").string() +
                         ": No such file or directory\n");
}

}  // namespace
}  // namespace kel
