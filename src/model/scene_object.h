#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "model/block_store.h"
#include "model/color.h"
#include "model/matrix.h"
#include "model/node.h"
#include "model/polygon.h"
#include "model/vector.h"
#include "model/vertex.h"

namespace kel {

// One polygonal object: its vertices and surfaces (owned), its modelling transform parts
// and its material values. The name is the object file its geometry came from.
class SceneObject : public Node {
public:
    explicit SceneObject(int number) : number_(number) {}
    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    void accept(Visitor& visitor) override;

    int number() const { return number_; }
    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name; }

    const Vector& rotation() const { return rotation_; }
    void setRotation(const Vector& v) { rotation_ = v; }
    const Vector& scaling() const { return scaling_; }
    void setScaling(const Vector& v) { scaling_ = v; }
    const Vector& translation() const { return translation_; }
    void setTranslation(const Vector& v) { translation_ = v; }
    const Color& color() const { return color_; }
    void setColor(const Color& c) { color_.setValue(c.value()); }
    double diffuse() const { return diffuse_; }
    void setDiffuse(double d) { diffuse_ = d; }
    double specular() const { return specular_; }
    void setSpecular(double s) { specular_ = s; }
    int shininess() const { return shininess_; }
    void setShininess(int n) { shininess_ = n; }

    // Scaling x Rotation x Translation: scale, then turn about X, Y, Z, then move.
    void computeModelingTransform();
    const Transform& modelingTransform() const { return modelingTransform_; }

    // Vertices are held by value and keep their addresses for the object's life, whatever
    // is added at either end. The object does not make them const (the renderers keep
    // per-frame state in them).
    std::size_t vertexCount() const { return vertices_.size(); }
    Vertex* vertexAt(std::size_t i) const { return &vertices_[i]; }
    // From vertex i on, in order: walks over many step an iterator rather than index each.
    BlockStore<Vertex>::Iterator verticesFrom(std::size_t i) const { return vertices_.from(i); }
    // A new vertex at the end.
    Vertex& addVertex() {
        normalBasis_ = {};
        return vertices_.emplace_back();
    }
    // Room for count vertices added at the end in all, so that adding them allocates nothing.
    void reserveVertices(std::size_t count) { vertices_.reserveBack(count); }
    // A copy of vertex (which may be one of this object's) at index 0; every other vertex
    // moves up by one in the order, none in memory.
    Vertex& insertVertexAtFront(const Vertex& vertex) {
        normalBasis_ = {};
        return vertices_.emplace_front(vertex);
    }

    std::size_t surfaceCount() const { return surfaces_.size(); }
    void addSurface(std::unique_ptr<Surface> surface) {
        normalBasis_ = {};
        surfaces_.push_back(std::move(surface));
    }
    const std::vector<std::unique_ptr<Surface>>& surfaces() const { return surfaces_; }

    // What the normals of the vertices and polygons were last computed from: while it
    // stays the same, so do the normals, and a render that only moves the camera keeps
    // them. Adding a vertex or a surface empties it.
    struct NormalBasis {
        std::vector<double> positions;  // world positions, three per vertex in order
        std::size_t polygons = 0;       // of all surfaces: a polygon added later counts
    };
    NormalBasis& normalBasis() { return normalBasis_; }

private:
    std::vector<std::unique_ptr<Surface>> surfaces_;
    BlockStore<Vertex> vertices_;
    NormalBasis normalBasis_;
    std::string name_;
    int number_;
    Vector rotation_{0.0, 0.0, 0.0};
    Vector scaling_{0.0, 0.0, 0.0};
    Vector translation_{0.0, 0.0, 0.0};
    Color color_;
    Transform modelingTransform_;
    double diffuse_ = 0.0;
    double specular_ = 0.0;
    int shininess_ = 0;
};

}  // namespace kel
