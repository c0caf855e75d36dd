#include <gtest/gtest.h>

#include <sstream>

#include "model/color.h"
#include "model/matrix.h"
#include "model/vector.h"

namespace kel {
namespace {

TEST(RotationTest, RightAngleIsNotSnappedBecausePiIsShortAndZeroIsTheExactIdentity) {
    const Rotation r(Vector(90.0, 0.0, 0.0));
    EXPECT_NEAR(r.at(1, 1), 4.6327e-5, 1e-9);
    EXPECT_GT(r.at(1, 1), 1e-6);
    EXPECT_EQ(r.at(2, 2), r.at(1, 1));
    EXPECT_NEAR(r.at(1, 2), 0.999999998927, 1e-12);
    EXPECT_EQ(r.at(2, 1), -r.at(1, 2));
    EXPECT_EQ(r.at(0, 0), 1.0);
    EXPECT_EQ(r.at(3, 3), 1.0);
    const Rotation zero(Vector(0.0, 0.0, 0.0));
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(zero.at(i / 4, i % 4), i / 4 == i % 4 ? 1.0 : 0.0) << i;
    }
    // 180 degrees about Z turns x into -x (up to the short pi).
    const Vector p = Vector(1.0, 0.0, 0.0) * Rotation(Vector(0.0, 0.0, 180.0));
    EXPECT_NEAR(p.x(), -1.0, 1e-7);
    EXPECT_NEAR(p.y(), 0.0, 1e-4);
}

TEST(TransformTest, ScalingTranslationTheirOrderAndHomogeneousDirections) {
    EXPECT_EQ(Vector(1.0, 1.0, 1.0) * Scaling(Vector(2.0, 3.0, 4.0)), Vector(2.0, 3.0, 4.0));
    Matrix st = Scaling(Vector(2.0, 2.0, 2.0));
    st *= Translation(Vector(1.0, 0.0, 0.0));
    EXPECT_EQ(Vector(1.0, 0.0, 0.0) * st, Vector(3.0, 0.0, 0.0));
    const Translation t(Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0) * t, Vector(2.0, 3.0, 4.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 0.0) * t, Vector(1.0, 1.0, 1.0, 0.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 1.0) * t, Vector(2.0, 3.0, 4.0, 1.0));
}

TEST(MatrixTest, SetDiagonalOnlyOnSquareMatricesAndProductsFollowRowOrder) {
    Matrix wide(3, 4, 2.0);
    wide.setDiagonal(5.0);
    wide.setDiagonal(Vector(7.0, 7.0, 7.0, 7.0));
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(wide.at(i / 4, i % 4), 2.0);
    }
    Matrix square(3, 3, 0.0);
    square.setDiagonal(Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(square.row(1), Vector(0.0, 2.0, 0.0));
    EXPECT_EQ(square.row(9), square.row(0));  // out-of-range rows select row 0
    Matrix left(2, 3, 0.0);
    left.row(0) = Vector(1.0, 2.0, 3.0);
    left.row(1) = Vector(4.0, 5.0, 6.0);
    Matrix right(3, 2, 0.0);
    right.row(0) = Vector(2, 1.0);
    right.row(1).at(1) = 1.0;
    right.row(2).at(0) = 2.0;
    left *= right;
    ASSERT_EQ(left.rowCount(), 2u);
    ASSERT_EQ(left.columnCount(), 2u);
    const double expected[] = {7.0, 3.0, 16.0, 9.0};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(left.at(i / 2, i % 2), expected[i]) << i;
    }
}

TEST(VectorTest, EdgesOfTheArithmetic) {
    Vector zero(0.0, 0.0, 0.0);
    zero.normalize();
    EXPECT_EQ(zero, Vector(0.0, 0.0, 0.0));
    Vector v(3.0, 0.0, 4.0);
    v.normalize();
    EXPECT_EQ(v, Vector(0.6, 0.0, 0.8));
    // Mixed sizes use the shorter one; a fourth element beyond it stays.
    const Vector a(1.0, 2.0, 3.0);
    const Vector b(10.0, 20.0, 30.0, 40.0);
    EXPECT_EQ(a + b, Vector(11.0, 22.0, 33.0));
    EXPECT_DOUBLE_EQ(b.dot(a), 140.0);
    Vector c = b;
    c -= a;
    EXPECT_EQ(c, Vector(9.0, 18.0, 27.0, 40.0));
    // An out-of-range index selects element 0.
    Vector d(1.0, 2.0, 3.0);
    d.at(7) = 9.0;
    EXPECT_EQ(d, Vector(9.0, 2.0, 3.0));
    EXPECT_FALSE(Vector(1.0, 2.0, 3.0) == Vector(1.0, 2.0, 3.0, 0.0));
    EXPECT_FALSE(Vector(0.1 + 0.2, 0.0, 0.0) == Vector(0.3, 0.0, 0.0));
    EXPECT_EQ(Vector(0.0, 0.0, 1.0).cross(Vector(0.0, 1.0, 0.0)), Vector(-1.0, 0.0, 0.0));
    Vector homogeneous(4, 7.0);
    homogeneous.assignPadded(Vector(1.0, 2.0, 3.0), 1.0);
    EXPECT_EQ(homogeneous, Vector(1.0, 2.0, 3.0, 1.0));
}

TEST(TextTest, VectorsWriteATrailingBlankAndColoursKeepTheLowEightBits) {
    std::ostringstream out;
    out << Vector(1.0, 2.5, 0.0) << "|" << Color(255, 128, 0);
    EXPECT_EQ(out.str(), "1 2.5 0 |255 128 0");
    std::istringstream in("4 -0.5 1e-3 300 20 10");
    Vector v;
    Color c;
    in >> v >> c;
    EXPECT_EQ(v, Vector(4.0, -0.5, 0.001));
    EXPECT_EQ(c.value(), 44u + 20u * 256u + 10u * 65536u);
    Color white;
    white.setGreen(0);
    EXPECT_EQ(white.value(), 0x00FF00FFu);
}
}  // namespace
}  // namespace kel
