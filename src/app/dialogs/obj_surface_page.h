#pragma once

#include "app/dialogs/property_page.h"

namespace kel {

class SceneObject;

// The "Surface" tab: diffuse and specular coefficients (0 to 1) and shininess (0 to 300).
class ObjSurfacePage : public PropertyPage {
    Q_OBJECT

public:
    // Every field zero.
    explicit ObjSurfacePage(QWidget* parent = nullptr);
    // The fields hold the object's diffuse, specular and shininess values.
    explicit ObjSurfacePage(const SceneObject& object, QWidget* parent = nullptr);

    double diffuse() const { return diffuse_; }
    double specular() const { return specular_; }
    int shininess() const { return shininess_; }

private:
    double diffuse_ = 0.0;
    double specular_ = 0.0;
    int shininess_ = 0;
};

}  // namespace kel
