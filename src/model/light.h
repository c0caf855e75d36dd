#pragma once

#include "model/color.h"
#include "model/vector.h"

namespace kel {

class Visitor;

// The one directional light.
class Light {
public:
    // Stores a unit-length copy; a zero direction stays zero.
    void setDirection(const Vector& direction);
    const Vector& direction() const { return direction_; }
    // Stores a direction taken earlier from direction() as it is: normalizing it again
    // could change its last bits, and an undo must give back the light exactly.
    void restoreDirection(const Vector& stored) { direction_ = stored; }
    double intensity() const { return intensity_; }
    void setIntensity(double intensity) { intensity_ = intensity; }
    const Color& color() const { return color_; }
    void setColor(const Color& c) { color_.setValue(c.value()); }
    void accept(Visitor& visitor);

private:
    double intensity_ = 0.0;
    Vector direction_{0.0, 0.0, 1.0};
    Color color_;
};

}  // namespace kel
