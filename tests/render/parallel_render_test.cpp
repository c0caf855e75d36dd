#include <gtest/gtest.h>

#include <cmath>

#include "model/camera.h"
#include "render/clip_stage.h"
#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "render/scanline_renderer.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::appendPolygon;
using test::makeScene;

// A wavy grid of n x n quads in one surface, large enough for the stages to split their
// loops across threads, reaching beyond the view on the right so that some quads clip.
std::unique_ptr<Scene> makeGridScene(int n) {
    auto scene = makeScene();
    std::vector<Vector> points;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const double x = -6.0 + 14.0 * j / n;
            const double y = -6.0 + 12.0 * i / n;
            points.emplace_back(x, y, 0.8 * std::sin(x * 1.3) * std::cos(y * 0.9));
        }
    }
    SceneObject& grid = addObject(*scene, points, Color(90, 160, 220));
    grid.setSpecular(0.6);
    grid.setShininess(12);
    grid.setRotation(Vector(10.0, 20.0, 0.0));
    grid.computeModelingTransform();
    scene->setAmbient(0.15);
    grid.addSurface(std::make_unique<Surface>());
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const auto at = [n](int r, int c) { return static_cast<std::size_t>(r * (n + 1) + c); };
            appendPolygon(grid, {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)});
        }
    }
    return scene;
}

TEST(ParallelStagesTest, LargeScenesGetExactlyTheValuesOfTheSerialOperations) {
    auto scene = makeGridScene(64);
    ImageSurface surface(1, 1);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);
    CullStage().run(surface, *scene);
    ViewProjectionStage().run(surface, *scene);
    ClipStage().run(surface, *scene);

    const SceneObject& grid = *scene->object(0);
    Matrix m = scene->camera()->viewTransform();
    m *= scene->frustum()->perspectiveTransform();
    int visible = 0;
    int clipped = 0;
    for (const auto& polygon : grid.surfaces()[0]->polygons()) {
        const Vector before = polygon->normal();
        polygon->computeNormal();
        ASSERT_EQ(polygon->normal(), before);
        const Vector eye = scene->camera()->from();
        const bool faces = CullStage::facesEye(*polygon, eye);
        if (!faces) {
            ASSERT_FALSE(polygon->visible());
        }
        visible += polygon->visible() ? 1 : 0;
        clipped += polygon->hasClipped() ? 1 : 0;
    }
    for (std::size_t v = 0; v < grid.vertexCount(); ++v) {
        Vertex& vertex = *grid.vertexAt(v);
        ASSERT_EQ(vertex.worldPosition(), vertex.modelPosition() * grid.modelingTransform());
        const Vector& w = vertex.worldPosition();
        ASSERT_EQ(vertex.clipPosition(), Vector(w.at(0), w.at(1), w.at(2), 1.0) * m);
        const Vector normal = vertex.normal();
        vertex.computeNormal();
        ASSERT_EQ(vertex.normal(), normal);
    }
    // The scene exercises both culling and clipping.
    EXPECT_GT(visible, 100);
    EXPECT_LT(visible, 64 * 64);
    EXPECT_GT(clipped, 10);
}

TEST(ParallelRasterTest, ImageDoesNotDependOnTheNumberOfBands) {
    for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
        std::vector<std::uint32_t> reference;
        for (const int bands : {1, 2, 3, 7}) {
            auto scene = makeGridScene(48);
            applyViewState(*scene, mode, false);
            auto pipeline = makePipeline(mode);
            auto* renderer = dynamic_cast<ScanlineRenderer*>(pipeline->renderer());
            ASSERT_NE(renderer, nullptr);
            renderer->setBandCount(bands);
            ImageSurface image(333, 301);
            pipeline->run(image, *scene);
            if (bands == 1) {
                reference = image.pixels();
                std::size_t coloured = 0;
                for (const std::uint32_t p : reference) {
                    coloured += p != ImageSurface::kWhite && p != ImageSurface::kBlack ? 1 : 0;
                }
                EXPECT_GT(coloured, 20000u);
            } else {
                EXPECT_EQ(image.pixels(), reference) << renderModeName(mode) << " " << bands;
            }
        }
    }
}

}  // namespace
}  // namespace kel
