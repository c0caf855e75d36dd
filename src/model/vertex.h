#pragma once

#include <array>
#include <cmath>
#include <cstddef>

#include "model/inline_list.h"
#include "model/node.h"
#include "model/vector.h"

namespace kel {

class Polygon;

// Integer position on the drawing surface (viewport column and row) and integer depth.
class DevicePoint {
public:
    DevicePoint() = default;
    DevicePoint(int x, int y, int depth) : x_(x), y_(y), depth_(depth) {}
    int x() const { return x_; }
    void setX(int x) { x_ = x; }
    int y() const { return y_; }
    void setY(int y) { y_ = y; }
    int depth() const { return depth_; }
    void setDepth(int depth) { depth_ = depth; }
    friend bool operator==(const DevicePoint&, const DevicePoint&) = default;

private:
    int x_ = 0;
    int y_ = 0;
    int depth_ = 0;
};

// One vertex of an object, with one position per stage of the pipeline. The polygons
// that use it are listed, not owned. A copy lists the same polygons.
//
// A mesh holds millions of vertices: positions are kept as bare components (three, and
// four for the clip position) and handed out as Vectors of that size.
class Vertex : public Node {
public:
    Vertex() = default;
    Vertex(const Vertex&) = default;
    Vertex& operator=(const Vertex&) = default;

    void accept(Visitor& visitor) override;

    int id() const { return id_; }
    void setId(int id) { id_ = id; }
    Vector modelPosition() const { return point(model_); }
    void setModelPosition(const Vector& p) { model_ = {p.x(), p.y(), p.z()}; }
    Vector worldPosition() const { return point(world_); }
    void setWorldPosition(const Vector& p) { world_ = {p.x(), p.y(), p.z()}; }
    Vector clipPosition() const { return Vector(clip_[0], clip_[1], clip_[2], clip_[3]); }
    void setClipPosition(const Vector& p) { clip_ = {p.x(), p.y(), p.z(), p.w()}; }
    const DevicePoint& devicePoint() const { return devicePoint_; }
    void setDevicePoint(const DevicePoint& p) { devicePoint_ = p; }
    Vector normal() const { return point(normal_); }

    // Normalized average of the normals of the polygons using this vertex. A vertex that
    // no polygon uses keeps its normal.
    void computeNormal();
    // The clip position divided by its w (element 3). Returns false and leaves result
    // alone when |w| < 1e-6.
    [[nodiscard]] bool projectedPosition(Vector& result) const {
        const double w = clip_[3];
        if (!(std::fabs(w) >= 1e-6)) {
            return false;
        }
        result = Vector(clip_[0] / w, clip_[1] / w, clip_[2] / w, clip_[3] / w);
        return true;
    }

    // Most vertices of a mesh are shared by about six polygons: that many are kept inline.
    using PolygonList = InlineList<Polygon*, 6>;
    const PolygonList& polygons() const { return polygons_; }
    void addPolygon(Polygon* polygon) { polygons_.push_back(polygon); }
    // The list becomes a copy of count polygons.
    void setPolygons(Polygon* const* polygons, std::size_t count) {
        polygons_.assign(polygons, count);
    }
    void clearPolygons() { polygons_.clear(); }

private:
    using Point = std::array<double, 3>;
    static Vector point(const Point& p) { return Vector(p[0], p[1], p[2]); }

    PolygonList polygons_;
    Point model_{0.0, 0.0, 0.0};
    Point world_{0.0, 0.0, 0.0};
    std::array<double, 4> clip_{1.0, 1.0, 1.0, 1.0};
    Point normal_{0.0, 0.0, 0.0};
    DevicePoint devicePoint_;
    int id_ = 0;  // beside the device point, where it fills what would be padding
};

}  // namespace kel
