#pragma once

#include <cstdint>

#include "model/color.h"

namespace kel {

// The double nearest to 1/255: turns a light colour channel into a fraction.
inline constexpr double kChannelScale = 0.00392156862745098;

// v rounded to the nearest integer with halves going up (for the non-negative values
// the rasteriser gives it); NaN gives 0 and huge values saturate.
int roundToInt(double v);

// One colour channel from a computed value: 255 from 255 up, else truncated, and never
// below 0 (a negative ambient or intensity would otherwise wrap).
int channelFromValue(double value);

std::uint32_t packColor(int red, int green, int blue);

// s to the integer power n by repeated squaring over |n|; n = 0 gives 1, a negative n
// the reciprocal.
double powInt(double s, int n);

// The object's colour scaled channel by channel by the light's colour.
Color litColor(const Color& object, const Color& light);

// Per-object lighting values shared by every pixel of the object's polygons.
struct ShadingInputs {
    double ambient = 0.0;
    double intensity = 0.0;
    double diffuse = 0.0;   // kd
    double specular = 0.0;  // ks
    int shininess = 0;      // n
    double light[3] = {0.0, 0.0, 1.0};  // unit direction L
    double eye[3] = {0.0, 0.0, 0.0};    // camera from point E
    Color lit;                          // litColor
    double lightFraction[3] = {1.0, 1.0, 1.0};  // lr, lg, lb
};

// Gouraud: g = ambient + k x kd x intensity (ambient alone when k < 0), each lit channel
// scaled by g.
std::uint32_t gouraudShade(const ShadingInputs& in, double cosine);

// Phong: ambient, diffuse (N . L) and specular ((N . H)^n) terms; the highlight takes the
// light's colour. Without a half vector (L + V = 0) there is no highlight.
std::uint32_t phongShade(const ShadingInputs& in, const double* halfVector, const double* normal);

}  // namespace kel
