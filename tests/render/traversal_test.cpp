#include <gtest/gtest.h>

#include "render/render_stage.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

TEST(TraversalTest, CursorsSkipEmptyObjectsSurfacesAndCornerlessPolygons) {
    EXPECT_FALSE(VertexCursor(Scene()).hasMore());
    auto scene = test::makeScene();
    test::addObject(*scene, {});
    SceneObject& a = test::addObject(*scene, std::vector<Vector>(4));
    a.addSurface(std::make_unique<Surface>());  // a surface without polygons
    Polygon& p1 = test::addPolygon(a, {0, 1, 2});
    test::addPolygon(a, {}, false);  // a polygon without corners
    Polygon& p2 = test::addPolygon(a, {1, 2, 3}, false);
    a.addSurface(std::make_unique<Surface>());
    test::addObject(*scene, {});
    test::addObject(*scene, std::vector<Vector>(1)).addSurface(std::make_unique<Surface>());
    SceneObject& b = test::addObject(*scene, std::vector<Vector>(3));
    Polygon& p3 = test::addPolygon(b, {2, 1, 0});

    VertexCursor vertices(*scene);
    std::vector<Vertex*> seen;
    while (vertices.hasMore()) {
        seen.push_back(vertices.next());
    }
    EXPECT_EQ(seen, (std::vector<Vertex*>{a.vertexAt(0), a.vertexAt(1), a.vertexAt(2),
                                          a.vertexAt(3), scene->object(3)->vertexAt(0),
                                          b.vertexAt(0), b.vertexAt(1), b.vertexAt(2)}));
    EXPECT_EQ(vertices.currentObject(), &b);
    EXPECT_EQ(vertices.next(), nullptr);

    PolygonCursor polygons(*scene);
    std::vector<Polygon*> walked;
    std::vector<SceneObject*> owners;
    while (polygons.hasMore()) {
        walked.push_back(polygons.next());
        owners.push_back(polygons.currentObject());
    }
    EXPECT_EQ(walked, (std::vector<Polygon*>{&p1, &p2, &p3}));
    EXPECT_EQ(owners, (std::vector<SceneObject*>{&a, &a, &b}));
    EXPECT_EQ(polygons.next(), nullptr);
}

}  // namespace
}  // namespace kel
