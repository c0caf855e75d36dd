#include "model/device_mapping.h"

#include <algorithm>

namespace kel {

void DeviceMapping::fit(const ClientRect& client, int margin) {
    const int smaller = std::min(client.right, client.bottom);
    side_ = smaller - 2 * margin;
    margin_ = margin;
    fitted_ = 1;
}

void DeviceMapping::drawFrame(DrawingSurface& surface) const {
    const int m = margin_;
    const int s = side_;
    surface.moveTo(m - 1, m - 1);
    surface.lineTo(m - 1, m + s);
    surface.lineTo(m + s, m + s);
    surface.lineTo(m + s, m - 1);
    surface.lineTo(m - 1, m - 1);
}

}  // namespace kel
