#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "files/kel_doc.h"
#include "files/stored_object_name.h"
#include "files_test_support.h"
#include "mesh_test_support.h"
#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel::test {
namespace {

namespace fs = std::filesystem;

// A box from (0, 0, 0) to (2, 4, 6): centre (1, 2, 3), r = sqrt(14) to every corner.
const std::string kBoxObj =
    "v 0 0 0\nv 2 0 0\nv 2 4 0\nv 0 4 0\nv 0 0 6\nv 2 0 6\nv 2 4 6\nv 0 4 6\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 3 4 8 7\nf 2 3 7 6\nf 1 5 8 4\n";

class MeshDocumentTest : public DocumentTest {
protected:
    std::string write(const std::string& name, const std::string& text) const {
        fs::create_directories((dir_.path() / name).parent_path());
        std::ofstream(dir_.path() / name, std::ios::binary) << text;
        return path(name);
    }
};

TEST_F(MeshDocumentTest, AMeshOpensAloneInASceneFittedToIt) {
    ASSERT_TRUE(doc_.onOpenDocument(write("box.obj", kBoxObj))) << messages_.errors[0];
    const Scene& scene = *doc_.scene();
    const double s7 = std::sqrt(7.0);  // 3 sqrt(14) / sqrt(18)
    const double r = std::sqrt(14.0);
    const double s21 = std::sqrt(21.0);
    EXPECT_LT((scene.camera()->from() - Vector(1 + s7, 2 + s7, 3 + 4 * s7)).length(), 1e-12);
    EXPECT_LT((scene.light()->direction() - Vector(-1, 2, 4) / s21).length(), 1e-15);
    EXPECT_NEAR(scene.frustum()->nearPlane(), 1.9 * r, 1e-12);
    EXPECT_NEAR(scene.frustum()->farPlane(), 4.1 * r, 1e-12);
    // tan(asin(1/3)) = 1 / sqrt(8)
    EXPECT_NEAR(scene.frustum()->height(), 1.9 * r / std::sqrt(8.0) / 0.9, 1e-12);
    EXPECT_EQ(scene.camera()->to(), Vector(1, 2, 3));
    EXPECT_EQ(scene.camera()->approxUp(), Vector(0, 1, 0));
    ASSERT_EQ(scene.objectCount(), 1u);
    const SceneObject& box = *scene.object(0);
    EXPECT_EQ(box.name(), "box.obj");
    EXPECT_EQ((std::vector<Vector>{box.rotation(), box.scaling(), box.translation()}),
              (std::vector<Vector>{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}}));
    EXPECT_EQ((std::vector<double>{scene.light()->intensity(), scene.ambient(), box.diffuse(),
                                   box.specular(), static_cast<double>(box.shininess())}),
              (std::vector<double>{1.0, 0.2, 0.8, 0.3, 30}));
    EXPECT_EQ(scene.light()->color().value(), 0x00FFFFFFu);
    EXPECT_EQ(box.color().value(), 0x00C8C8C8u);
    EXPECT_EQ(box.surfaceCount(), 6u);  // the crease rule keeps the box's edges
    EXPECT_TRUE(doc_.needsSceneFileName());
    EXPECT_EQ(doc_.suggestedSceneFileName(), path("box.kel"));
}

