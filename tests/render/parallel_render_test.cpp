#include <algorithm>
#include <cmath>
#include <optional>

#include "scene_fixtures.h"

#ifdef KEL_TEST_HAVE_TBB
#include <tbb/global_control.h>
#include <tbb/task_arena.h>
#endif

namespace kel {
namespace {

// A sphere of 80 x 80 quads around the eye's target, so close that the view volume cuts
// it: large enough for every stage to split its work over threads, with clipped polygons.
std::unique_ptr<Scene> makeSphereScene() {
    auto scene = test::makeScene();
    scene->camera()->set(Vector(0.0, 0.5, -4.0), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 0.0));
    scene->setAmbient(0.1);
    scene->light()->setDirection(Vector(0.3, 0.5, -0.8));
    constexpr int kRings = 80;
    std::vector<Vector> positions;
    for (int i = 0; i <= kRings; ++i) {
        const double theta = 3.141592653589793 * i / kRings;
        for (int j = 0; j < kRings; ++j) {
            const double phi = 2.0 * 3.141592653589793 * j / kRings;
            positions.emplace_back(3.0 * std::sin(theta) * std::cos(phi), 3.0 * std::cos(theta),
                                   3.0 * std::sin(theta) * std::sin(phi));
        }
    }
    SceneObject& sphere = test::addObject(*scene, positions, Color(180, 200, 90));
    sphere.setSpecular(0.6);
    sphere.setShininess(20);
    const auto at = [](int i, int j) { return static_cast<std::size_t>(i * kRings + j % kRings); };
    for (int i = 0; i < kRings; ++i) {
        for (int j = 0; j < kRings; ++j) {
            test::addPolygon(sphere, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)},
                             i + j == 0);
        }
    }
    return scene;
}

// A surface that takes rows from one thread only: the renderers draw into it, and hand
// their rows over, serially.
struct OneThreadSurface : ImageSurface {
    using ImageSurface::ImageSurface;
    bool takesRowsConcurrently() const override { return false; }
};

// The second paint (state carries over from the first) of the sphere or an example by a
// fresh pipeline drawing in the given number of bands (0: as many as it likes).
template <class Surface = ImageSurface>
std::vector<std::uint32_t> paint(const std::string& name, RenderMode mode, int bands = 0) {
    std::unique_ptr<Scene> sphere = name == "sphere" ? makeSphereScene() : nullptr;
    std::optional<test::OpenedScene> example;
    if (sphere != nullptr) {
        applyViewState(*sphere, mode, false);
    } else if (!example.emplace(name, mode).opened) {
        return {};
    }
    Scene& scene = sphere != nullptr ? *sphere : example->scene();
    auto pipeline = makePipeline(mode);
    if (auto* scanline = dynamic_cast<ScanlineRenderer*>(pipeline->renderer())) {
        scanline->setBandCount(bands);
    }
    Surface image(560, 560);  // tall enough for eight bands of two row blocks each
    pipeline->run(image, scene);
    pipeline->run(image, scene);
    return image.pixels();
}

// The work is shared out over threads, and the viewport's rows over bands drawn at the
// same time: however many there are and however the rows reach the surface, every pixel
// comes out as in one band.
TEST(ParallelRenderTest, EveryThreadAndBandCountGivesTheSameImage) {
    for (const std::string name : {"sphere", "cube", "clipping", "room"}) {
        for (const RenderMode mode :
             {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
            SCOPED_TRACE(name + " " + renderModeName(mode));
            const std::vector<std::uint32_t> serial = paint(name, mode, 1);
            ASSERT_EQ(serial.size(), 560u * 560u);
            if (name == "sphere") {  // it shows, and the cut along the viewport's edge is drawn
                EXPECT_GT(std::count(serial.begin(), serial.end(), ImageSurface::kWhite), 0);
                EXPECT_NE(serial[280 * 560 + 280], ImageSurface::kWhite);
            }
#ifdef KEL_TEST_HAVE_TBB
            for (const int threads : {1, 2, 8}) {
                // TBB allows no more workers than cores unless told: 8 are 8 on any machine.
                const tbb::global_control allow(tbb::global_control::max_allowed_parallelism,
                                                static_cast<std::size_t>(threads));
                tbb::task_arena arena(threads);
                arena.execute([&] { EXPECT_TRUE(paint(name, mode) == serial) << threads; });
            }
#endif
            for (const int bands : {2, 3, 8}) {
                EXPECT_TRUE(paint(name, mode, bands) == serial) << bands << " bands";
                EXPECT_TRUE(paint<OneThreadSurface>(name, mode, bands) == serial)
                    << bands << " bands, one thread";
            }
        }
    }
}

}  // namespace
}  // namespace kel
