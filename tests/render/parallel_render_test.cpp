#include <algorithm>
#include <cmath>

#include "scene_fixtures.h"

#ifdef KEL_TEST_HAVE_TBB
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
    sphere.addSurface(std::make_unique<Surface>());
    const auto at = [](int i, int j) { return static_cast<std::size_t>(i * kRings + j % kRings); };
    for (int i = 0; i < kRings; ++i) {
        for (int j = 0; j < kRings; ++j) {
            test::addPolygon(sphere, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)},
                             false);
        }
    }
    return scene;
}

// A surface that takes rows from one thread only: the renderers draw into it, and hand
// their rows over, serially.
class OneThreadSurface : public ImageSurface {
public:
    using ImageSurface::ImageSurface;
    bool takesRowsConcurrently() const override { return false; }
};

template <class Surface = ImageSurface>
std::vector<std::uint32_t> render(RenderMode mode) {
    auto scene = makeSphereScene();
    applyViewState(*scene, mode, false);
    auto pipeline = makePipeline(mode);
    Surface image(520, 520);
    pipeline->run(image, *scene);
    pipeline->run(image, *scene);  // state carried over from the first paint
    return image.pixels();
}

TEST(ThreadCountTest, OneTwoAndEightThreadsGiveTheSameImage) {
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        std::vector<std::vector<std::uint32_t>> images;
#ifdef KEL_TEST_HAVE_TBB
        for (const int threads : {1, 2, 8}) {
            tbb::task_arena arena(threads);
            arena.execute([&] { images.push_back(render(mode)); });
        }
#else
        images.push_back(render(mode));
#endif
        images.push_back(render(mode));
        images.push_back(render<OneThreadSurface>(mode));  // drawn and handed over serially
        // The sphere shows, and the cut along the viewport's edge is drawn.
        const auto& first = images.front();
        EXPECT_GT(std::count(first.begin(), first.end(), ImageSurface::kWhite), 0);
        EXPECT_NE(first[static_cast<std::size_t>(260 * 520 + 260)], ImageSurface::kWhite);
        for (std::size_t i = 1; i < images.size(); ++i) {
            EXPECT_TRUE(images[i] == first) << renderModeName(mode) << " run " << i;
        }
    }
}

// The viewport's rows are shared out to bands drawn at the same time; however many there
// are, however the rows reach the surface, and however often the scene is painted, every
// pixel comes out the same.
TEST(BandCountTest, EveryBandCountAndRepeatedPaintGiveTheSameImage) {
    for (const std::string name : {"cube", "clipping", "room"}) {
        for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
            SCOPED_TRACE(name + " " + renderModeName(mode));
            test::OpenedScene example(name, mode);
            ASSERT_TRUE(example.opened);
            auto pipeline = makePipeline(mode);
            auto* scanline = dynamic_cast<ScanlineRenderer*>(pipeline->renderer());
            ASSERT_NE(scanline, nullptr);
            scanline->setBandCount(1);
            // Tall enough for eight bands of two row blocks each.
            ImageSurface serial(560, 560);
            pipeline->run(serial, example.scene());
            for (const int bands : {2, 3, 8, 1}) {
                scanline->setBandCount(bands);
                ImageSurface banded(560, 560);
                pipeline->run(banded, example.scene());
                EXPECT_TRUE(banded.pixels() == serial.pixels()) << bands << " bands";
                OneThreadSurface oneThread(560, 560);
                pipeline->run(oneThread, example.scene());
                EXPECT_TRUE(oneThread.pixels() == serial.pixels()) << bands << " bands, one thread";
            }
        }
    }
}

}  // namespace
}  // namespace kel
