#include "cli/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::vector<std::uint8_t> kBytes = {'n', 'e', 'w', '\n'};

class AtomicFileTest : public testing::Test {
protected:
    AtomicFileTest() { fs::create_directories(dir); }
    ~AtomicFileTest() override { fs::remove_all(dir); }

    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : fs::directory_iterator(dir)) {
            result.push_back(entry.path().filename().string());
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    const fs::path dir = fs::temp_directory_path() / ("kel_atomic_" + std::to_string(::getpid()));
};

TEST_F(AtomicFileTest, ReplacesAFileKeepingItsModeAndCreatesNewOnes) {
    std::ofstream(dir / "old.png") << "old contents";
    fs::permissions(dir / "old.png", fs::perms(0640));
    std::string error;
    ASSERT_TRUE(writeFileAtomically((dir / "old.png").string(), kBytes, error)) << error;
    ASSERT_TRUE(writeFileAtomically((dir / "new.png").string(), kBytes, error)) << error;
    EXPECT_EQ(test::readFile(dir / "old.png"), "new\n");
    EXPECT_EQ(test::readFile(dir / "new.png"), "new\n");
    EXPECT_EQ(fs::status(dir / "old.png").permissions(), fs::perms(0640));
    EXPECT_EQ(names(), (std::vector<std::string>{"new.png", "old.png"}));
}

TEST_F(AtomicFileTest, ALinkStaysALinkAndItsTargetIsReplaced) {
    fs::create_directory(dir / "real");
    std::ofstream(dir / "real/target.png") << "old";
    fs::create_symlink("real/target.png", dir / "link.png");
    std::string error;
    ASSERT_TRUE(writeFileAtomically((dir / "link.png").string(), kBytes, error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
    EXPECT_EQ(test::readFile(dir / "real/target.png"), "new\n");
    EXPECT_EQ(names(), (std::vector<std::string>{"link.png", "real"}));
}

TEST_F(AtomicFileTest, DevicesAreWrittenInPlaceDirectoriesAndMissingFoldersRefused) {
    std::string error;
    EXPECT_TRUE(writeFileAtomically("/dev/null", kBytes, error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));  // still the device, not a file renamed over it

    fs::create_directory(dir / "folder.png");
    const struct {
        fs::path path;
        std::string reason;
    } cases[] = {
        {dir / "folder.png", "it is a directory"},
        {dir / "missing/x.png", "No such file or directory"},
    };
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(writeFileAtomically(c.path.string(), kBytes, error)) << c.path;
        EXPECT_EQ(error, c.reason);
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"folder.png"}));
}

}  // namespace
}  // namespace kel
