#include "render/geometry_stages.h"

#include <cmath>

#include "model/camera.h"
#include "model/matrix.h"

namespace kel {

void ResetVisibilityStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    PolygonCursor cursor = beginPolygons(scene);
    while (cursor.hasMore()) {
        Polygon* polygon = nextPolygon(cursor);
        polygon->setVisible(true);
        polygon->clearClipped();
    }
}

void ModelTransformStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    VertexCursor cursor = beginVertices(scene);
    while (cursor.hasMore()) {
        Vertex* vertex = nextVertex(cursor);
        const SceneObject* object = currentObject(cursor);
        vertex->setWorldPosition(vertex->modelPosition() * object->modelingTransform());
    }
}

void NormalStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    PolygonCursor faces = beginPolygons(scene);
    while (faces.hasMore()) {
        nextPolygon(faces)->computeNormal();
    }
    // Every polygon's computeVertexNormals would average each shared vertex once per
    // polygon using it, with the same result each time; averaging every vertex once gives
    // the same normals. A vertex that no polygon uses keeps its normal either way.
    VertexCursor vertices = beginVertices(scene);
    while (vertices.hasMore()) {
        nextVertex(vertices)->computeNormal();
    }
}

bool CullStage::facesEye(const Polygon& polygon, const Vector& eye) {
    const Vector toEye = eye - polygon.vertexAt(0)->worldPosition();
    const double d = polygon.normal().dot(toEye);
    return std::fabs(d) >= 1e-6 && d > 0.0;
}

void CullStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    const Camera* camera = scene.camera();
    if (camera == nullptr) {
        return;
    }
    PolygonCursor cursor = beginPolygons(scene);
    while (cursor.hasMore()) {
        Polygon* polygon = nextPolygon(cursor);
        polygon->setVisible(facesEye(*polygon, camera->from()));
    }
}

void OptionalCullStage::run(DrawingSurface& surface, Scene& scene) {
    if (scene.cullBackFaces()) {
        CullStage::run(surface, scene);
    }
}

void ViewProjectionStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    const Camera* camera = scene.camera();
    const Frustum* frustum = scene.frustum();
    if (camera == nullptr || frustum == nullptr) {
        return;
    }
    Matrix m = camera->viewTransform();
    m *= frustum->perspectiveTransform();
    VertexCursor cursor = beginVertices(scene);
    while (cursor.hasMore()) {
        Vertex* vertex = nextVertex(cursor);
        const Vector& world = vertex->worldPosition();
        const Vector homogeneous(world.at(0), world.at(1), world.at(2), 1.0);
        vertex->setClipPosition(homogeneous * m);
    }
}

}  // namespace kel
