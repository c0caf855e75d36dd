#include "render/pixel_probe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/device_mapping.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "render/image_surface.h"
#include "render/line_steps.h"
#include "render/render_mode.h"
#include "render/shading.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

// Every viewport pixel of a scene: the probe's colour is the rendered one.
int mismatchedPixels(const Scene& scene, RenderMode mode, const ImageSurface& image) {
    const DeviceMapping& mapping = *scene.deviceMapping();
    int mismatches = 0;
    for (int y = mapping.margin(); y < mapping.margin() + mapping.side(); ++y) {
        for (int x = mapping.margin(); x < mapping.margin() + mapping.side(); ++x) {
            mismatches += probePixel(scene, mode, x, y).color != image.pixel(x, y) ? 1 : 0;
        }
    }
    return mismatches;
}

using ProbeCase = std::tuple<std::string, RenderMode, int>;

class ExampleProbeTest : public testing::TestWithParam<ProbeCase> {};

// Every pixel of the viewport: the probe's colour is the rendered one, a drawn pixel has a
// polygon, and in the shaded modes a white pixel with a polygon is only where one was lit
// white (never where nothing was drawn).
TEST_P(ExampleProbeTest, EveryViewportPixelTellsTheRenderedColour) {
    const auto& [name, mode, size] = GetParam();
    test::OpenedScene example(name, mode);
    ASSERT_TRUE(example.opened);
    Scene& scene = example.scene();
    ImageSurface image(size, size + 37);  // not square: the viewport is the smaller side
    makePipeline(mode)->run(image, scene);
    EXPECT_EQ(mismatchedPixels(scene, mode, image), 0);

    const DeviceMapping& mapping = *scene.deviceMapping();
    int polygons = 0;
    for (int y = mapping.margin(); y < mapping.margin() + mapping.side(); ++y) {
        for (int x = mapping.margin(); x < mapping.margin() + mapping.side(); ++x) {
            const PixelStory story = probePixel(scene, mode, x, y);
            ASSERT_NE(story.kind, PixelStory::Kind::Outside) << x << "," << y;
            if (story.kind == PixelStory::Kind::Polygon) {
                ++polygons;
                ASSERT_TRUE(story.depth >= 0 && story.depth <= 255) << story.depth;
            }
        }
    }
    EXPECT_GT(polygons, 0);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleProbeTest,
                         testing::Combine(testing::Values("cube", "clipping", "room"),
                                          testing::Values(RenderMode::Wireframe,
                                                          RenderMode::Gouraud, RenderMode::Phong),
                                          testing::Values(97, 240)),
                         [](const testing::TestParamInfo<ProbeCase>& info) {
                             return std::get<0>(info.param) + "_" +
                                    renderModeName(std::get<1>(info.param)) + "_" +
                                    std::to_string(std::get<2>(info.param));
                         });

// A square of side 4 at z = 0 (two triangles) seen from (0, 0, -10): its middle pixel
// belongs to one of them, at the depth, point and colour the arithmetic gives.
class SquareProbeTest : public testing::Test {
protected:
    void SetUp() override {
        scene = test::makeScene();
        SceneObject& object = test::addObject(*scene,
                                              {Vector(-2, -2, 0), Vector(2, -2, 0), Vector(2, 2, 0),
                                               Vector(-2, 2, 0), Vector(0, 0, 5)},
                                              Color(200, 100, 0));
        object.setName("square.obj");
        test::addPolygon(object, {0, 3, 2});  // facing the camera (clockwise from it)
        test::addPolygon(object, {0, 2, 1}, false);
        scene->setAmbient(0.25);
    }
    void render(RenderMode mode) {
        applyViewState(*scene, mode, false);
        pipeline = makePipeline(mode);
        image = std::make_unique<ImageSurface>(220, 220);
        pipeline->run(*image, *scene);
    }
    std::unique_ptr<Scene> scene;
    std::unique_ptr<RenderPipeline> pipeline;
    std::unique_ptr<ImageSurface> image;
};

