#include <gtest/gtest.h>

#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "render/render_pipeline.h"
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

}  // namespace
}  // namespace kel
