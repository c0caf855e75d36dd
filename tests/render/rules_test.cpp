// Each rule of the renderer pinned on its own, with numbers worked out by hand, so that a
// change to one rule fails here and not only in a golden image.

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>

#include "render/render_pipeline.h"
#include "render/span_kernels.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

std::vector<DevicePoint> square(int x0, int x1, int depth) {
    return {DevicePoint(x0, x0, depth), DevicePoint(x1, x0, depth), DevicePoint(x1, x1, depth),
            DevicePoint(x0, x1, depth)};
}

TEST(DepthRuleTest, EqualDepthKeepsTheFirstPolygonInBothShadedModes) {
    // With ambient 1, zero normals and no highlight, every pixel takes its object's colour.
    const std::vector<test::DevicePolygon> polygons = {{square(0, 40, 50), Color(255, 0, 0)},
                                                       {square(20, 60, 50), Color(0, 0, 255)},
                                                       {square(30, 35, 49), Color(0, 0, 255)}};
    for (const bool phong : {false, true}) {
        auto scene = test::makeScene();
        scene->setAmbient(1.0);
        const auto renderer = phong ? test::drawDevice<PhongRenderer>(*scene, polygons)
                                    : test::drawDevice(*scene, polygons);
        const FrameBuffer& buffer = *renderer->frameBuffer();
        EXPECT_EQ(buffer.colorAt(25, 25), 0x0000FFu) << phong;  // tie: the first stays
        EXPECT_EQ(buffer.colorAt(45, 45), 0xFF0000u) << phong;  // only the second
        EXPECT_EQ(buffer.colorAt(32, 32), 0xFF0000u) << phong;  // strictly nearer wins
        EXPECT_EQ(buffer.depthAt(32, 32), 49) << phong;
        EXPECT_EQ(buffer.depthAt(70, 70), FrameBuffer::kClearDepth) << phong;
    }
}

// Halves round up (the rasteriser's use of it is pinned with the other span rules), while
// lit colour channels are truncated.
TEST(RoundingRuleTest, HalvesRoundUpWhileLitChannelsAreTruncated) {
    const std::pair<double, int> cases[] = {
        {2.5, 3}, {2.49, 2},    {0.5, 1},          {0.4999999999999999, 0},
        {7.0, 7}, {255.5, 256}, {std::nan(""), 0}, {1e300, 1073741825}};
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(roundToInt(value), rounded) << value;
    }
    // 3 x 128 / 255 = 1.506, 200 x 255 / 255 = 200, 254 x 1 / 255 = 0.996, 100 x 128 / 255
    // = 50.2; a light channel of 1 scales 255 to exactly 1.
    EXPECT_EQ(litColor(Color(3, 200, 254), Color(128, 255, 1)), Color(1, 200, 0));
    EXPECT_EQ(litColor(Color(200, 100, 7), Color(0, 128, 255)), Color(0, 50, 7));
    EXPECT_EQ(1 * kChannelScale, 0.00392156862745098);
    EXPECT_EQ(litColor(Color(255, 255, 255), Color(1, 1, 1)), Color(1, 1, 1));
    // Through a render: ambient 1 and unlit corners give the lit colour itself; a Gouraud
    // factor of 0.75 truncates too: 1 -> 0.
    for (const auto& [ambient, expected] :
         {std::pair{1.0, packColor(1, 200, 0)}, {0.75, packColor(0, 150, 0)}}) {
        auto scene = test::makeScene();
        scene->setAmbient(ambient);
        scene->light()->setColor(Color(128, 255, 1));
        const auto renderer = test::drawDevice(*scene, {{square(0, 10, 5), Color(3, 200, 254)}});
        EXPECT_EQ(renderer->frameBuffer()->colorAt(5, 5), expected) << ambient;
    }
}

ShadingInputs inputs(double ambient, double kd, Color lit, double ks = 0.0, int n = 1,
                     double intensity = 1.0) {
    ShadingInputs in;
    in.ambient = ambient;
    in.diffuse = kd;
    in.intensity = intensity;
    in.lit = lit;
    in.specular = ks;
    in.shininess = n;
    return in;
}

