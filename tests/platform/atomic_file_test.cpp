#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>

#include "file_size_limit.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

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
    static void put(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Names in the folder other than the ones the test made: left-over temporaries.
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesContentAndKeepsTheOldMode) {
    const std::string path = at("scene.kel");
    put(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "new text", true, error)) << error;
    EXPECT_EQ(get(path), "new text");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(entryCount(), 1u);
}

TEST_F(AtomicFileTest, NewFileGetsTheUmaskMode) {
    const mode_t saved = ::umask(022);
    std::string error;
    const bool written = writeFileAtomically(at("new.png"), "x", false, error);
    ::umask(saved);
    ASSERT_TRUE(written) << error;
    struct stat info {};
    ASSERT_EQ(::stat(at("new.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
}

TEST_F(AtomicFileTest, SymlinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directory(dir_ / "real");
    put(at("real/scene.kel"), "old");
    // Relative link text, resolved against the link's own folder.
    fs::create_symlink("real/scene.kel", dir_ / "link.kel");
    std::string error;
    ASSERT_TRUE(writeFileAtomically(at("link.kel"), "new", false, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.kel"));
    EXPECT_EQ(get(at("real/scene.kel")), "new");
    // The temporary lived beside the target, not beside the link.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), {}), 1);
}

TEST_F(AtomicFileTest, DanglingSymlinkCreatesItsTarget) {
    fs::create_symlink(dir_ / "made.txt", dir_ / "link.txt");
    std::string error;
    ASSERT_TRUE(writeFileAtomically(at("link.txt"), "made", false, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
    EXPECT_EQ(get(at("made.txt")), "made");
}

TEST_F(AtomicFileTest, RefusesWhatCannotBeReplaced) {
    fs::create_directory(dir_ / "folder");
    fs::create_symlink(dir_ / "loop", dir_ / "loop");
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {at("folder"), "Is a directory"},
        {at("loop"), "Too many levels of symbolic links"},
        {at("missing/file.kel"), "No such file or directory"},
        {"", "No such file or directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(writeFileAtomically(c.path, "x", false, error)) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
    }
    EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
    EXPECT_TRUE(fs::is_empty(dir_ / "folder"));
}

TEST_F(AtomicFileTest, DeviceIsWrittenInPlaceAndNeverRemoved) {
    for (const char* device : {"/dev/null", "/dev/stdout"}) {
        // Standard output may be a pipe of another user's that this one cannot reopen.
        if (::access(device, W_OK) != 0) {
            continue;
        }
        AtomicFile file;
        std::string error;
        ASSERT_TRUE(file.open(device, true, error)) << device << ": " << error;
        EXPECT_TRUE(file.writesDirectly()) << device;
        EXPECT_TRUE(file.write("", error));
        EXPECT_TRUE(file.finish(error)) << error;
        EXPECT_TRUE(file.replace(error)) << error;
    }
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(AtomicFileTest, FullDeviceFailsWithTheReasonAndStays) {
    std::string error;
    EXPECT_FALSE(writeFileAtomically("/dev/full", std::string(100, 'x'), false, error));
    EXPECT_EQ(error, "No space left on device");
    struct stat info {};
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(AtomicFileTest, FifoWithoutReaderIsRefusedAtOnceAndWithReaderIsWritten) {
    const std::string fifo = at("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    std::string error;
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
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(AtomicFileTest, FailedWriteKeepsTheOldFileByteForByte) {
    const std::string path = at("scene.kel");
    const std::string old(5000, 'o');
    put(path, old);
    std::string error;
    {
        const test::FileSizeLimit limit(4096);
        EXPECT_FALSE(writeFileAtomically(path, std::string(10000, 'n'), true, error));
    }
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(get(path), old);
    EXPECT_EQ(entryCount(), 1u);
}

TEST_F(AtomicFileTest, UnfinishedOrDiscardedFileLeavesTheOldOne) {
    const std::string path = at("foo");
    put(path, "old");
    std::string error;
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(path, false, error));
        ASSERT_TRUE(file.write("half", error));
    }
    AtomicFile finished;
    ASSERT_TRUE(finished.open(path, false, error));
    ASSERT_TRUE(finished.write("whole", error));
    ASSERT_TRUE(finished.finish(error));
    EXPECT_EQ(get(path), "old");
    finished.discard();
    EXPECT_FALSE(finished.replace(error));
    EXPECT_EQ(get(path), "old");
    EXPECT_EQ(entryCount(), 1u);
}

TEST_F(AtomicFileTest, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may write any file";
    }
    const std::string path = at("locked.kel");
    put(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(writeFileAtomically(path, "new", false, error));
    EXPECT_EQ(error, "Permission denied");
    EXPECT_EQ(get(path), "old");
}

TEST_F(AtomicFileTest, LongTargetNameStillGetsATemporary) {
    const std::string path = at(std::string(250, 'n'));
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, "long", false, error)) << error;
    EXPECT_EQ(get(path), "long");
    EXPECT_EQ(entryCount(), 1u);
}

}  // namespace
}  // namespace kel
