// Each rule of the renderer pinned on its own, with numbers worked out by hand, so that a
// change to one rule fails here and not only in a golden image.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "model/device_mapping.h"
#include "render/clip_stage.h"
#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "render/scanline_renderer.h"
#include "render/shading.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

constexpr std::uint32_t kWhite = FrameBuffer::kClearColor;

// A scene whose polygons have the given device points, drawn straight into a 300 x 300
// client area (viewport 280 x 280) by the given renderer. Clip positions are inside the
// volume so every polygon is drawable; world positions are the model positions given.
struct DevicePolygon {
    std::vector<DevicePoint> corners;
    Color color;
    std::vector<Vector> world = {};                // empty: all at the origin
    std::function<void(SceneObject&)> setup = {};  // surface values, before the stages
};

template <class Renderer>
std::unique_ptr<Renderer> drawDevice(Scene& scene, const std::vector<DevicePolygon>& polygons) {
    ImageSurface surface(300, 300);
    scene.deviceMapping()->fit(surface.clientRect(), 10);
    std::vector<std::pair<SceneObject*, const DevicePolygon*>> made;
    for (const DevicePolygon& p : polygons) {
        const std::vector<Vector> world =
            p.world.empty() ? std::vector<Vector>(p.corners.size(), Vector()) : p.world;
        SceneObject& object = test::addObject(scene, world, p.color);
        if (p.setup) {
            p.setup(object);
        }
        std::vector<std::size_t> corners;
        for (std::size_t i = 0; i < world.size(); ++i) {
            corners.push_back(i);
        }
        test::addPolygon(object, corners);
        made.emplace_back(&object, &p);
    }
    ModelTransformStage().run(surface, scene);
    NormalStage().run(surface, scene);
    for (const auto& [object, p] : made) {
        for (std::size_t i = 0; i < p->corners.size(); ++i) {
            object->vertexAt(i)->setClipPosition(Vector(0, 0, 0.5, 1));
            object->vertexAt(i)->setDevicePoint(p->corners[i]);
        }
    }
    auto renderer = std::make_unique<Renderer>();
    renderer->draw(surface, scene);
    return renderer;
}

std::vector<DevicePoint> square(int x0, int x1, int depth) {
    return {DevicePoint(x0, x0, depth), DevicePoint(x1, x0, depth), DevicePoint(x1, x1, depth),
            DevicePoint(x0, x1, depth)};
}

TEST(RoundingRuleTest, HalvesRoundUpAndTheRasteriserUsesIt) {
    const struct {
        double value;
        int rounded;
    } cases[] = {{2.5, 3}, {2.49, 2}, {0.5, 1}, {0.4999999999999999, 0}, {7.0, 7}, {255.5, 256}};
    for (const auto& c : cases) {
        EXPECT_EQ(roundToInt(c.value), c.rounded) << c.value;
    }
    // The right edge runs from (0, 0) to (5, 10), crossing row r at x = r / 2: odd rows end
    // on a half, which rounds up, so row r covers columns 0 .. (r + 1) / 2 - 1.
    auto scene = test::makeScene();
    scene->setAmbient(1.0);
    const auto renderer = drawDevice<GouraudRenderer>(
        *scene,
        {{{DevicePoint(0, 0, 5), DevicePoint(5, 10, 5), DevicePoint(0, 10, 5)}, Color(255, 0, 0)}});
    for (int r = 0; r < 12; ++r) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = r < 10 && x < (r + 1) / 2;
            EXPECT_EQ(renderer->frameBuffer()->colorAt(x, r), inside ? 0x0000FFu : kWhite)
                << x << "," << r;
        }
    }
}

