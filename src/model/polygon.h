#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "model/node.h"
#include "model/vector.h"
#include "model/vertex.h"

namespace kel {

// A polygon of an object: its corners (vertices the object owns) and the corners the
// clipper made (owned here). Renderers walk the effective corners: the clipped ones when
// there are any, else the polygon's own.
class Polygon : public Node {
public:
    Polygon() = default;
    Polygon(const Polygon&) = delete;
    Polygon& operator=(const Polygon&) = delete;

    void accept(Visitor& visitor) override;

    std::size_t vertexCount() const { return vertexCount_; }
    void setVertexCount(std::size_t count) { vertexCount_ = static_cast<std::uint32_t>(count); }
    // Grows the corner array as needed.
    void setVertexAt(std::size_t i, Vertex* vertex) {
        if (i == vertices_.size()) {
            vertices_.push_back(vertex);  // corners set in order, as a reader does
            return;
        }
        if (i > vertices_.size()) {
            vertices_.resize(i + 1, nullptr);
        }
        vertices_[i] = vertex;
    }
    // Room for count corners, so that adding them one by one does not grow the array.
    void reserveVertices(std::size_t count) { vertices_.reserve(count); }
    Vertex* vertexAt(std::size_t i) const { return vertices_[i]; }

    // Takes ownership; grows the clipped array as needed.
    void setClippedVertexAt(std::size_t i, std::unique_ptr<Vertex> vertex);
    void setClippedCount(std::size_t count) { clippedCount_ = static_cast<std::uint32_t>(count); }
    std::size_t clippedCount() const { return clippedCount_; }
    bool hasClipped() const { return clippedCount_ != 0; }
    // Destroys the clipped corners; the clipped count becomes 0.
    void clearClipped();

    std::size_t effectiveVertexCount() const {
        return clippedCount_ != 0 ? clippedCount_ : vertexCount_;
    }
    Vertex* effectiveVertex(std::size_t i) const {
        return clippedCount_ != 0 ? (*clipped_)[i].get() : vertices_[i];
    }

    const Vector& normal() const { return normal_; }
    bool visible() const { return visible_ != 0; }
    void setVisible(bool visible) { visible_ = visible ? 1 : 0; }

    // Newell's normal over the world positions of corners 0, 1, 2, normalized. A polygon
    // with fewer than 3 corners keeps its normal.
    void computeNormal();
    // computeNormal of corners 0 .. vertexCount - 1.
    void computeVertexNormals();

private:
    std::vector<Vertex*> vertices_;
    // Made on the first clip: most polygons of a large mesh are never clipped.
    std::unique_ptr<std::vector<std::unique_ptr<Vertex>>> clipped_;
    std::uint32_t vertexCount_ = 0;
    std::uint32_t clippedCount_ = 0;
    Vector normal_{1.0, 1.0, 1.0};
    int visible_ = 1;
};

// A group of polygons, owned, in the order added.
class Surface : public Node {
public:
    void accept(Visitor& visitor) override;

    std::size_t polygonCount() const { return polygons_.size(); }
    void addPolygon(std::unique_ptr<Polygon> polygon) { polygons_.push_back(std::move(polygon)); }
    const std::vector<std::unique_ptr<Polygon>>& polygons() const { return polygons_; }

private:
    std::vector<std::unique_ptr<Polygon>> polygons_;
};

}  // namespace kel
