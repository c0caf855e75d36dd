#include "files/kel_doc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/token_reader.h"
#include "files_test_support.h"
#include "model/polygon.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = KEL_EXAMPLES_DIR;

// Each test runs in a fresh folder holding a copy of the examples, and gets its current
// directory back afterwards.
class KelDocTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const auto& entry : fs::directory_iterator(kExamples)) {
            fs::copy_file(entry.path(), dir_.path() / entry.path().filename());
        }
    }

    std::string path(const std::string& name) const { return dir_.file(name); }

    CurrentDirGuard guard_;
    TempDir dir_;
    FakeMessages messages_;
};

TEST_F(KelDocTest, NewDocumentHoldsNoSceneAndCannotBeSaved) {
    CKelDoc doc(messages_);
    EXPECT_TRUE(doc.onNewDocument());
    EXPECT_EQ(doc.scene(), nullptr);
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.documentSize(), std::make_pair(2000, 2000));
    doc.setModified(true);  // no scene to pass the flag on to
    EXPECT_TRUE(doc.isModified());
    EXPECT_FALSE(doc.onSaveDocument(path("new.kel")));
    EXPECT_FALSE(fs::exists(path("new.kel")));
    EXPECT_EQ(messages_.errors, std::vector<std::string>{"No scene file is open yet"});
}

TEST_F(KelDocTest, OpenMakesTheScenesFolderCurrentAndFindsObjectFilesThere) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("room.kel")));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    ASSERT_NE(doc.scene(), nullptr);
    ASSERT_EQ(doc.scene()->objectCount(), 4u);
    EXPECT_EQ(doc.scene()->object(1)->name(), "table.obj");
    EXPECT_EQ(doc.pathName(), path("room.kel"));
    EXPECT_EQ(doc.title(), "room.kel");
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(KelDocTest, RelativePathIsResolvedBeforeTheDirectoryChanges) {
    fs::current_path(dir_.path().parent_path());
    const std::string relative = dir_.path().filename().string() + "/cube.kel";
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(relative));
    EXPECT_EQ(doc.scene()->objectCount(), 1u);
    EXPECT_EQ(doc.pathName(), path("cube.kel"));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
}

TEST_F(KelDocTest, PathWithoutAFolderLeavesTheCurrentDirectory) {
    fs::current_path(dir_.path());
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument("cube.kel"));
    EXPECT_EQ(fs::current_path(), fs::canonical(dir_.path()));
    EXPECT_EQ(doc.scene()->objectCount(), 1u);
}

TEST_F(KelDocTest, UnreadableFileStillEntersItsFolderThenFailsWithAMessage) {
    fs::create_directory(path("sub"));
    CKelDoc doc(messages_);
    EXPECT_FALSE(doc.onOpenDocument(path("sub/missing.kel")));
    EXPECT_EQ(fs::current_path(), fs::canonical(path("sub")));
    EXPECT_EQ(doc.scene(), nullptr);
    EXPECT_EQ(messages_.errors, std::vector<std::string>{"Cannot open " + path("sub/missing.kel") +
                                                         ": No such file or directory"});
    EXPECT_FALSE(doc.onOpenDocument(path("sub")));
    EXPECT_EQ(messages_.errors.back(), "Cannot open " + path("sub") + ": Is a directory");
}

TEST_F(KelDocTest, MalformedSceneFailsTheOpenAndKeepsWhatTheDocumentHeld) {
    writeFile(path("bad.kel"), "0 0 10\n0 0 0\n0 1 0\n1\n100\n");
    CKelDoc doc(messages_);
    EXPECT_FALSE(doc.onOpenDocument(path("bad.kel")));
    EXPECT_EQ(doc.scene(), nullptr);
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(messages_.errors[0],
              "bad.kel, line 5: expected a real number (frustum height), found the end of the "
              "file");

    ASSERT_TRUE(doc.onOpenDocument(path("cube.kel")));
    Scene* cube = doc.scene();
    EXPECT_FALSE(doc.onOpenDocument(path("bad.kel")));
    EXPECT_EQ(doc.scene(), cube);
    EXPECT_EQ(doc.pathName(), path("cube.kel"));
}