TEST(DepthRuleTest, EqualDepthKeepsTheFirstPolygonInBothShadedModes) {
    // With ambient 1, zero normals and no highlight, every pixel takes its object's colour.
    const Color red(255, 0, 0);
    const Color blue(0, 0, 255);
    const std::vector<DevicePolygon> polygons = {
        {square(0, 40, 50), red}, {square(20, 60, 50), blue}, {square(30, 35, 49), blue}};
    for (const bool phong : {false, true}) {
        auto scene = test::makeScene();
        scene->setAmbient(1.0);
        const std::unique_ptr<ScanlineRenderer> renderer =
            phong ? std::unique_ptr<ScanlineRenderer>(drawDevice<PhongRenderer>(*scene, polygons))
                  : drawDevice<GouraudRenderer>(*scene, polygons);
        const FrameBuffer& buffer = *renderer->frameBuffer();
        EXPECT_EQ(buffer.colorAt(25, 25), 0x0000FFu) << phong;  // tie: the first stays
        EXPECT_EQ(buffer.colorAt(45, 45), 0xFF0000u) << phong;  // only the second
        EXPECT_EQ(buffer.colorAt(32, 32), 0xFF0000u) << phong;  // strictly nearer wins
        EXPECT_EQ(buffer.depthAt(32, 32), 49) << phong;
        EXPECT_EQ(buffer.depthAt(70, 70), FrameBuffer::kClearDepth) << phong;
    }
}

TEST(LitColourRuleTest, ChannelsAreTruncatedNotRounded) {
    // 3 x 128 / 255 = 1.506, 200 x 255 / 255 = 200, 254 x 1 / 255 = 0.996.
    EXPECT_EQ(litColor(Color(3, 200, 254), Color(128, 255, 1)), Color(1, 200, 0));
    // Through a render: ambient 1 and unlit corners give the lit colour itself; a Gouraud
    // factor of 0.75 makes 101 -> 75.75 -> 75.
    for (const auto& [ambient, expected] :
         {std::pair{1.0, packColor(1, 200, 0)}, {0.75, packColor(0, 150, 0)}}) {
        auto scene = test::makeScene();
        scene->setAmbient(ambient);
        scene->light()->setColor(Color(128, 255, 1));
        const auto renderer =
            drawDevice<GouraudRenderer>(*scene, {{square(0, 10, 5), Color(3, 200, 254)}});
        EXPECT_EQ(renderer->frameBuffer()->colorAt(5, 5), expected) << ambient;
    }
    EXPECT_EQ(gouraudShade(
                  [] {
                      ShadingInputs in;
                      in.ambient = 0.75;
                      in.lit = Color(101, 0, 0);
                      return in;
                  }(),
                  -1.0),
              packColor(75, 0, 0));
}

TEST(ViewVectorRuleTest, PhongNormalizesTheViewVectorAndTheHalfVector) {
    // A square in the plane z = 0 facing the eye at (0, 0, -10): normal (0, 0, -1). Its top
    // left pixel has the world position (0, 0, 0) exactly. L = (1, 0, 0), so N . L = 0 and
    // only the highlight (ks 1, n 1) lights it: V = (0, 0, -1), H = (1, 0, -1) / sqrt 2,
    // N . H = 0.7071, 255 x 0.7071 = 180.3. Without normalizing V it would be 253, without
    // normalizing H 255.
    auto scene = test::makeScene();
    scene->light()->setDirection(Vector(1.0, 0.0, 0.0));
    const auto renderer = drawDevice<PhongRenderer>(
        *scene, {{square(10, 20, 5),
                  Color(10, 20, 30),
                  {Vector(0, 0, 0), Vector(1, 0, 0), Vector(1, -1, 0), Vector(0, -1, 0)},
                  [](SceneObject& object) {
                      object.setDiffuse(0.0);
                      object.setSpecular(1.0);
                      object.setShininess(1);
                  }}});
    ASSERT_EQ(scene->object(0)->vertexAt(0)->normal(), Vector(0.0, 0.0, -1.0));
    EXPECT_EQ(renderer->frameBuffer()->colorAt(10, 10), packColor(180, 180, 180));
}

