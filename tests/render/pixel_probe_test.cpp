#include "render/pixel_probe.h"

#include <climits>
#include <cmath>

#include "render/line_steps.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

// A square of side 4 at z = 0 (two triangles) seen from (0, 0, -10), lit head on.
std::unique_ptr<Scene> squareScene() {
    auto scene = test::makeScene();
    SceneObject& object = test::addObject(
        *scene,
        {Vector(-2, -2, 0), Vector(2, -2, 0), Vector(2, 2, 0), Vector(-2, 2, 0), Vector(0, 0, 5)},
        Color(200, 100, 0));
    object.setName("square.obj");
    test::addPolygon(object, {0, 3, 2});  // facing the camera (clockwise from it)
    test::addPolygon(object, {0, 2, 1}, false);
    scene->setAmbient(0.25);
    return scene;
}

ImageSurface render(Scene& scene, RenderMode mode, int width = 220, int height = 220) {
    applyViewState(scene, mode, false);
    ImageSurface image(width, height);
    makePipeline(mode)->run(image, scene);
    return image;
}

// A concave polygon (rows with four crossings, filled even-odd) in front of a square of the
// same depth drawn later (which loses every tie), and a polygon reaching outside the view.
std::unique_ptr<Scene> concaveScene() {
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
    return scene;
}