TEST_F(SquareProbeTest, TellsPolygonDepthPointAndTerms) {
    for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
        render(mode);
        // The square's sides at x = +-2 project to +-0.2: columns 80..119 of side 200.
        const PixelStory story = probePixel(*scene, mode, 10 + 90, 10 + 110);
        ASSERT_EQ(story.kind, PixelStory::Kind::Polygon) << renderModeName(mode);
        EXPECT_EQ(story.color, image->pixel(100, 120));
        EXPECT_EQ(story.objectIndex, 0u);
        EXPECT_EQ(story.surfaceIndex, 0u);
        // Depth of z = 0 at distance 10: q = 100/99, (10 - 1) q / 10 x 255 = 231.8, which
        // every corner truncates to 231.
        EXPECT_EQ(story.depth, 231);
        ASSERT_TRUE(story.hasPoint);
        EXPECT_NEAR(story.point.z(), 0.0, 1e-9);
        // The middle of column 90 is at projected x (2 x 90 + 1) / 200 - 1 = -0.095, so
        // view x -0.95 at distance 10, which is world +0.95 (world +x shows on the left);
        // row 110 is projected y 1 - 219 / 200 = -0.095 likewise.
        EXPECT_NEAR(story.point.x(), 0.95, 1e-12);
        EXPECT_NEAR(story.point.y(), -0.95, 1e-12);
        const std::vector<std::string> lines = describePixel(story);
        ASSERT_GE(lines.size(), 6u);
        EXPECT_EQ(lines[0], "object: 1 square.obj");
        EXPECT_EQ(lines[1], "surface: 0");
        EXPECT_EQ(lines[4], "depth: 231");
    }
}

TEST_F(SquareProbeTest, ReportsTheModesTerms) {
    render(RenderMode::Gouraud);
    PixelStory story = probePixel(*scene, RenderMode::Gouraud, 110, 110);
    ASSERT_EQ(story.kind, PixelStory::Kind::Polygon);
    // Every corner's normal faces the light head on: cosine 1, level 0.25 + 1.
    EXPECT_DOUBLE_EQ(story.cosine, 1.0);
    EXPECT_DOUBLE_EQ(story.level, 1.25);
    EXPECT_EQ(story.color, packColor(250, 125, 0));

    render(RenderMode::Phong);
    story = probePixel(*scene, RenderMode::Phong, 110, 110);
    ASSERT_EQ(story.kind, PixelStory::Kind::Polygon);
    EXPECT_DOUBLE_EQ(story.ambientTerm[0], 50.0);
    EXPECT_DOUBLE_EQ(story.ambientTerm[1], 25.0);
    EXPECT_DOUBLE_EQ(story.diffuseTerm[0], 200.0);
    EXPECT_DOUBLE_EQ(story.specularTerm[2], 0.0);  // no specular coefficient
    EXPECT_EQ(story.color, image->pixel(110, 110));
}

TEST_F(SquareProbeTest, OutsideTheViewportTellsNothing) {
    render(RenderMode::Phong);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {9, 100}, {100, 9}, {210, 100}, {100, 210}, {-1, -1}, {1 << 30, 5}, {-(1 << 30), 5}}) {
        const PixelStory story = probePixel(*scene, RenderMode::Phong, x, y);
        EXPECT_EQ(story.kind, PixelStory::Kind::Outside) << x << "," << y;
        EXPECT_TRUE(describePixel(story).empty());
    }
    const PixelStory corner = probePixel(*scene, RenderMode::Phong, 10, 10);
    EXPECT_EQ(corner.kind, PixelStory::Kind::Background);
    EXPECT_EQ(describePixel(corner).front(), "background");
}

TEST(PixelProbe, AnUnrenderedSceneOrAViewportWithoutPixelsTellsNothing) {
    const auto scene = test::makeScene();
    EXPECT_EQ(probePixel(*scene, RenderMode::Phong, 50, 50).kind, PixelStory::Kind::Outside);
    // Client areas whose smaller side leaves no viewport inside the margins.
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{20, 300}, {300, 7}}) {
        ImageSurface image(width, height);
        makePipeline(RenderMode::Phong)->run(image, *scene);
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{10, 10}, {0, 0}, {5, 3}}) {
            EXPECT_EQ(probePixel(*scene, RenderMode::Phong, x, y).kind, PixelStory::Kind::Outside)
                << width << "x" << height;
        }
    }
}