TEST(ClipIntersectionRuleTest, TheCutIsFoundAfterTheDivisionByW) {
    // A = (0, 0, 0.25, 1), B = (8, 0, 1.5, 2), projected (0, 0, 0.25) and (4, 0, 0.75):
    // x = 1 at t = 0.25, z = 0.375, w = 1 + 0.25 = 1.25, times w: (1.25, 0, 0.46875, 1.25).
    // Interpolating the clip positions instead would cut at t = 1/7.
    const struct {
        Vector a;
        Vector b;
        double bound;
        int axis;
        Vector cut;
    } cases[] = {
        {Vector(0, 0, 0.25, 1), Vector(8, 0, 1.5, 2), 1.0, 0, Vector(1.25, 0, 0.46875, 1.25)},
        {Vector(8, 0, 1.5, 2), Vector(0, 0, 0.25, 1), 1.0, 0, Vector(1.25, 0, 0.46875, 1.25)},
        // y = -w between projected y 0 and -4 (w 1 and 4): t = 0.25, w = 1.75.
        {Vector(0, 0, 0.5, 1), Vector(0, -16, 2, 4), -1.0, 1, Vector(0, -1.75, 0.875, 1.75)},
        // z = 0 between projected z 0.5 and -0.5 (w 1 and 2): t = 0.5, w = 1.5.
        {Vector(0, 0, 0.5, 1), Vector(0, 0, -1, 2), 0.0, 2, Vector(0, 0, 0, 1.5)},
    };
    for (const auto& c : cases) {
        Vertex a;
        Vertex b;
        a.setClipPosition(c.a);
        b.setClipPosition(c.b);
        const auto cut = ClipStage::intersect(a, b, c.bound, c.axis);
        EXPECT_EQ(cut->clipPosition(), c.cut) << c.axis << " " << c.bound;
        EXPECT_EQ(cut->normal(), Vector(0.0, 0.0, 0.0));
        EXPECT_EQ(cut->worldPosition(), Vector(0.0, 0.0, 0.0));
    }
}

std::vector<Vector> clippedPositions(const Polygon& polygon) {
    std::vector<Vector> result;
    for (std::size_t i = 0; i < polygon.clippedCount(); ++i) {
        result.push_back(polygon.effectiveVertex(i)->clipPosition());
    }
    return result;
}

void clip(Scene& scene) {
    ImageSurface surface(1, 1);
    ClipStage().run(surface, scene);
}

TEST(ClipOrderRuleTest, NearPlaneBeforeBottomDecidesWhereTheListStarts) {
    // A inside; B behind the near plane only (projected z -0.5); C below y = -w only
    // (projected y -4). Near plane first: [A, Z1, Z2, C], then y >= -w enters on C -> A
    // at Y1 and cuts Z1 -> Z2 at Q: [Y1, A, Z1, Q]. With y >= -w first the list would
    // start at Q.
    auto scene = test::makeScene();
    const Polygon& polygon = test::polygonWithClips(
        *scene, {Vector(0, 0, 0.5, 1), Vector(0, 0, -1, 2), Vector(0, -16, 2, 4)});
    clip(*scene);
    ASSERT_TRUE(polygon.visible());
    EXPECT_EQ(clippedPositions(polygon),
              (std::vector<Vector>{Vector(0, -1.75, 0.875, 1.75), Vector(0, 0, 0.5, 1),
                                   Vector(0, 0, 0, 1.5), Vector(0, -2.25, 0, 2.25)}));
}

