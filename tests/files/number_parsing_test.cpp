#include "files/number_parsing.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/token_reader.h"

namespace kel {
namespace {

// What the library parser makes of a token it accepts whole.
double libraryValue(const std::string& token) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    EXPECT_EQ(end, token.data() + token.size()) << token;
    EXPECT_EQ(ec, std::errc()) << token;
    return value;
}

// The short-number shortcut must give the very bits of a full parse, signs of zero included.
TEST(NumberParsingTest, ShortRealsGiveExactlyTheLibrarysDouble) {
    std::istringstream fixed(
        "0 -0 0.1 -0.5 .5 5. 1 -12 3.14159 0.30000000000000 999999999999999 0.000000000000001 "
        "123456.789012345 7.000000000000000 0.1000000000000001");
    for (std::string token; fixed >> token;) {
        double value = 42.0;
        ASSERT_EQ(parseReal(token, value), RealParse::Ok) << token;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(value),
                  std::bit_cast<std::uint64_t>(libraryValue(token)))
            << token;
    }
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 17);
        std::string token = (random() % 2) != 0 ? "-" : "";
        const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) {
                token += '.';
            }
            token += static_cast<char>('0' + random() % 10);
        }
        double value = 0.0;
        ASSERT_EQ(parseReal(token, value), RealParse::Ok) << token;
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value),
                  std::bit_cast<std::uint64_t>(libraryValue(token)))
            << token;
    }
}

// The token reader's one-pass forms agree with the full parsers, and decline without
// moving when they cannot tell.
TEST(NumberParsingTest, OnePassReadsAgreeWithTheFullParseOrTakeNothing) {
    std::mt19937_64 random(7);
    const std::string alphabet = "0123456789.-+e";
    std::vector<std::string> tokens = {
        "-",          ".",         "1e5",        "+3",   "12345678901234567",
        "2147483648", "999999999", "-999999999", "0.5x", "7"};
    for (int i = 0; i < 20000; ++i) {
        std::string token;
        const int length = 1 + static_cast<int>(random() % 18);
        for (int k = 0; k < length; ++k) {
            // Mostly digits, now and then a sign, point or exponent.
            token += alphabet[random() % 4 == 0 ? random() % alphabet.size() : random() % 10];
        }
        tokens.push_back(token);
    }
    std::string text;
    for (const std::string& token : tokens) {
        text += token + ((random() % 2) != 0 ? " " : "\n\t");
    }
    TokenReader asReals(text);
    TokenReader asInts(text);
    for (const std::string& token : tokens) {
        double real = 0.0;
        if (asReals.nextShortReal(real)) {
            double full = 0.0;
            ASSERT_EQ(parseReal(token, full), RealParse::Ok) << token;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(real), std::bit_cast<std::uint64_t>(full))
                << token;
        } else {
            ASSERT_EQ(asReals.next(), token);
        }
        std::int32_t whole = 0;
        if (asInts.nextSmallInt(whole)) {
            std::int32_t full = 0;
            ASSERT_TRUE(parseInt(token, full)) << token;
            ASSERT_EQ(whole, full) << token;
        } else {
            ASSERT_EQ(asInts.next(), token);
        }
    }
    double real = 0.0;
    std::int32_t whole = 0;
    EXPECT_FALSE(asReals.nextShortReal(real));
    EXPECT_FALSE(asInts.nextSmallInt(whole));
}

TEST(NumberParsingTest, WholeNumbersAtTheEdgesOfTheirRanges) {
    const struct {
        std::string token;
        bool ok;
        std::int32_t value;
    } ints[] = {
        {"0", true, 0},
        {"-0", true, 0},
        {"+7", true, 7},
        {"999999999", true, 999999999},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-", false, 0},
        {"", false, 0},
        {"12a", false, 0},
        {"1.0", false, 0},
        {"--1", false, 0},
    };
    for (const auto& c : ints) {
        std::int32_t value = -99;
        EXPECT_EQ(parseInt(c.token, value), c.ok) << c.token;
        EXPECT_EQ(value, c.ok ? c.value : -99) << c.token;
    }
    const struct {
        std::string token;
        std::uint32_t max;
        bool ok;
    } counts[] = {
        {"65535", 65535, true},
        {"65536", 65535, false},
        {"-1", 65535, false},
        {"4294967295", UINT32_MAX, true},
        {"4294967296", UINT32_MAX, false},
        {"+3", 10, true},
        {"-0", 10, false},
    };
    for (const auto& c : counts) {
        std::uint32_t value = 0;
        EXPECT_EQ(parseUnsigned(c.token, c.max, value), c.ok) << c.token;
    }
}

TEST(NumberParsingTest, LongFormsAndNonNumbersStillGoThroughTheFullParser) {
    const struct {
        std::string token;
        RealParse result;
    } cases[] = {
        {"1e-3", RealParse::Ok},          {"12345678901234567890", RealParse::Ok},
        {"1e999", RealParse::OutOfRange}, {"inf", RealParse::NotFinite},
        {"nan", RealParse::NotFinite},    {"1.2.3", RealParse::NotANumber},
        {".", RealParse::NotANumber},     {"-", RealParse::NotANumber},
        {"0x10", RealParse::NotANumber},
    };
    for (const auto& c : cases) {
        double value = 0.0;
        EXPECT_EQ(parseReal(c.token, value), c.result) << c.token;
    }
}

}  // namespace
}  // namespace kel
