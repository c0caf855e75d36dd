#include "app/dialogs/light_dialog.h"

#include <QLineEdit>

#include "model/light.h"

namespace kel {

namespace {

std::uint8_t channel(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

LightDialog::LightDialog(Light& light, UserMessages& messages, QWidget* parent)
    : SettingsDialog(QStringLiteral("Lighting"), messages, parent), light_(light) {
    addHeading(QStringLiteral("X"), 0, 1);
    addHeading(QStringLiteral("Y"), 0, 2);
    addHeading(QStringLiteral("Z"), 0, 3);
    addRowLabel(QStringLiteral("&Direction"), 1);
    QLineEdit* const directionX = addEdit(QStringLiteral("directionX"), 1, 1);
    QLineEdit* const directionY = addEdit(QStringLiteral("directionY"), 1, 2);
    QLineEdit* const directionZ = addEdit(QStringLiteral("directionZ"), 1, 3);

    addHeading(QStringLiteral("0 - 1"), 2, 1);
    addRowLabel(QStringLiteral("&Intensity"), 3);
    QLineEdit* const intensity = addEdit(QStringLiteral("intensity"), 3, 1);

    addHeading(QStringLiteral("R"), 4, 1);
    addHeading(QStringLiteral("G"), 4, 2);
    addHeading(QStringLiteral("B"), 4, 3);
    addRowLabel(QStringLiteral("&Color"), 5);
    QLineEdit* const red = addEdit(QStringLiteral("red"), 5, 1);
    QLineEdit* const green = addEdit(QStringLiteral("green"), 5, 2);
    QLineEdit* const blue = addEdit(QStringLiteral("blue"), 5, 3);

    constexpr double kDirectionLimit = 1000.0;
    fields().addReal(directionX, &direction_[0], -kDirectionLimit, kDirectionLimit);
    fields().addReal(directionY, &direction_[1], -kDirectionLimit, kDirectionLimit);
    fields().addReal(directionZ, &direction_[2], -kDirectionLimit, kDirectionLimit);
    fields().addReal(intensity, &intensity_, 0.0, 1.0);
    fields().addInteger(blue, &blue_, 0, 255);
    fields().addInteger(green, &green_, 0, 255);
    fields().addInteger(red, &red_, 0, 255);
}

Color LightDialog::color() const {
    return {channel(red_), channel(green_), channel(blue_)};
}

void LightDialog::loadFromModel() {
    const Vector& direction = light_.direction();
    direction_[0] = direction.x();
    direction_[1] = direction.y();
    direction_[2] = direction.z();
    intensity_ = light_.intensity();
    red_ = light_.color().red();
    green_ = light_.color().green();
    blue_ = light_.color().blue();
}

void LightDialog::applyToModel() {
    light_.setDirection(direction());
    light_.setIntensity(intensity_);
    light_.setColor(color());
}

}  // namespace kel
