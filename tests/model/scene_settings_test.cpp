#include "model/scene_settings.h"

#include <gtest/gtest.h>

#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel {
namespace {

std::unique_ptr<Scene> makeScene(std::size_t objects) {
    auto scene = std::make_unique<Scene>();
    auto camera = std::make_unique<Camera>();
    camera->set(Vector(1, 2, -10), Vector(0, 0.5, 0), Vector(0.1, 1, 0));
    scene->setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(1.0, 50.0, 0.7);
    scene->setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setIntensity(0.8);
    light->setDirection(Vector(1, 3, -7));
    light->setColor(Color(250, 240, 230));
    scene->setLight(std::move(light));
    scene->setAmbient(0.3);
    for (std::size_t i = 0; i < objects; ++i) {
        auto object = std::make_unique<SceneObject>(static_cast<int>(i) + 1);
        object->setScaling(Vector(1, 2, 3));
        object->setRotation(Vector(10, 20, 30));
        object->setTranslation(Vector(-1, 0, 1));
        object->setColor(Color(9, 99, 199));
        object->setDiffuse(0.6);
        object->setSpecular(0.2);
        object->setShininess(12);
        object->computeModelingTransform();
        scene->addObject(std::move(object));
    }
    return scene;
}

void changeEverything(Scene& scene) {
    scene.camera()->set(Vector(5, 5, 5), Vector(1, 1, 1), Vector(0, 0, 1));
    scene.frustum()->set(2.0, 9.0, 3.0);
    scene.light()->setIntensity(0.1);
    scene.light()->setDirection(Vector(0.3, -0.2, 0.9));
    scene.light()->setColor(Color(1, 2, 3));
    scene.setAmbient(0.9);
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        SceneObject& object = *scene.object(i);
        object.setScaling(Vector(4, 4, 4));
        object.setRotation(Vector(0, 90, 0));
        object.setTranslation(Vector(7, 7, 7));
        object.setColor(Color(0, 0, 0));
        object.setDiffuse(0.0);
        object.setSpecular(1.0);
        object.setShininess(300);
        object.computeModelingTransform();
    }
}

bool sameMatrix(const Matrix& a, const Matrix& b) {
    for (std::size_t r = 0; r < 4; ++r) {
        if (!(a.row(r) == b.row(r))) {
            return false;
        }
    }
    return true;
}

TEST(SceneSettings, RestoreGivesBackEveryValueAndTransformExactly) {
    const auto scene = makeScene(2);
    const auto reference = makeScene(2);
    const SceneSettings before = captureSettings(*scene);
    changeEverything(*scene);
    EXPECT_FALSE(captureSettings(*scene) == before);
    ASSERT_TRUE(restoreSettings(*scene, before));
    EXPECT_TRUE(captureSettings(*scene) == before);
    EXPECT_TRUE(sameMatrix(scene->camera()->viewTransform(), reference->camera()->viewTransform()));
    EXPECT_TRUE(sameMatrix(scene->frustum()->perspectiveTransform(),
                           reference->frustum()->perspectiveTransform()));
    EXPECT_TRUE(scene->light()->direction() == reference->light()->direction());
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(sameMatrix(scene->object(i)->modelingTransform(),
                               reference->object(i)->modelingTransform()));
    }
}

TEST(SceneSettings, SettingsOfAnotherSceneShapeChangeNothing) {
    const auto scene = makeScene(2);
    const SceneSettings original = captureSettings(*scene);
    SceneSettings fewer = captureSettings(*makeScene(1));
    fewer.ambient = 0.0;
    EXPECT_FALSE(restoreSettings(*scene, fewer));
    SceneSettings noCamera = original;
    noCamera.camera.reset();
    noCamera.ambient = 0.0;
    EXPECT_FALSE(restoreSettings(*scene, noCamera));
    Scene empty;
    EXPECT_FALSE(restoreSettings(empty, original));
    EXPECT_TRUE(captureSettings(*scene) == original);
    // An empty scene's own settings go back onto it.
    EXPECT_TRUE(restoreSettings(empty, captureSettings(empty)));
}

}  // namespace
}  // namespace kel
