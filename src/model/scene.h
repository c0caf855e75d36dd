#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/camera.h"
#include "model/device_mapping.h"
#include "model/light.h"
#include "model/scene_object.h"

namespace kel {

class Visitor;

// Everything one document shows: camera, frustum, light, ambient level, the device
// mapping of the pipeline, the two render flags and the objects, all owned.
class Scene {
public:
    Scene() : deviceMapping_(std::make_unique<DeviceMapping>()) {}
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    Camera* camera() const { return camera_.get(); }
    void setCamera(std::unique_ptr<Camera> camera) { camera_ = std::move(camera); }
    Frustum* frustum() const { return frustum_.get(); }
    void setFrustum(std::unique_ptr<Frustum> frustum) { frustum_ = std::move(frustum); }
    Light* light() const { return light_.get(); }
    void setLight(std::unique_ptr<Light> light) { light_ = std::move(light); }
    double ambient() const { return ambient_; }
    void setAmbient(double ambient) { ambient_ = ambient; }
    DeviceMapping* deviceMapping() const { return deviceMapping_.get(); }
    void setDeviceMapping(std::unique_ptr<DeviceMapping> mapping) {
        deviceMapping_ = std::move(mapping);
    }

    void addObject(std::unique_ptr<SceneObject> object) { objects_.push_back(std::move(object)); }
    std::size_t objectCount() const { return objects_.size(); }
    SceneObject* object(std::size_t i) const { return objects_[i].get(); }

    // A record whose object could not be read (its file missing, unreadable or malformed),
    // with the number of objects that came before it. It is neither rendered nor listed;
    // it is kept so that a save writes it back in its place, and an object file that was
    // away for a moment is not lost from the scene.
    struct LeftOutObject {
        std::size_t position = 0;
        std::unique_ptr<SceneObject> record;
    };
    void addLeftOutObject(std::unique_ptr<SceneObject> record) {
        leftOut_.push_back({objects_.size(), std::move(record)});
    }
    const std::vector<LeftOutObject>& leftOutObjects() const { return leftOut_; }

    bool cullBackFaces() const { return cullBackFaces_ != 0; }
    void setCullBackFaces(bool cull) { cullBackFaces_ = cull ? 1 : 0; }
    bool resetVisibility() const { return resetVisibility_ != 0; }
    void setResetVisibility(bool reset) { resetVisibility_ = reset ? 1 : 0; }

    void accept(Visitor& visitor);

private:
    // Destroyed in reverse: objects first, then mapping, light, frustum, camera.
    std::unique_ptr<Camera> camera_;
    std::unique_ptr<Light> light_;
    std::unique_ptr<Frustum> frustum_;
    std::unique_ptr<DeviceMapping> deviceMapping_;
    std::vector<std::unique_ptr<SceneObject>> objects_;
    std::vector<LeftOutObject> leftOut_;
    double ambient_ = 0.0;
    int resetVisibility_ = 0;
    int cullBackFaces_ = 0;
};

}  // namespace kel
