#include "render/geometry_stages.h"

#include <gtest/gtest.h>

#include "render/image_surface.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::makeScene;

TEST(ModelTransformStageTest, UsesTheStoredTransformOfEachVertexObject) {
    auto scene = makeScene();
    SceneObject& moved = addObject(*scene, {Vector(0, 0, 0), Vector(1, 2, 3)});
    moved.setTranslation(Vector(1.0, 2.0, 3.0));
    moved.computeModelingTransform();
    SceneObject& scaled = addObject(*scene, {Vector(1, 1, 1)});
    scaled.setScaling(Vector(2.0, 3.0, 4.0));
    scaled.computeModelingTransform();
    // Changed but not recomputed: the stage must not pick this up.
    scaled.setTranslation(Vector(100.0, 0.0, 0.0));

    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    EXPECT_EQ(moved.vertexAt(0)->worldPosition(), Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(moved.vertexAt(1)->worldPosition(), Vector(2.0, 4.0, 6.0));
    EXPECT_EQ(scaled.vertexAt(0)->worldPosition(), Vector(2.0, 3.0, 4.0));
}

TEST(NormalStageTest, VertexNormalsAverageThisRendersPolygonNormals) {
    auto scene = makeScene();
    // Two triangles sharing the vertex at the origin: one in the z = 0 plane (normal +z),
    // one in the x = 0 plane (normal +x).
    SceneObject& object =
        addObject(*scene, {Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0), Vector(0, 0, 1)});
    Polygon& flat = addPolygon(object, {0, 1, 2});
    test::appendPolygon(object, {0, 2, 3});
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);
    EXPECT_EQ(flat.normal(), Vector(0.0, 0.0, 1.0));
    const Vector& shared = object.vertexAt(0)->normal();
    EXPECT_NEAR(shared.at(0), 0.70710678118654746, 1e-15);
    EXPECT_EQ(shared.at(1), 0.0);
    EXPECT_NEAR(shared.at(2), 0.70710678118654746, 1e-15);
    // A vertex of one polygon only takes that polygon's normal.
    EXPECT_EQ(object.vertexAt(1)->normal(), Vector(0.0, 0.0, 1.0));
}

TEST(CullStageTest, KeepsOnlyPolygonsFacingTheEyeAndOverwritesEarlierFlags) {
    auto scene = makeScene();  // eye at (0, 0, -10)
    SceneObject& object = addObject(*scene, {Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0),
                                             Vector(0, 0, -10), Vector(0, 1, -10)});
    Polygon& facing = addPolygon(object, {0, 2, 1});  // normal (0, 0, -1)
    Polygon& away = addPolygon(object, {0, 1, 2});    // normal (0, 0, 1)
    Polygon& edgeOn = addPolygon(object, {0, 3, 4});  // plane x = 0 holds the eye: d = 0
    facing.setVisible(false);
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);

    OptionalCullStage optional;
    optional.run(surface, *scene);  // flag clear: nothing changes
    EXPECT_FALSE(facing.visible());
    EXPECT_TRUE(away.visible());
    EXPECT_TRUE(edgeOn.visible());

    scene->setCullBackFaces(true);
    optional.run(surface, *scene);
    EXPECT_TRUE(facing.visible());
    EXPECT_FALSE(away.visible());
    EXPECT_FALSE(edgeOn.visible());

    away.setVisible(true);
    scene->setCullBackFaces(false);
    CullStage().run(surface, *scene);  // culls whatever the flag says
    EXPECT_FALSE(away.visible());
}

TEST(CullStageTest, ProductBelowThresholdCountsAsEdgeOn) {
    Polygon polygon;
    Vertex corner;
    corner.setWorldPosition(Vector(0.0, 0.0, 0.0));
    polygon.setVertexAt(0, &corner);
    polygon.setVertexCount(1);
    // The default normal (1, 1, 1) dotted with (eye - corner).
    EXPECT_FALSE(CullStage::facesEye(polygon, Vector(0.9e-6, 0.0, 0.0)));
    EXPECT_TRUE(CullStage::facesEye(polygon, Vector(1e-6, 0.0, 0.0)));
    EXPECT_FALSE(CullStage::facesEye(polygon, Vector(-1.0, 0.0, 0.0)));
}

TEST(ViewProjectionStageTest, EveryVertexGetsItsClipPositionWhateverItsVisibility) {
    auto scene = makeScene();  // eye (0, 0, -10), near 1, far 100, height 1
    SceneObject& object = addObject(*scene, {Vector(0, 0, 0), Vector(2, 3, 0), Vector(0, 0, 90)});
    Polygon& polygon = addPolygon(object, {0, 1, 2});
    polygon.setVisible(false);
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    ViewProjectionStage().run(surface, *scene);
    // Eye coordinates (-x, y, z + 10); clip = (x_e, y_e, q z_e - q, z_e) with q = 100 / 99.
    const double q = 100.0 / 99.0;
    const Vector& origin = object.vertexAt(0)->clipPosition();
    EXPECT_EQ(origin.size(), 4u);
    EXPECT_DOUBLE_EQ(origin.at(0), 0.0);
    EXPECT_DOUBLE_EQ(origin.at(2), 10.0 * q - q);
    EXPECT_DOUBLE_EQ(origin.at(3), 10.0);
    const Vector& side = object.vertexAt(1)->clipPosition();
    EXPECT_DOUBLE_EQ(side.at(0), -2.0);
    EXPECT_DOUBLE_EQ(side.at(1), 3.0);
    // The far plane maps to depth 1 after the division by w.
    const Vector& far = object.vertexAt(2)->clipPosition();
    EXPECT_DOUBLE_EQ(far.at(2) / far.at(3), 1.0);
}

}  // namespace
}  // namespace kel
