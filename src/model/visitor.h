#pragma once

namespace kel {

class Vector;
class Vertex;
class Matrix;
class Polygon;
class SceneObject;
class Surface;
class Scene;
class Camera;
class Light;
class Frustum;

// Visitor over the model's node kinds. Every operation does nothing here, so a visitor
// overrides only what it needs. accept never descends: walking into children is the
// visit operation's business.
class Visitor {
public:
    virtual ~Visitor() = default;
    virtual void visitTuple(Vector&) {}
    virtual void visitVector(Vertex&) {}
    virtual void visitMatrix(Matrix&) {}
    virtual void visitPolygon(Polygon&) {}
    virtual void visitObject(SceneObject&) {}
    virtual void visitSurface(Surface&) {}
    virtual void visitScene(Scene&) {}
    virtual void visitCamera(Camera&) {}
    virtual void visitLight(Light&) {}
    virtual void visitFrustum(Frustum&) {}
};

}  // namespace kel
