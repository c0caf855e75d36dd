#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "files/text_file.h"
#include "files/vertex_id_table.h"
#include "files/write_visitor.h"
#include "files_test_support.h"
#include "model/scene.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kTriangle = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n";

// objectRecord as the writer puts it: each vector component followed by a blank.
std::string savedRecord(const std::string& file) {
    return file + "\n0 0 0 \n1 1 1 \n0 0 0 \n200 100 50\n0.7\n0.3\n10\n";
}

TEST(TextFileTest, OnlyRegularFilesAreReadAndNothingElseBlocks) {
    TempDir dir;
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    std::ofstream("plain.kel") << "text";
    fs::create_symlink("plain.kel", "link.kel");
    fs::create_symlink("pipe", "link-to-pipe");
    fs::create_directory("folder");
    const struct {
        std::string path;
        bool read;
        std::string reason;
    } cases[] = {
        {"plain.kel", true, ""},
        {"link.kel", true, ""},
        {"/dev/zero", false, "not a regular file"},
        {"/dev/null", false, "not a regular file"},
        {"pipe", false, "not a regular file"},
        {"link-to-pipe", false, "not a regular file"},
        {"folder", false, "Is a directory"},
        {"missing", false, "No such file or directory"},
    };
    for (const auto& c : cases) {
        const auto start = Clock::now();
        std::string text;
        std::string reason;
        EXPECT_EQ(readTextFile(c.path, text, reason), c.read) << c.path;
        EXPECT_EQ(reason, c.reason) << c.path;
        EXPECT_EQ(text, c.read ? "text" : "") << c.path;
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << c.path;
    }
}

// A path that is not a regular file fails a scene at once and costs an object only itself.
TEST(FileKindsTest, DeviceAndFifoAsSceneOrObjectReturnAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo("pipe", 0600), 0);
    std::ofstream("tri.obj") << kTriangle;
    for (const std::string& special :
         std::vector<std::string>{"/dev/zero", dir.path().string() + "/pipe"}) {
        const auto start = Clock::now();
        FakeMessages messages;
        CKelDoc asScene(messages);
        EXPECT_FALSE(asScene.onOpenDocument(special));
        EXPECT_EQ(messages.errors,
                  std::vector<std::string>{"Cannot open " + special + ": not a regular file"});

        std::ofstream("scene.kel")
            << sceneHeader(2) + objectRecord(special) + objectRecord("tri.obj");
        CKelDoc withObject(messages);
        ASSERT_TRUE(withObject.onOpenDocument(dir.path().string() + "/scene.kel"));
        EXPECT_EQ(messages.errors.back(), "No object file found");
        ASSERT_EQ(withObject.scene()->objectCount(), 1u);
        EXPECT_EQ(withObject.scene()->object(0)->name(), "tri.obj");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(1)) << special;
    }
}

TEST(FileKindsTest, ByteOrderMarkIsSkippedInSceneAndObjectFiles) {
    const std::string bom = "\xEF\xBB\xBF";
    const auto result =
        readFromMemory({{"scene.kel", bom + sceneHeader(1) + objectRecord("tri.obj")},
                        {"tri.obj", bom + kTriangle}});
    ASSERT_NE(result->scene, nullptr);
    EXPECT_TRUE(result->messages.errors.empty());
    ASSERT_EQ(result->scene->objectCount(), 1u);
    EXPECT_EQ(result->scene->object(0)->vertexCount(), 3u);
    // Only at the very start: elsewhere the bytes are a bad token, named on their line.
    const auto late = readFromMemory({{"scene.kel", sceneHeader(1) + objectRecord("tri.obj")},
                                      {"tri.obj", "3\n" + bom + "0 0 0 0\n"}});
    ASSERT_EQ(late->messages.errors.size(), 1u);
    EXPECT_EQ(late->messages.errors[0].rfind("tri.obj, line 2: expected a whole number", 0), 0u)
        << late->messages.errors[0];
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
        EXPECT_NE(result->scene, nullptr);
        if (result->scene != nullptr) {
            EXPECT_EQ(result->scene->objectCount(), 10000u);
            EXPECT_EQ(result->scene->object(9999)->surfaces()[0]->polygons()[0]->vertexAt(0)->id(),
                      id);
        }
        return elapsed;
    };
    const auto small = timeRead(9);
    const auto large = timeRead(9999999);
    EXPECT_LT(large, 3 * small + std::chrono::milliseconds(50));
#ifdef NDEBUG
    EXPECT_LT(large, std::chrono::milliseconds(500));
#endif
}

