#pragma once

#include <cmath>
#include <cstdint>

#include "model/color.h"
#include "model/device_mapping.h"

namespace kel {

// The double nearest to 1/255: turns a light colour channel into a fraction.
inline constexpr double kChannelScale = 0.00392156862745098;

// v rounded to the nearest integer with halves going up (for the non-negative values
// the rasteriser gives it); NaN gives 0 and huge values saturate.
[[nodiscard]] inline int roundToInt(double v) {
    // Nearly every value is well inside the range truncToInt saturates at: truncate it
    // directly, and leave the clamping and NaN to the rare rest. Both give the same t.
    constexpr double kLimit = 1073741824.0;  // 2^30, as truncToInt
    // One test for both bounds: |v| < 2^30, which NaN fails too.
    const int t = __builtin_expect(std::fabs(v) < kLimit, 1) ? static_cast<int>(v) : truncToInt(v);
    return v - t >= 0.5 ? t + 1 : t;
}

// One colour channel from a computed value: 255 from 255 up, else truncated, and never
// below 0 (a negative ambient or intensity would otherwise wrap).
[[nodiscard]] inline int channelFromValue(double value) {
    // NaN fails the first test and gives 0. Written as a maximum then a minimum, which the
    // processor does without branches.
    const double low = value > 0.0 ? value : 0.0;
    return static_cast<int>(low < 255.0 ? low : 255.0);
}

[[nodiscard]] inline std::uint32_t packColor(int red, int green, int blue) {
    return (static_cast<std::uint32_t>(red) & 0xFFu) |
           ((static_cast<std::uint32_t>(green) & 0xFFu) << 8) |
           ((static_cast<std::uint32_t>(blue) & 0xFFu) << 16);
}

// s to the integer power n by repeated squaring over |n|; n = 0 gives 1, a negative n
// the reciprocal.
[[nodiscard]] inline double powInt(double s, int n) {
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

// The object's colour scaled channel by channel by the light's colour.
[[nodiscard]] Color litColor(const Color& object, const Color& light);

// Per-object lighting values shared by every pixel of the object's polygons.
struct ShadingInputs {
    double ambient = 0.0;
    double intensity = 0.0;
    double diffuse = 0.0;                       // kd
    double specular = 0.0;                      // ks
    int shininess = 0;                          // n
    double light[3] = {0.0, 0.0, 1.0};          // unit direction L
    double eye[3] = {0.0, 0.0, 0.0};            // camera from point E
    Color lit;                                  // litColor
    double lightFraction[3] = {1.0, 1.0, 1.0};  // lr, lg, lb
};

// The lit colour's channels as doubles, taken out of the per-pixel loops.
struct LitChannels {
    double red;
    double green;
    double blue;
    explicit LitChannels(const Color& lit) : red(lit.red()), green(lit.green()), blue(lit.blue()) {}
};

// Gouraud: g = ambient + k x kd x intensity (ambient alone when k < 0), each lit channel
// scaled by g.
[[nodiscard]] inline std::uint32_t gouraudShade(const ShadingInputs& in, const LitChannels& lit,
                                                double cosine) {
    const double g = cosine >= 0.0 ? in.ambient + cosine * in.diffuse * in.intensity : in.ambient;
    return packColor(channelFromValue(lit.red * g), channelFromValue(lit.green * g),
                     channelFromValue(lit.blue * g));
}

[[nodiscard]] inline std::uint32_t gouraudShade(const ShadingInputs& in, double cosine) {
    return gouraudShade(in, LitChannels(in.lit), cosine);
}

// Phong: ambient, diffuse (N . L) and specular ((N . H)^n) terms; the highlight takes the
// light's colour. Without a half vector (L + V = 0) there is no highlight.
[[nodiscard]] inline std::uint32_t phongShade(const ShadingInputs& in, const LitChannels& lit,
                                              const double* halfVector, const double* normal) {
    double highlight = 0.0;
    if (halfVector != nullptr) {
        const double s = ((0.0 + normal[0] * halfVector[0]) + normal[1] * halfVector[1]) +
                         normal[2] * halfVector[2];
        if (!(s < 0.0)) {
            highlight = in.specular * powInt(s, in.shininess) * 255.0;
        }
    }
    const double d =
        ((0.0 + normal[0] * in.light[0]) + normal[1] * in.light[1]) + normal[2] * in.light[2];
    const double diff = d < 0.0 ? 0.0 : in.diffuse * d;
    const double red = lit.red;
    const double green = lit.green;
    const double blue = lit.blue;
    return packColor(
        channelFromValue(in.intensity * (red * diff + in.lightFraction[0] * highlight) +
                         in.ambient * red),
        channelFromValue(in.intensity * (green * diff + in.lightFraction[1] * highlight) +
                         in.ambient * green),
        channelFromValue(in.intensity * (blue * diff + in.lightFraction[2] * highlight) +
                         in.ambient * blue));
}

[[nodiscard]] inline std::uint32_t phongShade(const ShadingInputs& in, const double* halfVector,
                                              const double* normal) {
    return phongShade(in, LitChannels(in.lit), halfVector, normal);
}

}  // namespace kel