// Gouraud is ambient plus diffuse times the lit colour, clamped; Phong adds a highlight
// of the light's colour.
TEST(ShadeRuleTest, GouraudAndPhongTermsAreClampedAndTheHighlightTakesTheLightColour) {
    ShadingInputs in = inputs(0.25, 1.0, Color(200, 100, 0));
    EXPECT_EQ(gouraudShade(in, 0.5), packColor(150, 75, 0));
    EXPECT_EQ(gouraudShade(in, -0.5), packColor(50, 25, 0));  // unlit: ambient only
    EXPECT_EQ(gouraudShade(inputs(1.0, 1.0, Color(255, 128, 0)), 1.0), packColor(255, 255, 0));
    EXPECT_EQ(gouraudShade(inputs(-0.5, 1.0, Color(200, 100, 50)), 0.2), 0u);
    EXPECT_EQ(channelFromValue(std::nan("")), 0);
    EXPECT_EQ(channelFromValue(1e300), 255);
    in = inputs(0.0, 1.0, Color(100, 100, 100), 0.5, 10);
    const double n[3] = {0.0, 0.0, 1.0};
    // highlight = 0.5 x 1 x 255 = 127.5; value = 100 + 127.5 = 227.5.
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 227, 227));
    in.lightFraction[1] = 0.0;  // a magenta light: no highlight in green
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 100, 227));
    // Without diffuse: shininess 0 gives the full highlight, a negative N . H or no half
    // vector none, and a negative ambient clamps at zero instead of wrapping.
    in = inputs(0.0, 0.0, Color(100, 100, 100), 0.5, 0);
    const double slanted[3] = {0.0, 0.6, 0.8};
    const double behind[3] = {0.0, 0.6, -0.8};
    EXPECT_EQ(phongShade(in, slanted, n), packColor(127, 127, 127));
    EXPECT_EQ(phongShade(in, behind, n), 0u);
    EXPECT_EQ(phongShade(in, nullptr, n), 0u);
    EXPECT_EQ(phongShade(inputs(-1.0, 0.5, Color(200, 10, 0)), nullptr, n), 0u);
    EXPECT_EQ(powInt(1.0, INT_MIN), 1.0);
}

// Gouraud colours gathered and coloured together are those of gouraudShade, bit for bit,
// for any number of pixels and at the rule's edges: the sign of the cosine, NaN, and
// channels below 0 or above 255; a later pixel in the same cell wins.
TEST(GouraudKernelTest, BatchedColoursEqualThePerPixelRule) {
    const double nan = std::nan("");
    const double edges[] = {0.0, -0.0, -1e-300, 1e-300, 0.5, 1.0, -0.7, nan, 3.9, 1e308};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> cosine(-1.2, 1.2);
    for (const double ambient : {0.2, -0.3, 1.5}) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{3}, std::size_t{517}}) {
            const ShadingInputs in = inputs(ambient, 0.8, Color(200, 120, 40), 0.0, 1, 0.9);
            GouraudPixels pixels;
            pixels.reserve(count);
            std::vector<std::uint32_t> expected(count + 1, 0u);
            for (std::size_t i = 0; i < count; ++i) {
                const double k = i % 3 == 0 ? edges[(i / 3) % std::size(edges)] : cosine(random);
                pixels.target[i] = i % 5 == 4 ? i - 1 : i;  // some cells twice
                pixels.cosine[i] = k;
                expected[pixels.target[i]] = gouraudShade(in, k);
            }
            pixels.count = count;
            pixels.shading = &in;
            std::vector<std::uint32_t> colors(count + 1, 0u);
            flushGouraudPixels(pixels, colors.data());
            EXPECT_EQ(colors, expected) << "ambient " << ambient << ", " << count << " pixels";
            EXPECT_EQ(pixels.count, 0u);
        }
    }
}

