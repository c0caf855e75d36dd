#pragma once

#include <memory>

#include "model/scene.h"

namespace kel::test {

// Eye (0, 0, -10) looking at the origin, up +y (world +x shows on the left); frustum
// near 1, far 100, height 1; white light of intensity 1 towards the camera; ambient 0.
inline std::unique_ptr<Scene> makeScene() {
    auto scene = std::make_unique<Scene>();
    auto camera = std::make_unique<Camera>();
    camera->set(Vector(0.0, 0.0, -10.0), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 0.0));
    scene->setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(1.0, 100.0, 1.0);
    scene->setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setIntensity(1.0);
    light->setDirection(Vector(0.0, 0.0, -1.0));
    scene->setLight(std::move(light));
    return scene;
}

}  // namespace kel::test
