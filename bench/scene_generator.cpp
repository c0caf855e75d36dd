#include "scene_generator.h"

#include <cmath>
#include <initializer_list>
#include <numbers>

#include "model/camera.h"
#include "model/light.h"

namespace kel::bench {

namespace {

std::unique_ptr<SceneObject> makeTorus(int rings, int segments, bool triangles) {
    constexpr double kMajor = 1.0;
    constexpr double kMinor = 0.4;
    auto torus = std::make_unique<SceneObject>(1);
    torus->setName("torus");
    torus->setRotation(Vector(0.0, 0.0, 0.0));
    torus->setScaling(Vector(1.0, 1.0, 1.0));
    torus->setTranslation(Vector(0.0, 0.0, 0.0));
    torus->computeModelingTransform();
    torus->setColor(Color(200, 80, 60));
    torus->setDiffuse(0.8);
    torus->setSpecular(0.5);
    torus->setShininess(30);

    // Ring i goes around the main axis (u), segment j around the tube (v).
    for (int i = 0; i < rings; ++i) {
        const double u = 2.0 * std::numbers::pi * i / rings;
        for (int j = 0; j < segments; ++j) {
            const double v = 2.0 * std::numbers::pi * j / segments;
            const double radius = kMajor + kMinor * std::cos(v);
            Vertex& vertex = torus->addVertex();
            vertex.setId(i * segments + j);
            vertex.setModelPosition(
                Vector(radius * std::cos(u), kMinor * std::sin(v), radius * std::sin(u)));
        }
    }
    auto surface = std::make_unique<Surface>();
    const auto at = [&](int i, int j) {
        return torus->vertexAt(static_cast<std::size_t>((i % rings) * segments + (j % segments)));
    };
    for (int i = 0; i < rings; ++i) {
        for (int j = 0; j < segments; ++j) {
            // Along the tube first, then along the ring: the normal points outward.
            Vertex* quad[4] = {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i + 1, j)};
            const auto add = [&surface](std::initializer_list<Vertex*> corners) {
                Polygon& polygon = surface->addPolygon();
                std::size_t k = 0;
                for (Vertex* corner : corners) {
                    polygon.setVertexAt(k++, corner);
                    corner->addPolygon(&polygon);
                }
                polygon.setVertexCount(k);
            };
            if (triangles) {
                add({quad[0], quad[1], quad[2]});
                add({quad[0], quad[2], quad[3]});
            } else {
                add({quad[0], quad[1], quad[2], quad[3]});
            }
        }
    }
    torus->addSurface(std::move(surface));
    return torus;
}

}  // namespace

std::unique_ptr<Scene> makeTorusScene(int rings, int segments, bool triangles) {
    auto scene = std::make_unique<Scene>();
    auto camera = std::make_unique<Camera>();
    camera->set(Vector(0.0, 2.5, -2.5), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 0.0));
    scene->setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(1.0, 10.0, 0.42);
    scene->setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setIntensity(0.9);
    light->setColor(Color(255, 255, 255));
    light->setDirection(Vector(0.4, 1.0, -0.8));
    scene->setLight(std::move(light));
    scene->setAmbient(0.2);
    scene->addObject(makeTorus(rings, segments, triangles));
    return scene;
}

}  // namespace kel::bench
