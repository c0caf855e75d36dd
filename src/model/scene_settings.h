#pragma once

#include <optional>
#include <vector>

#include "model/camera_moves.h"
#include "model/color.h"
#include "model/vector.h"

namespace kel {

class Scene;

// Everything an editor can change in a scene: the camera, frustum, light and ambient level
// and each object's transforms and material. Geometry is not part of it (no editor changes
// it). Taken before and after an edit, two of these make the edit undoable.
struct SceneSettings {
    struct FrustumValues {
        double nearPlane = 0.0;
        double farPlane = 0.0;
        double height = 0.0;
        friend bool operator==(const FrustumValues&, const FrustumValues&) = default;
    };
    struct LightValues {
        double intensity = 0.0;
        Vector direction;
        std::uint32_t color = 0;
        friend bool operator==(const LightValues&, const LightValues&) = default;
    };
    struct ObjectValues {
        Vector rotation;
        Vector scaling;
        Vector translation;
        std::uint32_t color = 0;
        double diffuse = 0.0;
        double specular = 0.0;
        int shininess = 0;
        friend bool operator==(const ObjectValues&, const ObjectValues&) = default;
    };

    std::optional<CameraPose> camera;
    std::optional<FrustumValues> frustum;
    std::optional<LightValues> light;
    double ambient = 0.0;
    std::vector<ObjectValues> objects;

    friend bool operator==(const SceneSettings&, const SceneSettings&) = default;
};

SceneSettings captureSettings(const Scene& scene);

// Puts the settings back, recomputing the camera's, frustum's and objects' transforms.
// False, changing nothing, when they were taken from a scene of another shape (other
// object count, or a camera, frustum or light the scene does not have).
bool restoreSettings(Scene& scene, const SceneSettings& settings);

}  // namespace kel
