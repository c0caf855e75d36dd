#pragma once

#include "app/dialogs/property_page.h"
#include "model/color.h"

class QLineEdit;

namespace kel {

class ColorChooser;
class SceneObject;

// The "Color" tab: red, green and blue (0 to 255 each) and "Choose Colors...", which
// opens the colour chooser on the values of the last exchange.
class ObjColorPage : public PropertyPage {
    Q_OBJECT

public:
    // Every field zero.
    explicit ObjColorPage(ColorChooser& colors, QWidget* parent = nullptr);
    // The fields hold the object's colour.
    ObjColorPage(const SceneObject& object, ColorChooser& colors, QWidget* parent = nullptr);

    int red() const { return red_; }
    int green() const { return green_; }
    int blue() const { return blue_; }
    // The low 8 bits of each field.
    Color color() const;

    // The "Choose Colors..." command. Text typed into the edits since the last exchange
    // is not read; a confirmed colour replaces the fields and the edits.
    void chooseColors();

private:
    ColorChooser& colors_;
    QLineEdit* redEdit_ = nullptr;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
};

}  // namespace kel
