#include "app/dialogs/obj_surface_page.h"

#include <QLineEdit>

#include "model/scene_object.h"

namespace kel {

ObjSurfacePage::ObjSurfacePage(QWidget* parent) : PropertyPage(QStringLiteral("Surface"), parent) {
    addRowLabel(QStringLiteral("&Diffuse"), 0);
    addRowLabel(QStringLiteral("&Specular"), 1);
    addRowLabel(QStringLiteral("S&hininess"), 2);
    QLineEdit* const diffuse = addEdit(QStringLiteral("diffuse"), 0, 1);
    QLineEdit* const specular = addEdit(QStringLiteral("specular"), 1, 1);
    QLineEdit* const shininess = addEdit(QStringLiteral("shininess"), 2, 1);

    fields().addReal(diffuse, &diffuse_, 0.0, 1.0);
    fields().addInteger(shininess, &shininess_, 0, 300);
    fields().addReal(specular, &specular_, 0.0, 1.0);
}

ObjSurfacePage::ObjSurfacePage(const SceneObject& object, QWidget* parent)
    : ObjSurfacePage(parent) {
    diffuse_ = object.diffuse();
    specular_ = object.specular();
    shininess_ = object.shininess();
}

}  // namespace kel
