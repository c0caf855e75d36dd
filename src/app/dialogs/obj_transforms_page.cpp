#include "app/dialogs/obj_transforms_page.h"

#include <QLineEdit>

#include "model/scene_object.h"

namespace kel {

namespace {

void copyTo(const Vector& source, double (&target)[3]) {
    target[0] = source.x();
    target[1] = source.y();
    target[2] = source.z();
}

}  // namespace

ObjTransformsPage::ObjTransformsPage(QWidget* parent)
    : PropertyPage(QStringLiteral("Transforms"), parent) {
    addHeading(QStringLiteral("X"), 0, 1);
    addHeading(QStringLiteral("Y"), 0, 2);
    addHeading(QStringLiteral("Z"), 0, 3);
    addRowLabel(QStringLiteral("Rotate"), 1);
    addRowLabel(QStringLiteral("Scale"), 2);
    addRowLabel(QStringLiteral("Translate"), 3);

    const char* const axes[3] = {"X", "Y", "Z"};
    QLineEdit* rotateEdits[3];
    QLineEdit* scaleEdits[3];
    QLineEdit* translateEdits[3];
    for (int i = 0; i < 3; ++i) {
        rotateEdits[i] = addEdit(QStringLiteral("rotate") + QLatin1String(axes[i]), 1, i + 1);
        scaleEdits[i] = addEdit(QStringLiteral("scale") + QLatin1String(axes[i]), 2, i + 1);
        translateEdits[i] = addEdit(QStringLiteral("translate") + QLatin1String(axes[i]), 3, i + 1);
    }
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
    copyTo(object.rotation(), rotate_);
    copyTo(object.scaling(), scale_);
    copyTo(object.translation(), translate_);
}

}  // namespace kel
