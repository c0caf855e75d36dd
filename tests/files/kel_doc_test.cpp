#include "files/kel_doc.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "files/text_file.h"
#include "files/write_visitor.h"
#include "files_test_support.h"
#include "model/scene.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

// Each test works on a copy of the examples and gets its current directory back.
class KelDocTest : public DocumentTest {
protected:
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(KEL_EXAMPLES_DIR)) {
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
        }
    }
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

// The viewer's own tests answer the question both ways and fail the save.
TEST_F(KelDocTest, CloseAsksOnlyWhenModifiedAndSavesToTheOpenedPath) {
    ASSERT_TRUE(doc_.onOpenDocument(path("cube.kel")));
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_TRUE(messages_.questions.empty());
    doc_.scene()->setAmbient(0.75);
    doc_.setModified(true);
    EXPECT_TRUE(doc_.scene()->resetVisibility());  // the flag also reaches the scene
    // Yes saves to the opened path even after the current directory moved.
    fs::current_path(dir_.path().parent_path());
    messages_.answer = true;
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_EQ(messages_.questions, std::vector<std::string>{"cube.kel has been changed, save it?"});
    EXPECT_NE(readFile(path("cube.kel")).find("\n0.75\n1\ncube.obj\n"), std::string::npos);
    EXPECT_TRUE(messages_.errors.empty());
    fs::remove(fs::current_path() / "foo");  // the object output, written where we now are
}

TEST_F(KelDocTest, SaveThatCannotWriteReportsWhyAndReturnsFalse) {
    EXPECT_FALSE(doc_.onSaveDocument(path("new.kel")));  // nothing open yet
    ASSERT_TRUE(doc_.onOpenDocument(path("cube.kel")));
    // A parent that is a regular file fails whoever runs the test, root included.
    EXPECT_FALSE(doc_.onSaveDocument(path("cube.obj/out.kel")));
    fs::create_directory(path("foo"));  // the object output file counts too
    EXPECT_FALSE(doc_.onSaveDocument(path("out.kel")));
    EXPECT_EQ(messages_.errors,
              (std::vector<std::string>{
                  "No scene file is open yet",
                  "Could not save " + path("cube.obj/out.kel") + ": Not a directory",
                  "Could not save foo: Is a directory"}));
}

// A full disk, as a file-size limit stands for one: whichever file does not fit, neither
// old file changes and no temporary is left behind. The save that fits keeps every value.
TEST_F(KelDocTest, FailedSaveKeepsBothOldFilesByteForByteAndASavedOneReadsBack) {
    std::ofstream(path("foo")) << "the old object output\n";
    ASSERT_TRUE(doc_.onOpenDocument(path("room.kel")));
    doc_.scene()->setAmbient(1.0 / 3.0);  // values that six digits would lose
    doc_.scene()->object(2)->setDiffuse(0.1 + 0.2);
    const std::string oldScene = readFile(path("room.kel"));
    const std::string oldFoo = readFile(path("foo"));
    const auto entryCount = [this] {
        return std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator());
    };
    const auto files = entryCount();
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
        EXPECT_EQ(readFile(path("room.kel")), oldScene) << c.limit;
        EXPECT_EQ(readFile(path("foo")), oldFoo) << c.limit;
        EXPECT_EQ(entryCount(), files) << c.limit;
    }
    // With room to write, both are replaced, keeping every digit.
    ASSERT_TRUE(doc_.onSaveDocument(path("room.kel")));
    EXPECT_EQ(entryCount(), files);
    EXPECT_EQ(readFile(path("foo")).substr(0, 4), "144\n");  // 48 records, copied for three faces
    CKelDoc second(messages_);
    ASSERT_TRUE(second.onOpenDocument(path("room.kel")));
    EXPECT_EQ(second.scene()->ambient(), 1.0 / 3.0);
    EXPECT_EQ(second.scene()->object(2)->diffuse(), 0.1 + 0.2);
}

using Clock = std::chrono::steady_clock;

TEST(TextFileTest, OnlyRegularFilesAreReadAndNothingElseBlocks) {
    TempDir dir;
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    std::ofstream("plain.kel") << "text";
    fs::create_symlink("plain.kel", "link.kel");
    fs::create_symlink("pipe", "link-to-pipe");
    fs::create_directory("folder");
    for (const auto& [file, why] : std::vector<std::pair<std::string, std::string>>{
             {"plain.kel", ""},
             {"link.kel", ""},
             {"/dev/zero", "not a regular file"},
             {"link-to-pipe", "not a regular file"},
             {"folder", "Is a directory"},
             {"missing", "No such file or directory"}}) {
        const auto start = Clock::now();
        std::string text;
        std::string reason;
        EXPECT_EQ(readTextFile(file, text, reason), why.empty()) << file;
        EXPECT_EQ(reason + "|" + text, why + (why.empty() ? "|text" : "|")) << file;
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << file;
    }
    // Named by a scene, the FIFO costs its object alone, at once.
    std::ofstream("tri.obj") << kTriangleObject;
    std::ofstream("scene.kel") << sceneHeader(2) + objectRecord("pipe") + objectRecord("tri.obj");
    FakeMessages messages;
    CKelDoc doc(messages);
    const auto start = Clock::now();
    ASSERT_TRUE(doc.onOpenDocument(dir.path().string() + "/scene.kel"));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(messages.errors, std::vector<std::string>{"No object file found"});
    ASSERT_EQ(doc.scene()->objectCount(), 1u);
    EXPECT_EQ(doc.scene()->object(0)->name(), "tri.obj");
}

