#include "tree_test_scenes.h"

#include <vector>

namespace kel::testing {

Polygon& addPolygon(Surface& surface, std::initializer_list<Vertex*> corners) {
    auto polygon = std::make_unique<Polygon>();
    std::size_t i = 0;
    for (Vertex* corner : corners) {
        polygon->setVertexAt(i++, corner);
        corner->addPolygon(polygon.get());
    }
    polygon->setVertexCount(i);
    Polygon& result = *polygon;
    surface.addPolygon(std::move(polygon));
    return result;
}

namespace {

Vertex* addVertex(SceneObject& object, int id, double x, double y, double z) {
    auto vertex = std::make_unique<Vertex>();
    vertex->setId(id);
    vertex->setModelPosition(Vector(x, y, z));
    Vertex* result = vertex.get();
    object.addVertex(std::move(vertex));
    return result;
}

}  // namespace

std::unique_ptr<Scene> makeTwoObjectScene() {
    auto scene = std::make_unique<Scene>();
    auto camera = std::make_unique<Camera>();
    camera->set(Vector(0.0, 0.0, 0.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0));
    scene->setCamera(std::move(camera));
    auto frustum = std::make_unique<Frustum>();
    frustum->set(1.0, 11.0, 1.0);
    scene->setFrustum(std::move(frustum));
    auto light = std::make_unique<Light>();
    light->setDirection(Vector(0.0, 0.0, -2.0));
    light->setIntensity(0.8);
    light->setColor(Color(255, 0, 7));
    scene->setLight(std::move(light));
    scene->setAmbient(0.25);

    auto chair = std::make_unique<SceneObject>(1);
    chair->setName("chair.obj");
    chair->setRotation(Vector(0.0, 0.0, 0.0));
    chair->setScaling(Vector(2.0, 2.0, 2.0));
    chair->setTranslation(Vector(1.0, 0.0, 0.0));
    chair->setColor(Color(10, 20, 30));
    chair->setDiffuse(0.5);
    chair->setSpecular(0.25);
    chair->setShininess(12);
    chair->computeModelingTransform();
    Vertex* v4 = addVertex(*chair, 4, 1.5, -2.0, 0.125);
    Vertex* v7 = addVertex(*chair, 7, 0.0, 1.0, 0.0);
    Vertex* v9 = addVertex(*chair, 9, -1.0, 0.0, 0.0);
    Vertex* v11 = addVertex(*chair, 11, 0.0, -1.0, 0.0);
    auto first = std::make_unique<Surface>();
    addPolygon(*first, {v4, v7, v9});
    auto second = std::make_unique<Surface>();
    addPolygon(*second, {v4, v9, v11});
    chair->addSurface(std::move(first));
    chair->addSurface(std::move(second));
    scene->addObject(std::move(chair));

    auto table = std::make_unique<SceneObject>(2);
    table->setName("table.obj");
    scene->addObject(std::move(table));
    return scene;
}

std::unique_ptr<SceneObject> makeQuadGrid(const std::string& name, int quadsPerSide) {
    auto object = std::make_unique<SceneObject>(1);
    object->setName(name);
    object->setRotation(Vector(0.0, 0.0, 0.0));
    object->setScaling(Vector(1.0, 1.0, 1.0));
    object->setTranslation(Vector(0.0, 0.0, 0.0));
    object->computeModelingTransform();
    const int side = quadsPerSide + 1;
    std::vector<Vertex*> grid;
    grid.reserve(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            auto vertex = std::make_unique<Vertex>();
            vertex->setId(row * side + column);
            vertex->setModelPosition(Vector(column * 0.01, row * 0.01, 0.0));
            grid.push_back(vertex.get());
            object->addVertex(std::move(vertex));
        }
    }
    auto surface = std::make_unique<Surface>();
    const auto at = [&](int row, int column) {
        return grid[static_cast<std::size_t>(row * side + column)];
    };
    for (int row = 0; row < quadsPerSide; ++row) {
        for (int column = 0; column < quadsPerSide; ++column) {
            addPolygon(*surface, {at(row, column), at(row, column + 1), at(row + 1, column + 1),
                                  at(row + 1, column)});
        }
    }
    object->addSurface(std::move(surface));
    return object;
}

}  // namespace kel::testing
