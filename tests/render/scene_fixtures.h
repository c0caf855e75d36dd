#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "platform/drawing_surface.h"

namespace kel::test {

// A scene looking from (0, 0, -10) at the origin, up +y (so world +x shows on the left),
// frustum near 1, far 100, height 1; white light of intensity 1 with direction
// (0, 0, -1), towards the camera; ambient 0.
std::unique_ptr<Scene> makeScene();

// Adds an object with identity transform and the given model positions; returns it.
SceneObject& addObject(Scene& scene, const std::vector<Vector>& positions,
                       Color color = Color(200, 100, 50));

// Adds a new surface holding one polygon over the given vertex indices of the object.
Polygon& addPolygon(SceneObject& object, std::initializer_list<std::size_t> corners);
Polygon& addPolygon(SceneObject& object, const std::vector<std::size_t>& corners);

// Appends a polygon to the object's last surface (which must exist).
Polygon& appendPolygon(SceneObject& object, const std::vector<std::size_t>& corners);

// Records every call a renderer makes on a surface.
class RecordingSurface : public DrawingSurface {
  public:
    RecordingSurface(int width, int height) : width_(width), height_(height) {}

    ClientRect clientRect() const override {
        ++clientRectCalls;
        return {0, 0, width_, height_};
    }
    void setPixel(int x, int y, std::uint32_t color) override;
    void setPixelRow(int x, int y, const std::uint32_t* colors, int count) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    mutable int clientRectCalls = 0;
    long long pixelsSet = 0;
    int rowCalls = 0;
    std::vector<std::string> lines;  // "move x y" / "line x y"

  private:
    int width_;
    int height_;
};

}  // namespace kel::test
