#include "render/device_renderer.h"

#include <gtest/gtest.h>

#include "render/image_surface.h"
#include "render/render_pipeline.h"
#include "render/scanline_renderer.h"
#include "render/wireframe_renderer.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::makeScene;
using test::RecordingSurface;

// One polygon whose corners get the given clip positions directly.
Polygon& polygonWithClips(Scene& scene, const std::vector<Vector>& clips) {
    SceneObject& object = addObject(scene, std::vector<Vector>(clips.size(), Vector()));
    std::vector<std::size_t> corners;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        object.vertexAt(i)->setClipPosition(clips[i]);
        corners.push_back(i);
    }
    return addPolygon(object, corners);
}

const std::vector<std::string> kFrame420x300 = {"move 9 9", "line 9 290", "line 290 290",
                                                "line 290 9", "line 9 9"};

TEST(DeviceRendererTest, FitsDrawsTheFrameAndMapsVisibleCorners) {
    auto scene = makeScene();
    Polygon& polygon =
        polygonWithClips(*scene, {Vector(0, 0, 0.5, 1), Vector(2, 2, 2, 2), Vector(-1, -1, 0, 1)});
    RecordingSurface surface(420, 300);
    DeviceRenderer().run(surface, *scene);

    EXPECT_EQ(surface.clientRectCalls, 1);
    EXPECT_EQ(surface.lines, kFrame420x300);
    EXPECT_EQ(surface.pixelsSet, 0);
    EXPECT_EQ(scene->deviceMapping()->side(), 280);
    EXPECT_EQ(polygon.vertexAt(0)->devicePoint(), DevicePoint(140, 140, 127));
    EXPECT_EQ(polygon.vertexAt(1)->devicePoint(), DevicePoint(280, 0, 255));
    EXPECT_EQ(polygon.vertexAt(2)->devicePoint(), DevicePoint(0, 280, 0));
}

TEST(DeviceRendererTest, DevicePointsAreThoseOfTheMappingForAnyProjectablePosition) {
    auto scene = makeScene();
    std::vector<Vector> clips;
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<double>((seed >> 8) % 20001) / 10000.0 - 1.0;  // -1 .. 1
    };
    for (int i = 0; i < 300; ++i) {
        const double w = 0.5 + 3.0 * (next() + 1.0);
        clips.emplace_back(next() * w * 1.2, next() * w * 1.2, (next() + 1.0) * 0.5 * w, w);
    }
    clips.emplace_back(1e300, -1e300, 5.0, 1.0);
    Polygon& polygon = polygonWithClips(*scene, clips);
    RecordingSurface surface(517, 611);
    DeviceRenderer().run(surface, *scene);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const Vertex& v = *polygon.vertexAt(i);
        EXPECT_EQ(v.devicePoint(), scene->deviceMapping()->map(v.projectedPosition(), 255.0)) << i;
    }
}

TEST(DeviceRendererTest, InvisibleAndClippedPolygonsKeepTheirOwnCornersEarlierPoints) {
    auto scene = makeScene();
    Polygon& hidden =
        polygonWithClips(*scene, {Vector(0, 0, 0.5, 1), Vector(1, 1, 1, 1), Vector(-1, -1, 0, 1)});
    hidden.setVisible(false);
    hidden.vertexAt(0)->setDevicePoint(DevicePoint(7, 8, 9));
    Polygon& cut =
        polygonWithClips(*scene, {Vector(0, 0, 0.5, 1), Vector(1, 1, 1, 1), Vector(-1, -1, 0, 1)});
    cut.vertexAt(0)->setDevicePoint(DevicePoint(1, 2, 3));
    auto corner = std::make_unique<Vertex>();
    corner->setClipPosition(Vector(1, -1, 0, 1));
    Vertex* clipped = corner.get();
    cut.setClippedVertexAt(0, std::move(corner));
    cut.setClippedCount(1);

    RecordingSurface surface(420, 300);
    DeviceRenderer().run(surface, *scene);
    EXPECT_EQ(hidden.vertexAt(0)->devicePoint(), DevicePoint(7, 8, 9));
    EXPECT_EQ(cut.vertexAt(0)->devicePoint(), DevicePoint(1, 2, 3));
    EXPECT_EQ(clipped->devicePoint(), DevicePoint(280, 280, 0));
}

TEST(DeviceRendererTest, ShadedModesSetEveryViewportPixelOneRowPerCall) {
    for (const bool phong : {false, true}) {
        auto scene = makeScene();
        RecordingSurface surface(420, 300);
        if (phong) {
            PhongRenderer().run(surface, *scene);
        } else {
            GouraudRenderer().run(surface, *scene);
        }
        EXPECT_EQ(surface.pixelsSet, 280 * 280);
        EXPECT_EQ(surface.rowCalls, 280);
        EXPECT_EQ(surface.lines, kFrame420x300);
    }
}

