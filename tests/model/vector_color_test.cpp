#include <gtest/gtest.h>

#include <sstream>

#include "model/color.h"
#include "model/vector.h"

namespace kel {
namespace {

TEST(VectorTest, NormalizeKeepsZeroAndScalesOthers) {
    Vector zero(0.0, 0.0, 0.0);
    zero.normalize();
    EXPECT_EQ(zero, Vector(0.0, 0.0, 0.0));

    Vector v(3.0, 0.0, 4.0);
    v.normalize();
    EXPECT_EQ(v, Vector(0.6, 0.0, 0.8));
}

TEST(VectorTest, MixedSizesUseTheShorterOne) {
    const Vector a(1.0, 2.0, 3.0);
    const Vector b(10.0, 20.0, 30.0, 40.0);
    const Vector sum = a + b;
    EXPECT_EQ(sum.size(), 3u);
    EXPECT_EQ(sum, Vector(11.0, 22.0, 33.0));
    EXPECT_DOUBLE_EQ(b.dot(a), 140.0);

    Vector c = b;
    c -= a;  // the fourth element is beyond the shorter vector and stays
    EXPECT_EQ(c, Vector(9.0, 18.0, 27.0, 40.0));
}

TEST(VectorTest, IndexOutOfRangeSelectsElementZero) {
    Vector v(1.0, 2.0, 3.0);
    EXPECT_EQ(v.at(7), 1.0);
    v.at(7) = 9.0;
    EXPECT_EQ(v, Vector(9.0, 2.0, 3.0));
}

TEST(VectorTest, CopiesAreIndependent) {
    const Vector original(1.0, 2.0, 3.0);
    Vector copy = original;
    copy.at(1) = 5.0;
    copy.normalize();
    EXPECT_EQ(original, Vector(1.0, 2.0, 3.0));

    const Vector negated = -original;
    EXPECT_EQ(negated, Vector(-1.0, -2.0, -3.0));
    EXPECT_EQ(original * 2.0, Vector(2.0, 4.0, 6.0));
    EXPECT_EQ(original, Vector(1.0, 2.0, 3.0));
}

TEST(VectorTest, EqualityIsExact) {
    EXPECT_TRUE(Vector(1.0, 2.0, 3.0) == Vector(1.0, 2.0, 3.0));
    EXPECT_FALSE(Vector(1.0, 2.0, 3.0) == Vector(1.0, 2.0, 3.0, 0.0));
    EXPECT_FALSE(Vector(0.1 + 0.2, 0.0, 0.0) == Vector(0.3, 0.0, 0.0));
}

TEST(VectorTest, CrossAndAssignPadded) {
    EXPECT_EQ(Vector(1.0, 0.0, 0.0).cross(Vector(0.0, 1.0, 0.0)), Vector(0.0, 0.0, 1.0));
    EXPECT_EQ(Vector(0.0, 0.0, 1.0).cross(Vector(0.0, 1.0, 0.0)), Vector(-1.0, 0.0, 0.0));

    Vector homogeneous(4, 7.0);
    homogeneous.assignPadded(Vector(1.0, 2.0, 3.0), 1.0);
    EXPECT_EQ(homogeneous, Vector(1.0, 2.0, 3.0, 1.0));
}

TEST(VectorTest, StreamsWriteEachElementWithATrailingBlank) {
    std::ostringstream out;
    out << Vector(1.0, 2.5, 0.0);
    EXPECT_EQ(out.str(), "1 2.5 0 ");

    std::istringstream in("4 -0.5 1e-3");
    Vector v;
    in >> v;
    EXPECT_EQ(v, Vector(4.0, -0.5, 0.001));
}

TEST(ColorTest, PackingDefaultsAndText) {
    Color white;
    EXPECT_EQ(white.value(), 0x00FFFFFFu);
    white.setGreen(0);
    EXPECT_EQ(white.value(), 0x00FF00FFu);

    std::ostringstream out;
    out << Color(255, 128, 0);
    EXPECT_EQ(out.str(), "255 128 0");

    std::istringstream in("300 20 10");
    Color c;
    in >> c;
    EXPECT_EQ(c.red(), 44);
    EXPECT_EQ(c.green(), 20);
    EXPECT_EQ(c.blue(), 10);
    EXPECT_EQ(c.value(), 44u + 20u * 256u + 10u * 65536u);
}

}  // namespace
}  // namespace kel
