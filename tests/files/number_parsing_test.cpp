#include "files/number_parsing.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "files/token_reader.h"

namespace kel {
namespace {

std::uint64_t bits(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

// A few chosen tokens and many random ones, mostly digits with now and then a sign, point
// or exponent. Whatever the library reads whole, parseReal reads to the very same bits,
// signs of zero included; the token reader's one-pass forms agree with the full parsers,
// and decline without moving when they cannot tell.
TEST(NumberParsingTest, EveryShortcutGivesExactlyTheFullParse) {
    std::istringstream fixed(
        "0 -0 .5 5. - . 1e5 +3 0.5x 7 999999999 -999999999 2147483648 12345678901234567 "
        "3.14159 0.30000000000000 999999999999999 -0.000000000000001 123456.789012345 "
        "7.000000000000000 0.1000000000000001");
    std::vector<std::string> tokens(std::istream_iterator<std::string>(fixed), {});
    std::mt19937_64 random(7);
    const std::string alphabet = "0123456789.-+e";
    for (int i = 0; i < 40000; ++i) {
        std::string& token = tokens.emplace_back();
        for (std::size_t k = 0, length = 1 + random() % 18; k < length; ++k) {
            token += alphabet[random() % 4 == 0 ? random() % alphabet.size() : random() % 10];
        }
    }
    std::string text;
    for (const std::string& token : tokens) {
        text += token + ((random() % 2) != 0 ? " " : "\n\t");
    }
    TokenReader asReals(text);
    TokenReader asInts(text);
    for (const std::string& token : tokens) {
        double library = 0.0;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), library);
        double full = 0.0;
        const RealParse parsed = parseReal(token, full);
        if (end == token.data() + token.size() && ec == std::errc()) {
            ASSERT_EQ(parsed, RealParse::Ok) << token;
            ASSERT_EQ(bits(full), bits(library)) << token;
        }
        double real = 0.0;
        if (asReals.nextShortReal(real)) {
            ASSERT_EQ(parsed, RealParse::Ok) << token;
            ASSERT_EQ(bits(real), bits(full)) << token;
        } else {
            ASSERT_EQ(asReals.next(), token);
        }
        std::int32_t whole = 0;
        std::int32_t fullWhole = 0;
        if (asInts.nextSmallInt(whole)) {
            ASSERT_TRUE(parseInt(token, fullWhole)) << token;
            ASSERT_EQ(whole, fullWhole) << token;
        } else {
            ASSERT_EQ(asInts.next(), token);
        }
    }
    double real = 0.0;
    std::int32_t whole = 0;
    EXPECT_FALSE(asReals.nextShortReal(real));
    EXPECT_FALSE(asInts.nextSmallInt(whole));
}

TEST(NumberParsingTest, EveryParserAtTheEdgesOfItsRangeAndOnNonNumbers) {
    const auto intOf = [](std::string_view token) -> std::optional<std::int32_t> {
        std::int32_t value = -99;
        if (parseInt(token, value)) {
            return value;
        }
        EXPECT_EQ(value, -99) << token;  // a refused token leaves the value alone
        return std::nullopt;
    };
    for (const char* token : {"-0", "+7", "999999999", "2147483647", "-2147483648"}) {
        EXPECT_EQ(intOf(token), std::stoll(token)) << token;
    }
    for (const char* token : {"2147483648", "-", "", "12a", "1.0", "--1"}) {
        EXPECT_EQ(intOf(token), std::nullopt) << token;
    }
    const auto countOf = [](std::string_view token, std::uint32_t max) {
        std::uint32_t value = 0;
        return parseUnsigned(token, max, value) ? std::optional(value) : std::nullopt;
    };
    EXPECT_EQ(countOf("65535", 65535), 65535u);
    EXPECT_EQ(countOf("65536", 65535), std::nullopt);
    EXPECT_EQ(countOf("-1", 65535), std::nullopt);
    EXPECT_EQ(countOf("4294967295", UINT32_MAX), UINT32_MAX);
    EXPECT_EQ(countOf("4294967296", UINT32_MAX), std::nullopt);
    EXPECT_EQ(countOf("+3", 10), 3u);
    EXPECT_EQ(countOf("-0", 10), std::nullopt);
    // Long forms and non-numbers go through the full parser.
    const struct {
        std::string token;
        RealParse result;
    } reals[] = {{"1e-3", RealParse::Ok},          {"12345678901234567890", RealParse::Ok},
                 {"1e999", RealParse::OutOfRange}, {"inf", RealParse::NotFinite},
                 {"nan", RealParse::NotFinite},    {"1.2.3", RealParse::NotANumber},
                 {".", RealParse::NotANumber},     {"-", RealParse::NotANumber},
                 {"0x10", RealParse::NotANumber}};
    for (const auto& c : reals) {
        double value = 0.0;
        EXPECT_EQ(parseReal(c.token, value), c.result) << c.token;
    }
}

// Every way of separating tokens, a byte-order mark, the end of the text right after a
// token, and tokens the fast paths decline: the three readers (general, whole number,
// real) agree on where tokens are and on the line of each.
TEST(TokenReaderTest, AllReadersFindTheSameTokensAndLines) {
    const struct {
        std::string text;
        std::vector<std::string> tokens;
        int lastLine;
    } cases[] = {
        {"", {}, 1},
        {" \t\r\n\v\f", {}, 1},
        {"7", {"7"}, 1},
        {"\xEF\xBB\xBF"
         "12 -3",
         {"12", "-3"},
         1},
        {"1\t2\r\n3\v4\f5\n\n6", {"1", "2", "3", "4", "5", "6"}, 4},
        {"  0.5\n-.25  x\n", {"0.5", "-.25", "x"}, 2},
        {"123456789 1234567890 -", {"123456789", "1234567890", "-"}, 1},
        // Declined by both fast paths, which must take nothing of them.
        {"1e5 +3 12x\n1.2.3 . 1234567890123456 0x10 --1",
         {"1e5", "+3", "12x", "1.2.3", ".", "1234567890123456", "0x10", "--1"},
         2},
    };
    for (const auto& c : cases) {
        TokenReader general(c.text);
        TokenReader whole(c.text);
        TokenReader real(c.text);
        std::int32_t i = 0;
        double d = 0.0;
        for (const std::string& token : c.tokens) {
            EXPECT_EQ(general.next(), token) << c.text;
            if (!whole.nextSmallInt(i)) {
                EXPECT_EQ(whole.next(), token) << c.text;
            } else {
                EXPECT_EQ(std::to_string(i), token) << c.text;
            }
            if (!real.nextShortReal(d)) {
                EXPECT_EQ(real.next(), token) << c.text;
            }
            EXPECT_EQ(whole.line(), general.line()) << token;
            EXPECT_EQ(real.line(), general.line()) << token;
        }
        EXPECT_EQ(general.next(), std::nullopt) << c.text;
        EXPECT_EQ(general.line(), c.lastLine) << c.text;
        EXPECT_FALSE(whole.nextSmallInt(i)) << c.text;
        EXPECT_FALSE(real.nextShortReal(d)) << c.text;
    }
}

}  // namespace
}  // namespace kel
