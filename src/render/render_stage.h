#pragma once

#include <cstddef>

#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "model/vertex.h"
#include "platform/drawing_surface.h"

namespace kel {

// Walks every vertex of a scene: objects in index order, vertices in index order.
// Objects without vertices are skipped.
class VertexCursor {
public:
    VertexCursor() = default;
    explicit VertexCursor(const Scene& scene);

    bool hasMore() const { return objectIndex_ < objectCount_ && vertexIndex_ < vertexCount_; }
    // The next vertex, or nullptr at the end.
    Vertex* next();
    // The object of the vertex last returned by next(), or nullptr before the first.
    SceneObject* currentObject() const { return current_; }

private:
    // Moves past used-up and empty objects so that the cursor names a vertex or the end.
    void settle();

    std::size_t objectIndex_ = 0;
    std::size_t objectCount_ = 0;
    std::size_t vertexIndex_ = 0;
    std::size_t vertexCount_ = 0;
    const Scene* scene_ = nullptr;
    SceneObject* current_ = nullptr;
};

// Walks every polygon of a scene: objects in index order, surfaces in list order,
// polygons in list order. Objects without surfaces, surfaces without polygons and
// polygons without corners are skipped.
class PolygonCursor {
public:
    PolygonCursor() = default;
    explicit PolygonCursor(const Scene& scene);

    bool hasMore() const { return objectIndex_ < objectCount_; }
    // The next polygon, or nullptr at the end.
    Polygon* next();
    // The object of the polygon last returned by next(), or nullptr before the first.
    SceneObject* currentObject() const { return current_; }

private:
    void settle();

    std::size_t objectIndex_ = 0;
    std::size_t objectCount_ = 0;
    std::size_t surfaceIndex_ = 0;
    std::size_t polygonIndex_ = 0;
    const Scene* scene_ = nullptr;
    SceneObject* current_ = nullptr;
    // The polygon list of the current surface, while the cursor is inside one.
    const PolygonList* polygons_ = nullptr;
};

// One step of the rendering pipeline. Stages talk to each other only through the values
// they store in the scene's vertices and polygons.
class RenderStage {
public:
    RenderStage() = default;
    RenderStage(const RenderStage&) = delete;
    RenderStage& operator=(const RenderStage&) = delete;
    virtual ~RenderStage() = default;

    virtual void run(DrawingSurface& surface, Scene& scene) = 0;

    static VertexCursor beginVertices(const Scene& scene) { return VertexCursor(scene); }
    static Vertex* nextVertex(VertexCursor& cursor) { return cursor.next(); }
    static SceneObject* currentObject(const VertexCursor& cursor) { return cursor.currentObject(); }
    static PolygonCursor beginPolygons(const Scene& scene) { return PolygonCursor(scene); }
    static Polygon* nextPolygon(PolygonCursor& cursor) { return cursor.next(); }
};

}  // namespace kel
