#include "render/shading.h"

#include <cstdlib>

#include "model/device_mapping.h"

namespace kel {

int roundToInt(double v) {
    const int t = truncToInt(v);
    return v - t >= 0.5 ? t + 1 : t;
}

int channelFromValue(double value) {
    if (value >= 255.0) {
        return 255;
    }
    const int t = truncToInt(value);
    return t < 0 ? 0 : t;
}

std::uint32_t packColor(int red, int green, int blue) {
    return (static_cast<std::uint32_t>(red) & 0xFFu) |
           ((static_cast<std::uint32_t>(green) & 0xFFu) << 8) |
           ((static_cast<std::uint32_t>(blue) & 0xFFu) << 16);
}

double powInt(double s, int n) {
    long long m = n < 0 ? -static_cast<long long>(n) : n;
    double result = 1.0;
    double base = s;
    while (m != 0) {
        if ((m & 1) != 0) {
            result *= base;
        }
        base *= base;
        m >>= 1;
    }
    return n < 0 ? 1.0 / result : result;
}

Color litColor(const Color& object, const Color& light) {
    const double lr = light.red() * kChannelScale;
    const double lg = light.green() * kChannelScale;
    const double lb = light.blue() * kChannelScale;
    return Color(static_cast<std::uint8_t>(truncToInt(object.red() * lr)),
                 static_cast<std::uint8_t>(truncToInt(object.green() * lg)),
                 static_cast<std::uint8_t>(truncToInt(object.blue() * lb)));
}

std::uint32_t gouraudShade(const ShadingInputs& in, double cosine) {
    const double g = cosine >= 0.0 ? in.ambient + cosine * in.diffuse * in.intensity : in.ambient;
    return packColor(channelFromValue(in.lit.red() * g), channelFromValue(in.lit.green() * g),
                     channelFromValue(in.lit.blue() * g));
}

std::uint32_t phongShade(const ShadingInputs& in, const double* halfVector, const double* normal) {
    double spec = 0.0;
    if (halfVector != nullptr) {
        const double s = ((0.0 + normal[0] * halfVector[0]) + normal[1] * halfVector[1]) +
                         normal[2] * halfVector[2];
        if (!(s < 0.0)) {
            spec = in.specular * powInt(s, in.shininess) * 255.0;
        }
    }
    const double d =
        ((0.0 + normal[0] * in.light[0]) + normal[1] * in.light[1]) + normal[2] * in.light[2];
    const double diff = d < 0.0 ? 0.0 : in.diffuse * d;
    const int channels[3] = {in.lit.red(), in.lit.green(), in.lit.blue()};
    int out[3];
    for (int c = 0; c < 3; ++c) {
        const double ch = channels[c];
        const double value =
            in.intensity * (ch * diff + in.lightFraction[c] * spec) + in.ambient * ch;
        out[c] = channelFromValue(value);
    }
    return packColor(out[0], out[1], out[2]);
}

}  // namespace kel
