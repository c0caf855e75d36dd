#pragma once

#include <cmath>
#include <vector>

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
class Vertex : public Node {
public:
    Vertex() = default;
    Vertex(const Vertex&) = default;
    Vertex& operator=(const Vertex&) = default;

    void accept(Visitor& visitor) override;

    int id() const { return id_; }
    void setId(int id) { id_ = id; }
    const Vector& modelPosition() const { return modelPosition_; }
    void setModelPosition(const Vector& p) { modelPosition_ = p; }
    const Vector& worldPosition() const { return worldPosition_; }
    void setWorldPosition(const Vector& p) { worldPosition_ = p; }
    const Vector& clipPosition() const { return clipPosition_; }
    void setClipPosition(const Vector& p) { clipPosition_ = p; }
    const DevicePoint& devicePoint() const { return devicePoint_; }
    void setDevicePoint(const DevicePoint& p) { devicePoint_ = p; }
    const Vector& normal() const { return normal_; }

    // Normalized average of the normals of the polygons using this vertex. A vertex that
    // no polygon uses keeps its normal.
    void computeNormal();
    // The clip position divided by its w (element 3). Returns false and leaves result
    // alone when |w| < 1e-6.
    [[nodiscard]] bool projectedPosition(Vector& result) const {
        const double w = clipPosition_.at(3);
        if (!(std::fabs(w) >= 1e-6)) {
            return false;
        }
        result = clipPosition_;
        for (std::size_t i = 0; i < result.size(); ++i) {
            result.at(i) /= w;
        }
        return true;
    }

    const std::vector<Polygon*>& polygons() const { return polygons_; }
    // A vertex of a mesh is shared by about six polygons: the list grows two at a time up
    // to 16, which wastes less than doubling would, then doubles.
    void addPolygon(Polygon* polygon) {
        if (polygons_.size() == polygons_.capacity()) {
            const std::size_t capacity = polygons_.capacity();
            polygons_.reserve(capacity < 16 ? capacity + 2 : 2 * capacity);
        }
        polygons_.push_back(polygon);
    }
    // Room for count polygons, so that adding them one by one does not grow the list.
    void reservePolygons(std::size_t count) { polygons_.reserve(count); }
    void clearPolygons() { polygons_.clear(); }

private:
    std::vector<Polygon*> polygons_;
    Vector modelPosition_{0.0, 0.0, 0.0};
    Vector worldPosition_{0.0, 0.0, 0.0};
    Vector clipPosition_{1.0, 1.0, 1.0, 1.0};
    Vector normal_{0.0, 0.0, 0.0};
    DevicePoint devicePoint_;
    int id_ = 0;  // beside the device point, where it fills what would be padding
};

}  // namespace kel
