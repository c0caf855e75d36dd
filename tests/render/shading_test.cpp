#include "render/shading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <random>

#include "render/span_kernels.h"

namespace kel {
namespace {

ShadingInputs inputs(double ambient, double kd, Color lit, double ks = 0.0, int n = 1) {
    ShadingInputs in;
    in.ambient = ambient;
    in.diffuse = kd;
    in.intensity = 1.0;
    in.lit = lit;
    in.specular = ks;
    in.shininess = n;
    return in;
}

TEST(ShadingTest, GouraudIsAmbientPlusDiffuseTimesTheLitColourClamped) {
    const ShadingInputs in = inputs(0.25, 1.0, Color(200, 100, 0));
    EXPECT_EQ(gouraudShade(in, 0.5), packColor(150, 75, 0));
    EXPECT_EQ(gouraudShade(in, -0.5), packColor(50, 25, 0));  // unlit: ambient only
    EXPECT_EQ(gouraudShade(inputs(1.0, 1.0, Color(255, 128, 0)), 1.0), packColor(255, 255, 0));
    EXPECT_EQ(gouraudShade(inputs(-0.5, 1.0, Color(200, 100, 50)), 0.2), 0u);
}

TEST(ShadingTest, PhongHighlightTakesTheLightColour) {
    ShadingInputs in = inputs(0.0, 1.0, Color(100, 100, 100), 0.5, 10);
    const double n[3] = {0.0, 0.0, 1.0};
    // highlight = 0.5 x 1 x 255 = 127.5; value = 100 + 127.5 = 227.5.
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 227, 227));
    in.lightFraction[1] = 0.0;  // a magenta light: no highlight in green
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 100, 227));
    // Without diffuse: shininess 0 gives the full highlight, a negative N . H or no half
    // vector none, and a negative ambient clamps at zero instead of wrapping.
    in = inputs(0.0, 0.0, Color(100, 100, 100), 0.5, 0);
    const double slanted[3] = {0.0, 0.6, 0.8};
    const double behind[3] = {0.0, 0.6, -0.8};
    EXPECT_EQ(phongShade(in, slanted, n), packColor(127, 127, 127));
    EXPECT_EQ(phongShade(in, behind, n), 0u);
    EXPECT_EQ(phongShade(in, nullptr, n), 0u);
    EXPECT_EQ(phongShade(inputs(-1.0, 0.5, Color(200, 10, 0)), nullptr, n), 0u);
}

TEST(ShadingTest, LitColourAndConversionsAtTheirEdges) {
    // A light channel of 1 scales 255 to exactly 1; a channel of 255 changes nothing.
    EXPECT_EQ(1 * kChannelScale, 0.00392156862745098);
    EXPECT_EQ(litColor(Color(255, 255, 255), Color(1, 1, 1)), Color(1, 1, 1));
    EXPECT_EQ(litColor(Color(200, 100, 7), Color(0, 128, 255)), Color(0, 50, 7));
    EXPECT_EQ(powInt(1.0, INT_MIN), 1.0);
    EXPECT_EQ(channelFromValue(std::nan("")), 0);
    EXPECT_EQ(channelFromValue(1e300), 255);
    EXPECT_EQ(roundToInt(std::nan("")), 0);
    EXPECT_EQ(roundToInt(1e300), 1073741825);
}

// One pixel as the per-pixel rule colours it: V = E - W normalized unless zero, H = (L + V)
// over its length (none when zero), then phongShade.
std::uint32_t referenceColor(const ShadingInputs& in, const double w[3], const double n[3]) {
    double v[3] = {in.eye[0] - w[0], in.eye[1] - w[1], in.eye[2] - w[2]};
    const double vLength = std::sqrt(((0.0 + v[0] * v[0]) + v[1] * v[1]) + v[2] * v[2]);
    if (vLength != 0.0) {
        for (double& c : v) {
            c /= vLength;
        }
    }
    double h[3] = {in.light[0] + v[0], in.light[1] + v[1], in.light[2] + v[2]};
    const double hLength = std::sqrt(((0.0 + h[0] * h[0]) + h[1] * h[1]) + h[2] * h[2]);
    if (hLength == 0.0) {
        return phongShade(in, nullptr, n);
    }
    for (double& c : h) {
        c /= hLength;
    }
    return phongShade(in, h, n);
}

