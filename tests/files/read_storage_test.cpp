#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "files/vertex_id_table.h"
#include "files_test_support.h"
#include "model/polygon.h"
#include "model/vertex.h"

namespace kel::test {
namespace {

// One reader opens scene after scene, as a document does: what it kept from the objects
// of the last one (the id table, the object text) must not leak into the next.
TEST(ReadStorage, AReaderUsedAgainKnowsOnlyTheIdsOfTheFileAtHand) {
    const struct {
        std::string first;
        std::string second;
        std::string error;  // of the second read; empty when it loads
    } cases[] = {
        {"2\n5 0 0 0\n6 1 0 0\n0\n", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 5\n",
         "thing.obj, line 7: corner id 5 names no vertex of this file (surface 1)"},
        // An id far beyond what the file could hold densely goes to the sparse map.
        {"1\n9000000 0 0 0\n0\n", "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 0 1 9000000\n",
         "thing.obj, line 7: corner id 9000000 names no vertex of this file (surface 1)"},
        {"3\n2 0 0 0\n1 1 0 0\n0 0 1 0\n1\n1\n3 0 1 2\n",
         "3\n0 0 0 0\n1 1 0 0\n2 0 1 0\n1\n1\n3 2 1 0\n", ""},
    };
    for (const auto& c : cases) {
        FakeMessages messages;
        MemoryFiles files = {{"a.kel", sceneHeader(1) + objectRecord("first.obj")},
                             {"b.kel", sceneHeader(1) + objectRecord("thing.obj")},
                             {"first.obj", c.first},
                             {"thing.obj", c.second}};
        ReadVisitor reader(messages);
        reader.setFileLoader([&files](const std::string& name, std::string& text, std::string&) {
            text = files.at(name);
            return true;
        });
        DefaultSceneBuilder first;
        ASSERT_TRUE(reader.open("a.kel") && reader.readScene(first));
        ASSERT_TRUE(messages.errors.empty()) << c.first;
        DefaultSceneBuilder second;
        ASSERT_TRUE(reader.open("b.kel") && reader.readScene(second));
        const auto scene = second.takeScene();
        if (!c.error.empty()) {
            EXPECT_EQ(messages.errors, std::vector<std::string>{c.error});
            EXPECT_EQ(scene->objectCount(), 0u);
            continue;
        }
        EXPECT_TRUE(messages.errors.empty());
        ASSERT_EQ(scene->objectCount(), 1u);
        const SceneObject& object = *scene->object(0);
        const Polygon& p = *object.surfaces()[0]->polygons()[0];
        for (std::size_t j = 0; j < 3; ++j) {
            EXPECT_EQ(p.vertexAt(j), object.vertexAt(2 - j));
        }
    }
}

// Polygons of 3 to 12 corners fanned around vertex 0 in two surfaces: the corners come
// back in file order, each a vertex of the object, and the second surface's copies of the
// shared ids list only its own polygons.
TEST(ReadStorage, CornersAndPolygonListsOfAnySizeSurviveTheRead) {
    const int kVertices = 13;
    std::ostringstream text;
    text << kVertices << "\n";
    for (int i = 0; i < kVertices; ++i) {
        text << i << " " << i << " 0 " << i % 3 << "\n";
    }
    std::vector<std::vector<int>> fan;
    for (int corners = 3; corners <= 12; ++corners) {
        std::vector<int> ids;
        for (int j = 0; j < corners; ++j) {
            ids.push_back(j);
        }
        fan.push_back(ids);
    }
    text << "2\n";
    for (int surface = 0; surface < 2; ++surface) {
        text << fan.size() << "\n";
        for (const auto& ids : fan) {
            text << ids.size();
            for (const int id : ids) {
                text << " " << id;
            }
            text << "\n";
        }
    }
    const auto result = readFromMemory(oneObjectScene(text.str()));
    ASSERT_NE(result->scene, nullptr);
    ASSERT_TRUE(result->messages.errors.empty());
    const SceneObject& object = *result->scene->object(0);
    // Ids 0 to 11 are used by both surfaces: twelve copies in front of the thirteen read.
    ASSERT_EQ(object.vertexCount(), 25u);
    std::set<const Vertex*> own;
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        own.insert(object.vertexAt(i));
    }
    for (std::size_t s = 0; s < 2; ++s) {
        const PolygonList& polygons = object.surfaces()[s]->polygons();
        ASSERT_EQ(polygons.size(), fan.size());
        for (std::size_t k = 0; k < fan.size(); ++k) {
            const Polygon& p = *polygons[k];
            ASSERT_EQ(p.vertexCount(), fan[k].size());
            for (std::size_t j = 0; j < fan[k].size(); ++j) {
                EXPECT_EQ(p.vertexAt(j)->id(), fan[k][j]) << s << " " << k << " " << j;
                EXPECT_EQ(own.count(p.vertexAt(j)), 1u);
            }
        }
        // Vertex 0 is a corner of all ten polygons of its surface and of no other.
        const Vertex& centre = *polygons[0]->vertexAt(0);
        ASSERT_EQ(centre.polygons().size(), fan.size()) << s;
        for (std::size_t k = 0; k < fan.size(); ++k) {
            EXPECT_EQ(centre.polygons()[k], polygons[k]) << s << " " << k;
        }
    }
    EXPECT_NE(object.surfaces()[0]->polygons()[0]->vertexAt(0),
              object.surfaces()[1]->polygons()[0]->vertexAt(0));
    // Id 12, which no polygon names, has no copy and stays last.
    EXPECT_EQ(object.vertexAt(object.vertexCount() - 1)->id(), 12);
}

// The count at the head of an object file is a claim: room is made for it only as far as a
// file of that size could hold vertices (8 bytes each at least).
TEST(ReadStorage, TheVertexCountIsTrustedOnlyAsFarAsTheFileGoes) {
    const struct {
        std::size_t fileBytes;
        std::size_t count;
        std::size_t room;
    } cases[] = {{800, 4'000'000'000u, 100}, {800, 30, 30}, {7, 5, 0}, {0, 1, 0}};
    for (const auto& c : cases) {
        VertexIdTable table;
        table.reset(c.fileBytes);
        table.expect(c.count);
        EXPECT_EQ(table.directSize(), c.room) << c.fileBytes << " " << c.count;
        EXPECT_EQ(table.find(0), nullptr);  // room, but nothing stored
        Vertex v;
        table.entry(500).vertex = &v;  // beyond the room the table still grows
        EXPECT_EQ(table.find(500)->vertex, &v);
    }
}

}  // namespace
}  // namespace kel::test
