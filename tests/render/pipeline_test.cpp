#include <atomic>
#include <cmath>
#include <cstdint>
#include <tuple>

#include "render/scene_walk.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

TEST(RenderPipelineTest, CullingNeedsAMillionthAndWireframeKeepsVisibilityFromEarlierRenders) {
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
    EXPECT_TRUE(facing.visible() && !away.visible() && !edgeOn.visible());
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
    // Facing needs a product of at least one millionth.
    Polygon polygon;  // a fresh polygon's normal is (1, 1, 1)
    Vertex corner;
    corner.setWorldPosition(Vector(0.0, 0.0, 0.0));
    polygon.setVertexAt(0, &corner);
    polygon.setVertexCount(1);
    EXPECT_FALSE(CullStage::facesEye(polygon, Vector(0.9e-6, 0.0, 0.0)));
    EXPECT_TRUE(CullStage::facesEye(polygon, Vector(1e-6, 0.0, 0.0)));
}

// Normals are kept from render to render while the world positions stay: whatever moves
// a vertex in the world, or adds a polygon, must bring them up to date, and they must be
// exactly those of a scene rendered once in its final state.
TEST(RenderPipelineTest, NormalsFollowEveryChangeOfTheWorldPositions) {
    struct Normals {
        std::vector<Vector> ofPolygons;
        std::vector<Vector> ofVertices;
        bool operator==(const Normals&) const = default;
    };
    const auto normalsOf = [](const SceneObject& object) {
        Normals normals;
        for (const auto& surface : object.surfaces()) {
            for (const Polygon* polygon : surface->polygons()) {
                normals.ofPolygons.push_back(polygon->normal());
            }
        }
        for (std::size_t i = 0; i < object.vertexCount(); ++i) {
            normals.ofVertices.push_back(object.vertexAt(i)->normal());
        }
        return normals;
    };
    const std::vector<Vector> corners = {Vector(0, 0, 0), Vector(1, 0, 0), Vector(0, 1, 0),
                                         Vector(1, 1, 2)};
    // The same object built at once with the final edits: steps 1 (rotated), 2 (and one
    // vertex moved) and 3 (and a second polygon in the same surface).
    const auto fresh = [&](int step) {
        auto scene = test::makeScene();
        SceneObject& object = test::addObject(*scene, corners);
        test::addPolygon(object, {0, 1, 2});
        object.setRotation(Vector(0.0, 90.0, 30.0));
        object.computeModelingTransform();
        if (step >= 2) {
            object.vertexAt(1)->setModelPosition(Vector(1, 0, 1));
        }
        if (step >= 3) {
            test::addPolygon(object, {1, 3, 2}, false);
        }
        GouraudPipeline pipeline;
        ImageSurface image(60, 60);
        pipeline.run(image, *scene);
        return normalsOf(object);
    };

    auto scene = test::makeScene();
    SceneObject& object = test::addObject(*scene, corners);
    test::addPolygon(object, {0, 1, 2});
    GouraudPipeline pipeline;
    ImageSurface image(60, 60);
    pipeline.run(image, *scene);
    const Normals unrotated = normalsOf(object);
    object.setRotation(Vector(0.0, 90.0, 30.0));
    object.computeModelingTransform();
    pipeline.run(image, *scene);
    EXPECT_EQ(normalsOf(object), fresh(1));
    EXPECT_FALSE(normalsOf(object) == unrotated);
    object.vertexAt(1)->setModelPosition(Vector(1, 0, 1));
    pipeline.run(image, *scene);
    EXPECT_EQ(normalsOf(object), fresh(2));
    test::addPolygon(object, {1, 3, 2}, false);
    pipeline.run(image, *scene);
    EXPECT_EQ(normalsOf(object), fresh(3));
    // A render that only moves the camera leaves them as they are.
    scene->camera()->set(Vector(3.0, 1.0, -10.0), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 0.0));
    pipeline.run(image, *scene);
    EXPECT_EQ(normalsOf(object), fresh(3));
}

// Lists of every size laid end to end and cut into pieces shared out over threads: every
// element is visited exactly once, with its own list's object and the piece its place in
// the whole range falls in, wherever the pieces fall on the lists' ends (empty lists too).
TEST(TraversalTest, PiecesVisitEveryElementOnceAcrossListEnds) {
    const std::vector<std::size_t> sizes = {0, 3, 0, 5000, 1, 0, 1023, 1025, 2048, 0, 7};
    constexpr long kPiece = 700;
    std::vector<std::vector<char>> lists(sizes.size());
    std::vector<std::size_t> offsets;  // of each list in the whole range
    std::vector<walk::Run<std::vector<char>>> runs;
    std::size_t total = 0;
    for (std::size_t l = 0; l < sizes.size(); ++l) {
        lists[l].resize(sizes[l]);
        offsets.push_back(total);
        total += sizes[l];
        runs.push_back({10 * l, &lists[l], static_cast<long>(sizes[l])});
    }
    std::vector<std::atomic<int>> visits(total);
    std::atomic<int> wrong{0};
    walk::forEachInPieces(runs, kPiece, [&](long piece, std::size_t object, const char& element) {
        const std::size_t l = object / 10;
        const auto at = reinterpret_cast<std::uintptr_t>(&element);
        const auto start =
            l < lists.size() ? reinterpret_cast<std::uintptr_t>(lists[l].data()) : at + 1;
        const std::size_t i = at - start;
        if (l < lists.size() && at >= start && i < sizes[l] &&
            piece == static_cast<long>(offsets[l] + i) / kPiece) {
            ++visits[offsets[l] + i];
        } else {
            ++wrong;
        }
    });
    EXPECT_EQ(wrong, 0);
    for (std::size_t i = 0; i < total; ++i) {
        ASSERT_EQ(visits[i], 1) << "element " << i << " of the whole range";
    }
}

