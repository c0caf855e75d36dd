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
    EXPECT_EQ(r.at(2, 2), r.at(1, 1));
    EXPECT_NEAR(r.at(1, 2), 0.999999998927, 1e-12);
    EXPECT_EQ(r.at(2, 1), -r.at(1, 2));
    EXPECT_EQ(r.at(0, 0), 1.0);
    const Rotation zero(Vector(0.0, 0.0, 0.0));
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(zero.at(i / 4, i % 4), i / 4 == i % 4 ? 1.0 : 0.0) << i;
    }
    // 180 degrees about Z turns x into -x (up to the short pi).
    const Vector p = Vector(1.0, 0.0, 0.0) * Rotation(Vector(0.0, 0.0, 180.0));
    EXPECT_NEAR(p.x(), -1.0, 1e-7);
    EXPECT_NEAR(p.y(), 0.0, 1e-4);
}

TEST(MatrixTest, DirectionsIgnoreTranslationAndDiagonalsNeedASquare) {
    const Translation t(Vector(1.0, 2.0, 3.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 0.0) * t, Vector(1.0, 1.0, 1.0, 0.0));
    EXPECT_EQ(Vector(1.0, 1.0, 1.0, 1.0) * t, Vector(2.0, 3.0, 4.0, 1.0));
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
}

TEST(VectorTest, EdgesOfTheArithmeticAndTheText) {
    Vector zero(0.0, 0.0, 0.0);
    zero.normalize();
    EXPECT_EQ(zero, Vector(0.0, 0.0, 0.0));
    // Mixed sizes use the shorter one; a fourth element beyond it stays.
    const Vector a(1.0, 2.0, 3.0);
    const Vector b(10.0, 20.0, 30.0, 40.0);
    EXPECT_EQ(a + b, Vector(11.0, 22.0, 33.0));
    EXPECT_DOUBLE_EQ(b.dot(a), 140.0);
    Vector c = b;
    c -= a;
    EXPECT_EQ(c, Vector(9.0, 18.0, 27.0, 40.0));
    // An out-of-range index selects element 0.
    c.at(7) = 1.0;
    EXPECT_EQ(c, Vector(1.0, 18.0, 27.0, 40.0));
    Vector homogeneous(4, 7.0);
    homogeneous.assignPadded(Vector(1.0, 2.0, 3.0), 1.0);
    EXPECT_EQ(homogeneous, Vector(1.0, 2.0, 3.0, 1.0));
    std::ostringstream out;
    out << Vector(1.0, 2.5, 0.0) << "|" << Color(255, 128, 0);
    EXPECT_EQ(out.str(), "1 2.5 0 |255 128 0");
}

}  // namespace
}  // namespace kel