// At every viewport pixel of the scene rendered at the given size (of every rowStep-th row:
// each probe walks the whole scene), the probe tells the rendered colour, and a polygon's
// depth is a device one.
void expectEveryPixelTold(Scene& scene, RenderMode mode, int size, int rowStep = 1) {
    const ImageSurface image = render(scene, mode, size, size + 37);  // viewport: smaller side
    const DeviceMapping& m = *scene.deviceMapping();
    int mismatches = 0;
    int polygons = 0;
    for (int y = m.margin(); y < m.margin() + m.side(); y += rowStep) {
        for (int x = m.margin(); x < m.margin() + m.side(); ++x) {
            const PixelStory story = probePixel(scene, mode, x, y);
            const bool polygon = story.kind == PixelStory::Kind::Polygon;
            polygons += polygon ? 1 : 0;
            mismatches += story.color != image.pixel(x, y) ||
                          story.kind == PixelStory::Kind::Outside ||
                          (polygon && (story.depth < 0 || story.depth > 255));
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(polygons, 0);
}

TEST(PixelProbe, EveryViewportPixelTellsTheRenderedColour) {
    const auto concave = concaveScene();
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        for (const std::string name : {"cube", "clipping", "room"}) {
            for (const auto& [size, rowStep] : {std::pair{97, 1}, std::pair{240, 3}}) {
                SCOPED_TRACE(name + " " + renderModeName(mode) + " " + std::to_string(size));
                test::OpenedScene example(name, mode);
                ASSERT_TRUE(example.opened);
                expectEveryPixelTold(example.scene(), mode, size, rowStep);
            }
        }
        SCOPED_TRACE(std::string("concave ") + renderModeName(mode));
        expectEveryPixelTold(*concave, mode, 173);
    }
    // World (-1.5, -1.5) is in the arrow's left lobe and the square, below the wide one:
    // viewport column trunc(1.15 x 76.5) = 87, row 153 - trunc(0.85 x 76.5) = 88. The tie
    // goes to the arrow, drawn first.
    const PixelStory tie = probePixel(*concave, RenderMode::Phong, 10 + 87, 10 + 88);
    ASSERT_EQ(tie.kind, PixelStory::Kind::Polygon);
    EXPECT_EQ(tie.objectIndex, 0u);
}

// Inside the viewport: the polygon, its depth and point and the terms of the mode (the
// colours are pinned with every pixel's above); outside it, or before a render, nothing.
TEST(PixelProbe, TellsPolygonDepthPointAndTermsInsideTheViewportOnly) {
    const auto scene = squareScene();
    EXPECT_EQ(probePixel(*scene, RenderMode::Phong, 50, 50).kind, PixelStory::Kind::Outside);
    for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
        SCOPED_TRACE(renderModeName(mode));
        render(*scene, mode);
        // The square's sides at x = +-2 project to +-0.2: columns 80..119 of side 200.
        const PixelStory story = probePixel(*scene, mode, 10 + 90, 10 + 110);
        ASSERT_EQ(story.kind, PixelStory::Kind::Polygon);
        EXPECT_EQ(story.objectIndex, 0u);
        EXPECT_EQ(story.surfaceIndex, 0u);
        // Depth of z = 0 at distance 10: q = 100/99, (10 - 1) q / 10 x 255 = 231.8, which
        // every corner truncates to 231.
        EXPECT_EQ(story.depth, 231);
        ASSERT_TRUE(story.hasPoint);
        // The middle of column 90 is at projected x (2 x 90 + 1) / 200 - 1 = -0.095, so
        // view x -0.95 at distance 10, which is world +0.95 (world +x shows on the left);
        // row 110 is projected y 1 - 219 / 200 = -0.095 likewise.
        EXPECT_NEAR(story.point.x(), 0.95, 1e-12);
        EXPECT_NEAR(story.point.y(), -0.95, 1e-12);
        EXPECT_NEAR(story.point.z(), 0.0, 1e-9);
        const std::vector<std::string> lines = describePixel(story);
        ASSERT_GE(lines.size(), 6u);
        EXPECT_EQ(lines[0], "object: 1 square.obj");
        EXPECT_EQ(lines[1], "surface: 0");
        EXPECT_EQ(lines[4], "depth: 231");
        // Ambient 0.25 of (200, 100, 0) and all of its diffuse: (250, 125, 0).
        const PixelStory lit = probePixel(*scene, mode, 110, 110);
        EXPECT_EQ(lit.color, packColor(250, 125, 0));
        // Column and row 100 are world (-0.05, 0.05), likewise: 1 away in x and in y.
        EXPECT_NEAR(pickDistance(story, lit), std::sqrt(2.0), 1e-9);
        EXPECT_LT(pickDistance(story, PixelStory{}), 0.0);
        if (mode == RenderMode::Gouraud) {
            EXPECT_DOUBLE_EQ(lit.cosine, 1.0);
            EXPECT_DOUBLE_EQ(lit.level, 1.25);
        } else {
            EXPECT_DOUBLE_EQ(lit.ambientTerm[1], 25.0);
            EXPECT_DOUBLE_EQ(lit.diffuseTerm[0], 200.0);
            EXPECT_DOUBLE_EQ(lit.specularTerm[2], 0.0);  // no specular coefficient
        }
    }
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {9, 100}, {100, 9}, {210, 100}, {100, 210}, {-1, -1}, {1 << 30, 5}, {-(1 << 30), 5}}) {
        const PixelStory story = probePixel(*scene, RenderMode::Phong, x, y);
        EXPECT_EQ(story.kind, PixelStory::Kind::Outside) << x << "," << y;
        EXPECT_TRUE(describePixel(story).empty());
    }
    const PixelStory corner = probePixel(*scene, RenderMode::Phong, 10, 10);
    EXPECT_EQ(corner.kind, PixelStory::Kind::Background);
    EXPECT_EQ(describePixel(corner).front(), "background");
    // Client areas whose smaller side leaves no viewport inside the margins.
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{20, 300}, {300, 7}}) {
        render(*scene, RenderMode::Phong, width, height);
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{10, 10}, {0, 0}, {5, 3}}) {
            EXPECT_EQ(probePixel(*scene, RenderMode::Phong, x, y).kind, PixelStory::Kind::Outside)
                << width << "x" << height;
        }
    }
}

// Lines leave out their end point and step the minor axis at rounded fractions.
TEST(LineSteps, MatchTheDrawnPixels) {
    constexpr int M = INT_MAX;  // lines from the limits must finish and stay inside
    const std::vector<std::array<int, 4>> lines = {{0, 0, 7, 3},  {7, 3, 0, 0}, {2, 9, 2, 0},
                                                   {0, 0, 5, 5},  {9, 1, 0, 6}, {3, 3, 3, 3},
                                                   {-M, 6, M, 6}, {5, -M, 7, M}};
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
    }
}

}  // namespace
}  // namespace kel
