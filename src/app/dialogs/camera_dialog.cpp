#include "app/dialogs/camera_dialog.h"

#include <QLineEdit>

#include "model/camera.h"
#include "platform/user_messages.h"

namespace kel {

CameraDialog::CameraDialog(Camera& camera, UserMessages& messages, QWidget* parent)
    : SettingsDialog(QStringLiteral("Camera"), messages, parent), camera_(camera) {
    const auto [fromEdits, toEdits, upEdits] =
        addAxisRows(grid(), {{{QStringLiteral("&From Point"), QStringLiteral("from")},
                              {QStringLiteral("&To Point"), QStringLiteral("to")},
                              {QStringLiteral("&Up Vector"), QStringLiteral("up")}}});

    constexpr double kLimit = 10000.0;
    for (int i = 0; i < 3; ++i) {
        fields().addReal(fromEdits[i], &from_[i], -kLimit, kLimit);
    }
    for (int i = 0; i < 3; ++i) {
        fields().addReal(toEdits[i], &to_[i], -kLimit, kLimit);
    }
    for (int i = 0; i < 3; ++i) {
        fields().addReal(upEdits[i], &up_[i], -kLimit, kLimit);
    }
}

void CameraDialog::loadFromModel() {
    copyAxes(camera_.from(), from_);
    copyAxes(camera_.to(), to_);
    copyAxes(camera_.actualUp(), up_);
}

void CameraDialog::applyToModel() {
    const Vector from = this->from();
    const Vector to = this->to();
    const Vector up = this->up();
    if (to == from) {
        messages().showError(messageText(MessageId::CameraIdentical));
        return;
    }
    camera_.set(from, to, up);
}

}  // namespace kel
