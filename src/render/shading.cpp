#include "render/shading.h"

namespace kel {

Color litColor(const Color& object, const Color& light) {
    const double lr = light.red() * kChannelScale;
    const double lg = light.green() * kChannelScale;
    const double lb = light.blue() * kChannelScale;
    return Color(static_cast<std::uint8_t>(truncToInt(object.red() * lr)),
                 static_cast<std::uint8_t>(truncToInt(object.green() * lg)),
                 static_cast<std::uint8_t>(truncToInt(object.blue() * lb)));
}

}  // namespace kel
