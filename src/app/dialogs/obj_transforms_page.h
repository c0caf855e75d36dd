#pragma once

#include "app/dialogs/property_page.h"
#include "model/vector.h"

namespace kel {

class SceneObject;

// The "Transforms" tab: rotation, scaling and translation of an object, any real each.
class ObjTransformsPage : public PropertyPage {
    Q_OBJECT

public:
    // Every field zero.
    explicit ObjTransformsPage(QWidget* parent = nullptr);
    // The fields hold the object's rotation, scaling and translation.
    explicit ObjTransformsPage(const SceneObject& object, QWidget* parent = nullptr);

    Vector rotation() const { return {rotate_[0], rotate_[1], rotate_[2]}; }
    Vector scaling() const { return {scale_[0], scale_[1], scale_[2]}; }
    Vector translation() const { return {translate_[0], translate_[1], translate_[2]}; }

private:
    double rotate_[3] = {};
    double scale_[3] = {};
    double translate_[3] = {};
};

}  // namespace kel
