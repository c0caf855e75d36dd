#include "model/device_mapping.h"

#include <algorithm>
#include <cmath>

namespace kel {

namespace {
constexpr double kIntLimit = 1073741824.0;  // 2^30
}

int truncToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= kIntLimit) {
        return static_cast<int>(kIntLimit);
    }
    if (value <= -kIntLimit) {
        return -static_cast<int>(kIntLimit);
    }
    return static_cast<int>(value);
}

void DeviceMapping::fit(const ClientRect& client, int margin) {
    const int smaller = std::min(client.right, client.bottom);
    side_ = smaller - 2 * margin;
    margin_ = margin;
    fitted_ = 1;
}

DevicePoint DeviceMapping::map(const Vector& projected, double depthScale) const {
    const double side = side_;
    const int x = truncToInt((1.0 + projected.at(0)) * 0.5 * side);
    const int y = side_ - truncToInt((1.0 + projected.at(1)) * 0.5 * side);
    const int depth = truncToInt(projected.at(2) * depthScale);
    return {x, y, depth};
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
