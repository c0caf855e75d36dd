#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "model/color.h"
#include "model/matrix.h"
#include "model/vector.h"

namespace kel {
namespace {

TEST(RotationTest, RightAngleIsNotSnappedBecausePiIsShort) {
    const Rotation r(Vector(90.0, 0.0, 0.0));
    EXPECT_NEAR(r.at(1, 1), 4.6327e-5, 1e-9);
    EXPECT_GT(r.at(1, 1), 1e-6);
    EXPECT_EQ(r.at(2, 2), r.at(1, 1));
    EXPECT_NEAR(r.at(1, 2), 0.999999998927, 1e-12);
    EXPECT_EQ(r.at(2, 1), -r.at(1, 2));
    EXPECT_EQ(r.at(0, 0), 1.0);
    EXPECT_EQ(r.at(3, 3), 1.0);
}

TEST(RotationTest, ZeroAnglesGiveTheExactIdentity) {
    const Rotation r(Vector(0.0, 0.0, 0.0));
    for (std::size_t i = 0; i < 4; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            EXPECT_EQ(r.at(i, j), i == j ? 1.0 : 0.0) << i << "," << j;
        }
    }
}

TEST(RotationTest, TurnsAboutXThenYThenZ) {
    // 180 degrees about Z turns x into -x (up to the short pi).
    const Vector p = Vector(1.0, 0.0, 0.0) * Rotation(Vector(0.0, 0.0, 180.0));
    EXPECT_NEAR(p.x(), -1.0, 1e-7);
    EXPECT_NEAR(p.y(), 0.0, 1e-4);
    // About X by about 90: y goes to z.
    const Vector q = Vector(0.0, 1.0, 0.0) * Rotation(Vector(90.0, 0.0, 0.0));
    EXPECT_NEAR(q.z(), 1.0, 1e-8);
}

TEST(TransformTest, ScalingTranslationAndTheirOrder) {
    EXPECT_EQ(Vector(1.0, 1.0, 1.0) * Scaling(Vector(2.0, 3.0, 4.0)), Vector(2.0, 3.0, 4.0));
    EXPECT_EQ(Vector(0.0, 0.0, 0.0) * Translation(Vector(1.0, 2.0, 3.0)), Vector(1.0, 2.0, 3.0));

    Matrix st = Scaling(Vector(2.0, 2.0, 2.0));
    st *= Translation(Vector(1.0, 0.0, 0.0));
    EXPECT_EQ(Vector(1.0, 0.0, 0.0) * st, Vector(3.0, 0.0, 0.0));
}

TEST(TransformTest, HomogeneousVectorsSkipTheTranslationRow) {
    const Translation t(Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0) * t, Vector(2.0, 3.0, 4.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 0.0) * t, Vector(1.0, 1.0, 1.0, 0.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 1.0) * t, Vector(2.0, 3.0, 4.0, 1.0));
}

TEST(MatrixTest, SetDiagonalOnlyOnSquareMatrices) {
    Matrix wide(3, 4, 2.0);
    wide.setDiagonal(5.0);
    wide.setDiagonal(Vector(7.0, 7.0, 7.0, 7.0));
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 4; ++j) {
            EXPECT_EQ(wide.at(i, j), 2.0);
        }
    }
    Matrix square(3, 3, 0.0);
    square.setDiagonal(Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(square.row(1), Vector(0.0, 2.0, 0.0));
    EXPECT_EQ(square.row(9), square.row(0));  // out-of-range rows select row 0
}

TEST(MatrixTest, CopiesAreIndependentAndProductsFollowRowOrder) {
    Matrix b(2, 2, 1.0);
    Matrix a = b;
    a += b;
    EXPECT_EQ(b.row(0), Vector(2, 1.0));
    EXPECT_EQ(a.row(1), Vector(2, 2.0));

    Matrix left(2, 3, 0.0);
    left.row(0) = Vector(1.0, 2.0, 3.0);
    left.row(1) = Vector(4.0, 5.0, 6.0);
    Matrix right(3, 2, 0.0);
    right.row(0) = Vector(2, 1.0);
    right.row(1).at(1) = 1.0;
    right.row(2).at(0) = 2.0;
    left *= right;
    EXPECT_EQ(left.rowCount(), 2u);
    EXPECT_EQ(left.columnCount(), 2u);
    EXPECT_EQ(left.at(0, 0), 7.0);
    EXPECT_EQ(left.at(0, 1), 3.0);
    EXPECT_EQ(left.at(1, 0), 16.0);
    EXPECT_EQ(left.at(1, 1), 9.0);
}

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
