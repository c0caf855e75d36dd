#pragma once

#include <cstdint>

namespace kel {

// The platform's colour chooser behind an interface a test can replace.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    // Shows the chooser starting at red, green, blue; on OK stores the chosen colour
    // there and returns true, on Cancel leaves them and returns false.
    virtual bool chooseColor(std::uint8_t& red, std::uint8_t& green, std::uint8_t& blue) = 0;
};

}  // namespace kel
