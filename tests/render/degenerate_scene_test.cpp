#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "render/image_surface.h"
#include "render/render_mode.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::appendPolygon;
using test::makeScene;

constexpr std::uint32_t kBackground = 0x00ABCDEFu;

// A box of six quads around the origin, plus a spiky non-convex polygon in front.
void addTestGeometry(Scene& scene) {
    SceneObject& box = addObject(
        scene, {Vector(-2, -2, -2), Vector(2, -2, -2), Vector(2, 2, -2), Vector(-2, 2, -2),
                Vector(-2, -2, 2), Vector(2, -2, 2), Vector(2, 2, 2), Vector(-2, 2, 2)});
    addPolygon(box, {0, 3, 2, 1});
    appendPolygon(box, {4, 5, 6, 7});
    appendPolygon(box, {0, 1, 5, 4});
    appendPolygon(box, {2, 3, 7, 6});
    appendPolygon(box, {1, 2, 6, 5});
    appendPolygon(box, {0, 4, 7, 3});
    std::vector<Vector> star;
    std::vector<std::size_t> corners;
    for (int i = 0; i < 16; ++i) {
        const double r = i % 2 == 0 ? 4.0 : 1.0;
        const double a = i * 3.141592653589793 / 8.0;
        star.emplace_back(r * std::cos(a), r * std::sin(a), -3.0);
        corners.push_back(static_cast<std::size_t>(i));
    }
    SceneObject& spiky = addObject(scene, star, Color(0, 200, 0));
    addPolygon(spiky, std::vector<std::size_t>(corners.rbegin(), corners.rend()));
}

// Renders every mode, twice each (state carries over), at several client sizes, and
// checks that nothing is drawn beyond the viewport and its frame.
void renderEverywhere(const std::function<void(Scene&)>& spoil) {
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        for (const int size : {0, 15, 20, 21, 64}) {
            auto scene = makeScene();
            addTestGeometry(*scene);
            spoil(*scene);
            applyViewState(*scene, mode, false);
            auto pipeline = makePipeline(mode);
            for (int pass = 0; pass < 2; ++pass) {
                ImageSurface image(size + 7, size);
                image.fill(kBackground);
                pipeline->run(image, *scene);
                const int limit = size - 10;  // margin + side
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        if (x < 9 || y < 9 || x > limit || y > limit) {
                            ASSERT_EQ(image.pixel(x, y), kBackground)
                                << renderModeName(mode) << " size " << size << " at " << x << ","
                                << y;
                        }
                    }
                }
                scene->setResetVisibility(pass == 0);
            }
        }
    }
}

TEST(DegenerateSceneTest, OrdinaryGeometryStaysInsideTheViewport) {
    renderEverywhere([](Scene&) {});
}

TEST(DegenerateSceneTest, FrustaThePerspectiveCannotHandle) {
    renderEverywhere([](Scene& s) { s.frustum()->set(5.0, 5.0, 1.0); });
    renderEverywhere([](Scene& s) { s.frustum()->set(1.0, 100.0, 0.0); });
    renderEverywhere([](Scene& s) { s.frustum()->set(100.0, 1.0, 1.0); });
    renderEverywhere([](Scene& s) { s.frustum()->set(-1.0, 10.0, 1.0); });
    renderEverywhere([](Scene& s) { s.frustum()->set(1e-9, 100.0, 1.0); });
}

TEST(DegenerateSceneTest, CamerasWithoutADirection) {
    renderEverywhere(
        [](Scene& s) { s.camera()->set(Vector(0, 0, -10), Vector(0, 0, -10), Vector(0, 1, 0)); });
    renderEverywhere(
        [](Scene& s) { s.camera()->set(Vector(0, 0, -10), Vector(0, 0, 0), Vector(0, 0, 1)); });
    renderEverywhere([](Scene& s) {
        s.camera()->set(Vector(0, 0, 0), Vector(0, 0, 1), Vector(0, 1, 0));  // inside the box
    });
}

TEST(DegenerateSceneTest, NonFiniteAndHugeCoordinates) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    renderEverywhere(
        [&](Scene& s) { s.object(0)->vertexAt(2)->setModelPosition(Vector(nan, 0, 0)); });
    renderEverywhere(
        [&](Scene& s) { s.object(0)->vertexAt(5)->setModelPosition(Vector(0, inf, 1)); });
    renderEverywhere(
        [&](Scene& s) { s.object(1)->vertexAt(3)->setModelPosition(Vector(1e300, -1e300, 0)); });
    renderEverywhere([&](Scene& s) {
        s.object(0)->setScaling(Vector(nan, 1, 1));
        s.object(0)->computeModelingTransform();
    });
    renderEverywhere(
        [&](Scene& s) { s.camera()->set(Vector(0, 0, inf), Vector(0, 0, 0), Vector(0, 1, 0)); });
    renderEverywhere([&](Scene& s) {
        s.setAmbient(nan);
        s.light()->setIntensity(-inf);
        s.light()->setDirection(Vector(nan, 0, 0));
    });
}

TEST(DegenerateSceneTest, CornerCountsOfOneTwoAndMany) {
    renderEverywhere([](Scene& s) {
        SceneObject& object = addObject(s, {Vector(0, 0, -5), Vector(1, 1, -5)});
        addPolygon(object, {0});
        appendPolygon(object, {0, 1});
        appendPolygon(object, {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
    });
}

TEST(DegenerateSceneTest, ExtremeMaterialValues) {
    renderEverywhere([](Scene& s) {
        s.object(0)->setShininess(-2147483647 - 1);
        s.object(0)->setSpecular(1e308);
        s.object(1)->setShininess(2147483647);
        s.object(1)->setDiffuse(-1e308);
        s.setAmbient(-5.0);
    });
}

}  // namespace
}  // namespace kel
