#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

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

    std::size_t vertexCount() const { return vertices_.size(); }
    Vertex* vertexAt(std::size_t i) const { return vertices_[i].get(); }
    void addVertex(std::unique_ptr<Vertex> vertex) { vertices_.push_back(std::move(vertex)); }
    // Index 0; every other vertex moves up by one.
    void insertVertexAtFront(std::unique_ptr<Vertex> vertex) {
        vertices_.push_front(std::move(vertex));
    }

    std::size_t surfaceCount() const { return surfaces_.size(); }
    void addSurface(std::unique_ptr<Surface> surface) { surfaces_.push_back(std::move(surface)); }
    const std::vector<std::unique_ptr<Surface>>& surfaces() const { return surfaces_; }

private:
    std::vector<std::unique_ptr<Surface>> surfaces_;
    std::deque<std::unique_ptr<Vertex>> vertices_;
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
