#include "app/dialogs/ambient_dialog.h"

#include <QLineEdit>

#include "model/scene.h"

namespace kel {

AmbientDialog::AmbientDialog(Scene& scene, UserMessages& messages, QWidget* parent)
    : SettingsDialog(QStringLiteral("Ambient Light"), messages, parent), scene_(scene) {
    addRowLabel(QStringLiteral("&Ambient Light"), 0);
    fields().addReal(addEdit(QStringLiteral("ambient"), 0, 1), &ambient_, 0.0, 1.0);
}

void AmbientDialog::loadFromModel() {
    ambient_ = scene_.ambient();
}

void AmbientDialog::applyToModel() {
    scene_.setAmbient(ambient_);
}

}  // namespace kel