TEST_F(KelDocTest, MissingObjectFileIsReportedAndTheOpenSucceeds) {
    fs::remove(path("table.obj"));
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("room.kel")));
    EXPECT_EQ(messages_.errors, std::vector<std::string>{"No object file found"});
    EXPECT_EQ(doc.scene()->objectCount(), 3u);
}

TEST_F(KelDocTest, OpeningTheSameDocumentAgainStartsANewScene) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("room.kel")));
    ASSERT_TRUE(doc.onOpenDocument(path("cube.kel")));
    ASSERT_NE(doc.scene(), nullptr);
    EXPECT_EQ(doc.scene()->objectCount(), 1u);
    EXPECT_EQ(doc.scene()->object(0)->name(), "cube.obj");
    EXPECT_EQ(doc.title(), "cube.kel");
    // Saving goes through the new scene.
    ASSERT_TRUE(doc.onSaveDocument(path("again.kel")));
    EXPECT_NE(readFile(path("again.kel")).find("cube.obj"), std::string::npos);
    EXPECT_EQ(readFile(path("again.kel")).find("table.obj"), std::string::npos);
}

TEST_F(KelDocTest, ModifiedFlagAlsoAsksTheSceneToResetVisibility) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("cube.kel")));
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.scene()->resetVisibility());
    doc.setModified(true);
    EXPECT_TRUE(doc.isModified());
    EXPECT_TRUE(doc.scene()->resetVisibility());
    // Saving leaves the flag as it is.
    ASSERT_TRUE(doc.onSaveDocument(path("saved.kel")));
    EXPECT_TRUE(doc.isModified());
    doc.setModified(false);
    EXPECT_FALSE(doc.scene()->resetVisibility());
}

TEST_F(KelDocTest, CloseAsksOnlyWhenModifiedAndNoWritesNothing) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("room.kel")));
    const std::string before = readFile(path("room.kel"));
    doc.onCloseDocument();
    EXPECT_TRUE(messages_.questions.empty());

    doc.scene()->setAmbient(0.75);
    doc.setModified(true);
    messages_.answer = false;
    doc.onCloseDocument();
    EXPECT_EQ(messages_.questions, std::vector<std::string>{"room.kel has been changed, save it?"});
    EXPECT_EQ(readFile(path("room.kel")), before);
    EXPECT_FALSE(fs::exists(path("foo")));
}

TEST_F(KelDocTest, CloseAnsweredYesSavesToThePathEvenAfterTheDirectoryMoved) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("cube.kel")));
    doc.scene()->setAmbient(0.75);
    doc.setModified(true);
    ASSERT_TRUE(doc.onSaveDocument(path("cube.kel")));
    fs::current_path(dir_.path().parent_path());
    messages_.answer = true;
    doc.onCloseDocument();
    // Asked again although it was saved: saving does not clear the flag.
    EXPECT_EQ(messages_.questions.size(), 1u);
    TokenReader tokens(readFile(path("cube.kel")));
    for (int i = 0; i < 19; ++i) {
        tokens.next();
    }
    EXPECT_EQ(tokens.next().value(), "0.75");
    EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(KelDocTest, SaveThatCannotWriteReportsAndReturnsFalse) {
    CKelDoc doc(messages_);
    ASSERT_TRUE(doc.onOpenDocument(path("cube.kel")));
    EXPECT_FALSE(doc.onSaveDocument(path("missing-folder/out.kel")));
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(messages_.errors[0],
              "Could not save " + path("missing-folder/out.kel") + ": No such file or directory");
    // A parent that is a regular file fails whoever runs the test, root included.
    EXPECT_FALSE(doc.onSaveDocument(path("cube.obj/out.kel")));
    EXPECT_EQ(messages_.errors.back(),
              "Could not save " + path("cube.obj/out.kel") + ": Not a directory");
    // The object output file counts too.
    fs::create_directory(path("foo"));
    EXPECT_FALSE(doc.onSaveDocument(path("out.kel")));
    EXPECT_EQ(messages_.errors.back(), "Could not save foo: Is a directory");
}