// The extension decides, and for .obj the first token: a Kel object file may be named so.
// Any other name goes to the scene reader; a bad mesh alone opens nothing.
TEST_F(MeshDocumentTest, TheExtensionDecidesAndAFileThatOpensAsNeitherSaysWhy) {
    const std::string neither =
        ": the file is not a Kel scene, and its name does not end in a mesh extension (.obj, "
        ".off, .ply or .stl)";
    const struct {
        std::string name;
        std::string text;
        std::string error;  // none when it opens
    } cases[] = {
        {"kel.obj", kTriangleObject, ""},
        {"upper.OBJ", kObjVertices + "f 1 2 3\n", ""},
        {"mesh.PLY", plyHeader("ascii", kPlyElements) + "0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", ""},
        {"scene.txt", sceneHeader(0), ""},
        {"photo.png", "\x89PNG\r\n\x1A\n", "Cannot open " + path("photo.png") + neither},
        {"empty.txt", "", "Cannot open " + path("empty.txt") + neither},
        {"short.txt", "0 0 1\n",
         "short.txt, line 1: expected a real number (camera to), found the end of the file"},
        {"bad.ply", "ply\nformat ascii 2.0 extra\n",
         "bad.ply, line 2: expected format ascii, binary_little_endian or binary_big_endian and "
         "a version"},
    };
    for (const auto& c : cases) {
        FakeMessages messages;
        CKelDoc doc(messages);
        EXPECT_EQ(doc.onOpenDocument(write(c.name, c.text)), c.error.empty()) << c.name;
        EXPECT_EQ(messages.errors,
                  c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
        EXPECT_EQ(doc.scene() == nullptr, !c.error.empty()) << c.name;
        if (c.name.find(".txt") == std::string::npos && c.error.empty()) {
            EXPECT_EQ(doc.scene()->object(0)->vertexCount(), 3u) << c.name;
            EXPECT_EQ(doc.title(), c.name);
        }
    }
    EXPECT_FALSE(doc_.onOpenDocument(path("missing.stl")));
    EXPECT_EQ(messages_.errors, std::vector<std::string>{"Cannot open " + path("missing.stl") +
                                                         ": No such file or directory"});
}

TEST_F(MeshDocumentTest, ASceneNamesMeshesAndABadOneIsLeftOutAlone) {
    write("parts/cube.stl", binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}}));
    write("parts/broken.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 7\n");
    write("tri.obj", kObjVertices + "f 1 2 3\n");
    const std::string record = "\n0 0 90\n2 2 2\n5 0 0\n10 20 30\n0.5\n0.25\n7\n";
    const std::string scene = sceneHeader(3) + "parts/cube.stl" + record + "parts/broken.off" +
                              record + "tri.obj" + record;
    ASSERT_TRUE(doc_.onOpenDocument(write("scene.kel", scene)));
    EXPECT_EQ(messages_.errors,
              (std::vector<std::string>{"parts/broken.off, line 6: vertex index 7 names no vertex "
                                        "(there are 3)"}));
    ASSERT_EQ(doc_.scene()->objectCount(), 2u);
    const SceneObject& cube = *doc_.scene()->object(0);
    EXPECT_EQ(cube.name(), "parts/cube.stl");
    EXPECT_EQ(cube.color().value(), 0x001E140Au);
    // The modelling transform is the record's: (1, 0, 0) scaled by 2, turned 90 degrees
    // about z and moved 5 along x lands at (5, 2, 0), give or take the model's pi.
    const Vector moved = Vector(1, 0, 0, 1) * cube.modelingTransform();
    EXPECT_NEAR(moved.x(), 5.0, 1e-3);
    EXPECT_NEAR(moved.y(), 2.0, 1e-3);
    EXPECT_FALSE(doc_.needsSceneFileName());
}

