#include "files/kel_doc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "files_test_support.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

// Each test works on a copy of the examples and gets its current directory back.
class KelDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
        }
    }
    std::string path(const std::string& name) const { return (dir_.path() / name).string(); }

    TempDir dir_;
    FakeMessages messages_;
    CKelDoc doc_{messages_};
};

TEST_F(KelDocTest, OpenEntersTheScenesFolderAndOnlyASuccessReplacesTheScene) {
    fs::current_path(dir_.path().parent_path());
    // Relative: resolved before the directory changes; object files are found in the new one.
    ASSERT_TRUE(doc_.onOpenDocument(dir_.path().filename().string() + "/room.kel"));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    EXPECT_EQ(doc_.scene()->objectCount(), 4u);
    Scene* room = doc_.scene();
    fs::create_directory(path("sub"));
    // Unreadable or malformed: the open fails with the reason and the current directory
    // stays where it was, so a later save of another document writes "foo" there.
    std::ofstream(path("sub/bad.kel")) << "0 0 10\n0 0 0\n0 1 0\n1\n100\n";
    EXPECT_FALSE(doc_.onOpenDocument(path("sub/missing.kel")));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    EXPECT_FALSE(doc_.onOpenDocument(path("sub")));
    EXPECT_FALSE(doc_.onOpenDocument(path("sub/bad.kel")));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    EXPECT_EQ(messages_.errors,
              (std::vector<std::string>{
                  "Cannot open " + path("sub/missing.kel") + ": No such file or directory",
                  "Cannot open " + path("sub") + ": Is a directory",
                  "bad.kel, line 5: expected a real number (frustum height), found the end of "
                  "the file"}));
    EXPECT_EQ(doc_.scene(), room);
    EXPECT_EQ(doc_.pathName(), path("room.kel"));
    // No folder in the path: the current directory stays.
    ASSERT_TRUE(doc_.onOpenDocument("cube.kel"));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    ASSERT_TRUE(doc_.onSaveDocument(path("again.kel")));  // saves the new scene, not the old
    EXPECT_NE(readFile(path("again.kel")).find("\n1\ncube.obj\n"), std::string::npos);
}

TEST_F(KelDocTest, CloseAsksOnlyWhenModifiedAndSavesOnlyOnYes) {
    ASSERT_TRUE(doc_.onOpenDocument(path("cube.kel")));
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_TRUE(messages_.questions.empty());

    doc_.scene()->setAmbient(0.75);
    doc_.setModified(true);
    EXPECT_TRUE(doc_.scene()->resetVisibility());  // the flag also reaches the scene
    messages_.answer = false;
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_EQ(messages_.questions, std::vector<std::string>{"cube.kel has been changed, save it?"});
    EXPECT_FALSE(fs::exists(path("foo")));  // nothing was saved

    // Yes saves to the opened path even after the current directory moved.
    fs::current_path(dir_.path().parent_path());
    messages_.answer = true;
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_EQ(messages_.questions.size(), 2u);
    EXPECT_NE(readFile(path("cube.kel")).find("\n0.75\n1\ncube.obj\n"), std::string::npos);
    EXPECT_TRUE(messages_.errors.empty());

    // A save that fails keeps the document open, so the edit is not lost.
    fs::remove(fs::current_path() / "foo");  // the object output of the save above
    fs::current_path(dir_.path());
    fs::remove(path("foo"));
    fs::create_directory(path("foo"));
    EXPECT_FALSE(doc_.onCloseDocument());
    EXPECT_EQ(messages_.errors.size(), 1u);
    EXPECT_TRUE(doc_.isModified());
}

TEST_F(KelDocTest, SaveThatCannotWriteReportsWhyAndReturnsFalse) {
    EXPECT_FALSE(doc_.onSaveDocument(path("new.kel")));  // nothing open yet
    EXPECT_FALSE(fs::exists(path("new.kel")));
    ASSERT_TRUE(doc_.onOpenDocument(path("cube.kel")));
    EXPECT_FALSE(doc_.onSaveDocument(path("missing-folder/out.kel")));
    // A parent that is a regular file fails whoever runs the test, root included.
    EXPECT_FALSE(doc_.onSaveDocument(path("cube.obj/out.kel")));
    fs::create_directory(path("foo"));  // the object output file counts too
    EXPECT_FALSE(doc_.onSaveDocument(path("out.kel")));
    EXPECT_EQ(
        messages_.errors,
        (std::vector<std::string>{
            "No scene file is open yet",
            "Could not save " + path("missing-folder/out.kel") + ": No such file or directory",
            "Could not save " + path("cube.obj/out.kel") + ": Not a directory",
            "Could not save foo: Is a directory"}));
}

TEST_F(KelDocTest, OpenSaveOpenKeepsEveryValue) {
    ASSERT_TRUE(doc_.onOpenDocument(path("room.kel")));
    doc_.scene()->setAmbient(1.0 / 3.0);  // values that six digits would lose
    doc_.scene()->object(2)->setDiffuse(0.1 + 0.2);
    ASSERT_TRUE(doc_.onSaveDocument(path("copy.kel")));
    const std::string foo = readFile(path("foo"));
    CKelDoc second(messages_);
    ASSERT_TRUE(second.onOpenDocument(path("copy.kel")));
    EXPECT_EQ(second.scene()->ambient(), 1.0 / 3.0);
    EXPECT_EQ(second.scene()->object(2)->diffuse(), 0.1 + 0.2);
    // Saving what was read back gives the same files: every value survived.
    ASSERT_TRUE(second.onSaveDocument(path("copy2.kel")));
    EXPECT_EQ(readFile(path("copy2.kel")), readFile(path("copy.kel")));
    EXPECT_EQ(readFile(path("foo")), foo);
    // foo holds the last object, a chair: 48 records, each copied for three faces.
    EXPECT_EQ(foo.substr(0, 4), "144\n");
}

}  // namespace
}  // namespace kel::test
