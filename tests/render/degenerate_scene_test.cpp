#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "render/image_surface.h"
#include "render/render_mode.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;

constexpr std::uint32_t kBackground = 0x00ABCDEFu;

// A box of six quads around the origin, plus a spiky non-convex polygon in front.
void addTestGeometry(Scene& scene) {
    SceneObject& box = addObject(
        scene, {Vector(-2, -2, -2), Vector(2, -2, -2), Vector(2, 2, -2), Vector(-2, 2, -2),
                Vector(-2, -2, 2), Vector(2, -2, 2), Vector(2, 2, 2), Vector(-2, 2, 2)});
    for (const auto& face : std::vector<std::vector<std::size_t>>{
             {0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4}, {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}}) {
        addPolygon(box, face);
    }
    std::vector<Vector> star;
    std::vector<std::size_t> corners;
    for (int i = 0; i < 16; ++i) {
        const double r = i % 2 == 0 ? 4.0 : 1.0;
        star.emplace_back(r * std::cos(i * 3.141592653589793 / 8.0),
                          r * std::sin(i * 3.141592653589793 / 8.0), -3.0);
        corners.insert(corners.begin(), static_cast<std::size_t>(i));
    }
    addPolygon(addObject(scene, star, Color(0, 200, 0)), corners);
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
            SceneObject& object = addObject(s, {Vector(0, 0, -5), Vector(1, 1, -5)});
            addPolygon(object, {0});
            addPolygon(object, {0, 1}, false);
            addPolygon(object, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}, false);
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