TEST_F(MeshDocumentTest, SavingAMeshWritesASceneThatReopensTheSameWherever) {
    ASSERT_TRUE(doc_.onOpenDocument(write("meshes/box.obj", kBoxObj)));
    const std::string mesh = path("meshes/box.obj");
    // Never over the mesh, nor under a name that would open as one.
    EXPECT_FALSE(doc_.onSaveDocument(mesh));
    EXPECT_FALSE(doc_.onSaveDocument(path("meshes/other.OFF")));
    EXPECT_EQ(readFile(mesh), kBoxObj);
    ASSERT_EQ(messages_.errors.size(), 2u);
    EXPECT_EQ(messages_.errors[0], "Cannot save " + mesh +
                                       ": it is the mesh this scene shows; save the scene as a "
                                       ".kel file");
    fs::create_directories(path("elsewhere/deeper"));
    ASSERT_TRUE(doc_.onSaveDocument(path("elsewhere/deeper/view.kel")));
    const std::string text = readFile(path("elsewhere/deeper/view.kel"));
    EXPECT_NE(text.find("\n1\n../../meshes/box.obj\n"), std::string::npos) << text;
    // Saved reals read back to the same doubles, so the view is the same.
    CKelDoc again(messages_);
    ASSERT_TRUE(again.onOpenDocument(path("elsewhere/deeper/view.kel")));
    EXPECT_EQ(again.scene()->camera()->from(), doc_.scene()->camera()->from());
    EXPECT_EQ(again.scene()->object(0)->vertexCount(), 24u);
    EXPECT_FALSE(again.needsSceneFileName());
    // A name that a scene file cannot hold is refused before anything is written.
    CKelDoc spaced(messages_);
    ASSERT_TRUE(spaced.onOpenDocument(write("my part.obj", kBoxObj)));
    EXPECT_FALSE(spaced.onSaveDocument(path("spaced.kel")));
    EXPECT_FALSE(fs::exists(path("spaced.kel")));
    EXPECT_EQ(messages_.errors.back(),
              "Cannot save " + path("spaced.kel") +
                  ": the object file name \"my part.obj\" contains white "
                  "space, which a scene file cannot hold; rename the file");
}

TEST_F(MeshDocumentTest, ClosingAnEditedMeshAsksForASceneNameAndStaysOpenWithoutOne) {
    ASSERT_TRUE(doc_.onOpenDocument(write("box.obj", kBoxObj)));
    doc_.setModified(true);
    messages_.answer = true;
    EXPECT_FALSE(doc_.onCloseDocument());  // no chooser: nowhere to save, so it stays
    std::vector<std::string> suggested;
    std::optional<std::string> answer;
    doc_.setSceneFileChooser([&](const std::string& s) {
        suggested.push_back(s);
        return answer;
    });
    EXPECT_FALSE(doc_.onCloseDocument());  // cancelled
    answer = path("chosen.kel");
    EXPECT_TRUE(doc_.onCloseDocument());
    EXPECT_EQ(suggested, (std::vector<std::string>{path("box.kel"), path("box.kel")}));
    EXPECT_NE(readFile(path("chosen.kel")).find("\nbox.obj\n"), std::string::npos);
    EXPECT_EQ(doc_.pathName(), path("chosen.kel"));
    EXPECT_FALSE(doc_.needsSceneFileName());
    EXPECT_EQ(messages_.questions.size(), 3u);
}

TEST(StoredObjectName, IsTheSameNameWhereItStillFitsElseRelativeElseAbsolute) {
    const struct {
        const char* name;
        const char* source;
        const char* scene;
        const char* expected;
    } cases[] = {
        {"box.obj", "/a", "/a", "box.obj"},
        {"../m/./box.obj", "/a/b", "/a/b", "../m/./box.obj"},  // as read, untouched
        {"box.obj", "/a/b", "/a", "b/box.obj"},
        {"box.obj", "/a", "/a/c/d", "../../box.obj"},
        {"sub/box.obj", "/a", "/x", "../a/sub/box.obj"},
        {"/abs/box.obj", "/a", "/q", "/abs/box.obj"},
        {"box.obj", "/a", "relative/folder", "/a/box.obj"},  // no relative path from there
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storedObjectName(c.name, c.source, c.scene), c.expected) << c.name;
    }
    EXPECT_TRUE(canStoreName("a/b.obj"));
    for (const char* bad : {"", "a b", "a\tb", "a\nb", "a\rb", "a\vb", "a\fb"}) {
        EXPECT_FALSE(canStoreName(bad)) << bad;
    }
}

}  // namespace
}  // namespace kel::test
