#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/image_surface.h"
#include "render/render_mode.h"
#include "render/render_pipeline.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::makeScene;

class NamedStage : public RenderStage {
  public:
    NamedStage(std::string name, std::vector<std::string>& log)
        : name_(std::move(name)), log_(log) {}
    void run(DrawingSurface&, Scene&) override { log_.push_back(name_); }

  private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(RenderPipelineTest, RunsPositionsInOrderAndResetOnlyWhileTheFlagIsSet) {
    std::vector<std::string> log;
    RenderPipeline pipeline;
    // Set in a shuffled order: the position decides, not the call order.
    pipeline.setRenderer(std::make_unique<NamedStage>("render", log));
    pipeline.setResetStage(std::make_unique<NamedStage>("reset", log));
    pipeline.setClipStage(std::make_unique<NamedStage>("clip", log));
    pipeline.setModelStage(std::make_unique<NamedStage>("model", log));
    pipeline.setViewStage(std::make_unique<NamedStage>("view", log));
    pipeline.setNormalStage(std::make_unique<NamedStage>("normal", log));
    pipeline.setCullStage(std::make_unique<NamedStage>("cull", log));
    auto scene = makeScene();
    ImageSurface surface(50, 50);

    pipeline.run(surface, *scene);
    EXPECT_EQ(log, (std::vector<std::string>{"model", "normal", "cull", "view", "clip", "render"}));

    log.clear();
    scene->setResetVisibility(true);
    pipeline.run(surface, *scene);
    pipeline.run(surface, *scene);
    // The pipeline never clears the flag: the reset runs before every later render.
    EXPECT_TRUE(scene->resetVisibility());
    EXPECT_EQ(log.size(), 14u);
    EXPECT_EQ(log[0], "reset");
    EXPECT_EQ(log[7], "reset");
}

TEST(RenderPipelineTest, AbsentStagesAreSkippedAndSettersReplace) {
    std::vector<std::string> log;
    RenderPipeline pipeline;
    using Setter = RenderStage* (RenderPipeline::*)(std::unique_ptr<RenderStage>);
    for (const Setter setter : {&RenderPipeline::setResetStage, &RenderPipeline::setModelStage,
                                &RenderPipeline::setNormalStage, &RenderPipeline::setCullStage,
                                &RenderPipeline::setViewStage, &RenderPipeline::setClipStage}) {
        (pipeline.*setter)(nullptr);
    }
    RenderStage* first = pipeline.setRenderer(std::make_unique<NamedStage>("old", log));
    RenderStage* second = pipeline.setRenderer(std::make_unique<NamedStage>("new", log));
    EXPECT_NE(first, second);
    EXPECT_EQ(pipeline.renderer(), second);
    auto scene = makeScene();
    scene->setResetVisibility(true);
    ImageSurface surface(50, 50);
    pipeline.run(surface, *scene);
    EXPECT_EQ(log, (std::vector<std::string>{"new"}));
}

TEST(RenderModeTest, NamesAndViewState) {
    EXPECT_EQ(renderModeFromName("phong"), RenderMode::Phong);
    EXPECT_EQ(renderModeFromName("gouraud"), RenderMode::Gouraud);
    EXPECT_EQ(renderModeFromName("wireframe"), RenderMode::Wireframe);
    EXPECT_FALSE(renderModeFromName("Phong").has_value());
    EXPECT_FALSE(renderModeFromName("").has_value());

    Scene scene;
    scene.setResetVisibility(true);
    applyViewState(scene, RenderMode::Wireframe, false);
    EXPECT_FALSE(scene.resetVisibility());
    EXPECT_FALSE(scene.cullBackFaces());
    applyViewState(scene, RenderMode::Wireframe, true);
    EXPECT_TRUE(scene.cullBackFaces());
    applyViewState(scene, RenderMode::Gouraud, false);
    EXPECT_TRUE(scene.cullBackFaces());
    applyViewState(scene, RenderMode::Phong, false);
    EXPECT_TRUE(scene.cullBackFaces());
}

// Two triangles side by side at z = 0: the left one (world x > 0) faces the camera, the
// right one faces away.
std::unique_ptr<Scene> facingAndAwayScene(Polygon*& facing, Polygon*& away) {
    auto scene = makeScene();
    SceneObject& object =
        addObject(*scene, {Vector(1, -2, 0), Vector(1, 2, 0), Vector(4, 0, 0), Vector(-1, -2, 0),
                           Vector(-1, 2, 0), Vector(-4, 0, 0)});
    facing = &addPolygon(object, {0, 1, 2});
    away = &addPolygon(object, {3, 4, 5});
    return scene;
}

// Inside the viewport's rows, away from the frame.
bool anyBlackIn(const ImageSurface& image, int x0, int x1) {
    for (int y = 20; y < 200; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (image.pixel(x, y) == ImageSurface::kBlack) {
                return true;
            }
        }
    }
    return false;
}

TEST(RenderPipelineTest, WireframeWithoutCullingKeepsVisibilityFromEarlierRenders) {
    Polygon* facing = nullptr;
    Polygon* away = nullptr;
    auto scene = facingAndAwayScene(facing, away);
    WireframePipeline pipeline;

    // First render of a fresh scene, culling off: both polygons are drawn.
    ImageSurface first(220, 220);
    pipeline.run(first, *scene);
    EXPECT_TRUE(away->visible());
    EXPECT_TRUE(anyBlackIn(first, 120, 200));

    // Culling on hides the one facing away.
    scene->setCullBackFaces(true);
    ImageSurface culled(220, 220);
    pipeline.run(culled, *scene);
    EXPECT_FALSE(away->visible());
    EXPECT_TRUE(facing->visible());
    EXPECT_FALSE(anyBlackIn(culled, 120, 200));
    EXPECT_TRUE(anyBlackIn(culled, 20, 100));

    // Culling off again without a reset: the culled polygon stays undrawn.
    scene->setCullBackFaces(false);
    ImageSurface carried(220, 220);
    pipeline.run(carried, *scene);
    EXPECT_FALSE(away->visible());
    EXPECT_EQ(carried.pixels(), culled.pixels());

    // With the reset flag it is drawn again.
    scene->setResetVisibility(true);
    ImageSurface reset(220, 220);
    pipeline.run(reset, *scene);
    EXPECT_TRUE(away->visible());
    EXPECT_EQ(reset.pixels(), first.pixels());
}

TEST(RenderPipelineTest, ShadedPipelinesAlwaysCull) {
    for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
        Polygon* facing = nullptr;
        Polygon* away = nullptr;
        auto scene = facingAndAwayScene(facing, away);
        scene->setCullBackFaces(false);
        auto pipeline = makePipeline(mode);
        ImageSurface image(220, 220);
        pipeline->run(image, *scene);
        EXPECT_FALSE(away->visible());
        EXPECT_TRUE(facing->visible());
    }
}

}  // namespace
}  // namespace kel
