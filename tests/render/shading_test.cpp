#include "render/shading.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace kel {
namespace {

ShadingInputs inputs(double ambient, double kd, double intensity, Color lit) {
    ShadingInputs in;
    in.ambient = ambient;
    in.diffuse = kd;
    in.intensity = intensity;
    in.lit = lit;
    return in;
}

TEST(GouraudShadeTest, AmbientPlusDiffuseTimesTheLitColour) {
    const ShadingInputs in = inputs(0.25, 1.0, 1.0, Color(200, 100, 0));
    EXPECT_EQ(gouraudShade(in, 0.5), packColor(150, 75, 0));
    // A negative cosine leaves the ambient colour only.
    EXPECT_EQ(gouraudShade(in, -0.5), packColor(50, 25, 0));
    // A cosine of exactly 0 still counts as lit (no diffuse added).
    EXPECT_EQ(gouraudShade(in, 0.0), packColor(50, 25, 0));
}

TEST(GouraudShadeTest, ChannelsSaturateAt255AndClampAtZero) {
    EXPECT_EQ(gouraudShade(inputs(0.0, 1.0, 1.0, Color(255, 255, 255)), 1.0), 0x00FFFFFFu);
    EXPECT_EQ(gouraudShade(inputs(1.0, 1.0, 1.0, Color(255, 128, 0)), 1.0), packColor(255, 255, 0));
    EXPECT_EQ(gouraudShade(inputs(-0.5, 1.0, 1.0, Color(200, 100, 50)), 0.2), 0u);
    EXPECT_EQ(gouraudShade(inputs(0.1, 1.0, -2.0, Color(200, 100, 50)), 0.9), 0u);
}

TEST(PhongShadeTest, HighlightTakesTheLightColour) {
    ShadingInputs in = inputs(0.0, 1.0, 1.0, Color(100, 100, 100));
    in.specular = 0.5;
    in.shininess = 10;
    const double n[3] = {0.0, 0.0, 1.0};
    // spec = 0.5 x 1 x 255 = 127.5; value = 100 + 127.5 = 227.5.
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 227, 227));
    // A red light: the highlight is red only.
    in.lightFraction[1] = 0.0;
    in.lightFraction[2] = 0.0;
    EXPECT_EQ(phongShade(in, n, n), packColor(227, 100, 100));
}

TEST(PhongShadeTest, ShininessZeroNegativeDotsAndMissingHalfVector) {
    ShadingInputs in = inputs(0.0, 0.0, 1.0, Color(100, 100, 100));
    in.specular = 0.5;
    in.shininess = 0;
    const double n[3] = {0.0, 0.0, 1.0};
    const double slanted[3] = {0.0, 0.6, 0.8};
    EXPECT_EQ(phongShade(in, slanted, n), packColor(127, 127, 127));
    const double behind[3] = {0.0, 0.6, -0.8};
    EXPECT_EQ(phongShade(in, behind, n), 0u);
    EXPECT_EQ(phongShade(in, nullptr, n), 0u);
    // The light behind the surface gives no diffuse term; ambient remains.
    in.diffuse = 1.0;
    in.ambient = 0.5;
    in.light[2] = -1.0;
    EXPECT_EQ(phongShade(in, nullptr, n), packColor(50, 50, 50));
}

TEST(PhongShadeTest, NegativeAmbientClampsAtZeroInsteadOfWrapping) {
    ShadingInputs in = inputs(-1.0, 0.5, 1.0, Color(200, 10, 0));
    const double n[3] = {0.0, 0.0, 1.0};
    // red: 200 x 0.5 - 200 = -100; green: 10 x 0.5 - 10 = -5.
    EXPECT_EQ(phongShade(in, nullptr, n), 0u);
}

TEST(LitColorTest, LightChannelsScaleTheObjectColour) {
    EXPECT_EQ(1 * kChannelScale, 0.00392156862745098);
    EXPECT_EQ(litColor(Color(255, 255, 255), Color(1, 1, 1)), Color(1, 1, 1));
    EXPECT_EQ(litColor(Color(200, 100, 7), Color(255, 255, 255)), Color(200, 100, 7));
    EXPECT_EQ(litColor(Color(200, 100, 7), Color(0, 128, 255)), Color(0, 50, 7));
}

TEST(PowIntTest, RepeatedSquaring) {
    EXPECT_EQ(powInt(2.0, 10), 1024.0);
    EXPECT_EQ(powInt(0.5, 3), 0.125);
    EXPECT_EQ(powInt(2.0, -2), 0.25);
    EXPECT_EQ(powInt(0.0, 0), 1.0);
    EXPECT_EQ(powInt(1.0, INT_MIN), 1.0);
}

TEST(ChannelTest, TruncatesBelow255AndPacksRedLow) {
    EXPECT_EQ(channelFromValue(254.99), 254);
    EXPECT_EQ(channelFromValue(255.0), 255);
    EXPECT_EQ(channelFromValue(1e300), 255);
    EXPECT_EQ(channelFromValue(-3.0), 0);
    EXPECT_EQ(channelFromValue(std::nan("")), 0);
    EXPECT_EQ(packColor(1, 2, 3), 0x00030201u);
}

}  // namespace
}  // namespace kel