// A name of any length opens; a message about it shows a bounded part.
TEST(FileKindsTest, LongObjectFileNamesOpenAndMessagesStayShort) {
    const std::string name = std::string(5000, 'n');
    const auto good =
        readFromMemory({{"scene.kel", sceneHeader(1) + objectRecord(name)}, {name, kTriangle}});
    ASSERT_NE(good->scene, nullptr);
    ASSERT_EQ(good->scene->objectCount(), 1u);
    EXPECT_EQ(good->scene->object(0)->name(), name);
    const auto bad =
        readFromMemory({{"scene.kel", sceneHeader(1) + objectRecord(name)}, {name, "x\n"}});
    EXPECT_EQ(bad->messages.errors,
              std::vector<std::string>{std::string(200, 'n') +
                                       "..., line 1: expected a count (0 to 4294967295) (vertex "
                                       "count), found \"x\""});
}

TEST(VertexIdTableTest, GrowsWithTheFileAndForgetsOnlyWhatWasUsed) {
    Vertex a;
    Vertex b;
    VertexIdTable table;
    table.reset(50);  // a small file: only ids below 1024 are kept in the table
    table.entry(3).vertex = &a;
    table.entry(9999999).vertex = &b;
    table.entry(3).surfaceMark = 2;
    EXPECT_EQ(table.directSize(), 4u);
    ASSERT_NE(table.find(9999999), nullptr);
    EXPECT_EQ(table.find(9999999)->vertex, &b);
    EXPECT_EQ(table.find(3)->surfaceMark, 2u);
    EXPECT_EQ(table.find(4), nullptr);
    EXPECT_EQ(table.find(1023), nullptr);
    EXPECT_EQ(table.find(5000), nullptr);

    table.reset(100000);  // the next object: nothing of the last one is found
    EXPECT_EQ(table.find(3), nullptr);
    EXPECT_EQ(table.find(9999999), nullptr);
    table.entry(70000).vertex = &a;
    EXPECT_EQ(table.entry(3).surfaceMark, 0u);
    EXPECT_EQ(table.find(70000)->vertex, &a);
    EXPECT_LE(table.directSize(), 100000u);
    EXPECT_GT(table.directSize(), 70000u);
}

// An object left out at open keeps its record: a save writes all three records back.
TEST(FileKindsTest, LeftOutObjectsAreSavedBackInTheirPlaces) {
    TempDir dir;
    std::ofstream("tri.obj") << kTriangle;
    std::ofstream("bad.obj") << "3\n0 0 0 0\n";  // malformed: cut after the first vertex
    const std::string away = "1 2 3\n0.5 0.25 2\n-1 0 7\n10 20 30\n0.125\n0.75\n42\n";
    const std::string original = sceneHeader(4) + "away.obj\n" + away + objectRecord("tri.obj") +
                                 objectRecord("bad.obj") + objectRecord("tri.obj");
    std::ofstream("scene.kel") << original;
    FakeMessages messages;
    CKelDoc doc(messages);
    ASSERT_TRUE(doc.onOpenDocument(dir.path().string() + "/scene.kel"));
    EXPECT_EQ(doc.scene()->objectCount(), 2u);
    EXPECT_EQ(doc.scene()->leftOutObjects().size(), 2u);
    ASSERT_TRUE(doc.onSaveDocument(dir.path().string() + "/saved.kel"));
    const std::string saved = readFile("saved.kel");
    const std::string records = saved.substr(saved.find("\n0.2\n4\n") + 7);
    EXPECT_EQ(records, "away.obj\n1 2 3 \n0.5 0.25 2 \n-1 0 7 \n10 20 30\n0.125\n0.75\n42\n" +
                           savedRecord("tri.obj") + savedRecord("bad.obj") +
                           savedRecord("tri.obj"));

    // The file is back: the reopened scene has all four objects.
    std::ofstream("away.obj") << kTriangle;
    std::ofstream("bad.obj") << kTriangle;
    CKelDoc reopened(messages);
    ASSERT_TRUE(reopened.onOpenDocument(dir.path().string() + "/saved.kel"));
    ASSERT_EQ(reopened.scene()->objectCount(), 4u);
    EXPECT_EQ(reopened.scene()->object(0)->translation().at(2), 7.0);
    EXPECT_EQ(reopened.scene()->object(0)->shininess(), 42);
    EXPECT_EQ(reopened.scene()->object(2)->name(), "bad.obj");
}

TEST(FileKindsTest, LeftOutRecordAtTheEndOrAloneIsWrittenToo) {
    const struct {
        std::vector<std::string> names;
        std::size_t loaded;
    } cases[] = {
        {{"tri.obj", "away.obj"}, 1},
        {{"away.obj"}, 0},
        {{"away.obj", "away.obj", "tri.obj"}, 1},
    };
    for (const auto& c : cases) {
        std::string scene = sceneHeader(static_cast<int>(c.names.size()));
        std::string records;
        std::string expected;
        for (const std::string& name : c.names) {
            records += objectRecord(name);
            expected += savedRecord(name);
        }
        const auto result =
            readFromMemory({{"scene.kel", scene + records}, {"tri.obj", kTriangle}});
        ASSERT_NE(result->scene, nullptr);
        EXPECT_EQ(result->scene->objectCount(), c.loaded);
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
