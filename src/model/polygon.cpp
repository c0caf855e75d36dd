#include "model/polygon.h"

#include "model/visitor.h"

namespace kel {

void Polygon::accept(Visitor& visitor) {
    visitor.visitPolygon(*this);
}

void Surface::accept(Visitor& visitor) {
    visitor.visitSurface(*this);
}

void Polygon::setClippedVertexAt(std::size_t i, std::unique_ptr<Vertex> vertex) {
    if (!clipped_) {
        clipped_ = std::make_unique<std::vector<std::unique_ptr<Vertex>>>();
    }
    if (i >= clipped_->size()) {
        clipped_->resize(i + 1);
    }
    (*clipped_)[i] = std::move(vertex);
}

void Polygon::clearClipped() {
    if (clipped_) {
        clipped_->clear();  // keeps the capacity for the next clip
    }
    clippedCount_ = 0;
}

void Polygon::computeNormal() {
    if (vertexCount_ < 3 || corners_.size() < 3 || !corners_[0] || !corners_[1] || !corners_[2]) {
        return;  // no defined normal: keep the previous one
    }
    const Vector p0 = corners_[0]->worldPosition();
    const Vector p1 = corners_[1]->worldPosition();
    const Vector p2 = corners_[2]->worldPosition();
    // Newell's method over the edges p0-p1, p1-p2, p2-p0.
    Vector n((p0.z() + p1.z()) * (p0.y() - p1.y()) + (p1.z() + p2.z()) * (p1.y() - p2.y()) +
                 (p2.z() + p0.z()) * (p2.y() - p0.y()),
             (p0.x() + p1.x()) * (p0.z() - p1.z()) + (p1.x() + p2.x()) * (p1.z() - p2.z()) +
                 (p2.x() + p0.x()) * (p2.z() - p0.z()),
             (p0.y() + p1.y()) * (p0.x() - p1.x()) + (p1.y() + p2.y()) * (p1.x() - p2.x()) +
                 (p2.y() + p0.y()) * (p2.x() - p0.x()));
    n.normalize();
    normal_ = {n.x(), n.y(), n.z()};
}

void Polygon::computeVertexNormals() {
    for (std::size_t i = 0; i < vertexCount_ && i < corners_.size(); ++i) {
        if (corners_[i] != nullptr) {
            corners_[i]->computeNormal();
        }
    }
}

}  // namespace kel