TEST(ViewVectorRuleTest, PhongNormalizesTheViewVectorAndTheHalfVector) {
    // A square in the plane z = 0 facing the eye at (0, 0, -10): normal (0, 0, -1). Its top
    // left pixel has the world position (0, 0, 0) exactly. L = (1, 0, 0), so N . L = 0 and
    // only the highlight (ks 1, n 1) lights it: V = (0, 0, -1), H = (1, 0, -1) / sqrt 2,
    // N . H = 0.7071, 255 x 0.7071 = 180.3. Without normalizing V it would be 253, without
    // normalizing H 255.
    auto scene = test::makeScene();
    scene->light()->setDirection(Vector(1.0, 0.0, 0.0));
    const auto renderer = test::drawDevice<PhongRenderer>(
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
        Vector a, b;
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

// The passes run one by one: z >= 0, y >= -w, z <= w, y <= w, x <= w, x >= -w.
struct ClipPass {
    double bound;
    int axis, sense;
};
constexpr ClipPass kPasses[] = {{0.0, 2, 1},  {-1.0, 1, 1}, {1.0, 2, -1},
                                {1.0, 1, -1}, {1.0, 0, -1}, {-1.0, 0, 1}};

std::vector<Vector> clippedPassByPass(const std::vector<Vector>& corners) {
    ClipStage::VertexList list;
    for (const Vector& c : corners) {
        list.push_back(std::make_unique<Vertex>());
        list.back()->setClipPosition(c);
    }
    for (const ClipPass& pass : kPasses) {
        std::vector<const Vertex*> in;
        for (const auto& v : list) {
            in.push_back(v.get());
        }
        ClipStage::VertexList out;
        ClipStage::clipPlane(in, out, pass.bound, pass.axis, pass.sense);
        list = std::move(out);
    }
    std::vector<Vector> result;
    for (const auto& v : list) {
        result.push_back(v->clipPosition());
    }
    return result;
}

TEST(DeviceRuleTest, DepthAndColumnsAreTruncatedAndACornerNearTheEyePlaneHidesThePolygon) {
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
    // A corner with w within 1e-6 of zero hides its polygon from every renderer.
    auto nearEye = test::makeScene();
    test::polygonWithClips(*nearEye,
                           {Vector(0, 0, 0, 1e-7), Vector(-1, 1, 0.5, 1), Vector(-1, 0, 0.5, 1)});
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Phong}) {
        ImageSurface image(220, 220);
        makePipeline(mode)->renderer()->run(image, *nearEye);
        // The frame only: four sides of 201 pixels, each leaving out its end point.
        EXPECT_EQ(std::count(image.pixels().begin(), image.pixels().end(), ImageSurface::kWhite),
                  220 * 220 - 4 * 201);
    }
}

TEST(ClipBoundsRuleTest, ACornerOnABoundaryIsKeptAsACopy) {
    // A lies on x = w; B is behind the near plane. Near cuts: A -> B at t 0.5 gives
    // (0.5, 0, 0) x 1.5, B -> C at t 0.5 gives (0, 0.25, 0) x 1.5; A stays a copy with
    // its normal, not a cut (which would split it in two at x = w).
    auto scene = test::makeScene();
    const Vector clips[] = {Vector(1, 0, 0.5, 1), Vector(0, 0, -1, 2), Vector(0, 0.5, 0.5, 1)};
    const Polygon& polygon = test::polygonWithClips(*scene, {clips[0], clips[1], clips[2]});
    // Model corners (0, 0, 0), (1, 0, 0) and (0, 1, 0): the normal is (0, 0, 1).
    polygon.vertexAt(1)->setModelPosition(Vector(1, 0, 0));
    polygon.vertexAt(2)->setModelPosition(Vector(0, 1, 0));
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);
    test::clip(*scene);
    EXPECT_EQ(clippedPositions(polygon), (std::vector<Vector>{clips[0], Vector(0.75, 0, 0, 1.5),
                                                              Vector(0, 0.375, 0, 1.5), clips[2]}));
    ASSERT_TRUE(polygon.hasClipped());
    EXPECT_EQ(polygon.effectiveVertex(0)->normal(), Vector(0.0, 0.0, 1.0));
}

