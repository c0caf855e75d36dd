#include "model/scene_settings.h"

#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel {

SceneSettings captureSettings(const Scene& scene) {
    SceneSettings settings;
    if (const Camera* camera = scene.camera()) {
        settings.camera = poseOf(*camera);
    }
    if (const Frustum* frustum = scene.frustum()) {
        settings.frustum = {frustum->nearPlane(), frustum->farPlane(), frustum->height()};
    }
    if (const Light* light = scene.light()) {
        settings.light = {light->intensity(), light->direction(), light->color().value()};
    }
    settings.ambient = scene.ambient();
    settings.objects.reserve(scene.objectCount());
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        const SceneObject& object = *scene.object(i);
        settings.objects.push_back({object.rotation(), object.scaling(), object.translation(),
                                    object.color().value(), object.diffuse(), object.specular(),
                                    object.shininess()});
    }
    return settings;
}

namespace {

bool sameShape(const Scene& scene, const SceneSettings& settings) {
    return settings.objects.size() == scene.objectCount() &&
           settings.camera.has_value() == (scene.camera() != nullptr) &&
           settings.frustum.has_value() == (scene.frustum() != nullptr) &&
           settings.light.has_value() == (scene.light() != nullptr);
}

Color colorOf(std::uint32_t packed) {
    return Color(packed & 0xFFu, (packed >> 8) & 0xFFu, (packed >> 16) & 0xFFu);
}

}  // namespace

bool restoreSettings(Scene& scene, const SceneSettings& settings) {
    if (!sameShape(scene, settings)) {
        return false;
    }
    if (settings.camera) {
        applyPose(*scene.camera(), *settings.camera);
    }
    if (settings.frustum) {
        const auto& f = *settings.frustum;
        scene.frustum()->set(f.nearPlane, f.farPlane, f.height);
    }
    if (settings.light) {
        Light& light = *scene.light();
        light.setIntensity(settings.light->intensity);
        light.restoreDirection(settings.light->direction);
        light.setColor(colorOf(settings.light->color));
    }
    scene.setAmbient(settings.ambient);
    for (std::size_t i = 0; i < settings.objects.size(); ++i) {
        const SceneSettings::ObjectValues& values = settings.objects[i];
        SceneObject& object = *scene.object(i);
        object.setRotation(values.rotation);
        object.setScaling(values.scaling);
        object.setTranslation(values.translation);
        object.setColor(colorOf(values.color));
        object.setDiffuse(values.diffuse);
        object.setSpecular(values.specular);
        object.setShininess(values.shininess);
        object.computeModelingTransform();
    }
    return true;
}

}  // namespace kel
