#include "tree/value_format.h"

#include <gtest/gtest.h>

#include <limits>

#include "model/color.h"
#include "model/polygon.h"
#include "model/vector.h"
#include "model/vertex.h"

namespace kel {
namespace {

TEST(ValueFormatTest, RealsUseEightWideThreeDecimals) {
    EXPECT_EQ(tree_format::real(0.0), "   0.000");
    EXPECT_EQ(tree_format::real(-1.5), "  -1.500");
    EXPECT_EQ(tree_format::real(0.0005), "   0.001");  // rounds like printf, no truncation
    EXPECT_EQ(tree_format::real(123456.789), "123456.789");
    EXPECT_EQ(tree_format::point(Vector(1.0, -2.25, 3.0)), "   1.000   -2.250    3.000");
    EXPECT_EQ(tree_format::matrixRow(Vector(1.0, 0.0, -1.1, 0.5)), "   1.000    0.000   -1.100    0.500");
}

TEST(ValueFormatTest, HugeAndNonFiniteValuesAreNeitherCutNorFatal) {
    const std::string huge = tree_format::real(1e300);
    EXPECT_EQ(huge.size(), 305u);  // 301 integer digits, the point and three decimals
    EXPECT_EQ(huge.substr(huge.size() - 4), ".000");
    EXPECT_EQ(tree_format::point(Vector(-1e300, 1e300, 0.0)).size(), 306u + 1 + 305u + 1 + 8u);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(tree_format::real(inf), "     inf");
    EXPECT_EQ(tree_format::real(-inf), "    -inf");
    EXPECT_NE(tree_format::real(nan).find("nan"), std::string::npos);
}

TEST(ValueFormatTest, ColoursAreThreeWideRedGreenBlue) {
    EXPECT_EQ(tree_format::color(Color(255, 0, 7)), "255   0   7");
    EXPECT_EQ(tree_format::color(Color()), "255 255 255");
    EXPECT_EQ(tree_format::color(Color(1, 22, 133)), "  1  22 133");
}

TEST(ValueFormatTest, IntegersAreBare) {
    EXPECT_EQ(tree_format::integer(0), "0");
    EXPECT_EQ(tree_format::integer(-17), "-17");
    EXPECT_EQ(tree_format::integer(std::numeric_limits<int>::min()), "-2147483648");
}

TEST(ValueFormatTest, VertexLineIsIdCommaThenModelPosition) {
    Vertex vertex;
    vertex.setId(7);
    vertex.setModelPosition(Vector(0.5, -0.25, 10.0));
    vertex.setWorldPosition(Vector(9.0, 9.0, 9.0));
    EXPECT_EQ(tree_format::vertex(vertex), "   7,    0.500   -0.250   10.000");
    vertex.setId(1234567);
    EXPECT_EQ(tree_format::vertex(vertex), "1234567,    0.500   -0.250   10.000");
    vertex.setId(-3);
    EXPECT_EQ(tree_format::vertex(vertex).substr(0, 5), "  -3,");
}

TEST(ValueFormatTest, CornerIdsFollowCornerOrderWithATrailingBlank) {
    Vertex a, b, c;
    a.setId(4);
    b.setId(7);
    c.setId(9);
    Polygon polygon;
    polygon.setVertexAt(0, &a);
    polygon.setVertexAt(1, &b);
    polygon.setVertexAt(2, &c);
    polygon.setVertexCount(3);
    EXPECT_EQ(tree_format::cornerIds(polygon), "4 7 9 ");
    // Clipped corners are the renderer's business; the list shows the file corners.
    polygon.setClippedVertexAt(0, std::make_unique<Vertex>(a));
    polygon.setClippedCount(1);
    EXPECT_EQ(tree_format::cornerIds(polygon), "4 7 9 ");
    Polygon empty;
    EXPECT_EQ(tree_format::cornerIds(empty), "");
}

}  // namespace
}  // namespace kel
