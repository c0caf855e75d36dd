#include "files/mesh/fitted_scene.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "files/scene_builder.h"
#include "model/camera.h"
#include "model/color.h"
#include "model/light.h"
#include "model/scene_object.h"

namespace kel {

namespace {

constexpr double kFill = 0.9;  // of the viewport the bounding sphere fills

// The centre of the bounding box; halves first so that huge coordinates cannot overflow.
Vector boxCentre(const SceneObject& object) {
    Vector low = object.vertexAt(0)->modelPosition();
    Vector high = low;
    auto vertex = object.verticesFrom(1);
    for (std::size_t i = 1; i < object.vertexCount(); ++i, ++vertex) {
        const Vector p = vertex->modelPosition();
        for (std::size_t k = 0; k < 3; ++k) {
            low.at(k) = std::min(low.at(k), p.at(k));
            high.at(k) = std::max(high.at(k), p.at(k));
        }
    }
    return Vector(low.x() / 2 + high.x() / 2, low.y() / 2 + high.y() / 2,
                  low.z() / 2 + high.z() / 2);
}

}  // namespace

void setFittedMaterial(SceneObject& object) {
    object.setRotation(Vector(0.0, 0.0, 0.0));
    object.setScaling(Vector(1.0, 1.0, 1.0));
    object.setTranslation(Vector(0.0, 0.0, 0.0));
    object.computeModelingTransform();
    Color grey;
    grey.set(200, 200, 200);
    object.setColor(grey);
    object.setDiffuse(0.8);
    object.setSpecular(0.3);
    object.setShininess(30);
}

bool fitSceneToObject(const SceneObject& object, SceneBuilder& builder, std::string& problem) {
    if (object.vertexCount() == 0) {
        problem = "it has no vertices";
        return false;
    }
    const Vector c = boxCentre(object);
    // The largest squared distance, then its root: the root is monotonic, so this is the
    // largest distance to the bit, with one root instead of one per vertex.
    double squared = 0.0;
    auto vertex = object.verticesFrom(0);
    for (std::size_t i = 0; i < object.vertexCount(); ++i, ++vertex) {
        const Vector d = vertex->modelPosition() - c;
        squared = std::max(squared, ((0.0 + d.x() * d.x()) + d.y() * d.y()) + d.z() * d.z());
    }
    double r = std::sqrt(squared);
    if (r == 0.0) {
        r = 1.0;  // every vertex in one point: any view shows it
    }
    Vector direction(1.0, 1.0, 4.0);
    direction.normalize();
    const Vector from = c + direction * (3.0 * r);
    const double nearPlane = 1.9 * r;
    const double farPlane = 4.1 * r;
    const double height = nearPlane * std::tan(std::asin(1.0 / 3.0)) / kFill;
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(from.z()) ||
        !std::isfinite(farPlane) || !std::isfinite(height)) {
        problem = "its coordinates are too large to be viewed";
        return false;
    }

    auto camera = std::make_unique<Camera>();
    camera->set(from, c, Vector(0.0, 1.0, 0.0));
    builder.setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(nearPlane, farPlane, height);
    builder.setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setIntensity(1.0);
    Color white;
    white.set(255, 255, 255);
    light->setColor(white);
    light->setDirection(Vector(-1.0, 2.0, 4.0));  // kept as a unit vector by the light
    builder.setLight(std::move(light));
    builder.setAmbient(0.2);
    return true;
}

}  // namespace kel
