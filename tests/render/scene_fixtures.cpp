#include "scene_fixtures.h"

#include <string>

namespace kel::test {

std::unique_ptr<Scene> makeScene() {
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

SceneObject& addObject(Scene& scene, const std::vector<Vector>& positions, Color color) {
    auto object = std::make_unique<SceneObject>(static_cast<int>(scene.objectCount()) + 1);
    object->setScaling(Vector(1.0, 1.0, 1.0));
    object->computeModelingTransform();
    object->setColor(color);
    object->setDiffuse(1.0);
    object->setSpecular(0.0);
    object->setShininess(1);
    int id = 0;
    for (const Vector& p : positions) {
        auto vertex = std::make_unique<Vertex>();
        vertex->setId(id++);
        vertex->setModelPosition(p);
        object->addVertex(std::move(vertex));
    }
    SceneObject& result = *object;
    scene.addObject(std::move(object));
    return result;
}

Polygon& appendPolygon(SceneObject& object, const std::vector<std::size_t>& corners) {
    auto polygon = std::make_unique<Polygon>();
    for (std::size_t i = 0; i < corners.size(); ++i) {
        Vertex* vertex = object.vertexAt(corners[i]);
        polygon->setVertexAt(i, vertex);
        vertex->addPolygon(polygon.get());
    }
    polygon->setVertexCount(corners.size());
    Polygon& result = *polygon;
    object.surfaces().back()->addPolygon(std::move(polygon));
    return result;
}

Polygon& addPolygon(SceneObject& object, const std::vector<std::size_t>& corners) {
    object.addSurface(std::make_unique<Surface>());
    return appendPolygon(object, corners);
}

Polygon& addPolygon(SceneObject& object, std::initializer_list<std::size_t> corners) {
    return addPolygon(object, std::vector<std::size_t>(corners));
}

void RecordingSurface::setPixel(int /*x*/, int /*y*/, std::uint32_t /*color*/) {
    ++pixelsSet;
}

void RecordingSurface::setPixelRow(int /*x*/, int /*y*/, const std::uint32_t* /*colors*/,
                                   int count) {
    ++rowCalls;
    pixelsSet += count;
}

void RecordingSurface::moveTo(int x, int y) {
    lines.push_back("move " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingSurface::lineTo(int x, int y) {
    lines.push_back("line " + std::to_string(x) + " " + std::to_string(y));
}

}  // namespace kel::test
