#include "app/dialogs/frustum_dialog.h"

#include <QLineEdit>

#include "model/camera.h"
#include "platform/user_messages.h"

namespace kel {

FrustumDialog::FrustumDialog(Frustum& frustum, UserMessages& messages, QWidget* parent)
    : SettingsDialog(QStringLiteral("Frustum"), messages, parent), frustum_(frustum) {
    addRowLabel(QStringLiteral("&Near Plane"), 0);
    addRowLabel(QStringLiteral("&Far Plane"), 1);
    addRowLabel(QStringLiteral("Plane &Height"), 2);
    QLineEdit* const nearEdit = addEdit(QStringLiteral("nearPlane"), 0, 1);
    QLineEdit* const farEdit = addEdit(QStringLiteral("farPlane"), 1, 1);
    QLineEdit* const heightEdit = addEdit(QStringLiteral("planeHeight"), 2, 1);

    constexpr double kMin = 0.01;
    constexpr double kMax = 10000.0;
    fields().addReal(farEdit, &far_, kMin, kMax);
    fields().addReal(heightEdit, &height_, kMin, kMax);
    fields().addReal(nearEdit, &near_, kMin, kMax);
}

void FrustumDialog::loadFromModel() {
    near_ = frustum_.nearPlane();
    far_ = frustum_.farPlane();
    height_ = frustum_.height();
}

void FrustumDialog::applyToModel() {
    if (!(near_ < far_)) {
        messages().showError(messageText(MessageId::FrustumNearFar));
        return;
    }
    frustum_.set(near_, far_, height_);
}

}  // namespace kel
