#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "files/kel_doc.h"
#include "model/device_mapping.h"
#include "model/scene_setup.h"
#include "platform/user_messages.h"
#include "render/clip_stage.h"
#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "render/scanline_renderer.h"

namespace kel::test {

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

inline void clip(Scene& scene) {
    ImageSurface surface(1, 1);
    ClipStage().run(surface, scene);
}

// Polygons given by their device points, drawn straight into a 300 x 300 client area
// (viewport 280 x 280). Clip positions are inside the volume so every polygon is drawable;
// world positions are the model positions given (all at the origin when none are).
struct DevicePolygon {
    std::vector<DevicePoint> corners;
    Color color;
    std::vector<Vector> world = {};
    std::function<void(SceneObject&)> setup = {};  // surface values, before the stages
};

template <class Renderer = GouraudRenderer>
std::unique_ptr<ScanlineRenderer> drawDevice(Scene& scene,
                                             const std::vector<DevicePolygon>& polygons) {
    ImageSurface surface(300, 300);
    scene.deviceMapping()->fit(surface.clientRect(), 10);
    std::vector<std::pair<SceneObject*, const DevicePolygon*>> made;
    for (const DevicePolygon& p : polygons) {
        SceneObject& object = addObject(
            scene, p.world.empty() ? std::vector<Vector>(p.corners.size()) : p.world, p.color);
        if (p.setup) {
            p.setup(object);
        }
        std::vector<std::size_t> corners(p.corners.size());
        std::iota(corners.begin(), corners.end(), std::size_t{0});
        addPolygon(object, corners);
        made.emplace_back(&object, &p);
    }
    ModelTransformStage().run(surface, scene);
    NormalStage().run(surface, scene);
    for (const auto& [object, p] : made) {
        for (std::size_t i = 0; i < p->corners.size(); ++i) {
            object->vertexAt(i)->setClipPosition(Vector(0, 0, 0.5, 1));
            object->vertexAt(i)->setDevicePoint(p->corners[i]);
        }
    }
    auto renderer = std::make_unique<Renderer>();
    renderer->draw(surface, scene);
    return renderer;
}

// Every message fails the test: the files opened here must open cleanly.
struct NoMessages : UserMessages {
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

}  // namespace kel::test
