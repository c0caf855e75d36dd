#pragma once

#include <memory>

#include "model/scene.h"

namespace kel {

class Visitor;

// Through a builder a reader hands finished parts to the scene they belong to, and the
// document lets a visitor walk the scene it holds. The builder refers to that scene; it
// need not own it.
class SceneBuilder {
public:
    virtual ~SceneBuilder() = default;
    SceneBuilder(const SceneBuilder&) = delete;
    SceneBuilder& operator=(const SceneBuilder&) = delete;

    // The scene being assembled or walked; null once forgotten.
    Scene* scene() const { return scene_; }

    // Camera, frustum and light accept the visitor, then the scene itself: the order of
    // the scene file. Parts the scene lacks are skipped.
    virtual void writeScene(Visitor& visitor) = 0;
    // Forgets the held scene.
    virtual void reset() = 0;
    // Hand a part to the held scene, which keeps it; without a scene they do nothing.
    virtual void setCamera(std::unique_ptr<Camera> camera) = 0;
    virtual void setLight(std::unique_ptr<Light> light) = 0;
    virtual void setAmbient(double ambient) = 0;
    virtual void setFrustum(std::unique_ptr<Frustum> frustum) = 0;
    virtual void addObject(std::unique_ptr<SceneObject> object) = 0;
    // Keeps the record of an object that could not be read in the held scene, for saving
    // it back.
    virtual void keepLeftOutObject(std::unique_ptr<SceneObject> record) {
        if (scene_ != nullptr) {
            scene_->addLeftOutObject(std::move(record));
        }
    }

protected:
    SceneBuilder() = default;
    void holdScene(Scene* scene) { scene_ = scene; }

private:
    Scene* scene_ = nullptr;
};

// Starts with a new, empty scene that it owns until someone takes it. Once taken the
// builder still refers to the scene, so the new owner can have it walked for saving.
class DefaultSceneBuilder : public SceneBuilder {
public:
    DefaultSceneBuilder();

    // Ownership of the built scene; null if it was taken before or forgotten.
    std::unique_ptr<Scene> takeScene() { return std::move(ownedScene_); }

    void writeScene(Visitor& visitor) override;
    // A scene not yet taken has no other owner and is destroyed with the reference.
    void reset() override;
    void setCamera(std::unique_ptr<Camera> camera) override;
    void setLight(std::unique_ptr<Light> light) override;
    void setAmbient(double ambient) override;
    void setFrustum(std::unique_ptr<Frustum> frustum) override;
    void addObject(std::unique_ptr<SceneObject> object) override;

private:
    std::unique_ptr<Scene> ownedScene_;
};

}  // namespace kel
