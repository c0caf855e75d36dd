#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "file_size_limit.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

void put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string get(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t entries(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

unsigned modeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode : 0u;
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = fs::temp_directory_path() / "kel-atomic-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string at(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

// A file keeps its mode, a new one gets the umask's, a symlink stays and its target (even a
// missing one) is replaced, and a long name still leaves room for the temporary's; no
// temporary stays behind.
TEST_F(AtomicFileTest, WritesReplaceTheTargetAndLeaveNoTemporary) {
    put(at("scene.kel"), "old");
    ::chmod(at("scene.kel").c_str(), 0640);
    fs::create_directory(dir_ / "real");
    put(at("real/scene.kel"), "old");
    fs::create_symlink("real/scene.kel", dir_ / "link.kel");
    fs::create_symlink(dir_ / "made.txt", dir_ / "link.txt");
    const std::string longName(250, 'n');
    const mode_t savedMask = ::umask(022);
    for (const std::string& name :
         std::vector<std::string>{"scene.kel", "new.png", "link.kel", "link.txt", longName}) {
        std::string error;
        EXPECT_TRUE(writeFileAtomically(at(name), "new text", true, error)) << name << error;
    }
    ::umask(savedMask);
    for (const std::string& name :
         std::vector<std::string>{"scene.kel", "new.png", "real/scene.kel", "made.txt", longName}) {
        EXPECT_EQ(get(at(name)), "new text") << name;
    }
    EXPECT_EQ(modeOf(at("scene.kel")) & 07777, 0640u);
    EXPECT_EQ(modeOf(at("new.png")) & 07777, 0644u);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.kel") && fs::is_symlink(dir_ / "link.txt"));
    EXPECT_EQ(entries(dir_), 7u);
    EXPECT_EQ(entries(dir_ / "real"), 1u);
}

// A write that fails half way (past the file-size limit) drops its temporary and keeps the
// old bytes, as every refusal before it does.
TEST_F(AtomicFileTest, RefusedWritesGiveTheSystemsReasonAndKeepTheOldFile) {
    fs::create_directory(dir_ / "folder");
    fs::create_symlink(dir_ / "loop", dir_ / "loop");
    put(at("scene.kel"), std::string(5000, 'o'));
    // Renaming over a read-only file would succeed: the writer must refuse it itself.
    put(at("locked.kel"), std::string(5000, 'o'));
    ::chmod(at("locked.kel").c_str(), 0444);
    const struct {
        std::string path;
        std::string reason;
        rlim_t sizeLimit;  // 0: none
    } cases[] = {
        {at("folder"), "Is a directory", 0},
        {at("loop"), "Too many levels of symbolic links", 0},
        {at("missing/file.kel"), "No such file or directory", 0},
        {"", "No such file or directory", 0},
        {"/dev/full", "No space left on device", 0},
        {at("scene.kel"), "File too large", 4096},
        {at("locked.kel"), "Permission denied", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        if (c.reason == "Permission denied" && ::geteuid() == 0) {
            continue;  // root may write any file
        }
        std::string error;
        bool written = true;
        {
            const test::FileSizeLimit limit(c.sizeLimit != 0 ? c.sizeLimit : RLIM_INFINITY);
            written = writeFileAtomically(c.path, std::string(10000, 'n'), true, error);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(error, c.reason);
    }
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/full")));
    EXPECT_EQ(get(at("scene.kel")), std::string(5000, 'o'));
    EXPECT_EQ(get(at("locked.kel")), std::string(5000, 'o'));
    EXPECT_EQ(entries(dir_), 4u);
}

// Devices and FIFOs are written in place, never replaced; a FIFO nobody reads is refused at
// once instead of blocking.
TEST_F(AtomicFileTest, DevicesAndFifosAreWrittenInPlace) {
    std::string error;
    // Standard output may be a pipe of another user's that this one cannot reopen.
    for (const char* device : {"/dev/null", "/dev/stdout"}) {
        if (::access(device, W_OK) == 0) {
            EXPECT_TRUE(writeFileAtomically(device, "", true, error)) << device << ": " << error;
        }
    }
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));

    const std::string fifo = at("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(writeFileAtomically(fifo, "lost", false, error));
    EXPECT_EQ(error, "no process is reading from it");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));

    auto reader = std::async(std::launch::async, [&fifo] { return get(fifo); });
    // Until the reader has the FIFO open, opening for writing is refused: try again.
    bool written = false;
    for (int i = 0; i < 200 && !written; ++i) {
        written = writeFileAtomically(fifo, "through the pipe", false, error);
        if (!written) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ASSERT_TRUE(written) << error;
    EXPECT_EQ(reader.get(), "through the pipe");
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
}

TEST_F(AtomicFileTest, UnfinishedOrDiscardedFileLeavesTheOldOne) {
    const std::string path = at("foo");
    put(path, "old");
    std::string error;
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(path, false, error) && file.write("half", error));
    }
    AtomicFile finished;
    ASSERT_TRUE(finished.open(path, false, error) && finished.write("whole", error) &&
                finished.finish(error));
    EXPECT_EQ(get(path), "old");
    finished.discard();
    EXPECT_FALSE(finished.replace(error));
    EXPECT_EQ(get(path), "old");
    EXPECT_EQ(entries(dir_), 1u);
}

}  // namespace
}  // namespace kel
