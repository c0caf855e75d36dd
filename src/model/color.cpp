#include "model/color.h"

#include <cstdint>
#include <istream>
#include <ostream>

namespace kel {

std::ostream& operator<<(std::ostream& out, const Color& c) {
    return out << unsigned{c.red()} << ' ' << unsigned{c.green()} << ' ' << unsigned{c.blue()};
}

std::istream& operator>>(std::istream& in, Color& c) {
    std::uint16_t r = 0;
    std::uint16_t g = 0;
    std::uint16_t b = 0;
    if (in >> r >> g >> b) {
        c.set(static_cast<std::uint8_t>(r & 0xFFu), static_cast<std::uint8_t>(g & 0xFFu),
              static_cast<std::uint8_t>(b & 0xFFu));
    }
    return in;
}

}  // namespace kel
