#include "render/span_kernels.h"

#include <cmath>
#include <cstring>

namespace kel {

void PhongPixels::reserve(std::size_t width) {
    width += kBatch;
    if (target.size() >= width) {
        return;
    }
    target.resize(width);
    for (std::vector<double>* v : {&wx, &wy, &wz, &nx, &ny, &nz}) {
        v->resize(width);
    }
    scratch.resize(3 * width);
    color.resize(width);
}

void GouraudPixels::reserve(std::size_t width) {
    width += kBatch;
    if (target.size() >= width) {
        return;
    }
    target.resize(width);
    cosine.resize(width);
}

namespace detail {

// The values of one object's Phong colour that are the same for every pixel.
struct PhongConstants {
    double eye[3];
    double light[3];
    double ambient;
    double intensity;
    double diffuse;
    double specular;
    int shininess;
    double lit[3];
    double fraction[3];
};

// channelFromValue for the batches: its maximum and minimum are single vector
// instructions, and the lanes convert the clamped value, not three candidates.
inline std::uint32_t channel(double value) {
    return static_cast<std::uint32_t>(channelFromValue(value));
}

// Four doubles, and four channel values, worked on together; each lane is an IEEE
// operation of its own.
using Lanes4 = double __attribute__((vector_size(32)));
using Channels4 = std::int32_t __attribute__((vector_size(16)));

// channelFromValue in four lanes: the clamp is a maximum and a minimum, and only the
// clamped value is converted. Inlined, and the value taken by reference: a 32-byte vector
// passed by value would travel in a register from the AVX2 clone but in memory to a call
// built for any x86-64.
__attribute__((always_inline)) inline Channels4 channels(const Lanes4& value) {
    const Lanes4 zero = {0.0, 0.0, 0.0, 0.0};
    const Lanes4 top = {255.0, 255.0, 255.0, 255.0};
    const Lanes4 low = value > zero ? value : zero;
    return __builtin_convertvector(low < top ? low : top, Channels4);
}

// Loops over plain arrays, each pixel on its own, so that the compiler colours several at
// once: lanes do the scalar operations in the scalar order (no fused multiply-add, no
// reassociation), so the colours are those of phongShade. Built for AVX2 and for any
// x86-64, picked when the program starts.
__attribute__((target_clones("avx2", "default"))) void phongBatch(
    std::size_t n, const double* __restrict wx, const double* __restrict wy,
    const double* __restrict wz, const double* __restrict nx, const double* __restrict ny,
    const double* __restrict nz, double* __restrict s, double* __restrict result,
    double* __restrict base, std::uint32_t* __restrict out, const PhongConstants& k) {
    const double ex = k.eye[0], ey = k.eye[1], ez = k.eye[2];
    const double lx = k.light[0], ly = k.light[1], lz = k.light[2];
    for (std::size_t i = 0; i < n; ++i) {
        // V = E - W, divided by its length unless that is 0 (x / 1 is x exactly).
        double vx = ex - wx[i];
        double vy = ey - wy[i];
        double vz = ez - wz[i];
        const double vLength = std::sqrt(((0.0 + vx * vx) + vy * vy) + vz * vz);
        const double vDivisor = vLength != 0.0 ? vLength : 1.0;
        vx = vx / vDivisor;
        vy = vy / vDivisor;
        vz = vz / vDivisor;
        const double hx = lx + vx;
        const double hy = ly + vy;
        const double hz = lz + vz;
        const double hLength = std::sqrt(((0.0 + hx * hx) + hy * hy) + hz * hz);
        const double dot =
            ((0.0 + nx[i] * (hx / hLength)) + ny[i] * (hy / hLength)) + nz[i] * (hz / hLength);
        // Without a half vector there is no highlight: -1 takes the "N . H < 0" branch.
        s[i] = hLength != 0.0 ? dot : -1.0;
    }
    // s^n by repeated squaring over |n|, the same steps for every pixel.
    for (std::size_t i = 0; i < n; ++i) {
        result[i] = 1.0;
        base[i] = s[i];
    }
    long long m = k.shininess < 0 ? -static_cast<long long>(k.shininess) : k.shininess;
    while (m != 0) {
        if ((m & 1) != 0) {
            for (std::size_t i = 0; i < n; ++i) {
                result[i] *= base[i];
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            base[i] *= base[i];
        }
        m >>= 1;
    }
    if (k.shininess < 0) {
        for (std::size_t i = 0; i < n; ++i) {
            result[i] = 1.0 / result[i];
        }
    }
    // The highlight into result, the diffuse term into base.
    for (std::size_t i = 0; i < n; ++i) {
        const double highlight = k.specular * result[i] * 255.0;
        result[i] = s[i] < 0.0 ? 0.0 : highlight;
        const double d = ((0.0 + nx[i] * lx) + ny[i] * ly) + nz[i] * lz;
        const double diff = k.diffuse * d;
        base[i] = d < 0.0 ? 0.0 : diff;
    }
    // The channels, four pixels at a time as gouraudBatch does them, then the rest.
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Lanes4 highlight;
        Lanes4 diff;
        std::memcpy(&highlight, result + i, sizeof highlight);
        std::memcpy(&diff, base + i, sizeof diff);
        Channels4 color = {0, 0, 0, 0};
        for (int c = 0; c < 3; ++c) {
            color |= channels(k.intensity * (k.lit[c] * diff + k.fraction[c] * highlight) +
                              k.ambient * k.lit[c])
                     << (8 * c);
        }
        std::memcpy(out + i, &color, sizeof color);
    }
    for (; i < n; ++i) {
        const double highlight = result[i];
        const double diff = base[i];
        const std::uint32_t r = channel(
            k.intensity * (k.lit[0] * diff + k.fraction[0] * highlight) + k.ambient * k.lit[0]);
        const std::uint32_t g = channel(
            k.intensity * (k.lit[1] * diff + k.fraction[1] * highlight) + k.ambient * k.lit[1]);
        const std::uint32_t b = channel(
            k.intensity * (k.lit[2] * diff + k.fraction[2] * highlight) + k.ambient * k.lit[2]);
        out[i] = r | g << 8 | b << 16;
    }
}

struct GouraudConstants {
    double ambient;
    double diffuse;
    double intensity;
    double lit[3];
};

// gouraudShade for many pixels, four at a time: each lane does the scalar operations in
// the scalar order. Each colour goes straight to its cell, in the order gathered.
__attribute__((target_clones("avx2", "default"))) void gouraudBatch(
    std::size_t n, const double* __restrict cosine, const std::size_t* __restrict target,
    std::uint32_t* __restrict colors, const GouraudConstants& k) {
    const double ambient = k.ambient;
    const double diffuse = k.diffuse;
    const double intensity = k.intensity;
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        Lanes4 c;
        std::memcpy(&c, cosine + i, sizeof c);
        const Lanes4 lit = ambient + c * diffuse * intensity;
        const Lanes4 zero = {0.0, 0.0, 0.0, 0.0};
        const Lanes4 shade = {ambient, ambient, ambient, ambient};
        const Lanes4 g = c >= zero ? lit : shade;
        const Channels4 color =
            channels(k.lit[0] * g) | channels(k.lit[1] * g) << 8 | channels(k.lit[2] * g) << 16;
        for (int j = 0; j < 4; ++j) {
            colors[target[i + j]] = static_cast<std::uint32_t>(color[j]);
        }
    }
    for (; i < n; ++i) {
        const double c = cosine[i];
        const double lit = ambient + c * diffuse * intensity;
        const double g = c >= 0.0 ? lit : ambient;
        colors[target[i]] =
            channel(k.lit[0] * g) | channel(k.lit[1] * g) << 8 | channel(k.lit[2] * g) << 16;
    }
}

}  // namespace detail

