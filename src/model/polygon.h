#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "model/block_store.h"
#include "model/inline_list.h"
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
    // Grows the corner array as needed; corners not yet set are null.
    void setVertexAt(std::size_t i, Vertex* vertex) { corners_.set(i, vertex, nullptr); }
    // Room for count corners, so that adding them one by one does not grow the array.
    void reserveVertices(std::size_t count) { corners_.reserve(count); }
    Vertex* vertexAt(std::size_t i) const { return corners_[i]; }

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
        return clippedCount_ != 0 ? (*clipped_)[i].get() : corners_[i];
    }

    Vector normal() const { return Vector(normal_[0], normal_[1], normal_[2]); }
    bool visible() const { return visible_ != 0; }
    void setVisible(bool visible) { visible_ = visible ? 1 : 0; }

    // Newell's normal over the world positions of corners 0, 1, 2, normalized. A polygon
    // with fewer than 3 corners keeps its normal.
    void computeNormal();
    // computeNormal of corners 0 .. vertexCount - 1.
    void computeVertexNormals();

private:
    // Most polygons of a mesh are triangles or quadrilaterals: no allocation for them.
    // The vertex count goes in the list's tail padding: 96 bytes, not 104, per polygon.
    [[no_unique_address]] InlineList<Vertex*, 4> corners_;
    std::uint32_t vertexCount_ = 0;
    // Made on the first clip: most polygons of a large mesh are never clipped.
    std::unique_ptr<std::vector<std::unique_ptr<Vertex>>> clipped_;
    std::uint32_t clippedCount_ = 0;
    int visible_ = 1;
    std::array<double, 3> normal_{1.0, 1.0, 1.0};
};

// The polygons of a surface in the order added. Each keeps its address for as long as the
// surface lives (the tree, the pixel probe and the undo journal hold on to them), and they
// are held by value: a mesh has millions, one allocation each would cost more than they do.
// Elements are handed out as pointers, as from a list of owning pointers.
class PolygonList {
    using Store = BlockStore<Polygon>;

public:
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Polygon*;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = Polygon*;

        Iterator() = default;
        explicit Iterator(Store::Iterator at) : at_(at) {}
        Polygon* operator*() const { return &*at_; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++at_;
            return before;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        Store::Iterator at_;
    };

    std::size_t size() const { return polygons_.size(); }
    bool empty() const { return polygons_.size() == 0; }
    // A surface owns its polygons but does not make them const: as before, callers that
    // see the surface const may still change a polygon (the renderers' per-frame state).
    Polygon* operator[](std::size_t i) const { return &polygons_[i]; }
    Polygon* front() const { return (*this)[0]; }
    Polygon* back() const { return (*this)[polygons_.size() - 1]; }
    Iterator begin() const { return Iterator(polygons_.begin()); }
    // From polygon i on: walks over many step an iterator rather than index each one.
    Iterator from(std::size_t i) const { return Iterator(polygons_.from(i)); }
    Iterator end() const { return Iterator(polygons_.end()); }

    // A new polygon at the end.
    Polygon& add() { return polygons_.emplace_back(); }

private:
    Store polygons_;
};

// A group of polygons, owned, in the order added.
class Surface : public Node {
public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    void accept(Visitor& visitor) override;

    std::size_t polygonCount() const { return polygons_.size(); }
    // A new, empty polygon at the end of the list; it keeps its address.
    Polygon& addPolygon() { return polygons_.add(); }
    const PolygonList& polygons() const { return polygons_; }

private:
    PolygonList polygons_;
};

}  // namespace kel