// 10,000 records naming one small file whose ids are small, or hold the largest allowed:
// both cost what the file costs (it was a hundred times more with the large id).
TEST(FileKindsTest, ManyObjectsWithALargeIdCostWhatTheirFilesCost) {
    const auto timeRead = [](int id) {
        const std::string v = std::to_string(id);
        const std::string object = "3\n" + v + " 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 " + v + " 1 2\n";
        std::string scene = sceneHeader(10000);
        for (int i = 0; i < 10000; ++i) {
            scene += objectRecord("ids.obj");
        }
        const auto start = Clock::now();
        const auto result = readFromMemory({{"scene.kel", scene}, {"ids.obj", object}});
        const auto elapsed = Clock::now() - start;
        EXPECT_TRUE(result->scene != nullptr && result->scene->objectCount() == 10000u &&
                    result->scene->object(9999)->surfaces()[0]->polygons()[0]->vertexAt(0)->id() ==
                        id);
        return elapsed;
    };
    const auto small = timeRead(9);
    EXPECT_LT(timeRead(9999999), 3 * small + std::chrono::milliseconds(50));
}

// A name of any length opens; a message about it shows a bounded part.
TEST(FileKindsTest, LongObjectFileNamesOpenAndMessagesStayShort) {
    const std::string name = std::string(5000, 'n');
    const std::string bad = std::string(5000, 'b');
    const auto result =
        readFromMemory({{"scene.kel", sceneHeader(2) + objectRecord(bad) + objectRecord(name)},
                        {name, kTriangleObject},
                        {bad, "x\n"}});
    ASSERT_NE(result->scene, nullptr);
    ASSERT_EQ(result->scene->objectCount(), 1u);
    EXPECT_EQ(result->scene->object(0)->name(), name);
    EXPECT_EQ(result->messages.errors,
              std::vector<std::string>{std::string(200, 'b') +
                                       "..., line 1: expected a count (0 to 4294967295) (vertex "
                                       "count), found \"x\""});
}

// An object record as read, or as the writer puts it (each vector component followed by a
// blank); away.obj's values differ from the others'.
std::string record(const std::string& name, bool saved) {
    const std::string b = saved ? " " : "";
    return name == "away.obj" ? name + "\n1 2 3" + b + "\n0.5 0.25 2" + b + "\n-1 0 7" + b +
                                    "\n10 20 30\n0.125\n0.75\n42\n"
                              : name + "\n0 0 0" + b + "\n1 1 1" + b + "\n0 0 0" + b +
                                    "\n200 100 50\n0.7\n0.3\n10\n";
}

// Objects left out at open, missing or malformed, keep their records: a save writes every
// record back in its place, values and all.
TEST(FileKindsTest, LeftOutObjectsAreSavedBackInTheirPlaces) {
    const struct {
        std::vector<std::string> names;
        std::size_t loaded;
        int lastNumber;  // the left-out records count
    } cases[] = {
        {{"away.obj", "tri.obj", "bad.obj", "tri.obj"}, 2, 4},
        {{"tri.obj", "away.obj"}, 1, 1},
        {{"away.obj"}, 0, 0},
        {{"away.obj", "away.obj", "tri.obj"}, 1, 3},
    };
    for (const auto& c : cases) {
        std::string scene = sceneHeader(static_cast<int>(c.names.size()));
        std::string expected;
        for (const std::string& name : c.names) {
            scene += record(name, false);
            expected += record(name, true);
        }
        const auto result = readFromMemory(
            {{"scene.kel", scene}, {"tri.obj", kTriangleObject}, {"bad.obj", "3\n0 0 0 0\n"}});
        ASSERT_NE(result->scene, nullptr);
        EXPECT_EQ(result->scene->objectCount(), c.loaded);
        EXPECT_EQ(result->scene->leftOutObjects().size(), c.names.size() - c.loaded);
        EXPECT_EQ(c.loaded == 0 ? 0 : result->scene->object(c.loaded - 1)->number(), c.lastNumber);
        TempDir dir;
        WriteVisitor writer(result->messages);
        ASSERT_TRUE(writer.open("out.kel"));
        result->builder.writeScene(writer);
        ASSERT_FALSE(writer.failed()) << writer.failureReason();
        const std::string saved = readFile("out.kel");
        const std::string count = "\n0.2\n" + std::to_string(c.names.size()) + "\n";
        EXPECT_EQ(saved.substr(saved.find(count) + count.size()), expected);
        // Without a loaded object there is no geometry to write.
        EXPECT_EQ(fs::exists("foo"), c.loaded > 0);
    }
}
}  // namespace
}  // namespace kel::test
