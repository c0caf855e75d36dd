#include "app/dialogs/qt_color_chooser.h"

#include <QColor>
#include <QColorDialog>

namespace kel {

bool QtColorChooser::chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) {
    const QColor chosen = QColorDialog::getColor(QColor(red, green, blue), nullptr);
    if (!chosen.isValid()) {
        return false;
    }
    red = static_cast<std::uint8_t>(chosen.red());
    green = static_cast<std::uint8_t>(chosen.green());
    blue = static_cast<std::uint8_t>(chosen.blue());
    return true;
}

}  // namespace kel
