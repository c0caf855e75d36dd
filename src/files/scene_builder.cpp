#include "files/scene_builder.h"

#include "model/visitor.h"

namespace kel {

DefaultSceneBuilder::DefaultSceneBuilder() : ownedScene_(std::make_unique<Scene>()) {
    holdScene(ownedScene_.get());
}

void DefaultSceneBuilder::writeScene(Visitor& visitor) {
    Scene* held = scene();
    if (held == nullptr) {
        return;
    }
    if (held->camera() != nullptr) {
        held->camera()->accept(visitor);
    }
    if (held->frustum() != nullptr) {
        held->frustum()->accept(visitor);
    }
    if (held->light() != nullptr) {
        held->light()->accept(visitor);
    }
    held->accept(visitor);
}

void DefaultSceneBuilder::reset() {
    holdScene(nullptr);
    ownedScene_.reset();
}

void DefaultSceneBuilder::setCamera(std::unique_ptr<Camera> camera) {
    if (scene() != nullptr) {
        scene()->setCamera(std::move(camera));
    }
}

void DefaultSceneBuilder::setLight(std::unique_ptr<Light> light) {
    if (scene() != nullptr) {
        scene()->setLight(std::move(light));
    }
}

void DefaultSceneBuilder::setAmbient(double ambient) {
    if (scene() != nullptr) {
        scene()->setAmbient(ambient);
    }
}

void DefaultSceneBuilder::setFrustum(std::unique_ptr<Frustum> frustum) {
    if (scene() != nullptr) {
        scene()->setFrustum(std::move(frustum));
    }
}

void DefaultSceneBuilder::addObject(std::unique_ptr<SceneObject> object) {
    if (scene() != nullptr) {
        scene()->addObject(std::move(object));
    }
}

void DefaultSceneBuilder::keepLeftOutObject(std::unique_ptr<SceneObject> record) {
    if (scene() != nullptr) {
        scene()->addLeftOutObject(std::move(record));
    }
}

}  // namespace kel
