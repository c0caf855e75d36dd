#include "app/dialogs/camera_dialog.h"

#include <QLineEdit>

#include "model/camera.h"
#include "platform/user_messages.h"

namespace kel {

namespace {

void copyTo(const Vector& source, double (&target)[3]) {
    target[0] = source.x();
    target[1] = source.y();
    target[2] = source.z();
}

}  // namespace

CameraDialog::CameraDialog(Camera& camera, UserMessages& messages, QWidget* parent)
    : SettingsDialog(QStringLiteral("Camera"), messages, parent), camera_(camera) {
    addHeading(QStringLiteral("X"), 0, 1);
    addHeading(QStringLiteral("Y"), 0, 2);
    addHeading(QStringLiteral("Z"), 0, 3);
    addRowLabel(QStringLiteral("From Point"), 1);
    addRowLabel(QStringLiteral("To Point"), 2);
    addRowLabel(QStringLiteral("Up Vector"), 3);

    const char* const axes[3] = {"X", "Y", "Z"};
    QLineEdit* fromEdits[3];
    QLineEdit* toEdits[3];
    QLineEdit* upEdits[3];
    for (int i = 0; i < 3; ++i) {
        fromEdits[i] = addEdit(QStringLiteral("from") + QLatin1String(axes[i]), 1, i + 1);
        toEdits[i] = addEdit(QStringLiteral("to") + QLatin1String(axes[i]), 2, i + 1);
        upEdits[i] = addEdit(QStringLiteral("up") + QLatin1String(axes[i]), 3, i + 1);
    }

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
    copyTo(camera_.from(), from_);
    copyTo(camera_.to(), to_);
    copyTo(camera_.actualUp(), up_);
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
