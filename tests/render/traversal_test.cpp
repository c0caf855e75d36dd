#include <gtest/gtest.h>

#include "render/render_stage.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::appendPolygon;
using test::makeScene;

std::vector<Vector> points(int n) {
    std::vector<Vector> result;
    for (int i = 0; i < n; ++i) {
        result.emplace_back(i, 0.0, 0.0);
    }
    return result;
}

TEST(VertexCursorTest, WalksObjectsInOrderAndNamesTheObjectOfEachVertex) {
    auto scene = makeScene();
    SceneObject& first = addObject(*scene, points(2));
    SceneObject& second = addObject(*scene, points(3));

    VertexCursor cursor = RenderStage::beginVertices(*scene);
    std::vector<std::pair<Vertex*, SceneObject*>> seen;
    while (cursor.hasMore()) {
        Vertex* v = RenderStage::nextVertex(cursor);
        seen.emplace_back(v, RenderStage::currentObject(cursor));
    }
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].first, first.vertexAt(0));
    EXPECT_EQ(seen[1].first, first.vertexAt(1));
    EXPECT_EQ(seen[1].second, &first);
    // The first vertex of object 1 comes right after the last of object 0.
    EXPECT_EQ(seen[2].first, second.vertexAt(0));
    EXPECT_EQ(seen[2].second, &second);
    EXPECT_EQ(seen[4].first, second.vertexAt(2));
    EXPECT_EQ(RenderStage::nextVertex(cursor), nullptr);
}

TEST(VertexCursorTest, SkipsObjectsWithoutVertices) {
    auto scene = makeScene();
    addObject(*scene, {});
    SceneObject& a = addObject(*scene, points(1));
    addObject(*scene, {});
    addObject(*scene, {});
    SceneObject& b = addObject(*scene, points(2));
    addObject(*scene, {});

    VertexCursor cursor(*scene);
    std::vector<Vertex*> seen;
    while (cursor.hasMore()) {
        seen.push_back(cursor.next());
        EXPECT_EQ(cursor.currentObject(), seen.size() == 1 ? &a : &b);
    }
    EXPECT_EQ(seen, (std::vector<Vertex*>{a.vertexAt(0), b.vertexAt(0), b.vertexAt(1)}));
}

TEST(VertexCursorTest, EmptySceneAndEmptyObjectsGiveNothing) {
    Scene empty;
    EXPECT_FALSE(VertexCursor(empty).hasMore());
    auto scene = makeScene();
    addObject(*scene, {});
    VertexCursor cursor(*scene);
    EXPECT_FALSE(cursor.hasMore());
    EXPECT_EQ(cursor.next(), nullptr);
}

TEST(PolygonCursorTest, WalksObjectsSurfacesAndPolygonsInListOrder) {
    auto scene = makeScene();
    SceneObject& a = addObject(*scene, points(4));
    Polygon& p1 = addPolygon(a, {0, 1, 2});
    Polygon& p2 = appendPolygon(a, {1, 2, 3});
    Polygon& p3 = addPolygon(a, {0, 2, 3});
    SceneObject& b = addObject(*scene, points(3));
    Polygon& p4 = addPolygon(b, {0, 1, 2});

    PolygonCursor cursor = RenderStage::beginPolygons(*scene);
    std::vector<Polygon*> seen;
    std::vector<SceneObject*> owners;
    while (cursor.hasMore()) {
        seen.push_back(RenderStage::nextPolygon(cursor));
        owners.push_back(cursor.currentObject());
    }
    EXPECT_EQ(seen, (std::vector<Polygon*>{&p1, &p2, &p3, &p4}));
    EXPECT_EQ(owners, (std::vector<SceneObject*>{&a, &a, &a, &b}));
    EXPECT_EQ(cursor.next(), nullptr);
}

TEST(PolygonCursorTest, SkipsEmptyObjectsSurfacesAndCornerlessPolygons) {
    auto scene = makeScene();
    addObject(*scene, points(3));  // no surfaces at all
    SceneObject& a = addObject(*scene, points(3));
    a.addSurface(std::make_unique<Surface>());  // a surface without polygons
    Polygon& kept1 = addPolygon(a, {0, 1, 2});
    appendPolygon(a, {});  // a polygon without corners
    a.addSurface(std::make_unique<Surface>());
    SceneObject& b = addObject(*scene, points(3));
    b.addSurface(std::make_unique<Surface>());
    Polygon& kept2 = addPolygon(b, {2, 1, 0});
    b.addSurface(std::make_unique<Surface>());

    PolygonCursor cursor(*scene);
    std::vector<Polygon*> seen;
    while (cursor.hasMore()) {
        seen.push_back(cursor.next());
    }
    EXPECT_EQ(seen, (std::vector<Polygon*>{&kept1, &kept2}));
}

}  // namespace
}  // namespace kel
