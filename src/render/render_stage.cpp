#include "render/render_stage.h"

#include "render/scene_walk.h"

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
        vertexCount_ =
            objectIndex_ < objectCount_ ? scene_->object(objectIndex_)->vertexCount() : 0;
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
    if (polygons_ != nullptr && polygonIndex_ < polygons_->size() &&
        walk::hasCorners(*(*polygons_)[polygonIndex_])) {
        return;  // the common case: the next polygon of the same surface
    }
    while (objectIndex_ < objectCount_) {
        const auto& surfaces = scene_->object(objectIndex_)->surfaces();
        while (surfaceIndex_ < surfaces.size()) {
            polygons_ = &surfaces[surfaceIndex_]->polygons();
            while (polygonIndex_ < polygons_->size() &&
                   !walk::hasCorners(*(*polygons_)[polygonIndex_])) {
                ++polygonIndex_;
            }
            if (polygonIndex_ < polygons_->size()) {
                return;
            }
            ++surfaceIndex_;
            polygonIndex_ = 0;
        }
        ++objectIndex_;
        surfaceIndex_ = 0;
        polygonIndex_ = 0;
        polygons_ = nullptr;
    }
}

Polygon* PolygonCursor::next() {
    if (!hasMore()) {
        return nullptr;
    }
    current_ = scene_->object(objectIndex_);
    Polygon* polygon = (*polygons_)[polygonIndex_];
    ++polygonIndex_;
    settle();
    return polygon;
}

}  // namespace kel
