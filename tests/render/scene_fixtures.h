#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "platform/user_messages.h"
#include "render/render_mode.h"

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

// An object with identity transform and the given model positions.
inline SceneObject& addObject(Scene& scene, const std::vector<Vector>& positions,
                              Color color = Color(200, 100, 50)) {
    auto object = std::make_unique<SceneObject>(static_cast<int>(scene.objectCount()) + 1);
    object->setScaling(Vector(1.0, 1.0, 1.0));
    object->computeModelingTransform();
    object->setColor(color);
    object->setDiffuse(1.0);
    for (const Vector& p : positions) {
        object->addVertex().setModelPosition(p);
    }
    SceneObject& result = *object;
    scene.addObject(std::move(object));
    return result;
}

// A polygon over the given corners, in a new surface or appended to the last one.
inline Polygon& addPolygon(SceneObject& object, const std::vector<std::size_t>& corners,
                           bool newSurface = true) {
    if (newSurface) {
        object.addSurface(std::make_unique<Surface>());
    }
    Polygon& polygon = object.surfaces().back()->addPolygon();
    for (std::size_t i = 0; i < corners.size(); ++i) {
        polygon.setVertexAt(i, object.vertexAt(corners[i]));
        object.vertexAt(corners[i])->addPolygon(&polygon);
    }
    polygon.setVertexCount(corners.size());
    return polygon;
}

// Every message fails the test: the files opened here must open cleanly.
class NoMessages : public UserMessages {
public:
    void showError(const std::string& text) override { ADD_FAILURE() << text; }
    bool askYesNo(const std::string& text) override {
        ADD_FAILURE() << text;
        return false;
    }
};

// A file opened as the viewer opens it (a bare name is an example scene), in the fresh
// view state of the mode; the working directory, which opening changes, is given back.
struct OpenedScene {
    OpenedScene(const std::string& name, RenderMode mode) {
        // Appended piece by piece: GCC 12 takes a chain of + for an overflow here.
        std::string path = name;
        if (name.find('/') == std::string::npos) {
            path = KEL_EXAMPLES_DIR;
            path += '/';
            path += name;
            if (name.find('.') == std::string::npos) {
                path += ".kel";
            }
        }
        const std::filesystem::path cwd = std::filesystem::current_path();
        opened = document.onOpenDocument(path) && document.scene() != nullptr;
        std::filesystem::current_path(cwd);
        EXPECT_TRUE(opened) << path;
        if (opened) {
            applyViewState(*document.scene(), mode, false);
        }
    }
    Scene& scene() { return *document.scene(); }

    NoMessages messages;
    CKelDoc document{messages};
    bool opened = false;
};

// A polygon of a new object whose corners get the given clip positions directly.
inline Polygon& polygonWithClips(Scene& scene, const std::vector<Vector>& clips) {
    SceneObject& object = addObject(scene, std::vector<Vector>(clips.size(), Vector()));
    std::vector<std::size_t> corners;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        object.vertexAt(i)->setClipPosition(clips[i]);
        corners.push_back(i);
    }
    return addPolygon(object, corners);
}

}  // namespace kel::test
