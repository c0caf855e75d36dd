#include "render/render_stage.h"

namespace kel {

VertexCursor::VertexCursor(const Scene& scene) : objectCount_(scene.objectCount()), scene_(&scene) {
    if (objectCount_ > 0) {
        vertexCount_ = scene.object(0)->vertexCount();
    }
    settle();
}

void VertexCursor::settle() {
    while (objectIndex_ < objectCount_ && vertexIndex_ >= vertexCount_) {
        ++objectIndex_;
        vertexIndex_ = 0;
        vertexCount_ = objectIndex_ < objectCount_ ? scene_->object(objectIndex_)->vertexCount() : 0;
    }
}

Vertex* VertexCursor::next() {
    if (!hasMore()) {
        return nullptr;
    }
    current_ = scene_->object(objectIndex_);
    Vertex* vertex = current_->vertexAt(vertexIndex_);
    ++vertexIndex_;
    settle();
    return vertex;
}

PolygonCursor::PolygonCursor(const Scene& scene)
    : objectCount_(scene.objectCount()), scene_(&scene) {
    settle();
}

void PolygonCursor::settle() {
    while (objectIndex_ < objectCount_) {
        const auto& surfaces = scene_->object(objectIndex_)->surfaces();
        while (surfaceIndex_ < surfaces.size()) {
            const auto& polygons = surfaces[surfaceIndex_]->polygons();
            while (polygonIndex_ < polygons.size() && polygons[polygonIndex_]->vertexCount() == 0) {
                ++polygonIndex_;
            }
            if (polygonIndex_ < polygons.size()) {
                return;
            }
            ++surfaceIndex_;
            polygonIndex_ = 0;
        }
        ++objectIndex_;
        surfaceIndex_ = 0;
        polygonIndex_ = 0;
    }
}

Polygon* PolygonCursor::next() {
    if (!hasMore()) {
        return nullptr;
    }
    current_ = scene_->object(objectIndex_);
    Polygon* polygon = current_->surfaces()[surfaceIndex_]->polygons()[polygonIndex_].get();
    ++polygonIndex_;
    settle();
    return polygon;
}

}  // namespace kel