// Polygons wholly inside are kept and those beyond one boundary rejected, untouched; the
// rest are cut pass by pass, and every cut corner is finite and inside.
TEST(ClipStageTest, RejectsOnlyWhatFailsOneBoundaryAndCutsTheRestToInside) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    const Vector c(0, .5, .5, 1);  // well inside
    std::vector<Vector> ring;      // a 24-gon crossing all four side boundaries
    for (int i = 0; i < 24; ++i) {
        ring.emplace_back(1.3 * std::cos(i * 0.2617993877991494),
                          1.3 * std::sin(i * 0.2617993877991494), 0.5, 1.0);
    }
    // Corners with w from 1 to 3 and coordinates that are not binary fractions: every cut
    // is rounded, so the corners where two cuts meet differ in their last bits when two
    // passes that cut one edge change places. The first has edges across both x, both y
    // and both z planes; in the second the bottom's cut lies beyond the far plane, which
    // cuts it again, so the bottom must run before the far plane.
    const std::vector<Vector> everyPlane = {
        Vector(3.4, 1.7, 1.7, 2.4),  Vector(-2.2, 0.9, 1.0, 1.1), Vector(2.0, -2.2, -0.1, 2.0),
        Vector(1.8, 2.1, -0.3, 2.9), Vector(-0.5, 0.5, 3.9, 1.6), Vector(1.7, 3.7, -3.3, 2.6)};
    const std::vector<Vector> bottomBeyondFar = {
        Vector(0.3, -3.1, 2.9, 1.3), Vector(0.1, 0.7, 0.6, 1.1), Vector(0.9, 0.3, 0.2, 1.7)};
    const struct {
        std::vector<Vector> corners;
        int classified;
        bool visible;
        std::size_t minCorners = 0;  // after the cuts; 0 for no cut
        int onRightBoundary = -1;    // cut corners projecting onto x = 1, -1 for any number
    } cases[] = {
        // Bounds are inclusive: wholly inside.
        {{Vector(1, 0, 0, 1), Vector(-1, -1, 1, 1), Vector(0, 1, 0.5, 1)}, 1, true},
        // All beyond one boundary: x < -w, x > w, y < -w, y > w, z < 0, z > w.
        {{Vector(-2, 0, .5, 1), Vector(-2, 0, .6, 1), Vector(-3, 1, .5, 1)}, 1, false},
        {{Vector(2, 0, .5, 1), Vector(2, 0, .6, 1), Vector(3, 1, .5, 1)}, 1, false},
        {{Vector(0, -2, .5, 1), Vector(0, -2, .6, 1), Vector(1, -3, .5, 1)}, 1, false},
        {{Vector(0, 2, .5, 1), Vector(0, 2, .6, 1), Vector(1, 3, .5, 1)}, 1, false},
        {{Vector(0, 0, -.5, 1), Vector(0, 0, -.2, 1), Vector(1, 0, -.5, 1)}, 1, false},
        {{Vector(0, 0, 2, 1), Vector(0, 0, 3, 1), Vector(1, 0, 2, 1)}, 1, false},
        // x > w and y > w at once counts as x: every corner fails x first.
        {{Vector(2, 2, .5, 1), Vector(3, .5, .5, 1), Vector(2, -.5, .5, 1)}, 1, false},
        // Beyond different boundaries: clipped, and here nothing is left.
        {{Vector(3, 0, .5, 1), Vector(0, 3, .5, 1), Vector(3, 3, .5, 1)}, 0, false},
        // Corners that are not finite are rejected.
        {{Vector(nan, 0, .5, 1), Vector(.5, 0, .5, 1), c}, 1, false},
        {{Vector(0, 0, .5, inf), Vector(.5, 0, .5, 1), c}, 1, false},
        {{Vector(.5, -inf, .5, 1), Vector(.5, 0, .5, 1), c}, 1, false},
        // The work lists must grow past ten corners.
        {ring, 0, true, 11, 2},
        // w = 0 at one corner, where the division by w is undefined.
        {{Vector(0, 0, 0.5, 1), Vector(1, 0, 0.5, 0), c}, 0, true, 3},
        // Both ends within 1e-6 of x = w.
        {{Vector(1 - 1e-9, 0, .5, 1), Vector(1 + 1e-9, .5, .5, 1), c}, 0, true, 3},
        {everyPlane, 0, true, 3},
        {bottomBeyondFar, 0, true, 3},
    };
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        SCOPED_TRACE(n);
        auto scene = test::makeScene();
        Polygon& polygon = test::polygonWithClips(*scene, cases[n].corners);
        EXPECT_EQ(ClipStage::classify(polygon), cases[n].classified);
        polygon.setVisible(true);
        test::clip(*scene);
        EXPECT_EQ(polygon.visible(), cases[n].visible);
        ASSERT_EQ(polygon.hasClipped(), cases[n].minCorners > 0);
        EXPECT_GE(polygon.clippedCount(), cases[n].minCorners);
        int onBoundary = 0;
        for (std::size_t i = 0; i < polygon.clippedCount(); ++i) {
            const Vector& p = polygon.effectiveVertex(i)->clipPosition();
            const double w = p.at(3) + 1e-9;
            EXPECT_TRUE(std::fabs(p.at(0)) <= w && std::fabs(p.at(1)) <= w && p.at(2) >= -1e-9 &&
                        p.at(2) <= w)
                << p.at(0) << " " << p.at(1) << " " << p.at(2) << " " << p.at(3);
            onBoundary += std::fabs(p.at(0) / p.at(3) - 1.0) < 1e-12;
        }
        if (polygon.hasClipped()) {  // the passes run one by one, in their order
            EXPECT_EQ(clippedPositions(polygon), clippedPassByPass(cases[n].corners));
        }
        const int onRight = cases[n].onRightBoundary;
        EXPECT_TRUE(onRight < 0 || onBoundary == onRight) << onBoundary;
    }
}

}  // namespace
}  // namespace kel
