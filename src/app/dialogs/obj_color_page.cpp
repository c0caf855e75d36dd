#include "app/dialogs/obj_color_page.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "model/scene_object.h"
#include "platform/color_chooser.h"

namespace kel {

namespace {

std::uint8_t lowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

ObjColorPage::ObjColorPage(ColorChooser& colors, QWidget* parent)
    : PropertyPage(QStringLiteral("Color"), parent), colors_(colors) {
    addHeading(QStringLiteral("Red"), 0, 1);
    addHeading(QStringLiteral("Green"), 0, 2);
    addHeading(QStringLiteral("Blue"), 0, 3);
    addRowLabel(QStringLiteral("&Color"), 1);
    redEdit_ = addEdit(QStringLiteral("red"), 1, 1);
    fields().addInteger(redEdit_, &red_, 0, 255);
    fields().addInteger(addEdit(QStringLiteral("green"), 1, 2), &green_, 0, 255);
    fields().addInteger(addEdit(QStringLiteral("blue"), 1, 3), &blue_, 0, 255);

    auto* choose = new QPushButton(QStringLiteral("Choose Colors..."));
    choose->setObjectName(QStringLiteral("chooseColors"));
    // Enter after choosing a colour means OK, not choosing again.
    choose->setAutoDefault(false);
    grid().addWidget(choose, 2, 1, 1, 3, Qt::AlignLeft);
    connect(choose, &QPushButton::clicked, this, &ObjColorPage::chooseColors);
}

ObjColorPage::ObjColorPage(const SceneObject& object, ColorChooser& colors, QWidget* parent)
    : ObjColorPage(colors, parent) {
    red_ = object.color().red();
    green_ = object.color().green();
    blue_ = object.color().blue();
}

Color ObjColorPage::color() const {
    return {lowByte(red_), lowByte(green_), lowByte(blue_)};
}

void ObjColorPage::chooseColors() {
    std::uint8_t red = lowByte(red_);
    std::uint8_t green = lowByte(green_);
    std::uint8_t blue = lowByte(blue_);
    const bool chosen = colors_.chooseColor(red, green, blue);
    if (chosen) {
        red_ = red;
        green_ = green;
        blue_ = blue;
        loadControls();
    }
    focusField(*redEdit_);
}

}  // namespace kel
