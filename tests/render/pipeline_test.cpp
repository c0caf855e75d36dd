#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "render/render_pipeline.h"
#include "render/render_stage.h"
#include "render/scene_walk.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

TEST(RenderPipelineTest, WireframeWithoutCullingKeepsVisibilityFromEarlierRenders) {
    // Two triangles at z = 0: the left one on screen (world x > 0) faces the camera, the
    // right one faces away; a third, in the plane x = 0, is seen edge-on.
    auto scene = test::makeScene();
    SceneObject& object =
        test::addObject(*scene, {Vector(1, -2, 0), Vector(1, 2, 0), Vector(4, 0, 0),
                                 Vector(-1, -2, 0), Vector(-1, 2, 0), Vector(-4, 0, 0),
                                 Vector(0, 0, 0), Vector(0, 0, -10), Vector(0, 1, -10)});
    const Polygon& facing = test::addPolygon(object, {0, 1, 2});
    Polygon& away = test::addPolygon(object, {3, 4, 5});
    const Polygon& edgeOn = test::addPolygon(object, {6, 7, 8});
    WireframePipeline pipeline;
    const auto render = [&pipeline, &scene] {
        ImageSurface image(220, 220);
        pipeline.run(image, *scene);
        return image.pixels();
    };
    const std::vector<std::uint32_t> first = render();  // fresh scene, culling off: all drawn
    EXPECT_TRUE(away.visible() && edgeOn.visible());

    scene->setCullBackFaces(true);
    const std::vector<std::uint32_t> culled = render();
    EXPECT_FALSE(away.visible() || edgeOn.visible());
    EXPECT_TRUE(facing.visible());
    EXPECT_FALSE(culled == first);

    // Culling off again without a reset: the culled polygons stay undrawn.
    scene->setCullBackFaces(false);
    EXPECT_TRUE(render() == culled);
    EXPECT_FALSE(away.visible());

    // The reset flag brings them back, on every render while it is set.
    scene->setResetVisibility(true);
    EXPECT_TRUE(render() == first);
    away.setVisible(false);
    EXPECT_TRUE(render() == first);
}

TEST(RenderPipelineTest, FacingNeedsAProductOfAtLeastOneMillionth) {
    Polygon polygon;  // a fresh polygon's normal is (1, 1, 1)
    Vertex corner;
    corner.setWorldPosition(Vector(0.0, 0.0, 0.0));
    polygon.setVertexAt(0, &corner);
    polygon.setVertexCount(1);
    EXPECT_FALSE(CullStage::facesEye(polygon, Vector(0.9e-6, 0.0, 0.0)));
    EXPECT_TRUE(CullStage::facesEye(polygon, Vector(1e-6, 0.0, 0.0)));
}

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
// Lists of every size laid end to end and cut into pieces shared out over threads: every
// element is visited exactly once, with its own list's object and the piece its place in
// the whole range falls in, wherever the pieces fall on the lists' ends (empty lists too).
TEST(TraversalTest, PiecesVisitEveryElementOnceAcrossListEnds) {
    const std::vector<std::size_t> sizes = {0, 3, 0, 5000, 1, 0, 1023, 1025, 2048, 0, 7};
    constexpr long kPiece = 700;
    std::vector<std::vector<char>> lists;
    std::vector<walk::Run<std::vector<char>>> runs;
    std::vector<std::vector<std::atomic<int>>> visits(sizes.size());
    std::vector<long> offsets;
    long total = 0;
    for (std::size_t l = 0; l < sizes.size(); ++l) {
        lists.emplace_back(sizes[l]);
        visits[l] = std::vector<std::atomic<int>>(sizes[l]);
        offsets.push_back(total);
        total += static_cast<long>(sizes[l]);
    }
    for (std::size_t l = 0; l < sizes.size(); ++l) {
        runs.push_back({10 * l, &lists[l], static_cast<long>(sizes[l])});
    }
    std::atomic<int> wrong{0};
    walk::forEachInPieces(runs, kPiece, [&](long piece, std::size_t object, const char& element) {
        const std::size_t l = object / 10;
        const auto at = reinterpret_cast<std::uintptr_t>(&element);
        const auto start =
            l < lists.size() ? reinterpret_cast<std::uintptr_t>(lists[l].data()) : at + 1;
        const std::size_t i = at - start;
        if (l >= lists.size() || at < start || i >= sizes[l] ||
            piece != (offsets[l] + static_cast<long>(i)) / kPiece) {
            ++wrong;
            return;
        }
        ++visits[l][i];
    });
    EXPECT_EQ(wrong, 0);
    for (std::size_t l = 0; l < sizes.size(); ++l) {
        for (std::size_t i = 0; i < sizes[l]; ++i) {
            ASSERT_EQ(visits[l][i], 1) << "list " << l << ", element " << i;
        }
    }
}

}  // namespace
}  // namespace kel
