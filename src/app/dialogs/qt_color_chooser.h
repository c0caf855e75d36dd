#pragma once

#include "platform/color_chooser.h"

namespace kel {

// The colour chooser on Qt: a modal QColorDialog without a parent window.
class QtColorChooser : public ColorChooser {
public:
    bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) override;
};

}  // namespace kel
