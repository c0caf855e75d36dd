#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "files/kel_doc.h"
#include "files_test_support.h"
#include "model/scene.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

class AtomicSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
        }
        std::ofstream(path("foo")) << "the old object output\n";
        ASSERT_TRUE(doc_.onOpenDocument(path("room.kel")));
        doc_.scene()->setAmbient(0.123456789);
        oldScene_ = readFile(path("room.kel"));
        oldFoo_ = readFile(path("foo"));
    }
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.path()), {}));
    }

    TempDir dir_;
    FakeMessages messages_;
    CKelDoc doc_{messages_};
    std::string oldScene_;
    std::string oldFoo_;
};

// A full disk, as a file-size limit stands for one: whichever file does not fit, neither
// old file changes and no temporary is left behind.
TEST_F(AtomicSaveTest, FailedSaveKeepsBothOldFilesByteForByte) {
    const std::size_t files = entryCount();
    const struct {
        rlim_t limit;
        std::string failedFile;
    } cases[] = {
        {100, path("room.kel")},  // the scene file does not fit
        {2048, "foo"},            // the scene fits, the last object's geometry does not
    };
    for (const auto& c : cases) {
        messages_.errors.clear();
        bool saved = true;
        {
            const FileSizeLimit limit(c.limit);
            saved = doc_.onSaveDocument(path("room.kel"));
        }
        EXPECT_FALSE(saved) << c.limit;
        EXPECT_EQ(messages_.errors,
                  std::vector<std::string>{"Could not save " + c.failedFile + ": File too large"});
        EXPECT_EQ(readFile(path("room.kel")), oldScene_) << c.limit;
        EXPECT_EQ(readFile(path("foo")), oldFoo_) << c.limit;
        EXPECT_EQ(entryCount(), files) << c.limit;
    }
    // With room to write, both are replaced.
    ASSERT_TRUE(doc_.onSaveDocument(path("room.kel")));
    EXPECT_NE(readFile(path("room.kel")).find("\n0.123456789\n4\n"), std::string::npos);
    EXPECT_EQ(readFile(path("foo")).substr(0, 4), "144\n");
    EXPECT_EQ(entryCount(), files);
}

TEST_F(AtomicSaveTest, SaveThroughASymlinkKeepsTheLinkAndTheModes) {
    fs::create_symlink("room.kel", path("link.kel"));
    ASSERT_EQ(::chmod(path("room.kel").c_str(), 0604), 0);
    ASSERT_EQ(::chmod(path("foo").c_str(), 0640), 0);
    ASSERT_TRUE(doc_.onSaveDocument(path("link.kel")));
    EXPECT_TRUE(fs::is_symlink(path("link.kel")));
    EXPECT_NE(readFile(path("room.kel")).find("\n0.123456789\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(path("room.kel").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    ASSERT_EQ(::stat(path("foo").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(AtomicSaveTest, SaveToADeviceWritesThroughAndLeavesTheNode) {
    // The scene goes to the device; "foo" is still a file of the scene's folder.
    ASSERT_TRUE(doc_.onSaveDocument("/dev/null"));
    struct stat info {};
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    EXPECT_EQ(readFile(path("foo")).substr(0, 4), "144\n");

    EXPECT_FALSE(doc_.onSaveDocument("/dev/full"));
    EXPECT_EQ(messages_.errors,
              std::vector<std::string>{"Could not save /dev/full: No space left on device"});
}

// A small file system of its own, where the test may mount one (root, or a user namespace
// that allows it); it is unmounted at the end.
class SmallFileSystem {
public:
    SmallFileSystem() {
        std::string pattern = fs::temp_directory_path() / "kel-full-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        path_ = pattern;
        mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=256k,mode=0755") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) {
            ::umount2(path_.c_str(), MNT_DETACH);
        }
        std::error_code ec;
        fs::remove(path_, ec);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool mounted() const { return mounted_; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
    bool mounted_ = false;
};

// Fills the file system with one file until a write fails; returns how much it holds.
off_t fillUp(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const std::string block(4096, 'f');
    off_t size = 0;
    while (fd >= 0 &&
           ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size())) {
        size += static_cast<off_t>(block.size());
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return size;
}

// A real full disk: the save fails with the system's reason and nothing old changes,
// whether no file fits or only the scene file does.
TEST(FullDiskSaveTest, FullFileSystemKeepsBothOldFilesByteForByte) {
    const SmallFileSystem disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here; the file-size limit test covers this";
    }
    const fs::path dir = disk.path();
    for (const char* name : {"room.kel", "table.obj", "chair.obj", "floor.obj"}) {
        fs::copy_file(fs::path(KEL_EXAMPLES_DIR) / name, dir / name);
    }
    std::ofstream(dir / "foo") << "the old object output\n";
    FakeMessages messages;
    CKelDoc doc(messages);
    ASSERT_TRUE(doc.onOpenDocument((dir / "room.kel").string()));
    doc.scene()->setAmbient(0.123456789);
    const std::string oldScene = readFile((dir / "room.kel").string());
    const std::string oldFoo = readFile((dir / "foo").string());
    const off_t filled = fillUp(dir / "filler");
    const struct {
        off_t freed;  // bytes given back before the save
        std::string failedFile;
    } cases[] = {
        {0, (dir / "room.kel").string()},
        {4096, "foo"},  // one page: room for the scene file, not for the chair's geometry
    };
    for (const auto& c : cases) {
        ASSERT_EQ(::truncate((dir / "filler").c_str(), filled - c.freed), 0);
        messages.errors.clear();
        EXPECT_FALSE(doc.onSaveDocument((dir / "room.kel").string()));
        EXPECT_EQ(messages.errors, std::vector<std::string>{"Could not save " + c.failedFile +
                                                            ": No space left on device"});
        EXPECT_EQ(readFile((dir / "room.kel").string()), oldScene);
        EXPECT_EQ(readFile((dir / "foo").string()), oldFoo);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 6);  // no temporary left
    }
    fs::remove(dir / "filler");
    ASSERT_TRUE(doc.onSaveDocument((dir / "room.kel").string()));
    EXPECT_NE(readFile((dir / "room.kel").string()).find("\n0.123456789\n"), std::string::npos);
    // The document's folder is on the small file system: leave it before it goes.
    fs::current_path(fs::temp_directory_path());
}

}  // namespace
}  // namespace kel::test
