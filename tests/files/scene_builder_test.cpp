#include "files/scene_builder.h"

#include <gtest/gtest.h>

#include <string>

#include "model/visitor.h"

namespace kel::test {
namespace {

class RecordingVisitor : public Visitor {
  public:
    void visitCamera(Camera&) override { seen += "camera "; }
    void visitFrustum(Frustum&) override { seen += "frustum "; }
    void visitLight(Light&) override { seen += "light "; }
    void visitScene(Scene&) override { seen += "scene "; }
    void visitObject(SceneObject&) override { seen += "object "; }
    std::string seen;
};

class SceneOnlyVisitor : public Visitor {
  public:
    void visitScene(Scene& scene) override { visited = &scene; }
    Scene* visited = nullptr;
};

void fill(DefaultSceneBuilder& builder) {
    builder.setCamera(std::make_unique<Camera>());
    builder.setFrustum(std::make_unique<Frustum>());
    builder.setLight(std::make_unique<Light>());
    builder.addObject(std::make_unique<SceneObject>(1));
}

TEST(DefaultSceneBuilder, WalksCameraFrustumLightThenSceneWithoutDescending) {
    DefaultSceneBuilder builder;
    fill(builder);
    RecordingVisitor visitor;
    builder.writeScene(visitor);
    EXPECT_EQ(visitor.seen, "camera frustum light scene ");

    SceneOnlyVisitor sceneOnly;
    builder.writeScene(sceneOnly);
    EXPECT_EQ(sceneOnly.visited, builder.scene());

    Visitor nothing;
    builder.writeScene(nothing);
}

TEST(DefaultSceneBuilder, PartsGoToTheHeldSceneInOrder) {
    DefaultSceneBuilder builder;
    Scene* scene = builder.scene();
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->camera(), nullptr);
    fill(builder);
    builder.addObject(std::make_unique<SceneObject>(2));
    builder.setAmbient(0.3);
    EXPECT_NE(scene->camera(), nullptr);
    EXPECT_EQ(scene->ambient(), 0.3);
    ASSERT_EQ(scene->objectCount(), 2u);
    EXPECT_EQ(scene->object(1)->number(), 2);
}

TEST(DefaultSceneBuilder, TakenSceneStaysHeldForWalking) {
    DefaultSceneBuilder builder;
    Scene* held = builder.scene();
    std::unique_ptr<Scene> taken = builder.takeScene();
    EXPECT_EQ(taken.get(), held);
    EXPECT_EQ(builder.scene(), held);
    EXPECT_EQ(builder.takeScene(), nullptr);
    SceneOnlyVisitor visitor;
    builder.writeScene(visitor);
    EXPECT_EQ(visitor.visited, held);
}

TEST(DefaultSceneBuilder, ResetForgetsTheSceneAndLaterPartsAreDropped) {
    DefaultSceneBuilder builder;
    std::unique_ptr<Scene> taken = builder.takeScene();
    builder.reset();
    EXPECT_EQ(builder.scene(), nullptr);
    fill(builder);
    builder.setAmbient(0.7);
    EXPECT_EQ(taken->camera(), nullptr);
    EXPECT_EQ(taken->ambient(), 0.0);
    RecordingVisitor visitor;
    builder.writeScene(visitor);
    EXPECT_EQ(visitor.seen, "");
}

}  // namespace
}  // namespace kel::test