// The batched colours are those of the per-pixel rule, bit for bit, for any number of
// pixels (the vector lanes and the remainder) and at the rule's edges.
TEST(PhongKernelTest, BatchedColoursEqualThePerPixelRule) {
    std::mt19937_64 random(12);
    std::uniform_real_distribution<double> coordinate(-3.0, 3.0);
    const double nan = std::nan("");
    for (const int shininess : {0, 1, 2, 7, 30, 300, -3}) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{3}, std::size_t{517}}) {
            ShadingInputs in = inputs(0.2, 0.8, Color(200, 120, 40), 0.5, shininess);
            in.intensity = 0.9;
            std::copy_n(std::array{0.6, 0.0, -0.8}.begin(), 3, in.light);
            std::copy_n(std::array{0.5, 2.0, -6.0}.begin(), 3, in.eye);
            in.lightFraction[1] = 0.5;
            PhongPixels pixels;
            pixels.reserve(count);
            std::vector<std::array<double, 6>> values;
            for (std::size_t i = 0; i < count; ++i) {
                std::array<double, 6> p{};
                for (double& c : p) {
                    c = coordinate(random);
                }
                switch (i % 7) {
                    case 1:  // W at the eye: V stays zero
                        p = {in.eye[0], in.eye[1], in.eye[2], 0.0, 0.6, -0.8};
                        break;
                    case 2:  // V = -L: no half vector
                        p = {in.eye[0] + 0.6, in.eye[1], in.eye[2] - 0.8, 0.0, 0.0, -1.0};
                        break;
                    case 3:  // a cut corner: zero normal
                        p[3] = p[4] = p[5] = 0.0;
                        break;
                    case 4:
                        p[4] = nan;
                        break;
                    default:
                        break;
                }
                values.push_back(p);
                pixels.target[i] = i;
                pixels.wx[i] = p[0];
                pixels.wy[i] = p[1];
                pixels.wz[i] = p[2];
                pixels.nx[i] = p[3];
                pixels.ny[i] = p[4];
                pixels.nz[i] = p[5];
            }
            pixels.count = count;
            pixels.shading = &in;
            std::vector<std::uint32_t> colors(count, 0xDEADBEEFu);
            flushPhongPixels(pixels, colors.data());
            EXPECT_EQ(pixels.count, 0u);
            for (std::size_t i = 0; i < count; ++i) {
                const double* w = values[i].data();
                ASSERT_EQ(colors[i], referenceColor(in, w, w + 3))
                    << "pixel " << i << " of " << count << ", shininess " << shininess;
            }
        }
    }
}

// Gouraud colours gathered and coloured together are those of gouraudShade, bit for bit,
// for any number of pixels and at the rule's edges: the sign of the cosine, NaN, and
// channels below 0 or above 255; a later pixel in the same cell wins.
TEST(GouraudKernelTest, BatchedColoursEqualThePerPixelRule) {
    const double nan = std::nan("");
    const double edges[] = {0.0, -0.0, -1e-300, 1e-300, 0.5, 1.0, -0.7, nan, 3.9, 1e308};
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> cosine(-1.2, 1.2);
    for (const double ambient : {0.2, -0.3, 1.5}) {
        for (const std::size_t count : {std::size_t{1}, std::size_t{3}, std::size_t{517}}) {
            ShadingInputs in;
            in.ambient = ambient;
            in.intensity = 0.9;
            in.diffuse = 0.8;
            in.lit = Color(200, 120, 40);
            GouraudPixels pixels;
            pixels.reserve(count);
            std::vector<std::uint32_t> expected(count + 1, 0u);
            for (std::size_t i = 0; i < count; ++i) {
                const double k = i % 3 == 0 ? edges[(i / 3) % std::size(edges)] : cosine(random);
                pixels.target[i] = i % 5 == 4 ? i - 1 : i;  // some cells twice
                pixels.cosine[i] = k;
                expected[pixels.target[i]] = gouraudShade(in, k);
            }
            pixels.count = count;
            pixels.shading = &in;
            std::vector<std::uint32_t> colors(count + 1, 0u);
            flushGouraudPixels(pixels, colors.data());
            EXPECT_EQ(colors, expected) << "ambient " << ambient << ", " << count << " pixels";
            EXPECT_EQ(pixels.count, 0u);
        }
    }
}

}  // namespace
}  // namespace kel