TEST(ClipOrderRuleTest, PassesRunInTheirOrderOnAPolygonCrossingAllSixPlanes) {
    // Corners with w from 1 to 3 and coordinates that are not binary fractions: every cut
    // is rounded, so the corners where two cuts meet differ in their last bits when any
    // two passes change places, including the two x passes and the two z passes.
    // Edges that cross both x planes, both y planes and both z planes.
    const std::vector<Vector> corners = {Vector(3.4, 1.7, 1.7, 2.4),   Vector(-2.2, 0.9, 1.0, 1.1),
                                         Vector(2.0, -2.2, -0.1, 2.0), Vector(1.8, 2.1, -0.3, 2.9),
                                         Vector(-0.5, 0.5, 3.9, 1.6),  Vector(1.7, 3.7, -3.3, 2.6)};
    auto scene = test::makeScene();
    const Polygon& polygon = test::polygonWithClips(*scene, corners);
    clip(*scene);
    ASSERT_TRUE(polygon.visible());

    // The same passes run one by one: z >= 0, y >= -w, z <= w, y <= w, x <= w, x >= -w.
    const struct {
        double bound;
        int axis;
        int sense;
    } passes[] = {{0.0, 2, 1},  {-1.0, 1, 1}, {1.0, 2, -1},
                  {1.0, 1, -1}, {1.0, 0, -1}, {-1.0, 0, 1}};
    ClipStage::VertexList list;
    for (const Vector& c : corners) {
        list.push_back(std::make_unique<Vertex>());
        list.back()->setClipPosition(c);
    }
    for (const auto& pass : passes) {
        std::vector<const Vertex*> in;
        for (const auto& v : list) {
            in.push_back(v.get());
        }
        ClipStage::VertexList out;
        ClipStage::clipPlane(in, out, pass.bound, pass.axis, pass.sense);
        list = std::move(out);
    }
    std::vector<Vector> expected;
    for (const auto& v : list) {
        expected.push_back(v->clipPosition());
    }
    // Every plane cut: some corner of the result lies on each of the six.
    for (const auto& pass : passes) {
        const auto onPlane = [&pass](const Vector& p) {
            const double v = p.at(static_cast<std::size_t>(pass.axis));
            return std::fabs(v - pass.bound * p.at(3)) < 1e-12;
        };
        EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), onPlane))
            << pass.axis << " " << pass.bound;
    }
    EXPECT_EQ(clippedPositions(polygon), expected);
}

TEST(DeviceDepthRuleTest, DepthAndColumnsAreTruncatedByTheRenderer) {
    // side 280: projected x 0.00625 -> 1.00625 x 140 = 140.875 -> 140, and y likewise
    // -> 280 - 140; y -0.5 -> 280 - 70; z 0.5 -> 127.5 -> 127 and z 0.999 -> 254.745 -> 254.
    auto scene = test::makeScene();
    const Polygon& polygon = test::polygonWithClips(
        *scene,
        {Vector(0.0125, -1, 1, 2), Vector(-0.5, 0.5, 0.999, 1), Vector(0, 0.003125, 0.25, 0.5)});
    ImageSurface surface(300, 300);
    DeviceRenderer().run(surface, *scene);
    EXPECT_EQ(polygon.vertexAt(0)->devicePoint(), DevicePoint(140, 210, 127));
    EXPECT_EQ(polygon.vertexAt(1)->devicePoint(), DevicePoint(70, 70, 254));
    EXPECT_EQ(polygon.vertexAt(2)->devicePoint(), DevicePoint(140, 140, 127));
}

TEST(ClipBoundsRuleTest, ACornerOnABoundaryIsKeptAsACopy) {
    // A lies on x = w; B is behind the near plane. Near cuts: A -> B at t 0.5 gives
    // (0.5, 0, 0) x 1.5, B -> C at t 0.5 gives (0, 0.25, 0) x 1.5; A stays a copy with
    // its normal, not a cut (which would split it in two at x = w).
    auto scene = test::makeScene();
    SceneObject& object =
        test::addObject(*scene, {Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0)});
    const Polygon& polygon = test::addPolygon(object, {0, 1, 2});
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);
    const Vector clips[] = {Vector(1, 0, 0.5, 1), Vector(0, 0, -1, 2), Vector(0, 0.5, 0.5, 1)};
    for (std::size_t i = 0; i < 3; ++i) {
        object.vertexAt(i)->setClipPosition(clips[i]);
    }
    clip(*scene);
    EXPECT_EQ(clippedPositions(polygon), (std::vector<Vector>{clips[0], Vector(0.75, 0, 0, 1.5),
                                                              Vector(0, 0.375, 0, 1.5), clips[2]}));
    ASSERT_TRUE(polygon.hasClipped());
    EXPECT_EQ(polygon.effectiveVertex(0)->normal(), Vector(0.0, 0.0, 1.0));
}

}  // namespace
}  // namespace kel
