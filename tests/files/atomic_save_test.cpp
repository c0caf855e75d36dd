#include <gtest/gtest.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace kel::test