constexpr std::uint32_t kBackground = 0x00ABCDEFu;

// A box of six quads around the origin, plus a spiky non-convex polygon in front.
void addTestGeometry(Scene& scene) {
    SceneObject& box = test::addObject(
        scene, {Vector(-2, -2, -2), Vector(2, -2, -2), Vector(2, 2, -2), Vector(-2, 2, -2),
                Vector(-2, -2, 2), Vector(2, -2, 2), Vector(2, 2, 2), Vector(-2, 2, 2)});
    for (const auto& face : std::vector<std::vector<std::size_t>>{
             {0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}}) {
        test::addPolygon(box, face);
    }
    std::vector<Vector> star;
    std::vector<std::size_t> corners;
    for (int i = 0; i < 16; ++i) {
        const double r = i % 2 == 0 ? 4.0 : 1.0;
        star.emplace_back(r * std::cos(i * 3.141592653589793 / 8.0),
                          r * std::sin(i * 3.141592653589793 / 8.0), -3.0);
        corners.insert(corners.begin(), static_cast<std::size_t>(i));
    }
    test::addPolygon(test::addObject(scene, star, Color(0, 200, 0)), corners);
}

TEST(DegenerateSceneTest, NothingIsDrawnOutsideTheViewportWhateverTheScene) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    std::vector<std::function<void(Scene&)>> spoilers = {
        [](Scene& s) {
            s.setCamera(nullptr);
            s.setFrustum(nullptr);
            s.setLight(nullptr);
        },
        [&](Scene& s) {
            s.setAmbient(nan);
            s.light()->setIntensity(-inf);
            s.light()->setDirection(Vector(nan, 0, 0));
        },
        [](Scene& s) {  // 1, 2 and 12 corners
            SceneObject& object = test::addObject(s, {Vector(0, 0, -5), Vector(1, 1, -5)});
            test::addPolygon(object, {0});
            test::addPolygon(object, {0, 1}, false);
            test::addPolygon(object, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}, false);
        },
    };
    // near = far, height 0, near > far, negative near, tiny near.
    for (const Vector& f : {Vector(5, 5, 1), Vector(1, 100, 0), Vector(100, 1, 1),
                            Vector(-1, 10, 1), Vector(1e-9, 100, 1)}) {
        spoilers.push_back([f](Scene& s) { s.frustum()->set(f.at(0), f.at(1), f.at(2)); });
    }
    // Eye on the target, up along the view, eye inside the box, eye at infinity.
    for (const auto& [from, to, up] :
         {std::tuple{Vector(0, 0, -10), Vector(0, 0, -10), Vector(0, 1, 0)},
          {Vector(0, 0, -10), Vector(0, 0, 0), Vector(0, 0, 1)},
          {Vector(0, 0, 0), Vector(0, 0, 1), Vector(0, 1, 0)},
          {Vector(0, 0, inf), Vector(0, 0, 0), Vector(0, 1, 0)}}) {
        spoilers.push_back([=](Scene& s) { s.camera()->set(from, to, up); });
    }
    for (const auto& [object, vertex, position] : {std::tuple{0u, 2u, Vector(nan, 0, 0)},
                                                   {0u, 5u, Vector(0, inf, 1)},
                                                   {1u, 3u, Vector(1e300, -1e300, 0)}}) {
        spoilers.push_back(
            [=](Scene& s) { s.object(object)->vertexAt(vertex)->setModelPosition(position); });
    }
    // Every mode, twice each (state carries over), at client sizes around the smallest that
    // draws: nothing may appear beyond the viewport and its frame.
    for (std::size_t i = 0; i < spoilers.size(); ++i) {
        for (const RenderMode mode :
             {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
            for (const int size : {0, 15, 19, 20, 21, 64}) {
                auto scene = test::makeScene();
                addTestGeometry(*scene);
                spoilers[i](*scene);
                applyViewState(*scene, mode, false);
                auto pipeline = makePipeline(mode);
                for (int pass = 0; pass < 2; ++pass) {
                    ImageSurface image(size + 7, size);
                    image.fill(kBackground);
                    pipeline->run(image, *scene);
                    const int limit = size - 10;  // margin + side; below 20 nothing at all
                    for (int y = 0; y < image.height(); ++y) {
                        for (int x = 0; x < image.width(); ++x) {
                            ASSERT_TRUE((x >= 9 && y >= 9 && x <= limit && y <= limit) ||
                                        image.pixel(x, y) == kBackground)
                                << "case " << i << " " << renderModeName(mode) << " size " << size
                                << " at " << x << "," << y;
                        }
                    }
                    scene->setResetVisibility(pass == 0);
                }
            }
        }
    }
}

}  // namespace
}  // namespace kel