TEST(DeviceRendererTest, WireframeOutlinesWithMovesAndLinesOnly) {
    auto scene = makeScene();
    // Projected (-1, 1), (0, 1), (-1, 0) map to (0, 0), (100, 0), (0, 100) when side = 200.
    polygonWithClips(*scene, {Vector(-1, 1, 0.5, 1), Vector(0, 1, 0.5, 1), Vector(-1, 0, 0.5, 1)});
    RecordingSurface surface(220, 220);
    WireframeRenderer().run(surface, *scene);
    EXPECT_EQ(surface.pixelsSet, 0);
    const std::vector<std::string> expected = {"move 9 9",    "line 9 210",  "line 210 210",
                                               "line 210 9",  "line 9 9",    "move 10 10",
                                               "line 110 10", "line 10 110", "line 10 10"};
    EXPECT_EQ(surface.lines, expected);
}

TEST(DeviceRendererTest, PolygonsWithOneOrTwoCornersDrawDegenerateOutlines) {
    auto scene = makeScene();
    polygonWithClips(*scene, {Vector(0, 0, 0.5, 1)});
    polygonWithClips(*scene, {Vector(0, 0, 0.5, 1), Vector(-1, 1, 0.5, 1)});
    RecordingSurface surface(220, 220);
    WireframeRenderer().run(surface, *scene);
    const std::vector<std::string> tail(surface.lines.begin() + 5, surface.lines.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"move 110 110", "line 110 110", "move 110 110",
                                              "line 10 10", "line 110 110"}));
    // The shaded renderers find no span in them.
    ImageSurface image(220, 220);
    GouraudRenderer().run(image, *scene);
    for (int y = 10; y < 210; ++y) {
        for (int x = 10; x < 210; ++x) {
            ASSERT_EQ(image.pixel(x, y), ImageSurface::kWhite);
        }
    }
}

TEST(DeviceRendererTest, CornersThatCannotBeProjectedKeepTheirPolygonUndrawn) {
    auto scene = makeScene();
    Polygon& polygon = polygonWithClips(
        *scene, {Vector(0, 0, 0, 1e-7), Vector(-1, 1, 0.5, 1), Vector(-1, 0, 0.5, 1)});
    EXPECT_FALSE(isProjectable(polygon));
    RecordingSurface wire(220, 220);
    WireframeRenderer().run(wire, *scene);
    EXPECT_EQ(wire.lines.size(), 5u);  // the frame only
    ImageSurface image(220, 220);
    PhongRenderer().run(image, *scene);
    for (int y = 10; y < 210; ++y) {
        for (int x = 10; x < 210; ++x) {
            ASSERT_EQ(image.pixel(x, y), ImageSurface::kWhite);
        }
    }
}

TEST(DeviceRendererTest, ClientAreaOfTwentyDrawsOnlyTheFrameAndSmallerDrawsNothing) {
    {
        auto scene = makeScene();
        Polygon& polygon = polygonWithClips(
            *scene, {Vector(0.5, 0.5, 0.5, 1), Vector(-1, 1, 1, 1), Vector(-1, 0, 0.5, 1)});
        RecordingSurface surface(20, 500);
        PhongRenderer().run(surface, *scene);
        EXPECT_EQ(scene->deviceMapping()->side(), 0);
        EXPECT_EQ(surface.pixelsSet, 0);
        EXPECT_EQ(surface.lines, (std::vector<std::string>{"move 9 9", "line 9 10", "line 10 10",
                                                           "line 10 9", "line 9 9"}));
        EXPECT_EQ(polygon.vertexAt(0)->devicePoint(), DevicePoint(0, 0, 127));
        EXPECT_EQ(polygon.vertexAt(1)->devicePoint(), DevicePoint(0, 0, 255));
    }
    for (const int size : {19, 5, 0}) {
        auto scene = makeScene();
        polygonWithClips(*scene,
                         {Vector(0.5, 0.5, 0.5, 1), Vector(-1, 1, 1, 1), Vector(-1, 0, 0.5, 1)});
        for (int mode = 0; mode < 2; ++mode) {
            RecordingSurface surface(size, size);
            if (mode == 0) {
                WireframeRenderer().run(surface, *scene);
            } else {
                GouraudRenderer().run(surface, *scene);
            }
            EXPECT_TRUE(surface.lines.empty()) << size;
            EXPECT_EQ(surface.pixelsSet, 0) << size;
        }
    }
}

TEST(DeviceRendererTest, WideWindowKeepsASquareImageAtTheLeft) {
    auto scene = makeScene();
    ImageSurface image(900, 400);
    image.fill(0x00123456u);
    GouraudPipeline().run(image, *scene);
    EXPECT_EQ(scene->deviceMapping()->side(), 380);
    EXPECT_EQ(image.pixel(10, 10), ImageSurface::kWhite);
    EXPECT_EQ(image.pixel(389, 389), ImageSurface::kWhite);
    EXPECT_EQ(image.pixel(390, 200), ImageSurface::kBlack);  // the frame
    EXPECT_EQ(image.pixel(391, 200), 0x00123456u);           // untouched
    EXPECT_EQ(image.pixel(899, 399), 0x00123456u);
}

}  // namespace
}  // namespace kel
