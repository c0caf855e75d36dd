#include "app/dialogs/obj_transforms_page.h"

#include <QLineEdit>

#include "model/scene_object.h"

namespace kel {

ObjTransformsPage::ObjTransformsPage(QWidget* parent)
    : PropertyPage(QStringLiteral("Transforms"), parent) {
    const auto [rotateEdits, scaleEdits, translateEdits] =
        addAxisRows(grid(), {{{QStringLiteral("&Rotate"), QStringLiteral("rotate")},
                              {QStringLiteral("&Scale"), QStringLiteral("scale")},
                              {QStringLiteral("&Translate"), QStringLiteral("translate")}}});
    for (int i = 0; i < 3; ++i) {
        fields().addReal(rotateEdits[i], &rotate_[i]);
    }
    for (int i = 0; i < 3; ++i) {
        fields().addReal(scaleEdits[i], &scale_[i]);
    }
    for (int i = 0; i < 3; ++i) {
        fields().addReal(translateEdits[i], &translate_[i]);
    }
}

ObjTransformsPage::ObjTransformsPage(const SceneObject& object, QWidget* parent)
    : ObjTransformsPage(parent) {
    copyAxes(object.rotation(), rotate_);
    copyAxes(object.scaling(), scale_);
    copyAxes(object.translation(), translate_);
}

}  // namespace kel
