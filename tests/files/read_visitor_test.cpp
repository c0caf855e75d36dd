#include "files/read_visitor.h"

#include <gtest/gtest.h>

#include <string>

#include "files/scene_builder.h"
#include "files_test_support.h"
#include "model/polygon.h"
#include "model/scene.h"

namespace kel::test {
namespace {

// Eight corners of the unit cube, ids 0..7, and six one-quad faces, each its own surface.
const char* const kCube =
    "8\n"
    "0 0 0 0\n1 1 0 0\n2 1 1 0\n3 0 1 0\n4 0 0 1\n5 1 0 1\n6 1 1 1\n7 0 1 1\n"
    "6\n"
    "1 4 0 3 2 1\n"
    "1 4 4 5 6 7\n"
    "1 4 0 1 5 4\n"
    "1 4 2 3 7 6\n"
    "1 4 0 4 7 3\n"
    "1 4 1 2 6 5\n";

TEST(ReadVisitorScene, ReadsEveryValueOfTheSceneFile) {
    const MemoryFiles files = {
        {"scene.kel",
         "1 2 3\n4 5 6\n0 1 0\n"
         "1.5\n40\n0.75\n"
         "0.9\n300 20 10\n0 0 2\n"
         "0.125\n1\n" +
             std::string("thing.obj\n10 20 30\n2 2 2\n5 0 0\n255 0 128\n0.6\n0.35\n12\n")},
        {"thing.obj", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 2\n"}};
    const auto result = readFromMemory(files);
    ASSERT_NE(result->scene, nullptr);
    EXPECT_TRUE(result->messages.errors.empty());
    const Scene& scene = *result->scene;

    EXPECT_EQ(scene.camera()->from(), Vector(1, 2, 3));
    EXPECT_EQ(scene.camera()->to(), Vector(4, 5, 6));
    EXPECT_EQ(scene.camera()->approxUp(), Vector(0, 1, 0));
    EXPECT_EQ(scene.frustum()->nearPlane(), 1.5);
    EXPECT_EQ(scene.frustum()->farPlane(), 40.0);
    EXPECT_EQ(scene.frustum()->height(), 0.75);
    // Set through set(), so the perspective transform is already there: g = near / height.
    EXPECT_EQ(scene.frustum()->perspectiveTransform().at(0, 0), 2.0);
    EXPECT_EQ(scene.light()->intensity(), 0.9);
    // Each colour component keeps its low 8 bits: 300 is 44.
    EXPECT_EQ(scene.light()->color(), Color(44, 20, 10));
    EXPECT_EQ(scene.light()->direction(), Vector(0, 0, 1));
    EXPECT_EQ(scene.ambient(), 0.125);

    ASSERT_EQ(scene.objectCount(), 1u);
    const SceneObject& object = *scene.object(0);
    EXPECT_EQ(object.number(), 1);
    EXPECT_EQ(object.name(), "thing.obj");
    EXPECT_EQ(object.rotation(), Vector(10, 20, 30));
    EXPECT_EQ(object.scaling(), Vector(2, 2, 2));
    EXPECT_EQ(object.translation(), Vector(5, 0, 0));
    EXPECT_EQ(object.color(), Color(255, 0, 128));
    EXPECT_EQ(object.diffuse(), 0.6);
    EXPECT_EQ(object.specular(), 0.35);
    EXPECT_EQ(object.shininess(), 12);
    // The modelling transform is composed once the three parts are read.
    EXPECT_EQ(object.modelingTransform().at(3, 0), 5.0);
    EXPECT_EQ(object.modelingTransform().at(3, 3), 1.0);
}

TEST(ReadVisitorScene, ObjectCountOfZeroOrLessMeansNoObjects) {
    for (const int count : {0, -5}) {
        const auto read = readFromMemory({{"scene.kel", sceneHeader(count)}});
        ASSERT_NE(read->scene, nullptr) << count;
        EXPECT_EQ(read->scene->objectCount(), 0u);
        EXPECT_NE(read->scene->camera(), nullptr);
        EXPECT_NE(read->scene->frustum(), nullptr);
        EXPECT_NE(read->scene->light(), nullptr);
        EXPECT_EQ(read->scene->ambient(), 0.2);
        EXPECT_TRUE(read->messages.errors.empty());
    }
}

TEST(ReadVisitorScene, LineBreaksCarryNoMeaning) {
    MemoryFiles files = oneObjectScene(kCube);
    std::string flat = files["scene.kel"];
    for (char& c : flat) {
        if (c == '\n') {
            c = ' ';
        }
    }
    MemoryFiles flatFiles = files;
    flatFiles["scene.kel"] = "\t" + flat;
    std::string tall;
    for (char c : files["thing.obj"]) {
        tall += c == ' ' ? std::string("\r\n\n") : std::string(1, c);
    }
    flatFiles["thing.obj"] = tall;

    const auto a = readFromMemory(files);
    const auto b = readFromMemory(flatFiles);
    ASSERT_NE(a->scene, nullptr);
    ASSERT_NE(b->scene, nullptr);
    EXPECT_EQ(a->scene->camera()->from(), b->scene->camera()->from());
    EXPECT_EQ(a->scene->object(0)->shininess(), b->scene->object(0)->shininess());
    EXPECT_EQ(b->scene->object(0)->vertexCount(), 24u);
}

TEST(ReadVisitorScene, MissingObjectFileIsLeftOutAndTheOthersLoadInOrder) {
    const MemoryFiles files = {
        {"scene.kel", sceneHeader(3) + objectRecord("a.obj") + objectRecord("missing.obj") +
                          objectRecord("b.obj")},
        {"a.obj", "0\n0\n"},
        {"b.obj", kCube}};
    const auto result = readFromMemory(files);
    ASSERT_NE(result->scene, nullptr);
    ASSERT_EQ(result->messages.errors.size(), 1u);
    EXPECT_EQ(result->messages.errors[0], "No object file found");
    ASSERT_EQ(result->scene->objectCount(), 2u);
    EXPECT_EQ(result->scene->object(0)->name(), "a.obj");
    EXPECT_EQ(result->scene->object(1)->name(), "b.obj");
    // Numbers follow the records of the scene file, the left-out one included.
    EXPECT_EQ(result->scene->object(1)->number(), 3);
}

TEST(ReadVisitorScene, TwoRecordsNamingOneFileGetSeparateGeometry) {
    const MemoryFiles files = {
        {"scene.kel", sceneHeader(2) + objectRecord("cube.obj") + objectRecord("cube.obj")},
        {"cube.obj", kCube}};
    const auto result = readFromMemory(files);
    ASSERT_NE(result->scene, nullptr);
    ASSERT_EQ(result->scene->objectCount(), 2u);
    const SceneObject& a = *result->scene->object(0);
    const SceneObject& b = *result->scene->object(1);
    EXPECT_EQ(a.vertexCount(), 24u);
    EXPECT_EQ(b.vertexCount(), 24u);
    EXPECT_NE(a.vertexAt(0), b.vertexAt(0));
    EXPECT_NE(a.surfaces()[0]->polygons()[0]->vertexAt(0),
              b.surfaces()[0]->polygons()[0]->vertexAt(0));
}

TEST(ReadVisitorScene, ReadSceneWithoutAnOpenFileSaysSo) {
    FakeMessages messages;
    ReadVisitor reader(messages);
    DefaultSceneBuilder builder;
    EXPECT_FALSE(reader.readScene(builder));
    ASSERT_EQ(messages.errors.size(), 1u);
    EXPECT_EQ(messages.errors[0], "No scene file is open yet");
    EXPECT_EQ(builder.scene()->camera(), nullptr);
}

TEST(ReadVisitorScene, FailedOpenLeavesNoSceneStream) {
    FakeMessages messages;
    ReadVisitor reader(messages, "/nonexistent-kel-folder/scene.kel");
    EXPECT_EQ(reader.fileName(), "/nonexistent-kel-folder/scene.kel");
    EXPECT_EQ(reader.openFailure(), "No such file or directory");
    EXPECT_TRUE(messages.errors.empty());
    DefaultSceneBuilder builder;
    EXPECT_FALSE(reader.readScene(builder));
    EXPECT_EQ(messages.errors, std::vector<std::string>{"No scene file is open yet"});
}

// Splitting of vertices between surfaces.

TEST(ReadVisitorSplitting, CubeOfSixSurfacesEndsWithTwentyFourVertexRecords) {
    const auto result = readFromMemory(oneObjectScene(kCube));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& cube = *result->scene->object(0);
    ASSERT_EQ(cube.vertexCount(), 24u);
    ASSERT_EQ(cube.surfaceCount(), 6u);

    // The 8 records of the file stay at the end, in file order; the 16 copies went in front.
    for (int id = 0; id < 8; ++id) {
        EXPECT_EQ(cube.vertexAt(16 + static_cast<std::size_t>(id))->id(), id);
    }
    // Every record is used by exactly one polygon, and no record serves two surfaces.
    for (std::size_t i = 0; i < cube.vertexCount(); ++i) {
        EXPECT_EQ(cube.vertexAt(i)->polygons().size(), 1u) << i;
    }
    // The first face keeps the records read from the file.
    const Polygon& first = *cube.surfaces()[0]->polygons()[0];
    EXPECT_EQ(first.vertexAt(0), cube.vertexAt(16 + 0));
    EXPECT_EQ(first.vertexAt(1), cube.vertexAt(16 + 3));
    // A copy has the id and position of its source.
    const Polygon& last = *cube.surfaces()[5]->polygons()[0];
    EXPECT_EQ(last.vertexAt(0)->id(), 1);
    EXPECT_EQ(last.vertexAt(0)->modelPosition(), Vector(1, 0, 0));
    EXPECT_NE(last.vertexAt(0), cube.vertexAt(16 + 1));
    EXPECT_EQ(last.vertexCount(), 4u);
}

TEST(ReadVisitorSplitting, SurfaceSharingAnEdgeWithAnEarlierSurfaceCopiesEachIdOnce) {
    const auto result =
        readFromMemory(oneObjectScene("5\n0 0 0 0\n1 1 0 0\n2 0 1 0\n3 1 1 0\n4 2 2 0\n"
                                      "2\n"
                                      "1 3 0 1 2\n"
                                      "2 3 1 3 2 3 2 1 4\n"));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& object = *result->scene->object(0);
    EXPECT_EQ(object.vertexCount(), 7u);
    const Polygon& a = *object.surfaces()[1]->polygons()[0];
    const Polygon& b = *object.surfaces()[1]->polygons()[1];
    // Both triangles of surface 2 use the same copies of 1 and 2.
    EXPECT_EQ(a.vertexAt(0), b.vertexAt(1));
    EXPECT_EQ(a.vertexAt(2), b.vertexAt(0));
    EXPECT_EQ(a.vertexAt(0)->polygons().size(), 2u);
    // Surface 1 keeps the originals.
    const Polygon& base = *object.surfaces()[0]->polygons()[0];
    EXPECT_NE(base.vertexAt(1), a.vertexAt(0));
    EXPECT_EQ(base.vertexAt(1)->polygons().size(), 1u);
    EXPECT_EQ(base.vertexAt(1), object.vertexAt(2 + 1));
}

TEST(ReadVisitorSplitting, EachLaterSurfaceGetsItsOwnCopyInFrontOfTheList) {
    const auto result = readFromMemory(
        oneObjectScene("3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n3\n1 3 0 1 2\n1 3 0 1 2\n1 3 0 1 2\n"));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& object = *result->scene->object(0);
    ASSERT_EQ(object.vertexCount(), 9u);
    const auto& surfaces = object.surfaces();
    // Surface 3's copies were inserted last, so they come first: 2, 1, 0 of surface 3.
    EXPECT_EQ(object.vertexAt(0), surfaces[2]->polygons()[0]->vertexAt(2));
    EXPECT_EQ(object.vertexAt(2), surfaces[2]->polygons()[0]->vertexAt(0));
    EXPECT_EQ(object.vertexAt(3), surfaces[1]->polygons()[0]->vertexAt(2));
    EXPECT_EQ(object.vertexAt(6), surfaces[0]->polygons()[0]->vertexAt(0));
}

TEST(ReadVisitorSplitting, IdUsedTwiceInOnePolygonIsOneRecordListingThePolygonTwice) {
    const auto result =
        readFromMemory(oneObjectScene("3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n4 0 1 0 2\n"));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& object = *result->scene->object(0);
    EXPECT_EQ(object.vertexCount(), 3u);
    const Polygon& polygon = *object.surfaces()[0]->polygons()[0];
    EXPECT_EQ(polygon.vertexAt(0), polygon.vertexAt(2));
    ASSERT_EQ(polygon.vertexAt(0)->polygons().size(), 2u);
    EXPECT_EQ(polygon.vertexAt(0)->polygons()[1], &polygon);
}

TEST(ReadVisitorSplitting, LaterRecordWithTheSameIdIsTheOnePolygonsUse) {
    const auto result =
        readFromMemory(oneObjectScene("4\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1 9 9 9\n1\n1\n3 0 1 2\n"));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& object = *result->scene->object(0);
    ASSERT_EQ(object.vertexCount(), 4u);
    const Polygon& polygon = *object.surfaces()[0]->polygons()[0];
    EXPECT_EQ(polygon.vertexAt(1), object.vertexAt(3));
    EXPECT_EQ(polygon.vertexAt(1)->modelPosition(), Vector(9, 9, 9));
    EXPECT_TRUE(object.vertexAt(1)->polygons().empty());
}

TEST(ReadVisitorSplitting, LargeIdsUseATableThatGrowsToThem) {
    const auto result = readFromMemory(oneObjectScene(
        "3\n9999999 0 0 0\n70000 1 0 0\n5 0 1 0\n2\n1\n3 9999999 70000 5\n1\n3 5 70000 9999999\n"));
    ASSERT_NE(result->scene, nullptr);
    const SceneObject& object = *result->scene->object(0);
    EXPECT_EQ(object.vertexCount(), 6u);
    EXPECT_EQ(object.surfaces()[1]->polygons()[0]->vertexAt(2)->id(), 9999999);
    EXPECT_TRUE(result->messages.errors.empty());
}

TEST(ReadVisitorSplitting, TableIsClearedBetweenObjects) {
    // The second object names id 7, which only the first object's file has.
    const MemoryFiles files = {
        {"scene.kel", sceneHeader(2) + objectRecord("a.obj") + objectRecord("b.obj")},
        {"a.obj", "3\n7 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 7 1 2\n"},
        {"b.obj", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 7 1 2\n"}};
    const auto result = readFromMemory(files);
    ASSERT_NE(result->scene, nullptr);
    EXPECT_EQ(result->scene->objectCount(), 1u);
    ASSERT_EQ(result->messages.errors.size(), 1u);
    EXPECT_EQ(result->messages.errors[0],
              "b.obj, line 7: corner id 7 names no vertex of this file (surface 1)");
}

}  // namespace
}  // namespace kel::test
