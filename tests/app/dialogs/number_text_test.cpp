#include "app/dialogs/number_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace kel {
namespace {

TEST(ParseReal, AcceptsOneFiniteDecimalNumberWithBlanksAround) {
    EXPECT_EQ(parseReal("-0.5"), -0.5);
    EXPECT_EQ(parseReal("1e-3"), 1e-3);
    EXPECT_EQ(parseReal("+7.25"), 7.25);
    EXPECT_EQ(parseReal(".5"), 0.5);
    EXPECT_EQ(parseReal("  3.5\t"), 3.5);
    // Whatever the user's locale, the decimal point is '.'.
    for (const char* text : {"", "  ", "1.5x", "0,25", "1 2", "+-1", "++1", "+", "0x10", "inf",
                             "nan", "1e400", "-1e400", "1e", "\xc2\xbd"}) {
        EXPECT_FALSE(parseReal(QString::fromUtf8(text)).has_value()) << text;
    }
    EXPECT_FALSE(parseReal(QStringLiteral("1") + QChar(u'\0')).has_value());
}

TEST(ParseInteger, AcceptsSignedDecimalsAndSaturatesHugeOnes) {
    EXPECT_EQ(parseInteger("255"), 255);
    EXPECT_EQ(parseInteger("-12"), -12);
    EXPECT_EQ(parseInteger(" +300 "), 300);
    for (const char* text : {"", "2.5", "1e2", "12a", "0x1F", "+-3", "3 4"}) {
        EXPECT_FALSE(parseInteger(text).has_value()) << text;
    }
    // Still an integer, so a range check refuses it naming its limits.
    EXPECT_EQ(parseInteger("99999999999999999999999"), std::numeric_limits<long long>::max());
    EXPECT_EQ(parseInteger("-99999999999999999999999"), std::numeric_limits<long long>::min());
}

TEST(FormatReal, ShowsUpToFifteenSignificantDigits) {
    EXPECT_EQ(formatReal(0.1 + 0.2), "0.3");
    EXPECT_EQ(formatReal(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(formatReal(-10000.0), "-10000");
    EXPECT_EQ(formatReal(1e-7), "1e-07");
    EXPECT_EQ(formatReal(123456789012345678.0), "1.23456789012346e+17");
}

}  // namespace
}  // namespace kel