void flushGouraudPixels(GouraudPixels& pixels, std::uint32_t* colors) {
    if (pixels.count != 0 && pixels.shading != nullptr) {
        const ShadingInputs& in = *pixels.shading;
        const LitChannels lit(in.lit);
        const detail::GouraudConstants k{
            in.ambient, in.diffuse, in.intensity, {lit.red, lit.green, lit.blue}};
        detail::gouraudBatch(pixels.count, pixels.cosine.data(), pixels.target.data(), colors, k);
    }
    pixels.count = 0;
    pixels.shading = nullptr;
}

void phongColors(PhongPixels& pixels, const ShadingInputs& shading, const LitChannels& lit) {
    detail::PhongConstants k{};
    for (int i = 0; i < 3; ++i) {
        k.eye[i] = shading.eye[i];
        k.light[i] = shading.light[i];
        k.fraction[i] = shading.lightFraction[i];
    }
    k.lit[0] = lit.red;
    k.lit[1] = lit.green;
    k.lit[2] = lit.blue;
    k.ambient = shading.ambient;
    k.intensity = shading.intensity;
    k.diffuse = shading.diffuse;
    k.specular = shading.specular;
    k.shininess = shading.shininess;
    const std::size_t width = pixels.target.size();
    double* s = pixels.scratch.data();
    detail::phongBatch(pixels.count, pixels.wx.data(), pixels.wy.data(), pixels.wz.data(),
                       pixels.nx.data(), pixels.ny.data(), pixels.nz.data(), s, s + width,
                       s + 2 * width, pixels.color.data(), k);
}

void flushPhongPixels(PhongPixels& pixels, std::uint32_t* colors) {
    if (pixels.count != 0 && pixels.shading != nullptr) {
        phongColors(pixels, *pixels.shading, LitChannels(pixels.shading->lit));
        for (std::size_t i = 0; i < pixels.count; ++i) {
            colors[pixels.target[i]] = pixels.color[i];
        }
    }
    pixels.count = 0;
    pixels.shading = nullptr;
}

}  // namespace kel