TEST_F(SquareProbeTest, WireframeTellsThePolygonWhoseEdgeDrewThePixel) {
    render(RenderMode::Wireframe);
    int edges = 0;
    for (int x = 10; x < 210; ++x) {
        const PixelStory story = probePixel(*scene, RenderMode::Wireframe, x, 100);
        EXPECT_EQ(story.color, image->pixel(x, 100)) << x;
        edges += story.kind == PixelStory::Kind::Polygon ? 1 : 0;
    }
    // Row 100 crosses the square's two sides and its diagonal.
    EXPECT_EQ(edges, 3);
    // The diagonal is shared: the polygon drawn last tells.
    const PixelStory diagonal = probePixel(*scene, RenderMode::Wireframe, 110, 110);
    ASSERT_EQ(diagonal.kind, PixelStory::Kind::Polygon);
    EXPECT_EQ(diagonal.polygonIndex, 1u);
}

// A concave polygon (rows with four crossings, filled even-odd) in front of a square of the
// same depth drawn later (which loses every tie), and a polygon reaching outside the view.
TEST(PixelProbe, ConcaveTiedAndClippedPolygonsTellTheRenderedColour) {
    auto scene = test::makeScene();
    SceneObject& arrow = test::addObject(
        *scene, {Vector(-3, -3, 0), Vector(0, 2, 0), Vector(3, -3, 0), Vector(0, -1, 0)},
        Color(250, 20, 20));
    test::addPolygon(arrow, {0, 3, 2, 1});
    SceneObject& square = test::addObject(
        *scene, {Vector(-2, -2, 0), Vector(2, -2, 0), Vector(2, 2, 0), Vector(-2, 2, 0)},
        Color(20, 250, 20));
    test::addPolygon(square, {0, 3, 2, 1});
    SceneObject& wide = test::addObject(
        *scene, {Vector(-40, -1, 3), Vector(40, -1, 3), Vector(0, 30, -11)}, Color(20, 20, 250));
    test::addPolygon(wide, {0, 2, 1});
    scene->setAmbient(0.1);
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        applyViewState(*scene, mode, false);
        ImageSurface image(173, 181);
        makePipeline(mode)->run(image, *scene);
        EXPECT_EQ(mismatchedPixels(*scene, mode, image), 0) << renderModeName(mode);
    }
    // World (-1.5, -1.5) is in the arrow's left lobe and the square, below the wide one:
    // viewport column trunc(1.15 x 76.5) = 87, row 153 - trunc(0.85 x 76.5) = 88. The tie
    // goes to the arrow, drawn first.
    const PixelStory tie = probePixel(*scene, RenderMode::Phong, 10 + 87, 10 + 88);
    ASSERT_EQ(tie.kind, PixelStory::Kind::Polygon);
    EXPECT_EQ(tie.objectIndex, 0u);
}

TEST(PickDistance, NeedsTwoPoints) {
    PixelStory a;
    PixelStory b;
    EXPECT_LT(pickDistance(a, b), 0.0);
    a.hasPoint = b.hasPoint = true;
    a.point = Vector(1, 2, 3);
    b.point = Vector(4, 6, 3);
    EXPECT_DOUBLE_EQ(pickDistance(a, b), 5.0);
}

// Lines leave out their end point and step the minor axis at rounded fractions.
TEST(LineSteps, MatchTheDrawnPixels) {
    const std::vector<std::array<int, 4>> lines = {{0, 0, 7, 3}, {7, 3, 0, 0}, {2, 9, 2, 0},
                                                   {0, 0, 5, 5}, {9, 1, 0, 6}, {3, 3, 3, 3}};
    for (const auto& [x0, y0, x1, y1] : lines) {
        ImageSurface surface(12, 12);
        surface.moveTo(x0, y0);
        surface.lineTo(x1, y1);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool drawn = surface.pixel(x, y) == ImageSurface::kBlack;
                EXPECT_EQ(lineStepAt(x0, y0, x1, y1, x, y).has_value(), drawn)
                    << x0 << "," << y0 << "-" << x1 << "," << y1 << " at " << x << "," << y;
            }
        }
        EXPECT_FALSE(lineStepAt(x0, y0, x1, y1, x1, y1).has_value() && (x0 != x1 || y0 != y1));
    }
}

}  // namespace
}  // namespace kel
