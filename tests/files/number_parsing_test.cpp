#include "files/number_parsing.h"

#include <gtest/gtest.h>

#include <algorithm>
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
// or exponent, apart by every kind of blank after a byte-order mark. Whatever the library
// reads whole, parseReal reads to the very same bits, signs of zero included. The token
// reader's one-pass forms agree with the full parsers, decline without moving when they
// cannot tell, and agree with the general reader on the line of each token.
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
    const std::string blanks[] = {" ", "\t", "\r\n", "\v", "\f", "\n\n "};
    std::string text = "\xEF\xBB\xBF";
    std::vector<int> lines;
    for (const std::string& token : tokens) {
        const std::string& blank = lines.empty() ? "" : blanks[random() % std::size(blanks)];
        const int line = lines.empty() ? 1 : lines.back();
        lines.push_back(line + static_cast<int>(std::count(blank.begin(), blank.end(), '\n')));
        text += blank + token;  // the last token ends the text
    }
    TokenReader general(text);
    TokenReader asReals(text);
    TokenReader asInts(text);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const std::string& token = tokens[k];
        ASSERT_EQ(general.next(), token);
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
        if (k % 101 == 0) {  // a line is counted from the start of the text
            ASSERT_EQ((std::vector{general.line(), asReals.line(), asInts.line()}),
                      std::vector<int>(3, lines[k]))
                << token;
        }
    }
    EXPECT_EQ(general.next(), std::nullopt);
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
    EXPECT_EQ(countOf("-1", 65535), std::nullopt);
    EXPECT_EQ(countOf("4294967296", UINT32_MAX), std::nullopt);
    EXPECT_EQ(countOf("+3", 10), 3u);
    EXPECT_EQ(countOf("-0", 10), std::nullopt);
    // What the full parser refuses; the scene reader's tests pin the other results.
    for (const char* token : {".", "-", "1.2.3", "0x10", "+-1"}) {
        double value = 0.0;
        EXPECT_EQ(parseReal(token, value), RealParse::NotANumber) << token;
    }
}

}  // namespace
}  // namespace kel
