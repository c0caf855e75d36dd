#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "model/polygon.h"
#include "model/vertex.h"

namespace kel::test {
namespace {

// One reader opens scene after scene, as a document does: what it kept from the objects
// of the last one (the id table, the object text) must not leak into the next.
TEST(ReadStorage, AReaderUsedAgainKnowsOnlyTheIdsOfTheFileAtHand) {
    const std::string second = "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 ";
    const struct {
        std::string first;
        std::string corners;  // of the second file's one polygon
        std::string error;    // of the second read
    } cases[] = {
        {"2\n5 0 0 0\n6 1 0 0\n0\n", "0 1 5", "5"},
        // An id far beyond what the file could hold densely goes to the sparse map.
        {"1\n9000000 0 0 0\n0\n", "0 1 9000000", "9000000"},
        {"3\n2 0 0 0\n1 1 0 0\n0 0 1 0\n1\n1\n3 0 1 2\n", "2 1 0", ""},
    };
    for (const auto& c : cases) {
        FakeMessages messages;
        const MemoryFiles files = {{"a.kel", sceneHeader(1) + objectRecord("first.obj")},
                                   {"b.kel", sceneHeader(1) + objectRecord("thing.obj")},
                                   {"first.obj", c.first},
                                   {"thing.obj", second + c.corners + "\n"}};
        ReadVisitor reader(messages);
        reader.setFileLoader([&files](const std::string& name, std::string& text, std::string&) {
            text = files.at(name);
            return true;
        });
        DefaultSceneBuilder first;
        DefaultSceneBuilder builder;
        ASSERT_TRUE(reader.open("a.kel") && reader.readScene(first) && messages.errors.empty());
        ASSERT_TRUE(reader.open("b.kel") && reader.readScene(builder));
        const auto scene = builder.takeScene();
        EXPECT_EQ(messages.errors, c.error.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{
                                                         "thing.obj, line 7: corner id " + c.error +
                                                         " names no vertex of this file "
                                                         "(surface 1)"});
        ASSERT_EQ(scene->objectCount(), c.error.empty() ? 1u : 0u);
        for (std::size_t j = 0; c.error.empty() && j < 3; ++j) {
            const SceneObject& object = *scene->object(0);
            EXPECT_EQ(object.surfaces()[0]->polygons()[0]->vertexAt(j), object.vertexAt(2 - j));
        }
    }
}

// Polygons of 3 to 12 corners fanned around vertex 0 in two surfaces: the corners come
// back in file order, each a vertex of the object, and vertex 0 (copied for the second
// surface) lists the ten polygons of its own surface, in order.
TEST(ReadStorage, CornersAndPolygonListsOfAnySizeSurviveTheRead) {
    std::string text = "13\n";
    std::string polygons = "10\n";
    for (int i = 0; i < 13; ++i) {
        text += std::to_string(i) + " " + std::to_string(i) + " 0 " + std::to_string(i % 3) + "\n";
        for (int j = 0; i >= 3 && j < i; ++j) {
            polygons += (j == 0 ? std::to_string(i) : "") + " " + std::to_string(j) +
                        (j + 1 == i ? "\n" : "");
        }
    }
    const auto result = readFromMemory(oneObjectScene(text + "2\n" + polygons + polygons));
    ASSERT_TRUE(result->scene != nullptr && result->messages.errors.empty());
    const SceneObject& object = *result->scene->object(0);
    // Ids 0 to 11 are used by both surfaces: twelve copies in front of the thirteen read.
    ASSERT_EQ(object.vertexCount(), 25u);
    EXPECT_EQ(object.vertexAt(24)->id(), 12);  // named by no polygon: no copy, and last
    std::set<const Vertex*> own;
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        own.insert(object.vertexAt(i));
    }
    for (std::size_t s = 0; s < 2; ++s) {
        const PolygonList& list = object.surfaces()[s]->polygons();
        ASSERT_EQ(list.size(), 10u);
        const Vertex& centre = *list[0]->vertexAt(0);
        ASSERT_EQ(centre.polygons().size(), 10u) << s;
        for (std::size_t k = 0; k < 10; ++k) {
            EXPECT_EQ(centre.polygons()[k], list[k]) << s << " " << k;
            ASSERT_EQ(list[k]->vertexCount(), k + 3);
            for (std::size_t j = 0; j < k + 3; ++j) {
                EXPECT_EQ(list[k]->vertexAt(j)->id(), static_cast<int>(j)) << s << " " << k;
                EXPECT_EQ(own.count(list[k]->vertexAt(j)), 1u);
            }
        }
    }
}

}  // namespace
}  // namespace kel::test