// Every number of the object output file, in order.
std::vector<double> numbersOf(const std::string& text) {
    std::vector<double> numbers;
    TokenReader tokens(text);
    while (auto token = tokens.next()) {
        numbers.push_back(std::stod(std::string(*token)));
    }
    return numbers;
}

TEST_F(KelDocTest, OpenSaveOpenKeepsEveryValue) {
    CKelDoc first(messages_);
    ASSERT_TRUE(first.onOpenDocument(path("room.kel")));
    Scene& a = *first.scene();
    // Values that six digits would lose.
    a.setAmbient(1.0 / 3.0);
    a.object(2)->setDiffuse(0.1 + 0.2);
    ASSERT_TRUE(first.onSaveDocument(path("copy.kel")));

    CKelDoc second(messages_);
    ASSERT_TRUE(second.onOpenDocument(path("copy.kel")));
    Scene& b = *second.scene();
    EXPECT_EQ(a.camera()->from(), b.camera()->from());
    EXPECT_EQ(a.camera()->to(), b.camera()->to());
    EXPECT_EQ(a.camera()->approxUp(), b.camera()->approxUp());
    EXPECT_EQ(a.frustum()->nearPlane(), b.frustum()->nearPlane());
    EXPECT_EQ(a.frustum()->farPlane(), b.frustum()->farPlane());
    EXPECT_EQ(a.frustum()->height(), b.frustum()->height());
    EXPECT_EQ(a.light()->intensity(), b.light()->intensity());
    EXPECT_EQ(a.light()->color(), b.light()->color());
    EXPECT_EQ(a.light()->direction(), b.light()->direction());
    EXPECT_EQ(b.ambient(), 1.0 / 3.0);
    ASSERT_EQ(a.objectCount(), b.objectCount());
    for (std::size_t i = 0; i < a.objectCount(); ++i) {
        const SceneObject& x = *a.object(i);
        const SceneObject& y = *b.object(i);
        EXPECT_EQ(x.name(), y.name());
        EXPECT_EQ(x.rotation(), y.rotation());
        EXPECT_EQ(x.scaling(), y.scaling());
        EXPECT_EQ(x.translation(), y.translation());
        EXPECT_EQ(x.color(), y.color());
        EXPECT_EQ(x.diffuse(), y.diffuse());
        EXPECT_EQ(x.specular(), y.specular());
        EXPECT_EQ(x.shininess(), y.shininess());
        EXPECT_EQ(x.vertexCount(), y.vertexCount());
    }
    EXPECT_EQ(b.object(2)->diffuse(), 0.1 + 0.2);

    // foo holds the last object: every vertex record, the copies included, then its surfaces.
    const SceneObject& last = *a.object(a.objectCount() - 1);
    const std::vector<double> foo = numbersOf(readFile(path("foo")));
    std::vector<double> expected = {static_cast<double>(last.vertexCount())};
    for (std::size_t i = 0; i < last.vertexCount(); ++i) {
        const Vertex& v = *last.vertexAt(i);
        expected.insert(expected.end(), {static_cast<double>(v.id()), v.modelPosition().x(),
                                         v.modelPosition().y(), v.modelPosition().z()});
    }
    expected.push_back(static_cast<double>(last.surfaceCount()));
    for (const auto& surface : last.surfaces()) {
        expected.push_back(static_cast<double>(surface->polygonCount()));
        for (const auto& polygon : surface->polygons()) {
            expected.push_back(static_cast<double>(polygon->vertexCount()));
            for (std::size_t j = 0; j < polygon->vertexCount(); ++j) {
                expected.push_back(polygon->vertexAt(j)->id());
            }
        }
    }
    EXPECT_EQ(foo, expected);
    EXPECT_EQ(last.vertexCount(), 144u);  // 48 records, each used by three faces
}

}  // namespace
}  // namespace kel::test
